#pragma once

#include "host/FileURLs.h"

namespace mirlet {

// File URLs name files by path on this desktop.
class PathFileURLs : public FileURLs {
 public:
  std::optional<std::string> filePathURL(const std::string& url) const override;
};

}  // namespace mirlet
