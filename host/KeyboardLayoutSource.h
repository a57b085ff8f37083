#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/ShortcutStyle.h"

namespace mirlet {

// The current keyboard layout: what a key types with no modifier held.
class KeyboardLayoutSource {
 public:
  virtual ~KeyboardLayoutSource() = default;
  // The text the key with this virtual key code types, or nothing when the layout
  // gives none or cannot be read.
  virtual std::optional<std::string> translate(std::uint16_t keyCode) const = 0;
  // How this desktop writes shortcuts.
  virtual ShortcutStyle shortcutStyle() const = 0;
};

}  // namespace mirlet
