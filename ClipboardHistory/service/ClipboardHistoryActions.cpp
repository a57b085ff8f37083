// What the panel does with history items: choosing and pasting them, and showing,
// opening and dragging their content.

#include "ClipboardHistory/model/UniformTypes.h"
#include "ClipboardHistory/service/ClipboardHistoryFeature.h"
#include "core/UnicodeText.h"
#include "core/Url.h"
#include "host/AtomicFile.h"

namespace mirlet {
namespace {

constexpr std::string_view kPlainText = "public.utf8-plain-text";
constexpr std::string_view kFileURL = "public.file-url";
constexpr std::size_t kThumbnailCacheSize = 512;

bool isTextKind(ItemKind kind) {
  switch (kind) {
    case ItemKind::text:
    case ItemKind::richText:
    case ItemKind::link:
    case ItemKind::email:
    case ItemKind::color:
    case ItemKind::code:
    case ItemKind::table:
      return true;
    default:
      return false;
  }
}

bool isFileKind(ItemKind kind) {
  return kind == ItemKind::file || kind == ItemKind::files || kind == ItemKind::folder;
}

bool isThumbnailKind(ItemKind kind) {
  return kind == ItemKind::image || kind == ItemKind::screenshot || kind == ItemKind::link;
}

bool holdsType(const ClipboardItem& item, std::string_view type) {
  return std::any_of(item.pasteboardTypes.begin(), item.pasteboardTypes.end(),
                     [&](const auto& types) {
                       return std::find(types.begin(), types.end(), type) != types.end();
                     });
}

std::string_view textOf(const Bytes& data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

}  // namespace

std::vector<std::string> ClipboardHistoryFeature::plainTexts(
    const std::vector<CapturedItems>& payloads) const {
  std::vector<std::string> texts;
  for (const CapturedItems& payload : payloads) {
    std::optional<std::string> text;
    for (const auto& representations : payload) {
      for (const auto& representation : representations) {
        if (!text && representation.type == kPlainText) {
          text = UnicodeText::repairedUtf8(textOf(representation.data));
        }
      }
    }
    if (!text) {
      const auto urls = support_.fileURLs(payload);
      if (!urls.empty()) {
        text = Url::filePath(urls.front());
        for (std::size_t i = 1; i < urls.size(); ++i)
          text->append("\n").append(Url::filePath(urls[i]));
      }
    }
    if (text) texts.push_back(std::move(*text));
  }
  return texts;
}

// Where the pasteboard empties when the application that copied quits (X11), the
// latest item goes back, so a paste still gives what was copied last. Never a
// private item, and nothing while capture is paused.
void ClipboardHistoryFeature::restoreLatest() {
  if (!environment_.pasteboard.emptiesWhenOwnerQuits() || paused_.get() || !disk_) return;
  const HistoryItems& items = store_.get().items();
  if (items.empty() || items.front().isPrivate) return;
  std::optional<std::int64_t> written;
  try {
    written = writer_.write(disk_->readItem(items.front()), false);
  } catch (const Error&) {
    return;  // its payload is gone: the pasteboard stays empty, as it would without us
  }
  if (written && monitor_) monitor_->skipChange(*written);
}

void ClipboardHistoryFeature::choose(const std::vector<Uuid>& ids, bool plain, bool paste,
                                     std::shared_ptr<RunningApplication> target,
                                     std::function<void(ChooseOutcome)> done) {
  if (!isRunning_ || !disk_ || ids.empty()) return done(ChooseOutcome::failed);
  std::vector<ClipboardItem> chosen;
  std::vector<CapturedItems> payloads;
  for (const Uuid& id : ids) {
    const ClipboardItem* item = store_.get().item(id);
    if (!item) return done(ChooseOutcome::failed);
    try {
      payloads.push_back(disk_->readItem(*item));
    } catch (const Error&) {
      return done(ChooseOutcome::failed);
    }
    chosen.push_back(*item);
  }
  bool asPlainText = plain;
  if (!plain && chosen.size() > 1) {
    asPlainText = std::all_of(chosen.begin(), chosen.end(), [](const ClipboardItem& item) {
      return holdsType(item, kPlainText) && !holdsType(item, kFileURL);
    });
  }
  const bool concealed = std::any_of(chosen.begin(), chosen.end(),
                                     [](const ClipboardItem& item) { return item.isPrivate; });
  std::optional<std::int64_t> written;
  std::vector<std::string> texts;
  if (asPlainText) texts = plainTexts(payloads);
  if (!texts.empty()) {
    written = writer_.writePlain(texts, concealed);
  } else {
    CapturedItems all;
    for (auto& payload : payloads) all.insert(all.end(), payload.begin(), payload.end());
    written = writer_.write(all, concealed);
  }
  if (!written) return done(ChooseOutcome::failed);
  if (monitor_) monitor_->skipChange(*written);  // our own write is no new copy

  HistoryStore store = store_.get();
  store.markUsed(ids, environment_.clock.now(), settings_.get().promoteOnUse);
  setStore(std::move(store));
  changed();

  if (!paste) return done(ChooseOutcome::copied);
  if (!accessibilityGranted() || !target || target->isTerminated()) {
    return done(ChooseOutcome::copiedWithoutPaste);
  }
  pasteBack_.paste(std::move(target), handoff_.bind([done = std::move(done)](bool pasted) {
    done(pasted ? ChooseOutcome::pasted : ChooseOutcome::copiedWithoutPaste);
  }));
}

std::optional<Bytes> ClipboardHistoryFeature::thumbnail(const Uuid& id) {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->isPrivate || !isThumbnailKind(item->kind) || !disk_) return std::nullopt;
  if (auto cached = thumbnails_.find(id); cached != thumbnails_.end()) return cached->second;
  const auto text = environment_.files.read(disk_->thumbnailPath(id));
  if (!text) return std::nullopt;
  if (thumbnails_.size() >= kThumbnailCacheSize) thumbnails_.erase(thumbnails_.begin());
  return thumbnails_.emplace(id, Bytes(text->begin(), text->end())).first->second;
}

std::optional<Bytes> ClipboardHistoryFeature::sourceIcon(const Uuid& id) {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || !item->sourceBundleID) return std::nullopt;
  auto cached = sourceIcons_.find(*item->sourceBundleID);
  if (cached == sourceIcons_.end()) {
    cached = sourceIcons_
                 .emplace(*item->sourceBundleID,
                          environment_.workspace.applicationIcon(*item->sourceBundleID))
                 .first;
  }
  return cached->second;
}

