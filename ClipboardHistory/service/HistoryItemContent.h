#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/service/CaptureSupport.h"
#include "ClipboardHistory/service/LiveHistory.h"
#include "ClipboardHistory/service/PasteboardWriter.h"
#include "host/FileSystem.h"
#include "host/Workspace.h"

namespace mirlet {

// What the panel shows and opens of an item: its thumbnail and its source's icon
// (both cached), a private item's text on request, its files, previews written
// to a private temporary folder, the items as drag data, and opening them. Never
// a private item's content, except its text when asked to reveal it.
class HistoryItemContent {
 public:
  static constexpr std::size_t kThumbnailCacheSize = 512;
  static constexpr std::string_view kPreviewPrefix = "mirlet-preview-";

  HistoryItemContent(const LiveHistory& history, Workspace& workspace, FileSystem& files,
                     const CaptureSupport& support, const PasteboardWriter& writer,
                     std::filesystem::path temporaryDirectory)
      : history_(history),
        workspace_(workspace),
        files_(files),
        support_(support),
        writer_(writer),
        temporaryDirectory_(std::move(temporaryDirectory)) {}

  // Nothing for ids not in the history.
  std::optional<Bytes> thumbnail(const Uuid& id);
  // The thumbnail changed on disk.
  void forgetThumbnail(const Uuid& id) { thumbnails_.erase(id); }
  std::optional<Bytes> sourceIcon(const Uuid& id);
  std::optional<std::string> revealedText(const Uuid& id) const;
  std::vector<std::string> fileURLs(const Uuid& id) const;
  std::vector<std::filesystem::path> previewFiles(const Uuid& id);
  // Deletes the previews written, and those an earlier run left behind.
  void removePreviews();
  void removeLeftPreviews();
  std::vector<PasteboardItemData> pasteboardItems(const std::vector<Uuid>& ids) const;
  void open(const Uuid& id);
  void revealInFileManager(const Uuid& id);
  void composeEmail(const Uuid& id);
  std::vector<ApplicationInfo> applicationsToOpen(const Uuid& id) const;
  void open(const Uuid& id, const std::string& bundleIdentifier);

 private:
  std::vector<std::string> openTargets(const ClipboardItem& item) const;
  std::optional<std::filesystem::path> writePreview(const Uuid& id, const std::string& extension,
                                                    const Bytes& data);

  const LiveHistory& history_;
  Workspace& workspace_;
  FileSystem& files_;
  const CaptureSupport& support_;
  const PasteboardWriter& writer_;
  std::filesystem::path temporaryDirectory_;
  std::optional<std::filesystem::path> previewFolder_;
  std::map<Uuid, Bytes> thumbnails_;
  std::map<std::string, std::optional<Bytes>> sourceIcons_;
};

}  // namespace mirlet
