#pragma once

#include <array>
#include <optional>
#include <string>

namespace mirlet {

// How the application reacts to the user's session: features stop while the
// machine sleeps or the session is inactive, and start again afterwards.
namespace SessionLifecycle {

enum class Action { suspend, resume };

inline const std::string willSleep = "NSWorkspaceWillSleepNotification";
inline const std::string screensDidSleep = "NSWorkspaceScreensDidSleepNotification";
inline const std::string sessionDidResignActive = "NSWorkspaceSessionDidResignActiveNotification";
inline const std::string didWake = "NSWorkspaceDidWakeNotification";
inline const std::string screensDidWake = "NSWorkspaceScreensDidWakeNotification";
inline const std::string sessionDidBecomeActive = "NSWorkspaceSessionDidBecomeActiveNotification";

// The notifications observed, in order.
inline const std::array<std::string, 6> notifications{
    willSleep, screensDidSleep, sessionDidResignActive, didWake, screensDidWake,
    sessionDidBecomeActive};

// Nothing for any other name.
std::optional<Action> action(const std::string& notificationName);

}  // namespace SessionLifecycle
}  // namespace mirlet
