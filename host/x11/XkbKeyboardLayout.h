#pragma once

#include <chrono>
#include <memory>

#include "host/KeyboardLayoutSource.h"
#include "host/x11/X11Display.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace mirlet {

// The display's current keyboard layout through xkbcommon: what each key types
// (Mac key codes name keys by place). The keymap is read again when the display
// says the keyboard changed; the layout in use (the group) when it was last read
// more than half a second ago, so that a burst of questions costs one read and a
// switch of layout is followed. Shortcuts are written with the keys' names.
// Main thread only.
class XkbKeyboardLayout : public KeyboardLayoutSource {
 public:
  explicit XkbKeyboardLayout(X11Display& display);
  ~XkbKeyboardLayout() override;

  std::optional<std::string> translate(std::uint16_t keyCode) const override;
  ShortcutStyle shortcutStyle() const override { return ShortcutStyle::names; }

 private:
  struct Free {
    void operator()(xkb_context* context) const;
    void operator()(xkb_keymap* keymap) const;
    void operator()(xkb_state* state) const;
  };
  // The state of the layout in use, without modifiers; nothing without a keymap.
  xkb_state* plainState() const;

  X11Display& display_;
  bool hasXkb_ = false;
  std::unique_ptr<xkb_context, Free> context_;
  mutable std::unique_ptr<xkb_keymap, Free> keymap_;
  mutable std::unique_ptr<xkb_state, Free> state_;
  mutable std::chrono::steady_clock::time_point stateReadAt_;
  Subscription events_;
};

}  // namespace mirlet
