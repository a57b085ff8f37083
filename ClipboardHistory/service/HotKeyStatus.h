#pragma once

#include <optional>

#include "ClipboardHistory/model/HotKeyCombo.h"

namespace mirlet {

// Where the history's global hot key stands: none set, registered, held by another
// application, refused by the system, or an invalid combination (and why).
struct HotKeyStatus {
  enum class Kind { none, registered, occupied, unavailable, invalid };

  Kind kind = Kind::none;
  std::optional<HotKeyCombo::ValidationError> invalidBecause;

  static const HotKeyStatus none;
  static const HotKeyStatus registered;
  static const HotKeyStatus occupied;
  static const HotKeyStatus unavailable;
  static HotKeyStatus invalid(HotKeyCombo::ValidationError error) { return {Kind::invalid, error}; }

  friend bool operator==(const HotKeyStatus&, const HotKeyStatus&) = default;
};

inline const HotKeyStatus HotKeyStatus::none{Kind::none, std::nullopt};
inline const HotKeyStatus HotKeyStatus::registered{Kind::registered, std::nullopt};
inline const HotKeyStatus HotKeyStatus::occupied{Kind::occupied, std::nullopt};
inline const HotKeyStatus HotKeyStatus::unavailable{Kind::unavailable, std::nullopt};

}  // namespace mirlet
