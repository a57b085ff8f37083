#include "app/SystemSettings.h"

namespace mirlet {

SystemSettings::SystemSettings(Preferences& preferences, FeatureController& featureController,
                               SystemEnvironment& environment, MainLoop& mainLoop)
    : preferences_(preferences),
      featureController_(featureController),
      environment_(environment),
      mainLoop_(mainLoop) {
  refresh();
}

void SystemSettings::refresh() {
  accessibility_.set(accessibilityPermission(environment_.isAccessibilityTrusted(),
                                             preferences_.hasRequestedAccessibility()));
  loginState_.set(environment_.loginState());
  featureController_.reconcile(accessibility_.get());
}

void SystemSettings::requestAccessibility() {
  error_.set(std::nullopt);
  // Recorded before asking: from now on an untrusted process reads as denied.
  preferences_.setHasRequestedAccessibility(true);
  environment_.requestAccessibility();
  refresh();
}

void SystemSettings::openAccessibilitySettings() {
  if (environment_.openAccessibilitySettings()) {
    error_.set(std::nullopt);
  } else {
    error_.set(SystemSettingsError::accessibilitySettingsUnavailable);
  }
}

void SystemSettings::watchForAccessibility(int limit) {
  watchChecksLeft_ = limit;
  isWatchingAccessibility_.set(limit > 0);
  if (isWatchingAccessibility_.get() && !watchTimer_) {
    // The timer is owned here, so it never ticks after the settings are gone.
    watchTimer_ =
        mainLoop_.scheduleRepeating(kWatchInterval, 0.1, [this] { checkAccessibilityWatch(); });
  }
}

void SystemSettings::stopWatchingAccessibility() {
  watchTimer_.reset();
  watchChecksLeft_ = 0;
  isWatchingAccessibility_.set(false);
}

void SystemSettings::checkAccessibilityWatch() {
  if (!isWatchingAccessibility_.get()) return;
  if (environment_.isAccessibilityTrusted()) {
    stopWatchingAccessibility();
    refresh();
    accessibilityGranted_.emit();
    return;
  }
  if (--watchChecksLeft_ <= 0) {
    watchTimer_.reset();
    isWatchingAccessibility_.set(false);
  }
}

void SystemSettings::setStartAtLogin(bool enabled) {
  error_.set(std::nullopt);
  loginState_.set(environment_.loginState());
  const LoginState current = loginState_.get();
  if (current == LoginState::unavailable) {
    error_.set(SystemSettingsError::loginUnavailable);
    return;
  }
  try {
    if (enabled) {
      if (current == LoginState::enabled || current == LoginState::requiresApproval) return;
      environment_.registerLogin();
    } else {
      // Unregistering from requiresApproval withdraws the pending request.
      if (current == LoginState::disabled) return;
      environment_.unregisterLogin();
    }
  } catch (const LoginItemError&) {
    error_.set(SystemSettingsError::loginChangeFailed);
  }
  loginState_.set(environment_.loginState());
}

void SystemSettings::openLoginSettings() {
  error_.set(std::nullopt);
  environment_.openLoginSettings();
}

}  // namespace mirlet
