#pragma once

#include <vector>

#include "host/SystemEnvironment.h"

namespace mirlet::testing {

// A system environment whose answers the test sets, and which records every call.
// Registering and unregistering move `login` as the platform would, unless the
// test makes the platform refuse.
class ScriptedSystemEnvironment : public SystemEnvironment {
 public:
  enum class Call {
    requestAccessibility,
    openAccessibilitySettings,
    registerLogin,
    unregisterLogin,
    openLoginSettings
  };

  bool trusted = false;
  LoginState login = LoginState::disabled;
  bool settingsOpen = true;
  bool refuseLoginChanges = false;
  // Trust granted by the request itself, as when the user answers the prompt.
  bool grantOnRequest = false;
  std::vector<Call> calls;

  bool isAccessibilityTrusted() const override { return trusted; }
  LoginState loginState() const override { return login; }
  void requestAccessibility() override {
    calls.push_back(Call::requestAccessibility);
    if (grantOnRequest) trusted = true;
  }
  bool openAccessibilitySettings() override {
    calls.push_back(Call::openAccessibilitySettings);
    return settingsOpen;
  }
  void registerLogin() override {
    calls.push_back(Call::registerLogin);
    if (refuseLoginChanges) throw LoginItemError(LoginItemErrorCode::refused);
    login = LoginState::enabled;
  }
  void unregisterLogin() override {
    calls.push_back(Call::unregisterLogin);
    if (refuseLoginChanges) throw LoginItemError(LoginItemErrorCode::refused);
    login = LoginState::disabled;
  }
  void openLoginSettings() override { calls.push_back(Call::openLoginSettings); }
};

}  // namespace mirlet::testing
