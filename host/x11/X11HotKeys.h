#pragma once

#include <map>

#include "host/HotKeys.h"
#include "host/x11/X11Display.h"

namespace mirlet {

// Hot keys as passive grabs on the root window: each combination is grabbed under
// every state of Caps Lock and Num Lock, so that they do not get in the way. A
// combination another client holds reads as occupied. A hot key's modifiers are
// the keys its label names: ⌃ is Ctrl, ⌥ is Alt, ⌘ is Super ("Ctrl+Alt+V").
class X11HotKeys : public HotKeys {
 public:
  explicit X11HotKeys(X11Display& display);

  Result registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                        std::function<void()> pressed) override;

  // The X modifier mask of the platform's modifier bits.
  static std::uint16_t xModifiers(std::uint32_t modifiers);

 private:
  class Registration;
  struct Grab {
    xcb_keycode_t key;
    std::uint16_t modifiers;
    auto operator<=>(const Grab&) const = default;
  };

  void pressed(const xcb_key_press_event_t& event);

  X11Display& display_;
  std::map<Grab, std::function<void()>> grabs_;
  Subscription events_;
};

}  // namespace mirlet
