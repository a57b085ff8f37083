#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/KeyboardLayoutSource.h"

namespace mirlet {

// Key codes and what the current keyboard layout prints: labels for display and
// the key that types a given character.
class KeyboardLayout {
 public:
  explicit KeyboardLayout(const KeyboardLayoutSource& source) : source_(source) {}

  std::optional<std::string> character(std::uint16_t keyCode) const;
  // The first key code (0 to 127) whose character, lower-cased, is `character`;
  // `fallback` when none is, or the layout cannot be read.
  std::uint16_t keyCode(std::string_view character, std::uint16_t fallback) const;
  // A special key's symbol, else the key's character upper-cased, else its ANSI
  // letter or digit, else "#" and the code.
  std::string keyLabel(std::uint16_t keyCode) const;

 private:
  const KeyboardLayoutSource& source_;
};

}  // namespace mirlet
