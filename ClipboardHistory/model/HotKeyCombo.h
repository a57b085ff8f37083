#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ShortcutStyle.h"

namespace mirlet {

// Modifier keys as a bit set: ⌘ 1, ⌥ 2, ⌃ 4, ⇧ 8.
struct Modifiers {
  static constexpr unsigned command = 1;
  static constexpr unsigned option = 2;
  static constexpr unsigned control = 4;
  static constexpr unsigned shift = 8;

  unsigned rawValue = 0;

  constexpr bool contains(unsigned bits) const { return (rawValue & bits) == bits; }
  friend constexpr bool operator==(const Modifiers&, const Modifiers&) = default;
};

// A global shortcut: a virtual key code (the keyboard's ANSI positions) and the
// modifiers held with it.
struct HotKeyCombo {
  enum class ValidationError { modifierOnly, needsModifier, reserved };

  std::uint16_t keyCode = 9;
  Modifiers modifiers{Modifiers::control | Modifiers::option};

  // ⌃⌥V.
  static constexpr HotKeyCombo defaultCombo() { return {}; }
  // The keys of the modifiers themselves.
  static constexpr std::array<std::uint16_t, 10> modifierKeyCodes{54, 55, 56, 57, 58,
                                                                  59, 60, 61, 62, 63};

  // "9:6".
  std::string rawValue() const;
  // Two decimal numbers joined by a colon: a 16-bit key code and modifiers 0 to 15.
  static std::optional<HotKeyCombo> fromRawValue(std::string_view raw);

  // A modifier key alone, no ⌃ (nor ⌥ with ⌘), or a combination the system keeps.
  std::optional<ValidationError> validate() const;
  // "⌃⌥⇧⌘", in that order, for the modifiers held.
  std::string modifierSymbols() const;
  // The combination as a desktop writes it, with the label of its key: "⌃⌥V", or
  // "Ctrl+Alt+V" where shortcuts are named (⌘ is Super there).
  std::string label(std::string_view keyLabel, ShortcutStyle style) const;

  friend constexpr bool operator==(const HotKeyCombo&, const HotKeyCombo&) = default;
};

}  // namespace mirlet
