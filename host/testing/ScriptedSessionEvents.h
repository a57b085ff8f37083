#pragma once

#include "host/SessionEvents.h"

namespace mirlet::testing {

// Session notifications the test sends.
class ScriptedSessionEvents : public SessionEvents {
 public:
  Subscription observe(Observer observer) override {
    return notifications.connect(std::move(observer));
  }
  Signal<SessionEvent> notifications;
};

}  // namespace mirlet::testing
