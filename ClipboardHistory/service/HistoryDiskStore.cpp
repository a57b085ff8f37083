#include "ClipboardHistory/service/HistoryDiskStore.h"

#include <cmath>

#include "ClipboardHistory/model/HistoryIndexCodec.h"
#include "host/AtomicFile.h"
#include "host/XdgFolders.h"

namespace mirlet {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kIndexName = "index.json";
constexpr std::string_view kSetAsidePrefix = "index.corrupt-";

}  // namespace

std::string_view errorName(DiskStoreErrorCode code) {
  switch (code) {
    case DiskStoreErrorCode::missingBlob:
      return "disk store: missing blob";
    case DiskStoreErrorCode::keyUnavailable:
      return "disk store: key unavailable";
    case DiskStoreErrorCode::unreadableIndex:
      return "disk store: unreadable index";
    case DiskStoreErrorCode::newerIndex:
      return "disk store: newer index";
  }
  return "disk store";
}

HistoryDiskStore::HistoryDiskStore(Services services, fs::path root, PrivateItemCipher cipher,
                                   IndexSource indexSource)
    : services_(services),
      root_(std::move(root)),
      cipher_(cipher),
      indexSource_(std::move(indexSource)),
      writeQueue_(services.queues.makeQueue(kQueueLabel)) {}

HistoryDiskStore::~HistoryDiskStore() = default;

std::filesystem::path HistoryDiskStore::defaultRoot(const std::string& bundleIdentifier) {
  return XdgFolders::dataHome() / bundleIdentifier / "ClipboardHistory";
}

std::unique_ptr<HistoryDiskStore> HistoryDiskStore::openExisting(Services services,
                                                                 const fs::path& root,
                                                                 PrivateItemCipher cipher) {
  if (services.files.kind(root) != FileSystem::Kind::folder) return nullptr;
  return std::make_unique<HistoryDiskStore>(services, root, cipher, IndexSource());
}

fs::path HistoryDiskStore::itemFolder(const Uuid& id) const {
  return root_ / "items" / id.toString();
}

fs::path HistoryDiskStore::thumbnailPath(const Uuid& id) const {
  return root_ / "thumbs" / (id.toString() + ".png");
}

HistoryIndex HistoryDiskStore::start() {
  for (const fs::path& folder : {root_, root_ / "items", root_ / "thumbs"}) {
    services_.files.createFolder(folder);
  }
  HistoryIndex index = loadIndex();
  if (!hasSetAsideIndex()) {
    std::set<Uuid> known;
    for (const auto& item : index.items) known.insert(item.id);
    removeOrphans(known);
  }
  return index;
}

HistoryIndex HistoryDiskStore::loadIndex() {
  const fs::path path = root_ / kIndexName;
  if (services_.files.kind(path) == FileSystem::Kind::missing) return HistoryIndex{};
  const auto text = services_.files.read(path);
  if (!text) throw DiskStoreError(DiskStoreErrorCode::unreadableIndex, path.string());
  if (const auto version = HistoryIndexCodec::decodeVersion(*text); version && *version >= 2) {
    throw DiskStoreError(DiskStoreErrorCode::newerIndex, std::to_string(*version));
  }
  try {
    return HistoryIndexCodec::decode(*text);
  } catch (const IndexDecodingError&) {
    // Set aside for the user, and start empty.
  }
  const auto seconds =
      std::to_string(static_cast<std::int64_t>(std::floor(services_.clock.now().unixSeconds())));
  fs::path aside = root_ / (std::string(kSetAsidePrefix) + seconds + ".json");
  for (int n = 1; services_.files.kind(aside) != FileSystem::Kind::missing; ++n) {
    aside = root_ / (std::string(kSetAsidePrefix) + seconds + "-" + std::to_string(n) + ".json");
  }
  if (!services_.files.rename(path, aside)) {
    throw AtomicFileError(AtomicFileErrorCode::renameFailed, aside.string());
  }
  return HistoryIndex{};
}

bool HistoryDiskStore::hasSetAsideIndex() const {
  for (const auto& name : services_.files.list(root_)) {
    if (name.starts_with(kSetAsidePrefix)) return true;
  }
  return false;
}

void HistoryDiskStore::removeOrphans(const std::set<Uuid>& keeping) {
  auto kept = [&](const std::string& name) {
    const auto id = Uuid::parse(name);
    return id && keeping.contains(*id);
  };
  for (const auto& name : services_.files.list(root_ / "items")) {
    if (!kept(name)) services_.files.removeAll(root_ / "items" / name);
  }
  for (const auto& name : services_.files.list(root_ / "thumbs")) {
    if (!kept(fs::path(name).stem().string())) services_.files.removeAll(root_ / "thumbs" / name);
  }
}

