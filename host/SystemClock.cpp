#include "host/SystemClock.h"

#include <chrono>
#include <thread>

namespace mirlet {

Date SystemClock::now() const {
  return Date::fromUnixSeconds(
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count());
}

double SystemClock::uptime() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleep(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace mirlet
