// The capture step of the clipboard history and its two follow-ups: the source
// window's title and the link's page title.

#include "ClipboardHistory/model/LinkPolicy.h"
#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "core/UnicodeText.h"

namespace mirlet {

void ClipboardHistoryFeature::capture(const CapturedPasteboard& captured) {
  if (!disk_ || !isRunning_) return;
  const std::optional<std::string> bundleID =
      captured.source ? captured.source->bundleID : std::nullopt;
  const Classification classified =
      ItemClassifier::classify(support_.classifierInput(captured.items, bundleID));

  std::string fingerprint = Fingerprint::of(captured.items);
  if (captured.isPrivate) {
    try {
      fingerprint = cipher_.keyedFingerprint(fingerprint);
    } catch (const CipherError&) {
      privateItemsAvailable_.set(false);
      return;
    }
  }
  std::vector<std::vector<std::string>> types;
  std::int64_t byteCount = 0;
  for (const auto& representations : captured.items) {
    auto& itemTypes = types.emplace_back();
    for (const auto& representation : representations) {
      itemTypes.push_back(representation.type);
      byteCount += static_cast<std::int64_t>(representation.data.size());
    }
  }
  const ClipboardItem item = ClipboardItem::make({
      .id = Uuid::random(),
      .kind = classified.kind,
      .detail = classified.detail,
      .isPrivate = captured.isPrivate,
      .text = classified.text,
      .sourceBundleID = bundleID,
      .sourceName = captured.source ? captured.source->name : std::nullopt,
      .copiedAt = environment_.clock.now(),
      .fingerprint = fingerprint,
      .pasteboardTypes = std::move(types),
      .byteCount = byteCount,
  });

  const auto& items = store_.get().items();
  const bool repeat = std::any_of(items.begin(), items.end(), [&](const ClipboardItem& existing) {
    return existing.fingerprint == item.fingerprint;
  });
  if (!repeat) {
    try {
      disk_->writeItem(item, captured.items);
    } catch (const DiskStoreError& error) {
      if (error.code() == DiskStoreErrorCode::keyUnavailable) privateItemsAvailable_.set(false);
      return;
    } catch (const AtomicFileError&) {
      return;  // nothing is recorded that could not be kept
    }
    if (!item.isPrivate && (item.kind == ItemKind::image || item.kind == ItemKind::screenshot)) {
      if (const auto* image = CaptureSupport::imageRepresentation(captured.items)) {
        writeThumbnail(item.id, image->data);
      }
    }
  }

  HistoryStore store = store_.get();
  const auto recorded = store.record(item);
  setStore(std::move(store));
  changed();
  applyLimit();
  if (settings_.get().playSound) environment_.workspace.playSound(kCaptureSound);
  const Uuid id = std::visit([](const auto& result) { return result.id; }, recorded);
  readWindowTitle(id, captured);
  fetchLinkPreview(id);
}

void ClipboardHistoryFeature::writeThumbnail(const Uuid& id, const Bytes& image) {
  const auto png = support_.thumbnailPNG(image);
  if (!png || !disk_) return;
  try {
    disk_->writeFile(*png, disk_->thumbnailPath(id));
  } catch (const AtomicFileError&) {
    // The item is kept without a picture.
  }
}

std::optional<std::string> ClipboardHistoryFeature::windowTitle(int processID) const {
  Accessibility& ax = environment_.accessibility;
  const AXElement application = ax.application(processID);
  if (ax.setMessagingTimeout(application, kWindowTitleTimeout) != AXError::success) return {};
  const AXResult window = ax.copyAttribute(application, "AXFocusedWindow");
  const auto* element = window.ok() ? window.value.as<AXElement>() : nullptr;
  if (!element || ax.setMessagingTimeout(*element, kWindowTitleTimeout) != AXError::success)
    return std::nullopt;
  const AXResult title = ax.copyAttribute(*element, "AXTitle");
  const auto* text = title.ok() ? title.value.as<std::string>() : nullptr;
  if (!text || text->empty()) return std::nullopt;
  return *text;
}

void ClipboardHistoryFeature::readWindowTitle(const Uuid& id, const CapturedPasteboard& captured) {
  if (captured.isPrivate || !accessibilityGranted() || !captured.source) return;
  handoff_.async(*windowTitleQueue_, [this, id, pid = captured.source->processID] {
    auto title = windowTitle(pid);
    if (!title) return;
    environment_.mainLoop.post(handoff_.bind([this, id, title] {
      if (!store_.get().item(id)) return;
      HistoryStore store = store_.get();
      store.setWindowTitle(title, id);
      setStore(std::move(store));
      changed();
    }));
  });
}

void ClipboardHistoryFeature::fetchLinkPreview(const Uuid& id) {
  if (!settings_.get().fetchLinkTitles || !runID_) return;
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->kind != ItemKind::link || item->isPrivate || item->linkTitle) return;
  const std::string url(UnicodeText::trimWhitespace(item->text));
  if (!LinkPolicy::allowsFetch(url)) return;
  if (!linksInFlight_.insert(id).second) return;  // one fetch per item at a time
  environment_.links.fetch(
      url, handoff_.bind([this, id, run = *runID_](const std::optional<LinkPage>& page) {
        finishLinkPreview(page, id, run);
      }));
}

void ClipboardHistoryFeature::finishLinkPreview(const std::optional<LinkPage>& page, const Uuid& id,
                                                const Uuid& run) {
  linksInFlight_.erase(id);
  if (runID_ != run || !disk_ || !store_.get().item(id) || !page) return;
  HistoryStore store = store_.get();
  if (page->title) store.setLinkTitle(page->title, id);
  if (page->icon) {
    writeThumbnail(id, *page->icon);
    thumbnails_.erase(id);
  }
  setStore(std::move(store));
  changed();
}

}  // namespace mirlet
