#pragma once

#include <filesystem>

#include "core/DefaultsStore.h"
#include "host/FileSystem.h"

namespace mirlet {

// The user-defaults store kept as one JSON file (0600, in a 0700 folder), rewritten
// atomically on every change.
//
// A file that cannot be read or decoded is renamed aside ("<name>.damaged",
// "<name>.damaged-2", ...) and the store starts empty, so the program starts with
// defaults and the damaged copy stays for the user. If even that fails, the store
// keeps working in memory and never overwrites the file. A change that cannot be
// written stays in memory and is written with the next change that can.
class FileDefaultsStore : public DefaultsStore {
 public:
  enum class LoadOutcome { loaded, absent, setAside, leftInPlace };

  FileDefaultsStore(FileSystem& files, std::filesystem::path path);

  std::optional<PropertyValue> object(const std::string& key) const override;
  void set(const std::string& key, PropertyValue value) override;
  void remove(const std::string& key) override;

  LoadOutcome loadOutcome() const { return loadOutcome_; }
  // Where a damaged file was moved, if one was.
  const std::filesystem::path& setAsidePath() const { return setAsidePath_; }
  // False after a change could not be written; the change is kept in memory.
  bool lastSaveSucceeded() const { return lastSaveSucceeded_; }

  // The usual location: mirlet/preferences.json in the user's configuration folder.
  static std::filesystem::path defaultPath();

 private:
  void load();
  bool setAside();
  void save();

  FileSystem& files_;
  std::filesystem::path path_;
  MemoryDefaultsStore values_;
  LoadOutcome loadOutcome_ = LoadOutcome::absent;
  std::filesystem::path setAsidePath_;
  bool savingAllowed_ = true;
  bool lastSaveSucceeded_ = true;
};

}  // namespace mirlet
