#pragma once

#include <optional>
#include <string>

#include "core/DefaultsStore.h"

namespace mirlet {

namespace LaunchPolicy {

// The key where the updater leaves the build it relaunched from.
inline const std::string relaunchMarkerKey = "updateRelaunchFromBuild";

// Whether the settings window opens at launch: always until the welcome flow is
// done; never for a launch at login, nor right after the updater relaunched into
// a new build. Reads and always removes the relaunch marker.
bool shouldOpenWindow(bool hasCompletedOnboarding, bool isLoginItem,
                      const std::optional<std::string>& currentBuild, DefaultsStore& defaults);

}  // namespace LaunchPolicy
}  // namespace mirlet
