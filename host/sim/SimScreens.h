#pragma once

#include "host/Screens.h"

namespace mirlet::sim {

// The simulated machine's displays, as the test sets them: by default one laptop
// screen with the menu bar at the top and the Dock at the bottom.
class SimScreens : public Screens {
 public:
  std::vector<Screen> screens() const override { return displays; }

  std::vector<Screen> displays{{{0, 0, 1728, 1117}, {0, 38, 1728, 1009}}};
};

}  // namespace mirlet::sim
