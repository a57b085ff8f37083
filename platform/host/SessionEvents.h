#pragma once

#include <functional>
#include <string>

#include "core/Signal.h"

namespace mirlet {

// The workspace's notifications about the user's session: sleep and wake, screens
// off and on, the session losing and regaining the user.
namespace SessionNotification {
inline const std::string willSleep = "NSWorkspaceWillSleepNotification";
inline const std::string screensDidSleep = "NSWorkspaceScreensDidSleepNotification";
inline const std::string sessionDidResignActive = "NSWorkspaceSessionDidResignActiveNotification";
inline const std::string didWake = "NSWorkspaceDidWakeNotification";
inline const std::string screensDidWake = "NSWorkspaceScreensDidWakeNotification";
inline const std::string sessionDidBecomeActive = "NSWorkspaceSessionDidBecomeActiveNotification";
}  // namespace SessionNotification

// Delivers session notifications by name on the main thread.
class SessionEvents {
 public:
  using Observer = std::function<void(const std::string& notificationName)>;
  virtual ~SessionEvents() = default;
  [[nodiscard]] virtual Subscription observe(Observer observer) = 0;
};

}  // namespace mirlet
