#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ClipboardHistory/model/ClipboardItem.h"
#include "ClipboardHistory/model/Fingerprint.h"
#include "ClipboardHistory/service/PrivateItemCipher.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"
#include "core/Signal.h"
#include "host/FileSystem.h"

namespace mirlet {

enum class DiskStoreErrorCode {
  missingBlob,      // a payload file is missing or unreadable
  keyUnavailable,   // a private payload needs the key, and there is none
  unreadableIndex,  // the index file exists but cannot be read
  newerIndex,       // the index was written by a newer version of the program
};

std::string_view errorName(DiskStoreErrorCode code);

using DiskStoreError = ErrorOf<DiskStoreErrorCode>;

// The clipboard history on disk, under its root folder (0700 folders, 0600 files):
//   index.json                 the history index, rewritten whole and atomically
//   index.corrupt-<s>[-n].json an index that could not be decoded, set aside
//   items/<UUID>/<k>.bin       the data of an item's k-th representation, counted
//                              over all its pasteboard items; sealed if private
//   thumbs/<UUID>.png          an item's thumbnail
//
// The in-memory store is the truth while the feature runs: payloads are written
// once when an item is captured; the index is saved a second after the last
// change, encoded on the main thread and written on the
// "app.mirlet.clipboard-history.index" queue. Main thread only.
class HistoryDiskStore {
 public:
  static constexpr double kSaveDelay = 1.0;
  static constexpr const char* kQueueLabel = "app.mirlet.clipboard-history.index";

  struct Services {
    FileSystem& files;
    MainLoop& mainLoop;
    SerialQueueFactory& queues;
    Clock& clock;
  };
  using IndexSource = std::function<HistoryIndex()>;

  // Creates nothing on disk. `indexSource` gives the index to save.
  HistoryDiskStore(Services services, std::filesystem::path root, PrivateItemCipher cipher,
                   IndexSource indexSource);
  ~HistoryDiskStore();
  HistoryDiskStore(const HistoryDiskStore&) = delete;
  HistoryDiskStore& operator=(const HistoryDiskStore&) = delete;

  // Where a program keeps its history: the user's data folder, then the bundle
  // identifier, then "ClipboardHistory".
  static std::filesystem::path defaultRoot(const std::string& bundleIdentifier);

  // A store over `root` if that folder exists (to clear the history while off).
  static std::unique_ptr<HistoryDiskStore> openExisting(Services services,
                                                        const std::filesystem::path& root,
                                                        PrivateItemCipher cipher);

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path thumbnailPath(const Uuid& id) const;

  // Creates the folders and loads the index: a missing one is empty, an undecodable
  // one is set aside (and the history starts empty). Unless an index is set aside,
  // removes the payloads of items the index does not know. Throws DiskStoreError
  // (unreadableIndex, newerIndex) or AtomicFileError.
  HistoryIndex start();

  // Writes a new item's payload files. On failure nothing of it is left. Throws
  // DiskStoreError(keyUnavailable) or AtomicFileError.
  void writeItem(const ClipboardItem& item, const CapturedItems& items);
  // An item's payload, one list per pasteboard item; `types`, when given, limits
  // what is read. Throws DiskStoreError (missingBlob, keyUnavailable) or
  // CipherError(corrupt).
  CapturedItems readItem(const ClipboardItem& item,
                         const std::optional<std::set<std::string>>& types = std::nullopt) const;
  // Writes a file under the root atomically, 0600 (thumbnails). Throws AtomicFileError.
  void writeFile(const Bytes& data, const std::filesystem::path& path);
  // Removes the items' payloads and thumbnails; failures are ignored.
  void deleteItems(const std::vector<Uuid>& ids);

  // Saves the index a second from the first change since the last save.
  void markDirty();
  // Saves now if something changed, and waits for every write; false when a
  // write failed.
  bool flush();
  // Writes this index now and waits; false when it failed.
  bool write(const HistoryIndex& index);
  // Removes the payloads of items not kept and every set-aside index.
  void purge(const std::set<Uuid>& keeping);
  bool hasSetAsideIndex() const;

  // Told on the main thread when a background save failed.
  [[nodiscard]] Subscription observeWriteFailure(std::function<void()> observer) {
    return writeFailed_.connect([observer = std::move(observer)] { observer(); });
  }

 private:
  std::filesystem::path itemFolder(const Uuid& id) const;
  HistoryIndex loadIndex();
  void removeOrphans(const std::set<Uuid>& keeping);
  void save();
  std::optional<std::string> encodedIndex() const;
  bool writeIndexNow(std::string encoded);

  Services services_;
  std::filesystem::path root_;
  PrivateItemCipher cipher_;
  IndexSource indexSource_;
  std::unique_ptr<SerialQueue> writeQueue_;
  TimerHandle saveTimer_;
  bool isDirty_ = false;
  Signal<> writeFailed_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
