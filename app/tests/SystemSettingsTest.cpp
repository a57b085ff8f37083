#include "app/SystemSettings.h"

#include <gtest/gtest.h>

#include "core/testing/FakeFeature.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "host/testing/ScriptedSystemEnvironment.h"

namespace mirlet {
namespace {

using testing::FakeFeature;
using Call = testing::ScriptedSystemEnvironment::Call;

// Settings over a controller with one enabled feature that needs the permission.
class SystemSettingsTest : public ::testing::Test {
 protected:
  SystemSettingsTest() { preferences_.setEnabled(true, "tap"); }

  SystemSettings& settings() {
    if (!settings_) {
      settings_ =
          std::make_unique<SystemSettings>(preferences_, controller_, environment_, scheduler_);
      granted_ = settings_->observeAccessibilityGranted([this] { ++grantedCallbacks_; });
    }
    return *settings_;
  }
  FeatureState tapState() const { return *controller_.state("tap"); }

  MemoryDefaultsStore store_;
  Preferences preferences_{store_};
  std::shared_ptr<FakeFeature> tap_ =
      std::make_shared<FakeFeature>(FeatureDescriptor{"tap", "Tap", "", true});
  FeatureController controller_{FeatureRegistry({tap_}), preferences_};
  testing::ScriptedSystemEnvironment environment_;
  testing::VirtualTimeScheduler scheduler_;
  std::unique_ptr<SystemSettings> settings_;
  Subscription granted_;
  int grantedCallbacks_ = 0;
};

TEST_F(SystemSettingsTest, ConstructionRefreshesAndReconciles) {
  environment_.trusted = true;
  environment_.login = LoginState::notFound;
  settings();
  EXPECT_EQ(settings().accessibility().get(), AccessibilityPermission::granted);
  EXPECT_EQ(settings().loginState().get(), LoginState::notFound);
  EXPECT_EQ(tapState(), FeatureState::running);
}

TEST_F(SystemSettingsTest, RequestRecordsTheRequestBeforeAsking) {
  settings().requestAccessibility();
  EXPECT_TRUE(preferences_.hasRequestedAccessibility());
  EXPECT_EQ(settings().accessibility().get(), AccessibilityPermission::denied);
  EXPECT_EQ(environment_.calls, std::vector<Call>{Call::requestAccessibility});
  settings().refresh();
  EXPECT_EQ(settings().accessibility().get(), AccessibilityPermission::denied);
}

TEST_F(SystemSettingsTest, RequestAnsweredAtOnceStartsWaitingFeatures) {
  environment_.grantOnRequest = true;
  settings().requestAccessibility();
  EXPECT_EQ(tapState(), FeatureState::running);
}

TEST_F(SystemSettingsTest, OpeningSettingsSetsOrClearsTheError) {
  environment_.settingsOpen = false;
  settings().openAccessibilitySettings();
  EXPECT_EQ(settings().error().get(), SystemSettingsError::accessibilitySettingsUnavailable);
  environment_.settingsOpen = true;
  settings().openAccessibilitySettings();
  EXPECT_EQ(settings().error().get(), std::nullopt);
}

TEST_F(SystemSettingsTest, PermissionGrantedOnTheThirtiethTickEndsTheWatch) {
  settings().watchForAccessibility(120);
  EXPECT_TRUE(settings().isWatchingAccessibility().get());
  scheduler_.advance(29);
  EXPECT_EQ(tapState(), FeatureState::requiresAccessibility);
  environment_.trusted = true;
  scheduler_.advance(1);
  EXPECT_FALSE(settings().isWatchingAccessibility().get());
  EXPECT_EQ(tapState(), FeatureState::running);
  EXPECT_EQ(grantedCallbacks_, 1);
  EXPECT_EQ(scheduler_.pendingMainLoopWork(), 0u);
  scheduler_.advance(10);
  EXPECT_EQ(grantedCallbacks_, 1);
}

TEST_F(SystemSettingsTest, WatchEndsSilentlyAfterItsLimit) {
  settings().watchForAccessibility(120);
  scheduler_.advance(119);
  EXPECT_TRUE(settings().isWatchingAccessibility().get());
  scheduler_.advance(1);
  EXPECT_FALSE(settings().isWatchingAccessibility().get());
  EXPECT_EQ(scheduler_.pendingMainLoopWork(), 0u);
  EXPECT_EQ(grantedCallbacks_, 0);
  EXPECT_EQ(tapState(), FeatureState::requiresAccessibility);
}

TEST_F(SystemSettingsTest, SecondWatchOnlyResetsTheCount) {
  settings().watchForAccessibility(120);
  scheduler_.advance(50);
  settings().watchForAccessibility(120);
  EXPECT_EQ(scheduler_.pendingMainLoopWork(), 1u);
  scheduler_.advance(119);
  EXPECT_TRUE(settings().isWatchingAccessibility().get());
  scheduler_.advance(1);
  EXPECT_FALSE(settings().isWatchingAccessibility().get());
}

TEST_F(SystemSettingsTest, ZeroLimitDoesNotWatch) {
  settings().watchForAccessibility(0);
  EXPECT_FALSE(settings().isWatchingAccessibility().get());
  EXPECT_EQ(scheduler_.pendingMainLoopWork(), 0u);
}

TEST_F(SystemSettingsTest, StopWatchingCancelsTheTimer) {
  settings().watchForAccessibility(120);
  settings().stopWatchingAccessibility();
  environment_.trusted = true;
  scheduler_.advance(5);
  EXPECT_EQ(grantedCallbacks_, 0);
  EXPECT_EQ(settings().watchChecksLeft(), 0);
}

TEST_F(SystemSettingsTest, WatchDiesWithTheSettings) {
  settings().watchForAccessibility(120);
  settings_.reset();
  environment_.trusted = true;
  scheduler_.advance(5);
  EXPECT_EQ(grantedCallbacks_, 0);
}

struct LoginCase {
  const char* name;
  LoginState before;
  bool enable;
  std::vector<Call> expectedCalls;
  LoginState after;
};

class LoginChangeTest : public SystemSettingsTest,
                        public ::testing::WithParamInterface<LoginCase> {};

TEST_P(LoginChangeTest, CallsThePlatformOnlyWhenNeeded) {
  const LoginCase& c = GetParam();
  environment_.login = c.before;
  settings().setStartAtLogin(c.enable);
  EXPECT_EQ(environment_.calls, c.expectedCalls);
  EXPECT_EQ(settings().loginState().get(), c.after);
  EXPECT_EQ(settings().error().get(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    States, LoginChangeTest,
    ::testing::Values(
        LoginCase{"EnableFromDisabled",
                  LoginState::disabled,
                  true,
                  {Call::registerLogin},
                  LoginState::enabled},
        LoginCase{"EnableFromNotFound",
                  LoginState::notFound,
                  true,
                  {Call::registerLogin},
                  LoginState::enabled},
        LoginCase{"EnableWhileEnabled", LoginState::enabled, true, {}, LoginState::enabled},
        LoginCase{"EnableWhileAwaitingApproval",
                  LoginState::requiresApproval,
                  true,
                  {},
                  LoginState::requiresApproval},
        LoginCase{"DisableWhileAwaitingApproval",
                  LoginState::requiresApproval,
                  false,
                  {Call::unregisterLogin},
                  LoginState::disabled},
        LoginCase{"DisableFromEnabled",
                  LoginState::enabled,
                  false,
                  {Call::unregisterLogin},
                  LoginState::disabled},
        LoginCase{"DisableWhileDisabled", LoginState::disabled, false, {}, LoginState::disabled}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SystemSettingsTest, UnavailableLoginItemRefusesEveryChange) {
  environment_.login = LoginState::unavailable;
  for (bool enable : {true, false}) {
    settings().setStartAtLogin(enable);
    EXPECT_EQ(settings().error().get(), SystemSettingsError::loginUnavailable);
  }
  EXPECT_TRUE(environment_.calls.empty());
}

TEST_F(SystemSettingsTest, RefusedChangeReportsAndRereadsTheState) {
  environment_.refuseLoginChanges = true;
  settings().setStartAtLogin(true);
  EXPECT_EQ(settings().error().get(), SystemSettingsError::loginChangeFailed);
  EXPECT_EQ(settings().loginState().get(), LoginState::disabled);
}

TEST_F(SystemSettingsTest, OpenLoginSettingsClearsTheError) {
  environment_.login = LoginState::unavailable;
  settings().setStartAtLogin(true);
  settings().openLoginSettings();
  EXPECT_EQ(settings().error().get(), std::nullopt);
  EXPECT_EQ(environment_.calls.back(), Call::openLoginSettings);
}

TEST(LoginStateTest, FromServiceStatus) {
  EXPECT_EQ(loginStateFromServiceStatus(0), LoginState::disabled);
  EXPECT_EQ(loginStateFromServiceStatus(1), LoginState::enabled);
  EXPECT_EQ(loginStateFromServiceStatus(2), LoginState::requiresApproval);
  EXPECT_EQ(loginStateFromServiceStatus(3), LoginState::notFound);
  EXPECT_EQ(loginStateFromServiceStatus(4), LoginState::unavailable);
  EXPECT_EQ(loginStateFromServiceStatus(-1), LoginState::unavailable);
}

}  // namespace
}  // namespace mirlet
