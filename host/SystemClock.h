#pragma once

#include "core/Clock.h"

namespace mirlet {

// The system's clocks: the wall clock, the monotonic clock, and real sleeps.
class SystemClock : public Clock {
 public:
  Date now() const override;
  double uptime() const override;
  void sleep(double seconds) override;
};

}  // namespace mirlet
