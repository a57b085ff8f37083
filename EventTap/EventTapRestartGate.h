#pragma once

#include <cmath>
#include <optional>

namespace mirlet {

// Limits a feature's automatic tap restarts to one per interval of uptime.
struct EventTapRestartGate {
  double minimumInterval = 60.0;
  std::optional<double> lastRestart;

  // Yes (and remembers `now`) unless `now` is not finite or the last allowed
  // restart is less than the interval ago; a no changes nothing.
  bool allowsRestart(double now) {
    if (!std::isfinite(now)) return false;
    if (lastRestart && now - *lastRestart < minimumInterval) return false;
    lastRestart = now;
    return true;
  }

  friend bool operator==(const EventTapRestartGate&, const EventTapRestartGate&) = default;
};

}  // namespace mirlet
