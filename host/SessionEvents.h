#pragma once

#include <functional>

#include "core/Signal.h"

namespace mirlet {

// What happens to the user's session: sleep and wake, screens off and on, the
// session losing and regaining the user (a lock, a switch of user).
enum class SessionEvent {
  willSleep,
  screensDidSleep,
  sessionDidResignActive,
  didWake,
  screensDidWake,
  sessionDidBecomeActive,
};

// Delivers session events on the main thread.
class SessionEvents {
 public:
  using Observer = std::function<void(SessionEvent event)>;
  virtual ~SessionEvents() = default;
  [[nodiscard]] virtual Subscription observe(Observer observer) = 0;
};

}  // namespace mirlet
