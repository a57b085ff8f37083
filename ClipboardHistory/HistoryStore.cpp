#include "ClipboardHistory/HistoryStore.h"

#include <algorithm>
#include <set>

namespace mirlet {
namespace {

template <class Values>
auto findByID(Values& values, const Uuid& id) {
  return std::find_if(values.begin(), values.end(),
                      [&](const auto& value) { return value.id == id; });
}

std::set<Uuid> idSet(const std::vector<Uuid>& ids) { return {ids.begin(), ids.end()}; }

}  // namespace

std::vector<Uuid> Removal::itemIDs() const {
  std::vector<Uuid> ids;
  ids.reserve(entries.size());
  for (const Entry& entry : entries) ids.push_back(entry.item.id);
  return ids;
}

HistoryStore::HistoryStore(HistoryIndex index)
    : items_(std::move(index.items)), lists_(std::move(index.lists)) {}

HistoryIndex HistoryStore::index() const {
  return HistoryIndex{HistoryIndex::currentVersion, items_, lists_};
}

const ClipboardItem* HistoryStore::item(const Uuid& id) const {
  auto found = findByID(items_, id);
  return found == items_.end() ? nullptr : &*found;
}

const ItemList* HistoryStore::list(const Uuid& id) const {
  auto found = findByID(lists_, id);
  return found == lists_.end() ? nullptr : &*found;
}

ClipboardItem* HistoryStore::mutableItem(const Uuid& id) {
  auto found = findByID(items_, id);
  return found == items_.end() ? nullptr : &*found;
}

ItemList* HistoryStore::mutableList(const Uuid& id) {
  auto found = findByID(lists_, id);
  return found == lists_.end() ? nullptr : &*found;
}

bool HistoryStore::isProtected(const Uuid& id) const {
  if (const ClipboardItem* found = item(id); found && found->isFavorite) return true;
  return std::any_of(lists_.begin(), lists_.end(), [&](const ItemList& list) {
    return std::find(list.itemIDs.begin(), list.itemIDs.end(), id) != list.itemIDs.end();
  });
}

HistoryStore::RecordResult HistoryStore::record(ClipboardItem item) {
  auto existing = std::find_if(items_.begin(), items_.end(), [&](const ClipboardItem& candidate) {
    return candidate.fingerprint == item.fingerprint;
  });
  if (existing == items_.end()) {
    const Uuid id = item.id;
    items_.insert(items_.begin(), std::move(item));
    return Inserted{id};
  }
  ClipboardItem promoted = std::move(*existing);
  items_.erase(existing);
  promoted.lastUsedAt = item.lastUsedAt;
  promoted.sourceBundleID = std::move(item.sourceBundleID);
  promoted.sourceName = std::move(item.sourceName);
  promoted.windowTitle = std::move(item.windowTitle);
  const Uuid id = promoted.id;
  items_.insert(items_.begin(), std::move(promoted));
  return Promoted{id};
}

void HistoryStore::markUsed(const std::vector<Uuid>& ids, Date date, bool promote) {
  const std::set<Uuid> named = idSet(ids);
  for (ClipboardItem& item : items_) {
    if (named.contains(item.id)) item.lastUsedAt = date;
  }
  if (!promote) return;
  std::vector<ClipboardItem> front;
  for (const Uuid& id : ids) {
    auto found = findByID(items_, id);
    if (found == items_.end()) continue;
    front.push_back(std::move(*found));
    items_.erase(found);
  }
  items_.insert(items_.begin(), std::make_move_iterator(front.begin()),
                std::make_move_iterator(front.end()));
}

void HistoryStore::setFavorite(bool favorite, const std::vector<Uuid>& ids) {
  const std::set<Uuid> named = idSet(ids);
  for (ClipboardItem& item : items_) {
    if (named.contains(item.id)) item.isFavorite = favorite;
  }
}

void HistoryStore::setLinkTitle(const std::optional<std::string>& title, const Uuid& id) {
  if (ClipboardItem* found = mutableItem(id)) found->linkTitle = title;
}

void HistoryStore::setWindowTitle(const std::optional<std::string>& title, const Uuid& id) {
  if (ClipboardItem* found = mutableItem(id); found && !found->isPrivate)
    found->windowTitle = title;
}

Removal HistoryStore::remove(const std::vector<Uuid>& ids) {
  const std::set<Uuid> named = idSet(ids);
  Removal removal;
  for (std::size_t position = 0; position < items_.size(); ++position) {
    if (named.contains(items_[position].id))
      removal.entries.push_back({position, items_[position]});
  }
  for (ItemList& list : lists_) {
    for (std::size_t position = 0; position < list.itemIDs.size(); ++position) {
      if (named.contains(list.itemIDs[position])) {
        removal.memberships.push_back({list.id, position, list.itemIDs[position]});
      }
    }
    std::erase_if(list.itemIDs, [&](const Uuid& id) { return named.contains(id); });
  }
  std::erase_if(items_, [&](const ClipboardItem& item) { return named.contains(item.id); });
  return removal;
}

void HistoryStore::restore(const Removal& removal) {
  for (const Removal::Entry& entry : removal.entries) {
    if (item(entry.item.id)) continue;
    const auto position = std::min(entry.position, items_.size());
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), entry.item);
  }
  for (const Removal::Membership& membership : removal.memberships) {
    ItemList* target = mutableList(membership.listID);
    if (!target) continue;
    auto& ids = target->itemIDs;
    if (std::find(ids.begin(), ids.end(), membership.itemID) != ids.end()) continue;
    const auto position = std::min(membership.position, ids.size());
    ids.insert(ids.begin() + static_cast<std::ptrdiff_t>(position), membership.itemID);
  }
}

std::vector<Uuid> HistoryStore::enforce(const HistoryLimit& limit, Date now) {
  std::set<Uuid> listed;
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
  std::vector<Uuid> unprotected;
  for (const ClipboardItem& item : items_) {
    if (!isProtected(item.id)) unprotected.push_back(item.id);
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
  for (const Uuid& id : ids) {
    if (!item(id)) continue;
    if (std::find(target->itemIDs.begin(), target->itemIDs.end(), id) != target->itemIDs.end())
      continue;
    target->itemIDs.push_back(id);
  }
}

void HistoryStore::removeFromList(const std::vector<Uuid>& ids, const Uuid& listID) {
  ItemList* target = mutableList(listID);
  if (!target) return;
  const std::set<Uuid> named = idSet(ids);
  std::erase_if(target->itemIDs, [&](const Uuid& id) { return named.contains(id); });
}

}  // namespace mirlet
