#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "host/KeyboardLayoutSource.h"

namespace mirlet::sim {

// Simulated keyboard layouts: what each key types with no modifier on a few real
// layouts, so that key labels and "the key that types v" differ as they do.
class SimKeyboardLayout : public KeyboardLayoutSource {
 public:
  enum class Layout { usANSI, spanish, frenchAZERTY, dvorak };

  std::optional<std::string> translate(std::uint16_t keyCode) const override;
  ShortcutStyle shortcutStyle() const override { return style; }

  Layout layout = Layout::usANSI;
  // Makes the layout data unreadable, as when no layout source is available.
  bool unavailable = false;
  ShortcutStyle style = ShortcutStyle::symbols;
};

}  // namespace mirlet::sim
