#include "host/FileDefaultsStore.h"

#include "core/PropertyListJson.h"
#include "host/AtomicFile.h"
#include "host/XdgFolders.h"

namespace mirlet {
namespace {

// Preferences are a few kilobytes; anything this large is not ours to parse.
constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

}  // namespace

FileDefaultsStore::FileDefaultsStore(FileSystem& files, std::filesystem::path path)
    : files_(files), path_(std::move(path)) {
  load();
}

std::filesystem::path FileDefaultsStore::defaultPath() {
  return XdgFolders::configHome() / "mirlet" / "preferences.json";
}

void FileDefaultsStore::load() {
  if (files_.kind(path_) == FileSystem::Kind::missing) {
    loadOutcome_ = LoadOutcome::absent;
    return;
  }
  if (files_.fileSize(path_).value_or(kMaxFileSize + 1) <= kMaxFileSize) {
    if (auto text = files_.read(path_)) {
      try {
        values_ = MemoryDefaultsStore(PropertyListJson::decode(*text));
        loadOutcome_ = LoadOutcome::loaded;
        return;
      } catch (const PropertyListJsonError&) {
        // Damaged: set aside below.
      }
    }
  }
  if (setAside()) {
    loadOutcome_ = LoadOutcome::setAside;
  } else {
    loadOutcome_ = LoadOutcome::leftInPlace;
    savingAllowed_ = false;
  }
}

bool FileDefaultsStore::setAside() {
  for (int attempt = 1; attempt <= 100; ++attempt) {
    std::filesystem::path candidate = path_;
    candidate += attempt == 1 ? ".damaged" : ".damaged-" + std::to_string(attempt);
    if (files_.kind(candidate) != FileSystem::Kind::missing) continue;
    if (!files_.rename(path_, candidate)) return false;
    setAsidePath_ = candidate;
    return true;
  }
  return false;
}

std::optional<PropertyValue> FileDefaultsStore::object(const std::string& key) const {
  return values_.object(key);
}

void FileDefaultsStore::set(const std::string& key, PropertyValue value) {
  values_.set(key, std::move(value));
  save();
}

void FileDefaultsStore::remove(const std::string& key) {
  if (!values_.object(key)) return;
  values_.remove(key);
  save();
}

void FileDefaultsStore::save() {
  if (!savingAllowed_) {
    lastSaveSucceeded_ = false;
    return;
  }
  try {
    AtomicFile::write(files_, path_, PropertyListJson::encode(values_.values()));
    lastSaveSucceeded_ = true;
  } catch (const AtomicFileError&) {
    lastSaveSucceeded_ = false;
  }
}

}  // namespace mirlet
