#include "RightClickFocus/machine/RightClickPreflightGate.h"

#include <algorithm>
#include <cmath>

namespace mirlet {

RightClickPreflightGate::RightClickPreflightGate(double maximumStartsPerSecond)
    : minimumInterval_(1.0 / std::max(maximumStartsPerSecond, 1.0)) {}

RightClickPreflightGate::Action RightClickPreflightGate::attemptStart(double now) {
  if (nextStartAt_ <= now) {
    pending_ = false;
    inFlight_ = true;
    nextStartAt_ = now + minimumInterval_;
    return Start{revision_};
  }
  scheduled_ = true;
  return Schedule{nextStartAt_ - now};
}

RightClickPreflightGate::Action RightClickPreflightGate::request(double now, bool whileBusy) {
  if (!std::isfinite(now)) return None{};
  if (whileBusy) {
    if (inFlight_) pending_ = true;
    return None{};
  }
  pending_ = true;
  if (inFlight_ || scheduled_) return None{};
  return attemptStart(now);
}

RightClickPreflightGate::Action RightClickPreflightGate::scheduled(double now) {
  if (!std::isfinite(now) || !scheduled_) return None{};
  scheduled_ = false;
  if (!pending_ || inFlight_) return None{};
  return attemptStart(now);
}

RightClickPreflightGate::Action RightClickPreflightGate::completed(double now) {
  if (!std::isfinite(now) || !inFlight_) return None{};
  inFlight_ = false;
  if (!pending_ || scheduled_) return None{};
  return attemptStart(now);
}

void RightClickPreflightGate::invalidate() {
  ++revision_;
  scheduled_ = false;
  pending_ = false;
}

bool PointerDwell::moved(double now) {
  lastMove_ = now;
  if (scheduled_) return false;
  scheduled_ = true;
  return true;
}

std::optional<double> PointerDwell::check(double now) {
  const double remaining = lastMove_ + delay_ - now;
  if (remaining > 0 && std::isfinite(remaining)) return remaining;
  scheduled_ = false;
  return std::nullopt;
}

}  // namespace mirlet
