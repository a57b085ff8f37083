#pragma once

#include "host/AccessibilityTrust.h"
#include "host/LoginItems.h"
#include "host/SystemEnvironment.h"
#include "host/Workspace.h"

namespace mirlet {

// The system environment over the host interfaces: trust and its prompt, the
// privacy pane opened as a URL, and the login item's platform statuses.
class HostSystemEnvironment : public SystemEnvironment {
 public:
  static constexpr const char* kAccessibilitySettingsURL =
      "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

  // `runsFromApplicationBundle`: a copy that is not an installed application has
  // no login item.
  HostSystemEnvironment(AccessibilityTrust& trust, LoginItems& loginItems, Workspace& workspace,
                        bool runsFromApplicationBundle)
      : trust_(trust),
        loginItems_(loginItems),
        workspace_(workspace),
        installed_(runsFromApplicationBundle) {}

  bool isAccessibilityTrusted() const override { return trust_.isProcessTrusted(); }
  LoginState loginState() const override {
    return installed_ ? loginStateFromServiceStatus(loginItems_.status()) : LoginState::unavailable;
  }
  void requestAccessibility() override { trust_.requestTrust(); }
  bool openAccessibilitySettings() override {
    return workspace_.openURL(kAccessibilitySettingsURL);
  }
  void registerLogin() override { loginItems_.registerItem(); }
  void unregisterLogin() override { loginItems_.unregisterItem(); }
  void openLoginSettings() override { loginItems_.openSettings(); }

 private:
  AccessibilityTrust& trust_;
  LoginItems& loginItems_;
  Workspace& workspace_;
  bool installed_;
};

}  // namespace mirlet
