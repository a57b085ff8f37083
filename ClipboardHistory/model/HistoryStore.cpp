#include "ClipboardHistory/model/HistoryStore.h"

#include <algorithm>
#include <unordered_set>

namespace mirlet {
namespace {

std::unordered_set<Uuid> idSet(const std::vector<Uuid>& ids) { return {ids.begin(), ids.end()}; }

}  // namespace

std::vector<Uuid> Removal::itemIDs() const {
  std::vector<Uuid> ids;
  ids.reserve(entries.size());
  for (const Entry& entry : entries) ids.push_back(entry.item.id);
  return ids;
}

HistoryStore::HistoryStore(HistoryIndex index) : lists_(std::move(index.lists)) {
  items_.items_.reserve(index.items.size());
  for (ClipboardItem& item : index.items) {
    items_.items_.push_back(std::make_shared<const ClipboardItem>(std::move(item)));
  }
}

HistoryIndex HistoryStore::index() const {
  return HistoryIndex{HistoryIndex::currentVersion, {items_.begin(), items_.end()}, lists_};
}

std::optional<std::size_t> HistoryStore::position(const Uuid& id) const {
  if (!positions_) {
    auto positions = std::make_shared<Positions>();
    positions->reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) positions->emplace(items_[i].id, i);
    positions_ = std::move(positions);
  }
  auto found = positions_->find(id);
  if (found == positions_->end()) return std::nullopt;
  return found->second;
}

template <class Change>
void HistoryStore::change(const Uuid& id, Change apply) {
  const auto at = position(id);
  if (!at) return;
  auto changed = std::make_shared<ClipboardItem>(items_[*at]);
  apply(*changed);
  items_.items_[*at] = std::move(changed);
}

const ClipboardItem* HistoryStore::item(const Uuid& id) const {
  const auto at = position(id);
  return at ? &items_[*at] : nullptr;
}

const ItemList* HistoryStore::list(const Uuid& id) const {
  auto found = std::find_if(lists_.begin(), lists_.end(),
                            [&](const ItemList& list) { return list.id == id; });
  return found == lists_.end() ? nullptr : &*found;
}

ItemList* HistoryStore::mutableList(const Uuid& id) {
  auto found = std::find_if(lists_.begin(), lists_.end(),
                            [&](const ItemList& list) { return list.id == id; });
  return found == lists_.end() ? nullptr : &*found;
}

bool HistoryStore::isProtected(const Uuid& id) const {
  if (const ClipboardItem* found = item(id); found && found->isFavorite) return true;
  return std::any_of(lists_.begin(), lists_.end(), [&](const ItemList& list) {
    return std::find(list.itemIDs.begin(), list.itemIDs.end(), id) != list.itemIDs.end();
  });
}

HistoryStore::RecordResult HistoryStore::record(ClipboardItem item) {
  auto& storage = items_.items_;
  auto existing = std::find_if(storage.begin(), storage.end(), [&](const auto& candidate) {
    return candidate->fingerprint == item.fingerprint;
  });
  if (existing == storage.end()) {
    const Uuid id = item.id;
    storage.insert(storage.begin(), std::make_shared<const ClipboardItem>(std::move(item)));
    itemsChanged();
    return Inserted{id};
  }
  auto promoted = std::make_shared<ClipboardItem>(**existing);
  storage.erase(existing);
  promoted->lastUsedAt = item.lastUsedAt;
  promoted->sourceBundleID = std::move(item.sourceBundleID);
  promoted->sourceName = std::move(item.sourceName);
  promoted->windowTitle = std::move(item.windowTitle);
  const Uuid id = promoted->id;
  storage.insert(storage.begin(), std::move(promoted));
  itemsChanged();
  return Promoted{id};
}

void HistoryStore::markUsed(const std::vector<Uuid>& ids, Date date, bool promote) {
  for (const Uuid& id : ids) change(id, [&](ClipboardItem& item) { item.lastUsedAt = date; });
  if (!promote) return;
  // The named items in the order given, then the others in their order.
  HistoryItems::Storage reordered;
  reordered.reserve(items_.size());
  std::unordered_set<Uuid> moved;
  for (const Uuid& id : ids) {
    const auto at = position(id);
    if (at && moved.insert(id).second) reordered.push_back(items_.shared(*at));
  }
  for (const auto& item : items_.storage()) {
    if (!moved.contains(item->id)) reordered.push_back(item);
  }
  items_.items_ = std::move(reordered);
  itemsChanged();
}

void HistoryStore::setFavorite(bool favorite, const std::vector<Uuid>& ids) {
  for (const Uuid& id : idSet(ids)) {
    change(id, [&](ClipboardItem& item) { item.isFavorite = favorite; });
  }
}

void HistoryStore::setLinkTitle(const std::optional<std::string>& title, const Uuid& id) {
  change(id, [&](ClipboardItem& item) { item.linkTitle = title; });
}

void HistoryStore::setWindowTitle(const std::optional<std::string>& title, const Uuid& id) {
  change(id, [&](ClipboardItem& item) {
    if (!item.isPrivate) item.windowTitle = title;
  });
}