std::optional<std::string> ClipboardHistoryFeature::revealedText(const Uuid& id) const {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || !item->isPrivate || !disk_) return std::nullopt;
  try {
    for (const auto& representations :
         disk_->readItem(*item, std::set<std::string>{std::string(kPlainText)})) {
      if (!representations.empty()) {
        return UnicodeText::repairedUtf8(textOf(representations.front().data));
      }
    }
  } catch (const Error&) {
    // Shown as nothing.
  }
  return std::nullopt;
}

std::vector<std::string> ClipboardHistoryFeature::fileURLs(const Uuid& id) const {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->isPrivate || !isFileKind(item->kind) || !disk_) return {};
  try {
    return support_.fileURLs(disk_->readItem(*item, std::set<std::string>{std::string(kFileURL)}));
  } catch (const Error&) {
    return {};
  }
}

std::optional<std::filesystem::path> ClipboardHistoryFeature::writePreview(
    const Uuid& id, const std::string& extension, const Bytes& data) {
  try {
    if (!previewFolder_) {
      const auto folder =
          environment_.temporaryDirectory / ("mirlet-preview-" + Uuid::random().toString());
      environment_.files.createFolder(folder);
      previewFolder_ = folder;
    }
    const auto path = *previewFolder_ / (id.toString() + "." + extension);
    AtomicFile::write(environment_.files, path, textOf(data));
    return path;
  } catch (const AtomicFileError&) {
    return std::nullopt;
  }
}

