#pragma once

#include "host/FileURLs.h"
#include "host/Screens.h"

namespace mirlet {

// The displays as Qt knows them, the primary one first; the visible part leaves
// out the desktop's panels.
class QtScreens : public Screens {
 public:
  std::vector<Screen> screens() const override;
};

// File URLs name files by path on this desktop.
class PathFileURLs : public FileURLs {
 public:
  std::optional<std::string> filePathURL(const std::string& url) const override;
};

}  // namespace mirlet
