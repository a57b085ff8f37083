#pragma once

#include "core/Date.h"

namespace mirlet {

// The source of time for every service: the real host reads the system's clocks,
// tests move a virtual clock by hand.
class Clock {
 public:
  virtual ~Clock() = default;

  // The current wall-clock date.
  virtual Date now() const = 0;
  // Seconds on the monotonic clock since some fixed origin (the system's uptime).
  virtual double uptime() const = 0;
  // Blocks the calling background thread for the given seconds. Never called on
  // the main thread.
  virtual void sleep(double seconds) = 0;
};

}  // namespace mirlet
