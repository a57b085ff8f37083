#pragma once

#include "platform/host/KeyboardLayoutSource.h"
#include "platform/x11/X11Display.h"

namespace mirlet {

// The display's current keyboard layout through xkbcommon: what each key types
// (Mac key codes name keys by place), read afresh on every question so that a
// change of layout is followed. Shortcuts are written with the keys' names.
class XkbKeyboardLayout : public KeyboardLayoutSource {
 public:
  explicit XkbKeyboardLayout(X11Display& display);

  std::optional<std::string> translate(std::uint16_t keyCode) const override;
  ShortcutStyle shortcutStyle() const override { return ShortcutStyle::names; }

 private:
  X11Display& display_;
  bool hasXkb_ = false;
};

}  // namespace mirlet
