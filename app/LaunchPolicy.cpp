#include "app/LaunchPolicy.h"

namespace mirlet::LaunchPolicy {

bool shouldOpenWindow(bool hasCompletedOnboarding, bool isLoginItem,
                      const std::optional<std::string>& currentBuild, DefaultsStore& defaults) {
  const std::optional<std::string> marker = defaults.string(relaunchMarkerKey);
  defaults.remove(relaunchMarkerKey);
  if (!hasCompletedOnboarding) return true;
  if (isLoginItem) return false;
  if (marker && currentBuild && *marker != *currentBuild) return false;
  return true;
}

}  // namespace mirlet::LaunchPolicy
