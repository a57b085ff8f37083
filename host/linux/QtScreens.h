#pragma once

#include "host/Screens.h"

namespace mirlet {

// The displays as Qt knows them, the primary one first; the visible part leaves
// out the desktop's panels.
class QtScreens : public Screens {
 public:
  std::vector<Screen> screens() const override;
};

}  // namespace mirlet
