#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "host/FileURLs.h"

namespace mirlet::sim {

// File URLs of the simulated machine over the real disk: path URLs, and file
// reference URLs for files that exist, which resolve to where the file is now as
// long as whoever moves it (the simulated Finder) says so.
class SimFileURLs : public FileURLs {
 public:
  std::optional<std::string> filePathURL(const std::string& url) const override;

  // The file path URL of a path; a folder's ends in "/".
  static std::string pathURL(const std::filesystem::path& path);
  // The path a file path URL names, or nothing for any other URL.
  static std::optional<std::filesystem::path> path(const std::string& pathURL);

  // A reference URL for an existing file or folder, or nothing.
  std::optional<std::string> referenceURL(const std::filesystem::path& path);
  // The file once at `from` is now at `to`.
  void moved(const std::filesystem::path& from, const std::filesystem::path& to);

 private:
  using Identity = std::pair<dev_t, ino_t>;
  std::map<Identity, std::filesystem::path> references_;
};

}  // namespace mirlet::sim
