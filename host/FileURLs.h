#pragma once

#include <optional>
#include <string>

namespace mirlet {

// File URLs as the platform reads them. A file path URL ("file:///Users/ana/a.txt")
// names a place; a file reference URL ("file:///.file/id=16777220.8604118") names a
// file by its identity and follows it when it moves.
class FileURLs {
 public:
  virtual ~FileURLs() = default;
  // The file path URL that `url` stands for, standardized ("." and ".." segments
  // resolved), or nothing when it is no file URL, or a reference to a file that no
  // longer exists.
  virtual std::optional<std::string> filePathURL(const std::string& url) const = 0;
};

}  // namespace mirlet