void ClipboardHistoryFeature::removePreviews() {
  if (previewFolder_) environment_.files.removeAll(*previewFolder_);
  previewFolder_.reset();
}

std::vector<std::filesystem::path> ClipboardHistoryFeature::previewFiles(const Uuid& id) {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->isPrivate || !disk_) return {};
  std::vector<std::filesystem::path> files;
  if (isFileKind(item->kind)) {
    for (const auto& url : fileURLs(id)) files.emplace_back(Url::filePath(url));
    return files;
  }
  try {
    if (item->kind == ItemKind::image || item->kind == ItemKind::screenshot) {
      const CapturedItems payload = disk_->readItem(*item);
      if (const auto* image = CaptureSupport::imageRepresentation(payload)) {
        const auto extension = UniformTypes::preferredFilenameExtension(image->type);
        if (auto path = writePreview(id, std::string(extension.value_or("png")), image->data))
          files.push_back(*path);
      }
    } else if (isTextKind(item->kind)) {
      for (const auto& representations :
           disk_->readItem(*item, std::set<std::string>{std::string(kPlainText)})) {
        if (representations.empty()) continue;
        if (auto path = writePreview(id, "txt", representations.front().data))
          files.push_back(*path);
        break;
      }
    }
  } catch (const Error&) {
    return {};
  }
  return files;
}

std::vector<PasteboardItemData> ClipboardHistoryFeature::pasteboardItems(
    const std::vector<Uuid>& ids) const {
  std::vector<PasteboardItemData> items;
  if (!disk_) return items;
  for (const Uuid& id : ids) {
    const ClipboardItem* item = store_.get().item(id);
    if (!item) continue;
    try {
      auto made = writer_.makeItems(disk_->readItem(*item), item->isPrivate);
      items.insert(items.end(), made.begin(), made.end());
    } catch (const Error&) {
      continue;  // what cannot be read is not dragged
    }
  }
  return items;
}

std::vector<std::string> ClipboardHistoryFeature::openTargets(const ClipboardItem& item) const {
  if (item.kind == ItemKind::link) return {std::string(UnicodeText::trimWhitespace(item.text))};
  if (isFileKind(item.kind)) return fileURLs(item.id);
  return {};
}

void ClipboardHistoryFeature::open(const Uuid& id) {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->isPrivate) return;
  if (item->kind == ItemKind::email) return composeEmail(id);
  for (const auto& target : openTargets(*item)) environment_.workspace.openURL(target);
}

void ClipboardHistoryFeature::composeEmail(const Uuid& id) {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->kind != ItemKind::email) return;
  environment_.workspace.openURL("mailto:" + std::string(UnicodeText::trimWhitespace(item->text)));
}

void ClipboardHistoryFeature::revealInFileManager(const Uuid& id) {
  std::vector<std::string> paths;
  for (const auto& url : fileURLs(id)) paths.push_back(Url::filePath(url));
  if (!paths.empty()) environment_.workspace.revealFiles(paths);
}

std::vector<ApplicationInfo> ClipboardHistoryFeature::applicationsToOpen(const Uuid& id) const {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->isPrivate) return {};
  const auto targets = openTargets(*item);
  if (targets.empty()) return {};
  return environment_.workspace.applicationsToOpen(targets.front());
}

void ClipboardHistoryFeature::open(const Uuid& id, const std::string& bundleIdentifier) {
  const ClipboardItem* item = store_.get().item(id);
  if (!item || item->isPrivate) return;
  const auto targets = openTargets(*item);
  if (!targets.empty()) environment_.workspace.open(targets, bundleIdentifier);
}

}  // namespace mirlet
