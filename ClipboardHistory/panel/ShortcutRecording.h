#pragma once

#include <cstdint>
#include <optional>

#include "ClipboardHistory/model/HotKeyCombo.h"

namespace mirlet {

// How the recorder reads a real key sequence, where each modifier arrives as a
// press of its own before the key: the modifiers held are tracked from their
// presses and releases; the combination is the first key that is no modifier,
// with the modifiers held then; every modifier released with no key in between is
// an attempt with modifiers alone. A plain value.
class ShortcutRecording {
 public:
  // `modifier` is one of Modifiers' bits.
  void modifierPressed(unsigned modifier);
  // True when this release leaves no modifier held and no key came: an attempt
  // with modifiers alone.
  bool modifierReleased(unsigned modifier);
  // The combination. `alsoHeld`: what the key's own event says is held besides,
  // where a modifier's press went unseen.
  HotKeyCombo keyPressed(std::uint16_t keyCode, Modifiers alsoHeld = {}) const;

  Modifiers held() const { return held_; }
  friend bool operator==(const ShortcutRecording&, const ShortcutRecording&) = default;

 private:
  Modifiers held_;
  bool pressedAny_ = false;  // a modifier went down since recording began
};

}  // namespace mirlet
