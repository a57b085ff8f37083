#pragma once

#include "host/Screens.h"

namespace mirlet {

// The displays as Qt knows them, the primary one first; the visible part leaves
// out the desktop's panels. Their coordinates are Qt's, scaled where the desktop
// scales: so is the pointer's place it tells.
class QtScreens : public Screens {
 public:
  std::vector<Screen> screens() const override;
  std::optional<ScreenPoint> pointerLocation() const override;
};

}  // namespace mirlet
