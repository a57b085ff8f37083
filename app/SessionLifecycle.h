#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/host/SessionEvents.h"

namespace mirlet {

// How the application reacts to the user's session: features stop while the
// machine sleeps or the session is inactive, and start again afterwards.
namespace SessionLifecycle {

enum class Action { suspend, resume };

// The notifications observed, in order.
inline const std::array<std::string, 6> notifications{SessionNotification::willSleep,
                                                      SessionNotification::screensDidSleep,
                                                      SessionNotification::sessionDidResignActive,
                                                      SessionNotification::didWake,
                                                      SessionNotification::screensDidWake,
                                                      SessionNotification::sessionDidBecomeActive};

// Nothing for any other name.
std::optional<Action> action(const std::string& notificationName);

}  // namespace SessionLifecycle
}  // namespace mirlet
