#pragma once

#include <optional>
#include <vector>

#include "host/EventSystem.h"

namespace mirlet {

// One display: its frame, and the part windows should use (without the menu bar
// and the Dock, or the panels of the desktop).
struct Screen {
  ScreenRect frame;
  ScreenRect visibleFrame;
  friend bool operator==(const Screen&, const Screen&) = default;
};

// The displays of the machine, the main one first.
class Screens {
 public:
  virtual ~Screens() = default;
  virtual std::vector<Screen> screens() const = 0;
  // Where the pointer is in these screens' coordinates, where they are not the
  // event system's (a toolkit that scales the screens); nothing where they are.
  virtual std::optional<ScreenPoint> pointerLocation() const { return std::nullopt; }
};

}  // namespace mirlet
