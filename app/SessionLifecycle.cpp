#include "app/SessionLifecycle.h"

namespace mirlet::SessionLifecycle {

Action action(SessionEvent event) {
  switch (event) {
    case SessionEvent::willSleep:
    case SessionEvent::screensDidSleep:
    case SessionEvent::sessionDidResignActive:
      return Action::suspend;
    case SessionEvent::didWake:
    case SessionEvent::screensDidWake:
    case SessionEvent::sessionDidBecomeActive:
      return Action::resume;
  }
  return Action::resume;
}

}  // namespace mirlet::SessionLifecycle
