#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "host/FileSystem.h"

namespace mirlet::testing {

// The real file system with chosen operations made to fail, as a full disk, a
// read-only folder or a file held by another program would; it counts the writes
// that reached the disk.
class FaultyFileSystem : public PosixFileSystem {
 public:
  enum class Fault { read, createFolder, writeTemporary, rename, remove };

  void fail(Fault fault) { faults_.insert(fault); }
  void heal(Fault fault) { faults_.erase(fault); }
  void healAll() { faults_.clear(); }
  // Temporary files written and renames done, failed ones excluded.
  int writes() const { return writes_; }
  int renames() const { return renames_; }

  std::optional<std::string> read(const std::filesystem::path& path) const override {
    if (faults_.contains(Fault::read)) return std::nullopt;
    return PosixFileSystem::read(path);
  }
  void createFolder(const std::filesystem::path& folder) override {
    if (faults_.contains(Fault::createFolder)) {
      throw AtomicFileError(AtomicFileErrorCode::folderNotCreated, folder.string());
    }
    PosixFileSystem::createFolder(folder);
  }
  std::filesystem::path writeTemporary(const std::filesystem::path& folder,
                                       std::string_view contents) override {
    if (faults_.contains(Fault::writeTemporary)) {
      throw AtomicFileError(AtomicFileErrorCode::writeFailed, folder.string());
    }
    ++writes_;
    return PosixFileSystem::writeTemporary(folder, contents);
  }
  bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    if (faults_.contains(Fault::rename)) return false;
    ++renames_;
    return PosixFileSystem::rename(from, to);
  }
  bool remove(const std::filesystem::path& path) override {
    if (faults_.contains(Fault::remove)) return false;
    return PosixFileSystem::remove(path);
  }

 private:
  std::set<Fault> faults_;
  std::atomic<int> writes_ = 0;
  std::atomic<int> renames_ = 0;
};

}  // namespace mirlet::testing
