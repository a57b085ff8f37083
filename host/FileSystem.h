#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Error.h"

namespace mirlet {

enum class AtomicFileErrorCode {
  folderNotCreated,  // the folder could not be created or is not a folder
  writeFailed,       // the temporary file could not be written or synced
  renameFailed,      // the finished file could not replace the old one
};

std::string_view errorName(AtomicFileErrorCode code);

using AtomicFileError = ErrorOf<AtomicFileErrorCode>;

// The file operations the program's stores are built on. `PosixFileSystem` is the
// real one; tests wrap it to make chosen operations fail, which folder permissions
// cannot do for a process running as root.
class FileSystem {
 public:
  enum class Kind { missing, file, folder, other };

  virtual ~FileSystem() = default;

  // What is at `path`, following links; `other` also when it cannot be examined.
  virtual Kind kind(const std::filesystem::path& path) const = 0;
  // The size of a regular file.
  virtual std::optional<std::uintmax_t> fileSize(const std::filesystem::path& path) const = 0;
  // The whole contents of a regular file; nothing when there is none or it cannot
  // be read.
  virtual std::optional<std::string> read(const std::filesystem::path& path) const = 0;
  // Creates the folder and its missing parents with permissions 0700. Throws
  // AtomicFileError(folderNotCreated).
  virtual void createFolder(const std::filesystem::path& folder) = 0;
  // Writes `contents` into a new file (0600, synced to disk) inside `folder` and
  // returns its path. Throws AtomicFileError(writeFailed), leaving no file behind.
  virtual std::filesystem::path writeTemporary(const std::filesystem::path& folder,
                                               std::string_view contents) = 0;
  // Moves `from` to `to`, replacing a file there; false, changing nothing, when it
  // cannot.
  virtual bool rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Removes a file or an empty folder; false when it cannot.
  virtual bool remove(const std::filesystem::path& path) = 0;
  // Removes a file or a folder with everything in it, as far as it can.
  virtual void removeAll(const std::filesystem::path& path) = 0;
  // The names of a folder's entries; nothing when it cannot be listed.
  virtual std::vector<std::string> list(const std::filesystem::path& folder) const = 0;
};

// The real file system, through POSIX calls.
class PosixFileSystem : public FileSystem {
 public:
  Kind kind(const std::filesystem::path& path) const override;
  std::optional<std::uintmax_t> fileSize(const std::filesystem::path& path) const override;
  std::optional<std::string> read(const std::filesystem::path& path) const override;
  void createFolder(const std::filesystem::path& folder) override;
  std::filesystem::path writeTemporary(const std::filesystem::path& folder,
                                       std::string_view contents) override;
  bool rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool remove(const std::filesystem::path& path) override;
  void removeAll(const std::filesystem::path& path) override;
  std::vector<std::string> list(const std::filesystem::path& folder) const override;
};

}  // namespace mirlet
