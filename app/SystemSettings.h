#pragma once

#include <functional>
#include <optional>

#include "app/SystemSettingsError.h"
#include "core/AccessibilityPermission.h"
#include "core/FeatureController.h"
#include "core/MainLoop.h"
#include "core/Preferences.h"
#include "core/Signal.h"
#include "host/SystemEnvironment.h"

namespace mirlet {

// The application's one view of the accessibility permission and the login item.
// Every refresh recomputes the permission and hands it to the feature controller,
// so a refresh is the moment features start or stop because of the permission.
// Main thread only.
class SystemSettings {
 public:
  static constexpr double kWatchInterval = 1.0;

  // Refreshes once, which reconciles the features.
  SystemSettings(Preferences& preferences, FeatureController& featureController,
                 SystemEnvironment& environment, MainLoop& mainLoop);
  SystemSettings(const SystemSettings&) = delete;
  SystemSettings& operator=(const SystemSettings&) = delete;

  // Published fields; views subscribe to them.
  const ObservableView<AccessibilityPermission>& accessibility() const { return accessibility_; }
  const ObservableView<LoginState>& loginState() const { return loginState_; }
  const ObservableView<std::optional<SystemSettingsError>>& error() const { return error_; }
  const ObservableView<bool>& isWatchingAccessibility() const { return isWatchingAccessibility_; }
  // Told when a watch sees the permission granted, after the refresh.
  [[nodiscard]] Subscription observeAccessibilityGranted(std::function<void()> observer) {
    return accessibilityGranted_.connect([observer = std::move(observer)] { observer(); });
  }

  void refresh();
  // Records that the user was asked, asks, and refreshes.
  void requestAccessibility();
  void openAccessibilitySettings();
  // Checks the permission every second, at most `limit` times. A call during a
  // watch only resets the count.
  void watchForAccessibility(int limit);
  void stopWatchingAccessibility();
  void setStartAtLogin(bool enabled);
  void openLoginSettings();

  int watchChecksLeft() const { return watchChecksLeft_; }

 private:
  void checkAccessibilityWatch();

  Preferences& preferences_;
  FeatureController& featureController_;
  SystemEnvironment& environment_;
  MainLoop& mainLoop_;
  Observable<AccessibilityPermission> accessibility_{AccessibilityPermission::notRequested};
  Observable<LoginState> loginState_{LoginState::unavailable};
  Observable<std::optional<SystemSettingsError>> error_;
  Observable<bool> isWatchingAccessibility_{false};
  TimerHandle watchTimer_;
  int watchChecksLeft_ = 0;
  Signal<> accessibilityGranted_;
};

}  // namespace mirlet
