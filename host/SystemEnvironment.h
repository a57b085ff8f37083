#pragma once

#include "core/Error.h"
#include "host/LoginState.h"

namespace mirlet {

// Thrown by a login-item change that the platform refuses.
enum class LoginItemErrorCode { refused };

constexpr std::string_view errorName(LoginItemErrorCode) { return "login item: refused"; }

using LoginItemError = ErrorOf<LoginItemErrorCode>;

// The two system facilities behind the settings: the accessibility permission and
// the login item. Main thread only.
class SystemEnvironment {
 public:
  virtual ~SystemEnvironment() = default;

  virtual bool isAccessibilityTrusted() const = 0;
  virtual LoginState loginState() const = 0;
  // Asks the user for the permission, with the system's own prompt where it has one.
  virtual void requestAccessibility() = 0;
  // Opens the system's accessibility settings; false when that is not possible.
  virtual bool openAccessibilitySettings() = 0;
  // Both throw LoginItemError when the platform refuses the change.
  virtual void registerLogin() = 0;
  virtual void unregisterLogin() = 0;
  virtual void openLoginSettings() = 0;
};

}  // namespace mirlet
