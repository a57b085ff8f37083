#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace mirlet::AtomicFile {
namespace {

// Closes the descriptor and removes the temporary file unless released.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path folder) {
    std::string pattern = (folder / ".mirlet-XXXXXX").string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ >= 0) path_ = pattern;
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  bool isOpen() const { return fd_ >= 0; }
  const std::filesystem::path& path() const { return path_; }

  bool writeAll(std::string_view contents) {
    while (!contents.empty()) {
      ssize_t written = ::write(fd_, contents.data(), contents.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::fchmod(fd_, 0600) == 0 && ::fsync(fd_) == 0;
  }

  bool close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void release() { path_.clear(); }

 private:
  int fd_ = -1;
  std::filesystem::path path_;
};

}  // namespace

void createFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return;
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    createFolder(folder.parent_path());
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw AtomicFileError::folderNotCreated;
  }
  if (!std::filesystem::is_directory(folder, error)) throw AtomicFileError::folderNotCreated;
}

void write(const std::filesystem::path& path, std::string_view contents) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  createFolder(folder);
  TemporaryFile temporary(folder);
  if (!temporary.isOpen() || !temporary.writeAll(contents) || !temporary.close()) {
    throw AtomicFileError::writeFailed;
  }
  if (::rename(temporary.path().c_str(), path.c_str()) != 0) throw AtomicFileError::renameFailed;
  temporary.release();
}

std::optional<std::string> read(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream contents;
  contents << file.rdbuf();
  if (file.bad()) return std::nullopt;
  return std::move(contents).str();
}

}  // namespace mirlet::AtomicFile
