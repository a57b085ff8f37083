#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ClipboardHistory/model/ItemDetail.h"
#include "ClipboardHistory/model/ItemKind.h"
#include "core/Date.h"
#include "core/Uuid.h"

namespace mirlet {

// One remembered clipboard entry. Fields in the order of its stored form.
struct ClipboardItem {
  Uuid id;
  ItemKind kind = ItemKind::other;
  ItemDetail detail;
  bool isPrivate = false;
  std::string text;  // shown and searched; empty for private items, images, opaque content
  std::optional<std::string> sourceBundleID;
  std::optional<std::string> sourceName;
  std::optional<std::string> windowTitle;
  Date firstCopiedAt;
  Date lastUsedAt;  // the history is ordered by this
  std::string fingerprint;
  std::vector<std::vector<std::string>> pasteboardTypes;  // per pasteboard item, in order
  std::int64_t byteCount = 0;
  bool isFavorite = false;
  std::optional<std::string> linkTitle;

  // What a capture gives to make an item.
  struct Contents {
    Uuid id;
    ItemKind kind = ItemKind::other;
    ItemDetail detail;
    bool isPrivate = false;
    std::string text;
    std::optional<std::string> sourceBundleID;
    std::optional<std::string> sourceName;
    std::optional<std::string> windowTitle;
    Date copiedAt;
    std::string fingerprint;
    std::vector<std::vector<std::string>> pasteboardTypes;
    std::int64_t byteCount = 0;
    bool isFavorite = false;
    std::optional<std::string> linkTitle;
  };

  // Both dates are `copiedAt`. A private item keeps nothing that reveals its
  // content: kind other, detail none, empty text and a byte count of 0; the content
  // exists only in its encrypted payload.
  static ClipboardItem make(Contents contents);

  friend bool operator==(const ClipboardItem&, const ClipboardItem&) = default;
};

// A user list of items, in the user's order.
struct ItemList {
  Uuid id;
  std::string name;
  std::vector<Uuid> itemIDs;
  friend bool operator==(const ItemList&, const ItemList&) = default;
};

// The persisted history: items most recently used first, lists in sidebar order.
struct HistoryIndex {
  static constexpr int currentVersion = 1;

  std::int64_t version = currentVersion;
  std::vector<ClipboardItem> items;
  std::vector<ItemList> lists;

  friend bool operator==(const HistoryIndex&, const HistoryIndex&) = default;
};

}  // namespace mirlet
