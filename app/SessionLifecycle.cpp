#include "app/SessionLifecycle.h"

namespace mirlet::SessionLifecycle {

std::optional<Action> action(const std::string& notificationName) {
  if (notificationName == willSleep || notificationName == screensDidSleep ||
      notificationName == sessionDidResignActive) {
    return Action::suspend;
  }
  if (notificationName == didWake || notificationName == screensDidWake ||
      notificationName == sessionDidBecomeActive) {
    return Action::resume;
  }
  return std::nullopt;
}

}  // namespace mirlet::SessionLifecycle
