#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "ClipboardHistory/model/ClipboardItem.h"
#include "ClipboardHistory/model/HistoryItems.h"
#include "ClipboardHistory/model/HistoryLimit.h"

namespace mirlet {

// Everything needed to undo a removal exactly.
struct Removal {
  struct Entry {
    std::size_t position;  // in the items before the removal
    ClipboardItem item;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  struct Membership {
    Uuid listID;
    std::size_t position;  // in the list before the removal
    Uuid itemID;
    friend bool operator==(const Membership&, const Membership&) = default;
  };
  std::vector<Entry> entries;           // ascending position
  std::vector<Membership> memberships;  // list order, then ascending position

  std::vector<Uuid> itemIDs() const;
  friend bool operator==(const Removal&, const Removal&) = default;
};

// The in-memory history: items most recently used first, and the user's lists.
// A plain value; every change goes through the operations below.
//
// Favourites and listed items are protected: limits and clearing never remove
// them, only an explicit `remove` does.
//
// Items are shared and immutable, so a copy (a published history) costs one pointer
// per item; lookups by id go through an index built once after each change.
class HistoryStore {
 public:
  struct Inserted {
    Uuid id;
    friend bool operator==(const Inserted&, const Inserted&) = default;
  };
  struct Promoted {
    Uuid id;  // the existing item's
    friend bool operator==(const Promoted&, const Promoted&) = default;
  };
  using RecordResult = std::variant<Inserted, Promoted>;

  HistoryStore() = default;
  // The index's version is ignored.
  explicit HistoryStore(HistoryIndex index);

  const HistoryItems& items() const { return items_; }
  const std::vector<ItemList>& lists() const { return lists_; }
  // Version 1.
  HistoryIndex index() const;

  const ClipboardItem* item(const Uuid& id) const;
  const ItemList* list(const Uuid& id) const;
  // A favourite, or an id in any list (even with no such item).
  bool isProtected(const Uuid& id) const;

  // A capture whose fingerprint is already present promotes that item to the
  // front, taking the new last-used date and source fields; otherwise the item is
  // inserted at the front. Never prunes.
  RecordResult record(ClipboardItem item);
  // Sets the last-used date; with `promote`, moves the items to the front in the
  // order of `ids`.
  void markUsed(const std::vector<Uuid>& ids, Date date, bool promote);
  void setFavorite(bool favorite, const std::vector<Uuid>& ids);
  void setLinkTitle(const std::optional<std::string>& title, const Uuid& id);
  // Private items keep their window title.
  void setWindowTitle(const std::optional<std::string>& title, const Uuid& id);

  Removal remove(const std::vector<Uuid>& ids);
  // Puts the removed items back at their former positions, and their list
  // memberships into the lists that still exist. Items already present are skipped.
  void restore(const Removal& removal);
  // Removes the unprotected items beyond the limit (and beyond the hard cap);
  // returns their ids in former position order.
  std::vector<Uuid> enforce(const HistoryLimit& limit, Date now);
  std::vector<Uuid> clearUnprotected();

  Uuid createList(const std::string& name, const Uuid& id);
  void renameList(const Uuid& id, const std::string& name);
  // The list's items stay in the history.
  void deleteList(const Uuid& id);
  // Appends the ids that have an item and are not yet in the list.
  void add(const std::vector<Uuid>& ids, const Uuid& listID);
  void removeFromList(const std::vector<Uuid>& ids, const Uuid& listID);

  friend bool operator==(const HistoryStore& a, const HistoryStore& b) {
    return a.items_ == b.items_ && a.lists_ == b.lists_;
  }

 private:
  using Positions = std::unordered_map<Uuid, std::size_t>;

  // The position of the item with that id.
  std::optional<std::size_t> position(const Uuid& id) const;
  // Changes one item: the store's own copy replaces the shared one.
  template <class Change>
  void change(const Uuid& id, Change change);
  // Every change of the items' order or membership ends with this.
  void itemsChanged() { positions_.reset(); }
  ItemList* mutableList(const Uuid& id);

  HistoryItems items_;
  std::vector<ItemList> lists_;
  mutable std::shared_ptr<const Positions> positions_;  // built on first lookup
};

}  // namespace mirlet