void HistoryDiskStore::writeItem(const ClipboardItem& item, const CapturedItems& items) {
  const fs::path folder = itemFolder(item.id);
  try {
    services_.files.createFolder(folder);
    std::size_t k = 0;
    for (const auto& representations : items) {
      for (const auto& representation : representations) {
        const Bytes bytes =
            item.isPrivate ? cipher_.seal(representation.data) : representation.data;
        AtomicFile::write(
            services_.files, folder / (std::to_string(k++) + ".bin"),
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      }
    }
  } catch (const CipherError& error) {
    services_.files.removeAll(folder);
    throw DiskStoreError(DiskStoreErrorCode::keyUnavailable, error.what());
  } catch (const AtomicFileError&) {
    services_.files.removeAll(folder);
    throw;
  }
}

CapturedItems HistoryDiskStore::readItem(const ClipboardItem& item,
                                         const std::optional<std::set<std::string>>& types) const {
  const fs::path folder = itemFolder(item.id);
  CapturedItems result;
  std::size_t k = 0;
  for (const auto& itemTypes : item.pasteboardTypes) {
    auto& representations = result.emplace_back();
    for (const auto& type : itemTypes) {
      const fs::path file = folder / (std::to_string(k++) + ".bin");
      if (types && !types->contains(type)) continue;
      const auto text = services_.files.read(file);
      if (!text) throw DiskStoreError(DiskStoreErrorCode::missingBlob, file.string());
      Bytes bytes(text->begin(), text->end());
      if (item.isPrivate) {
        try {
          bytes = cipher_.open(bytes);
        } catch (const CipherError& error) {
          if (error.code() != CipherErrorCode::keyUnavailable) throw;
          throw DiskStoreError(DiskStoreErrorCode::keyUnavailable, error.what());
        }
      }
      representations.push_back({type, std::move(bytes)});
    }
  }
  return result;
}

void HistoryDiskStore::writeFile(const Bytes& data, const fs::path& path) {
  AtomicFile::write(services_.files, path,
                    std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

void HistoryDiskStore::deleteItems(const std::vector<Uuid>& ids) {
  for (const Uuid& id : ids) {
    services_.files.removeAll(itemFolder(id));
    services_.files.remove(thumbnailPath(id));
  }
}

void HistoryDiskStore::markDirty() {
  isDirty_ = true;
  if (saveTimer_) return;  // the deadline does not move
  saveTimer_ = handoff_.postAfter(services_.mainLoop, kSaveDelay, [this] { save(); });
}

std::optional<std::string> HistoryDiskStore::encodedIndex() const {
  if (!indexSource_) return std::nullopt;
  try {
    return HistoryIndexCodec::encode(indexSource_());
  } catch (const IndexEncodingError&) {
    return std::nullopt;
  }
}

void HistoryDiskStore::save() {
  saveTimer_.reset();
  if (!isDirty_) return;
  auto encoded = encodedIndex();
  if (!encoded) return;
  isDirty_ = false;
  // Only bytes and values cross to the queue; the report comes back bound to this
  // store, so it is dropped if the store is gone by then.
  writeQueue_->async([&files = services_.files, &mainLoop = services_.mainLoop,
                      path = root_ / kIndexName, encoded = std::move(*encoded),
                      report = handoff_.bind([this] { writeFailed_.emit(); })] {
    try {
      AtomicFile::write(files, path, encoded);
    } catch (const AtomicFileError&) {
      mainLoop.post(report);
    }
  });
}

bool HistoryDiskStore::writeIndexNow(std::string encoded) {
  bool written = false;
  writeQueue_->sync([&] {
    try {
      AtomicFile::write(services_.files, root_ / kIndexName, encoded);
      written = true;
    } catch (const AtomicFileError&) {
      written = false;
    }
  });
  return written;
}

bool HistoryDiskStore::flush() {
  saveTimer_.reset();
  if (isDirty_) {
    if (auto encoded = encodedIndex()) {
      isDirty_ = false;
      return writeIndexNow(std::move(*encoded));
    }
  }
  writeQueue_->sync([] {});
  return true;
}

bool HistoryDiskStore::write(const HistoryIndex& index) {
  std::string encoded;
  try {
    encoded = HistoryIndexCodec::encode(index);
  } catch (const IndexEncodingError&) {
    return false;
  }
  return writeIndexNow(std::move(encoded));
}

void HistoryDiskStore::purge(const std::set<Uuid>& keeping) {
  removeOrphans(keeping);
  for (const auto& name : services_.files.list(root_)) {
    if (name.starts_with(kSetAsidePrefix)) services_.files.removeAll(root_ / name);
  }
}

}  // namespace mirlet
