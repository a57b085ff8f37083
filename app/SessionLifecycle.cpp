#include "app/SessionLifecycle.h"

namespace mirlet::SessionLifecycle {

std::optional<Action> action(const std::string& notificationName) {
  // The first three put the session away, the last three bring it back.
  for (std::size_t i = 0; i < notifications.size(); ++i) {
    if (notifications[i] == notificationName) return i < 3 ? Action::suspend : Action::resume;
  }
  return std::nullopt;
}

}  // namespace mirlet::SessionLifecycle
