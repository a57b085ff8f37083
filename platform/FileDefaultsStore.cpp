#include "platform/FileDefaultsStore.h"

#include <cstdlib>

#include "core/PropertyListJson.h"
#include "platform/AtomicFile.h"

namespace mirlet {
namespace {

// Preferences are a few kilobytes; anything this large is not ours to parse.
constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

}  // namespace

FileDefaultsStore::FileDefaultsStore(std::filesystem::path path) : path_(std::move(path)) {
  load();
}

std::filesystem::path FileDefaultsStore::defaultPath() {
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    config = std::filesystem::path(home) / ".config";
  } else {
    config = std::filesystem::temp_directory_path();
  }
  return config / "mirlet" / "preferences.json";
}

void FileDefaultsStore::load() {
  std::error_code error;
  const auto status = std::filesystem::status(path_, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    loadOutcome_ = LoadOutcome::absent;
    return;
  }
  const bool regular = status.type() == std::filesystem::file_type::regular;
  if (regular && std::filesystem::file_size(path_, error) <= kMaxFileSize && !error) {
    if (auto text = AtomicFile::read(path_)) {
      try {
        values_ = MemoryDefaultsStore(PropertyListJson::decode(*text));
        loadOutcome_ = LoadOutcome::loaded;
        return;
      } catch (PropertyListJsonError) {
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
  std::error_code error;
  for (int attempt = 1; attempt <= 100; ++attempt) {
    std::filesystem::path candidate = path_;
    candidate += attempt == 1 ? ".damaged" : ".damaged-" + std::to_string(attempt);
    if (std::filesystem::exists(candidate, error) || error) continue;
    std::filesystem::rename(path_, candidate, error);
    if (error) return false;
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
    AtomicFile::write(path_, PropertyListJson::encode(values_.values()));
    lastSaveSucceeded_ = true;
  } catch (AtomicFileError) {
    lastSaveSucceeded_ = false;
  }
}

}  // namespace mirlet
