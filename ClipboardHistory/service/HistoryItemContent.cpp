#include "ClipboardHistory/service/HistoryItemContent.h"

#include <set>

#include "ClipboardHistory/model/UniformTypes.h"
#include "core/UnicodeText.h"
#include "core/Url.h"
#include "host/AtomicFile.h"

namespace mirlet {
namespace {

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

}  // namespace

std::optional<Bytes> HistoryItemContent::thumbnail(const Uuid& id) {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->isPrivate || !isThumbnailKind(item->kind) || !history_.disk())
    return std::nullopt;
  if (auto cached = thumbnails_.find(id); cached != thumbnails_.end()) return cached->second;
  const auto text = files_.read(history_.disk()->thumbnailPath(id));
  if (!text) return std::nullopt;
  if (thumbnails_.size() >= kThumbnailCacheSize) thumbnails_.erase(thumbnails_.begin());
  return thumbnails_.emplace(id, Bytes(text->begin(), text->end())).first->second;
}

std::optional<Bytes> HistoryItemContent::sourceIcon(const Uuid& id) {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || !item->sourceBundleID) return std::nullopt;
  auto cached = sourceIcons_.find(*item->sourceBundleID);
  if (cached == sourceIcons_.end()) {
    cached = sourceIcons_
                 .emplace(*item->sourceBundleID, workspace_.applicationIcon(*item->sourceBundleID))
                 .first;
  }
  return cached->second;
}

std::optional<std::string> HistoryItemContent::revealedText(const Uuid& id) const {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || !item->isPrivate || !history_.disk()) return std::nullopt;
  try {
    for (const auto& representations : history_.disk()->readItem(
             *item, std::set<std::string>{std::string(CaptureSupport::plainTextType)})) {
      if (!representations.empty()) {
        return UnicodeText::repairedUtf8(CaptureSupport::text(representations.front().data));
      }
    }
  } catch (const Error&) {
    // Shown as nothing.
  }
  return std::nullopt;
}

std::vector<std::string> HistoryItemContent::fileURLs(const Uuid& id) const {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->isPrivate || !isFileKind(item->kind) || !history_.disk()) return {};
  try {
    return support_.fileURLs(history_.disk()->readItem(
        *item, std::set<std::string>{std::string(CaptureSupport::fileURLType)}));
  } catch (const Error&) {
    return {};
  }
}

std::optional<std::filesystem::path> HistoryItemContent::writePreview(const Uuid& id,
                                                                      const std::string& extension,
                                                                      const Bytes& data) {
  try {
    if (!previewFolder_) {
      const auto folder =
          temporaryDirectory_ / (std::string(kPreviewPrefix) + Uuid::random().toString());
      files_.createFolder(folder);
      previewFolder_ = folder;
    }
    const auto path = *previewFolder_ / (id.toString() + "." + extension);
    AtomicFile::write(files_, path, CaptureSupport::text(data));
    return path;
  } catch (const AtomicFileError&) {
    return std::nullopt;
  }
}

void HistoryItemContent::removePreviews() {
  if (previewFolder_) files_.removeAll(*previewFolder_);
  previewFolder_.reset();
}

void HistoryItemContent::removeLeftPreviews() {
  for (const auto& name : files_.list(temporaryDirectory_)) {
    if (name.starts_with(kPreviewPrefix)) files_.removeAll(temporaryDirectory_ / name);
  }
}

std::vector<std::filesystem::path> HistoryItemContent::previewFiles(const Uuid& id) {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->isPrivate || !history_.disk()) return {};
  std::vector<std::filesystem::path> files;
  if (isFileKind(item->kind)) {
    for (const auto& url : fileURLs(id)) files.emplace_back(Url::filePath(url));
    return files;
  }
  try {
    if (item->kind == ItemKind::image || item->kind == ItemKind::screenshot) {
      const CapturedItems payload = history_.disk()->readItem(*item);
      if (const auto* image = CaptureSupport::imageRepresentation(payload)) {
        const auto extension = UniformTypes::preferredFilenameExtension(image->type);
        if (auto path = writePreview(id, std::string(extension.value_or("png")), image->data))
          files.push_back(*path);
      }
    } else if (isTextKind(item->kind)) {
      for (const auto& representations : history_.disk()->readItem(
               *item, std::set<std::string>{std::string(CaptureSupport::plainTextType)})) {
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

std::vector<PasteboardItemData> HistoryItemContent::pasteboardItems(
    const std::vector<Uuid>& ids) const {
  std::vector<PasteboardItemData> items;
  if (!history_.disk()) return items;
  for (const Uuid& id : ids) {
    const ClipboardItem* item = history_.store().item(id);
    if (!item) continue;
    try {
      auto made = writer_.makeItems(history_.disk()->readItem(*item), item->isPrivate);
      items.insert(items.end(), made.begin(), made.end());
    } catch (const Error&) {
      continue;  // what cannot be read is not dragged
    }
  }
  return items;
}

std::vector<std::string> HistoryItemContent::openTargets(const ClipboardItem& item) const {
  if (item.kind == ItemKind::link) return {std::string(UnicodeText::trimWhitespace(item.text))};
  if (isFileKind(item.kind)) return fileURLs(item.id);
  return {};
}

void HistoryItemContent::open(const Uuid& id) {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->isPrivate) return;
  if (item->kind == ItemKind::email) return composeEmail(id);
  for (const auto& target : openTargets(*item)) workspace_.openURL(target);
}

void HistoryItemContent::composeEmail(const Uuid& id) {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->kind != ItemKind::email) return;
  workspace_.openURL("mailto:" + std::string(UnicodeText::trimWhitespace(item->text)));
}

void HistoryItemContent::revealInFileManager(const Uuid& id) {
  std::vector<std::string> paths;
  for (const auto& url : fileURLs(id)) paths.push_back(Url::filePath(url));
  if (!paths.empty()) workspace_.revealFiles(paths);
}

std::vector<ApplicationInfo> HistoryItemContent::applicationsToOpen(const Uuid& id) const {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->isPrivate) return {};
  const auto targets = openTargets(*item);
  if (targets.empty()) return {};
  return workspace_.applicationsToOpen(targets.front());
}

void HistoryItemContent::open(const Uuid& id, const std::string& bundleIdentifier) {
  const ClipboardItem* item = history_.store().item(id);
  if (!item || item->isPrivate) return;
  const auto targets = openTargets(*item);
  if (!targets.empty()) workspace_.open(targets, bundleIdentifier);
}

}  // namespace mirlet
