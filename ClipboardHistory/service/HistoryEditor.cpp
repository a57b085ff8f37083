#include "ClipboardHistory/service/HistoryEditor.h"

#include <algorithm>
#include <set>

namespace mirlet {

Removal HistoryEditor::remove(const std::vector<Uuid>& ids) {
  return history_.edit([&](HistoryStore& store) { return store.remove(ids); });
}

void HistoryEditor::restore(const Removal& removal) {
  history_.edit([&](HistoryStore& store) { store.restore(removal); });
}

void HistoryEditor::commitRemovals(const std::vector<Removal>& removals) {
  std::vector<Uuid> gone;
  for (const Removal& removal : removals) {
    for (const auto& entry : removal.entries) {
      if (!history_.store().item(entry.item.id)) gone.push_back(entry.item.id);
    }
  }
  if (gone.empty()) return;
  if (HistoryDiskStore* disk = history_.disk()) return disk->deleteItems(gone);
  // Off: the history on disk decides what is gone.
  auto existing = HistoryDiskStore::openExisting(disk_, root_, cipher_);
  if (!existing) return;
  try {
    const HistoryIndex index = existing->start();
    std::erase_if(gone, [&](const Uuid& id) {
      return std::any_of(index.items.begin(), index.items.end(),
                         [&](const ClipboardItem& item) { return item.id == id; });
    });
    existing->deleteItems(gone);
  } catch (const Error&) {
    // An unreadable history keeps its payloads.
  }
}

void HistoryEditor::setFavorite(bool favorite, const std::vector<Uuid>& ids) {
  history_.edit([&](HistoryStore& store) { store.setFavorite(favorite, ids); });
}

Uuid HistoryEditor::createList(const std::string& name) {
  return history_.edit([&](HistoryStore& store) { return store.createList(name, Uuid::random()); });
}

void HistoryEditor::renameList(const Uuid& id, const std::string& name) {
  history_.edit([&](HistoryStore& store) { store.renameList(id, name); });
}

void HistoryEditor::deleteList(const Uuid& id) {
  history_.edit([&](HistoryStore& store) { store.deleteList(id); });
}

void HistoryEditor::add(const std::vector<Uuid>& ids, const Uuid& listID) {
  history_.edit([&](HistoryStore& store) { store.add(ids, listID); });
}

void HistoryEditor::removeFromList(const std::vector<Uuid>& ids, const Uuid& listID) {
  history_.edit([&](HistoryStore& store) { store.removeFromList(ids, listID); });
}

bool HistoryEditor::clearHistory() {
  auto remainingIDs = [](const HistoryStore& store) {
    std::set<Uuid> ids;
    for (const auto& item : store.items()) ids.insert(item.id);
    return ids;
  };
  if (HistoryDiskStore* disk = history_.disk()) {
    history_.edit([](HistoryStore& store) { store.clearUnprotected(); });
    if (!disk->flush()) return false;
    disk->purge(remainingIDs(history_.store()));
    return true;
  }
  auto existing = HistoryDiskStore::openExisting(disk_, root_, cipher_);
  if (!existing) return true;
  try {
    HistoryStore store(existing->start());
    store.clearUnprotected();
    if (!existing->write(store.index())) return false;
    existing->purge(remainingIDs(store));
    history_.publish(std::move(store));
    return true;
  } catch (const Error&) {
    return false;
  }
}

void HistoryEditor::applyLimit(const HistoryLimit& limit, Date now) {
  HistoryDiskStore* disk = history_.disk();
  if (!disk) return;
  HistoryStore store = history_.store();
  const auto removed = store.enforce(limit, now);
  // Nothing over the limit: nothing to publish or save (a start would rewrite the
  // whole index otherwise).
  if (removed.empty()) return;
  history_.publishAndSave(std::move(store));
  disk->deleteItems(removed);
}

}  // namespace mirlet
