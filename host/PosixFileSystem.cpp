#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/FileSystem.h"

namespace mirlet {
namespace {

// Closes the descriptor and removes the file unless released.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& folder) {
    std::string pattern = (folder / ".mirlet-XXXXXX").string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ >= 0) path_ = pattern;
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  bool isOpen() const { return fd_ >= 0; }

  bool writeAll(std::string_view contents) {
    while (!contents.empty()) {
      ssize_t written = ::write(fd_, contents.data(), contents.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::fchmod(fd_, 0600) == 0 && ::fsync(fd_) == 0;
  }

  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }
  std::filesystem::path release() { return std::exchange(path_, {}); }

 private:
  int fd_ = -1;
  std::filesystem::path path_;
};

}  // namespace

std::string_view errorName(AtomicFileErrorCode code) {
  switch (code) {
    case AtomicFileErrorCode::folderNotCreated:
      return "atomic file: folder not created";
    case AtomicFileErrorCode::writeFailed:
      return "atomic file: write failed";
    case AtomicFileErrorCode::renameFailed:
      return "atomic file: rename failed";
  }
  return "atomic file";
}

FileSystem::Kind PosixFileSystem::kind(const std::filesystem::path& path) const {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return errno == ENOENT ? Kind::missing : Kind::other;
  if (S_ISREG(info.st_mode)) return Kind::file;
  if (S_ISDIR(info.st_mode)) return Kind::folder;
  return Kind::other;
}

std::optional<std::uintmax_t> PosixFileSystem::fileSize(const std::filesystem::path& path) const {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uintmax_t>(info.st_size);
}

std::optional<std::string> PosixFileSystem::read(const std::filesystem::path& path) const {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> contents;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    contents.emplace();
    char buffer[64 * 1024];
    while (true) {
      ssize_t count = ::read(fd, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) contents.reset();
      if (count <= 0) break;
      contents->append(buffer, static_cast<std::size_t>(count));
    }
  }
  ::close(fd);
  return contents;
}

void PosixFileSystem::createFolder(const std::filesystem::path& folder) {
  if (kind(folder) == Kind::folder) return;
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    createFolder(folder.parent_path());
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw AtomicFileError(AtomicFileErrorCode::folderNotCreated, folder.string());
  }
  if (kind(folder) != Kind::folder) {
    throw AtomicFileError(AtomicFileErrorCode::folderNotCreated, folder.string());
  }
}

std::filesystem::path PosixFileSystem::writeTemporary(const std::filesystem::path& folder,
                                                      std::string_view contents) {
  TemporaryFile temporary(folder);
  if (!temporary.isOpen() || !temporary.writeAll(contents) || !temporary.close()) {
    throw AtomicFileError(AtomicFileErrorCode::writeFailed, folder.string());
  }
  return temporary.release();
}

bool PosixFileSystem::rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::remove(const std::filesystem::path& path) {
  return ::remove(path.c_str()) == 0;
}

void PosixFileSystem::removeAll(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> PosixFileSystem::list(const std::filesystem::path& folder) const {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

}  // namespace mirlet
