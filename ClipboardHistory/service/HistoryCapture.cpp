#include "ClipboardHistory/service/HistoryCapture.h"

#include "ClipboardHistory/model/LinkPolicy.h"
#include "core/UnicodeText.h"

namespace mirlet {

HistoryCapture::HistoryCapture(LiveHistory& history, HistoryEditor& editor,
                               HistoryItemContent& content, const CaptureSupport& support,
                               PrivateItemCipher cipher, const ClipboardHistoryServices& services,
                               const ObservableView<ClipboardHistorySettings>& settings,
                               const ObservableView<bool>& paused, Hooks hooks)
    : history_(history),
      editor_(editor),
      content_(content),
      support_(support),
      cipher_(cipher),
      services_(services),
      settings_(settings),
      paused_(paused),
      hooks_(std::move(hooks)),
      windowTitleQueue_(services_.queues.makeQueue(kWindowTitleQueue)) {}

void HistoryCapture::start(const Uuid& runID) {
  runID_ = runID;
  monitor_ = std::make_unique<ClipboardMonitor>(
      services_.pasteboard, services_.mainLoop, services_.pollInterval,
      ClipboardMonitor::Hooks{
          [this] {
            return ClipboardMonitor::Context{paused_.get(), settings_.get().ignorePrivate};
          },
          [this](std::optional<int> owner) { return sourceApp(owner); },
          [this](CapturedPasteboard captured) { capture(captured); },
          [this] {
            hooks_.emptied();
          }});
}

void HistoryCapture::stop() {
  monitor_.reset();
  linksInFlight_.clear();
  runID_.reset();
}

void HistoryCapture::skipChange(std::int64_t changeCount) {
  if (monitor_) monitor_->skipChange(changeCount);
}

void HistoryCapture::pollNow() {
  if (monitor_) monitor_->poll();
}

// Where contents belong to the application that copied them (X11), the source is
// that owner, or unknown when the system cannot tell; elsewhere it is the
// application in front. Never this program: its own writes are no copies.
std::optional<SourceApp> HistoryCapture::sourceApp(std::optional<int> owner) const {
  std::shared_ptr<RunningApplication> source;
  if (services_.pasteboard.emptiesWhenOwnerQuits()) {
    if (owner) source = services_.workspace.runningApplication(*owner);
  } else {
    source = services_.workspace.frontmostApplication();
  }
  if (!source) return std::nullopt;
  const auto self = services_.workspace.currentApplication();
  if (self && self->processIdentifier() == source->processIdentifier()) return std::nullopt;
  return SourceApp{source->bundleIdentifier(), source->localizedName(),
                   source->processIdentifier()};
}

void HistoryCapture::capture(const CapturedPasteboard& captured) {
  HistoryDiskStore* disk = history_.disk();
  if (!disk || !runID_) return;
  const std::optional<std::string> bundleID =
      captured.source ? captured.source->bundleID : std::nullopt;
  const Classification classified =
      ItemClassifier::classify(support_.classifierInput(captured.items, bundleID));

  std::string fingerprint = Fingerprint::of(captured.items);
  if (captured.isPrivate) {
    try {
      fingerprint = cipher_.keyedFingerprint(fingerprint);
    } catch (const CipherError&) {
      hooks_.keyUnavailable();
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
      .copiedAt = services_.clock.now(),
      .fingerprint = fingerprint,
      .pasteboardTypes = std::move(types),
      .byteCount = byteCount,
  });

  const auto& items = history_.store().items();
  const bool repeat = std::any_of(items.begin(), items.end(), [&](const ClipboardItem& existing) {
    return existing.fingerprint == item.fingerprint;
  });
  if (!repeat) {
    try {
      disk->writeItem(item, captured.items);
    } catch (const DiskStoreError& error) {
      if (error.code() == DiskStoreErrorCode::keyUnavailable) hooks_.keyUnavailable();
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

  const auto recorded = history_.edit([&](HistoryStore& store) { return store.record(item); });
  editor_.applyLimit(settings_.get().limit, services_.clock.now());
  if (settings_.get().playSound) services_.workspace.playSound(kCaptureSound);
  const Uuid id = std::visit([](const auto& result) { return result.id; }, recorded);
  readWindowTitle(id, captured);
  fetchLinkPreview(id);
}

void HistoryCapture::writeThumbnail(const Uuid& id, const Bytes& image) {
  const auto png = support_.thumbnailPNG(image);
  HistoryDiskStore* disk = history_.disk();
  if (!png || !disk) return;
  try {
    disk->writeFile(*png, disk->thumbnailPath(id));
  } catch (const AtomicFileError&) {
    // The item is kept without a picture.
  }
}

std::optional<std::string> HistoryCapture::windowTitle(int processID) const {
  Accessibility& ax = services_.accessibility;
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

void HistoryCapture::readWindowTitle(const Uuid& id, const CapturedPasteboard& captured) {
  if (captured.isPrivate || !services_.accessibility.isProcessTrusted() || !captured.source) return;
  handoff_.async(*windowTitleQueue_, [this, id, pid = captured.source->processID] {
    auto title = windowTitle(pid);
    if (!title) return;
    services_.mainLoop.post(handoff_.bind([this, id, title] {
      if (!history_.store().item(id)) return;
      history_.edit([&](HistoryStore& store) { store.setWindowTitle(title, id); });
    }));
  });
}

void HistoryCapture::fetchLinkPreview(const Uuid& id) {
  if (!settings_.get().fetchLinkTitles || !runID_) return;
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->kind != ItemKind::link || item->isPrivate || item->linkTitle) return;
  const std::string url(UnicodeText::trimWhitespace(item->text));
  if (!LinkPolicy::allowsFetch(url)) return;
  if (!linksInFlight_.insert(id).second) return;  // one fetch per item at a time
  services_.links.fetch(
      url, handoff_.bind([this, id, run = *runID_](const std::optional<LinkPage>& page) {
        finishLinkPreview(page, id, run);
      }));
}

void HistoryCapture::finishLinkPreview(const std::optional<LinkPage>& page, const Uuid& id,
                                       const Uuid& run) {
  linksInFlight_.erase(id);
  if (runID_ != run || !history_.disk() || !history_.store().item(id) || !page) return;
  if (page->icon) {
    writeThumbnail(id, *page->icon);
    content_.forgetThumbnail(id);
  }
  history_.edit([&](HistoryStore& store) {
    if (page->title) store.setLinkTitle(page->title, id);
  });
}

}  // namespace mirlet
