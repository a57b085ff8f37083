#pragma once

#include <optional>
#include <string>

#include "core/Uuid.h"

namespace mirlet {

// The status line of the history panel. Every message is new (its own id), so a
// time-out clears only the message it was started for.
struct PanelMessage {
  enum class Action { grantAccessibility };

  Uuid id;
  std::string text;
  bool isError = false;
  std::optional<Action> action;  // shown as a button

  friend bool operator==(const PanelMessage&, const PanelMessage&) = default;
};

}  // namespace mirlet
