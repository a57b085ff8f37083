#pragma once

#include <string>
#include <utility>

#include "ClipboardHistory/model/ClipboardItem.h"

namespace mirlet::testing {

// Builds history items for tests: a text item by default, each field settable.
class ItemBuilder {
 public:
  explicit ItemBuilder(std::string text = "hola") {
    item_.id = Uuid::random();
    item_.kind = ItemKind::text;
    item_.detail = ItemDetails::Lines{1};
    item_.text = text;
    item_.fingerprint = "fp-" + text;
    item_.pasteboardTypes = {{"public.utf8-plain-text"}};
    item_.byteCount = static_cast<std::int64_t>(text.size());
    item_.firstCopiedAt = item_.lastUsedAt = Date{800000000};
  }

  ItemBuilder& id(Uuid value) { return set(&ClipboardItem::id, value); }
  ItemBuilder& kind(ItemKind value) { return set(&ClipboardItem::kind, value); }
  ItemBuilder& fingerprint(std::string value) {
    return set(&ClipboardItem::fingerprint, std::move(value));
  }
  ItemBuilder& usedAt(Date value) {
    item_.firstCopiedAt = value;
    return set(&ClipboardItem::lastUsedAt, value);
  }
  ItemBuilder& types(std::vector<std::vector<std::string>> value) {
    return set(&ClipboardItem::pasteboardTypes, std::move(value));
  }
  ItemBuilder& favorite() { return set(&ClipboardItem::isFavorite, true); }
  ItemBuilder& asPrivate() { return set(&ClipboardItem::isPrivate, true); }
  ItemBuilder& source(std::string bundleID, std::string name) {
    item_.sourceBundleID = std::move(bundleID);
    return set(&ClipboardItem::sourceName, std::optional<std::string>(std::move(name)));
  }
  ItemBuilder& windowTitle(std::string value) {
    return set(&ClipboardItem::windowTitle, std::optional<std::string>(std::move(value)));
  }
  ItemBuilder& linkTitle(std::string value) {
    return set(&ClipboardItem::linkTitle, std::optional<std::string>(std::move(value)));
  }

  ClipboardItem build() const { return item_; }
  operator ClipboardItem() const { return item_; }

 private:
  template <class Field, class Value>
  ItemBuilder& set(Field ClipboardItem::*field, Value value) {
    item_.*field = std::move(value);
    return *this;
  }

  ClipboardItem item_;
};

}  // namespace mirlet::testing
