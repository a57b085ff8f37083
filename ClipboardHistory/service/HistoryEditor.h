#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ClipboardHistory/model/HistoryLimit.h"
#include "ClipboardHistory/service/HistoryDiskStore.h"
#include "ClipboardHistory/service/LiveHistory.h"
#include "ClipboardHistory/service/PrivateItemCipher.h"

namespace mirlet {

// The changes the user makes to the history: removals and their undo, favourites,
// lists, clearing it, and its limit. Each publishes the history and saves it.
class HistoryEditor {
 public:
  HistoryEditor(LiveHistory& history, HistoryDiskStore::Services disk, std::filesystem::path root,
                PrivateItemCipher cipher)
      : history_(history), disk_(disk), root_(std::move(root)), cipher_(cipher) {}

  Removal remove(const std::vector<Uuid>& ids);
  void restore(const Removal& removal);
  // Deletes the payloads of removed items that stayed removed.
  void commitRemovals(const std::vector<Removal>& removals);
  void setFavorite(bool favorite, const std::vector<Uuid>& ids);
  Uuid createList(const std::string& name);
  void renameList(const Uuid& id, const std::string& name);
  void deleteList(const Uuid& id);
  void add(const std::vector<Uuid>& ids, const Uuid& listID);
  void removeFromList(const std::vector<Uuid>& ids, const Uuid& listID);
  // Removes every unprotected item, running or not; false when the history on disk
  // could not be changed.
  bool clearHistory();
  // Removes what lies over `limit`, with its payloads; nothing is published or
  // saved when nothing does.
  void applyLimit(const HistoryLimit& limit, Date now);

 private:
  LiveHistory& history_;
  HistoryDiskStore::Services disk_;
  std::filesystem::path root_;
  PrivateItemCipher cipher_;
};

}  // namespace mirlet
