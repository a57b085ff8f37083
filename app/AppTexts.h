#pragma once

#include <string>

#include "app/SystemSettingsError.h"
#include "core/AccessibilityPermission.h"
#include "core/FeatureState.h"
#include "host/HostTexts.h"
#include "host/LoginState.h"

namespace mirlet {

// The fixed Spanish texts that depend on a state. The user sees these, never an
// error's own text.
namespace AppTexts {

std::string featureStatus(FeatureState state);
std::string loginDescription(LoginState state, const HostTexts& host);
std::string systemSettingsError(SystemSettingsError error, const HostTexts& host);
std::string permissionStatus(AccessibilityPermission permission);
std::string permissionCheckResult(AccessibilityPermission permission, const HostTexts& host);

}  // namespace AppTexts
}  // namespace mirlet
