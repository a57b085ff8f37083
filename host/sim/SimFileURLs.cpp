#include "host/sim/SimFileURLs.h"

#include <sys/stat.h>
#include <uriparser/Uri.h>

#include <charconv>
#include <vector>

namespace mirlet::sim {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kReferencePrefix = "file:///.file/id=";

std::optional<std::pair<dev_t, ino_t>> identity(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return std::pair(info.st_dev, info.st_ino);
}

// "<device>.<inode>" as a reference URL writes them, a trailing "/" allowed.
std::optional<std::pair<dev_t, ino_t>> parseIdentity(std::string_view text) {
  if (text.ends_with('/')) text.remove_suffix(1);
  const auto dot = text.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  unsigned long long device = 0;
  unsigned long long inode = 0;
  const auto [deviceEnd, deviceError] = std::from_chars(text.data(), text.data() + dot, device);
  const auto [inodeEnd, inodeError] =
      std::from_chars(text.data() + dot + 1, text.data() + text.size(), inode);
  if (deviceError != std::errc() || inodeError != std::errc() || deviceEnd != text.data() + dot ||
      inodeEnd != text.data() + text.size()) {
    return std::nullopt;
  }
  return std::pair(static_cast<dev_t>(device), static_cast<ino_t>(inode));
}

}  // namespace

std::string SimFileURLs::pathURL(const fs::path& path) {
  std::string text = path.lexically_normal().string();
  std::error_code error;
  if (fs::is_directory(path, error) && !text.ends_with('/')) text += '/';
  std::vector<char> buffer(text.size() * 3 + 8);
  if (uriUnixFilenameToUriStringA(text.c_str(), buffer.data()) != URI_SUCCESS)
    return "file://" + text;
  return buffer.data();
}

std::optional<fs::path> SimFileURLs::path(const std::string& url) {
  if (!url.starts_with("file://") || url.starts_with(kReferencePrefix)) return std::nullopt;
  std::vector<char> buffer(url.size() + 1);
  if (uriUriStringToUnixFilenameA(url.c_str(), buffer.data()) != URI_SUCCESS) return std::nullopt;
  std::string text = buffer.data();
  if (text.empty() || text.front() != '/') return std::nullopt;
  while (text.size() > 1 && text.ends_with('/')) text.pop_back();
  return fs::path(text).lexically_normal();
}

std::optional<std::string> SimFileURLs::filePathURL(const std::string& url) const {
  if (url.starts_with(kReferencePrefix)) {
    const auto wanted = parseIdentity(std::string_view(url).substr(kReferencePrefix.size()));
    if (!wanted) return std::nullopt;
    auto found = references_.find(*wanted);
    if (found == references_.end() || identity(found->second) != wanted) return std::nullopt;
    return pathURL(found->second);
  }
  auto named = path(url);
  if (!named) return std::nullopt;
  std::string standardized = pathURL(*named);
  // A folder's URL keeps the "/" it was written with, and only that.
  if (url.ends_with('/') != standardized.ends_with('/')) {
    if (url.ends_with('/')) {
      standardized += '/';
    } else {
      standardized.pop_back();
    }
  }
  return standardized;
}

std::optional<std::string> SimFileURLs::referenceURL(const fs::path& path) {
  const auto id = identity(path);
  if (!id) return std::nullopt;
  references_[*id] = path.lexically_normal();
  return std::string(kReferencePrefix) + std::to_string(id->first) + "." +
         std::to_string(id->second);
}

void SimFileURLs::moved(const fs::path& from, const fs::path& to) {
  const fs::path source = from.lexically_normal();
  for (auto& [id, place] : references_) {
    const auto relative = place.lexically_relative(source);
    if (place == source) {
      place = to.lexically_normal();
    } else if (!relative.empty() && *relative.begin() != "..") {
      place = (to / relative).lexically_normal();
    }
  }
}

}  // namespace mirlet::sim