Removal HistoryStore::remove(const std::vector<Uuid>& ids) {
  const auto named = idSet(ids);
  Removal removal;
  auto& storage = items_.items_;
  for (std::size_t position = 0; position < storage.size(); ++position) {
    if (named.contains(storage[position]->id))
      removal.entries.push_back({position, *storage[position]});
  }
  for (ItemList& list : lists_) {
    for (std::size_t position = 0; position < list.itemIDs.size(); ++position) {
      if (named.contains(list.itemIDs[position])) {
        removal.memberships.push_back({list.id, position, list.itemIDs[position]});
      }
    }
    std::erase_if(list.itemIDs, [&](const Uuid& id) { return named.contains(id); });
  }
  if (!removal.entries.empty()) {
    std::erase_if(storage, [&](const auto& item) { return named.contains(item->id); });
    itemsChanged();
  }
  return removal;
}

void HistoryStore::restore(const Removal& removal) {
  // One merge: each removed item goes back to its former position, in ascending
  // order, as if inserted one by one; items present again are skipped.
  auto& storage = items_.items_;
  HistoryItems::Storage merged;
  merged.reserve(storage.size() + removal.entries.size());
  std::unordered_set<Uuid> present;
  for (const auto& item : storage) present.insert(item->id);
  std::size_t next = 0;
  for (const Removal::Entry& entry : removal.entries) {
    if (!present.insert(entry.item.id).second) continue;
    while (merged.size() < entry.position && next < storage.size())
      merged.push_back(storage[next++]);
    merged.push_back(std::make_shared<const ClipboardItem>(entry.item));
  }
  merged.insert(merged.end(), storage.begin() + static_cast<std::ptrdiff_t>(next), storage.end());
  if (merged.size() != storage.size()) {
    storage = std::move(merged);
    itemsChanged();
  }

  for (ItemList& list : lists_) {
    std::unordered_set<Uuid> listed(list.itemIDs.begin(), list.itemIDs.end());
    std::vector<Uuid> ids;
    ids.reserve(list.itemIDs.size());
    std::size_t kept = 0;
    for (const Removal::Membership& membership : removal.memberships) {
      if (membership.listID != list.id || !listed.insert(membership.itemID).second) continue;
      while (ids.size() < membership.position && kept < list.itemIDs.size())
        ids.push_back(list.itemIDs[kept++]);
      ids.push_back(membership.itemID);
    }
    ids.insert(ids.end(), list.itemIDs.begin() + static_cast<std::ptrdiff_t>(kept),
               list.itemIDs.end());
    list.itemIDs = std::move(ids);
  }
}

std::vector<Uuid> HistoryStore::enforce(const HistoryLimit& limit, Date now) {
  std::unordered_set<Uuid> listed;
  for (const ItemList& list : lists_) listed.insert(list.itemIDs.begin(), list.itemIDs.end());
  std::vector<Uuid> marked;
  std::int64_t unprotected = 0;
  for (const ClipboardItem& item : items_) {
    if (item.isFavorite || listed.contains(item.id)) continue;
    ++unprotected;
    const bool beyondLimit =
        limit.unit == HistoryLimit::Unit::count
            ? unprotected > limit.value
            : now - item.lastUsedAt > static_cast<double>(limit.value) * 86400.0;
    if (beyondLimit || unprotected > HistoryLimits::hardCap) marked.push_back(item.id);
  }
  if (marked.empty()) return {};
  return remove(marked).itemIDs();
}

std::vector<Uuid> HistoryStore::clearUnprotected() {
  std::unordered_set<Uuid> listed;
  for (const ItemList& list : lists_) listed.insert(list.itemIDs.begin(), list.itemIDs.end());
  std::vector<Uuid> unprotected;
  for (const ClipboardItem& item : items_) {
    if (!item.isFavorite && !listed.contains(item.id)) unprotected.push_back(item.id);
  }
  if (unprotected.empty()) return {};
  return remove(unprotected).itemIDs();
}

Uuid HistoryStore::createList(const std::string& name, const Uuid& id) {
  lists_.push_back(ItemList{id, name, {}});
  return id;
}

void HistoryStore::renameList(const Uuid& id, const std::string& name) {
  if (ItemList* found = mutableList(id)) found->name = name;
}

void HistoryStore::deleteList(const Uuid& id) {
  std::erase_if(lists_, [&](const ItemList& list) { return list.id == id; });
}

void HistoryStore::add(const std::vector<Uuid>& ids, const Uuid& listID) {
  ItemList* target = mutableList(listID);
  if (!target) return;
  std::unordered_set<Uuid> present(target->itemIDs.begin(), target->itemIDs.end());
  for (const Uuid& id : ids) {
    if (item(id) && present.insert(id).second) target->itemIDs.push_back(id);
  }
}

void HistoryStore::removeFromList(const std::vector<Uuid>& ids, const Uuid& listID) {
  ItemList* target = mutableList(listID);
  if (!target) return;
  const auto named = idSet(ids);
  std::erase_if(target->itemIDs, [&](const Uuid& id) { return named.contains(id); });
}

}  // namespace mirlet
