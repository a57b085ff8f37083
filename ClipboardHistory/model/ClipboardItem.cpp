#include "ClipboardHistory/model/ClipboardItem.h"

namespace mirlet {

ClipboardItem ClipboardItem::make(Contents contents) {
  ClipboardItem item;
  item.id = contents.id;
  item.isPrivate = contents.isPrivate;
  if (!contents.isPrivate) {
    item.kind = contents.kind;
    item.detail = contents.detail;
    item.text = std::move(contents.text);
    item.byteCount = contents.byteCount;
  }
  item.sourceBundleID = std::move(contents.sourceBundleID);
  item.sourceName = std::move(contents.sourceName);
  item.windowTitle = std::move(contents.windowTitle);
  item.firstCopiedAt = contents.copiedAt;
  item.lastUsedAt = contents.copiedAt;
  item.fingerprint = std::move(contents.fingerprint);
  item.pasteboardTypes = std::move(contents.pasteboardTypes);
  item.isFavorite = contents.isFavorite;
  item.linkTitle = std::move(contents.linkTitle);
  return item;
}

}  // namespace mirlet
