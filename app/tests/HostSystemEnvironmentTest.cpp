#include "host/HostSystemEnvironment.h"

#include <gtest/gtest.h>

#include "app/SystemSettings.h"
#include "core/FeatureController.h"
#include "host/sim/SimDesktop.h"

namespace mirlet::sim {
namespace {

// The system settings end to end over the simulated desktop.
class HostSystemEnvironmentTest : public ::testing::Test {
 protected:
  SystemSettings& settings() {
    if (!settings_) {
      environment_ = std::make_unique<HostSystemEnvironment>(desktop_.trust, desktop_.loginItems,
                                                             desktop_.workspace, installed_);
      settings_ =
          std::make_unique<SystemSettings>(preferences_, controller_, *environment_, desktop_.time);
    }
    return *settings_;
  }

  SimDesktop desktop_;
  MemoryDefaultsStore store_;
  Preferences preferences_{store_};
  FeatureController controller_{FeatureRegistry({}), preferences_};
  bool installed_ = true;
  std::unique_ptr<HostSystemEnvironment> environment_;
  std::unique_ptr<SystemSettings> settings_;
};

TEST_F(HostSystemEnvironmentTest, GrantFlowAsksOpensThePaneAndSeesTheGrant) {
  desktop_.trust.trusted = false;
  settings().requestAccessibility();
  EXPECT_EQ(desktop_.trust.requests, 1);
  EXPECT_EQ(settings().accessibility().get(), AccessibilityPermission::denied);
  settings().openAccessibilitySettings();
  EXPECT_EQ(desktop_.workspace.openedURLs(),
            std::vector<std::string>{HostSystemEnvironment::kAccessibilitySettingsURL});
  settings().watchForAccessibility(120);
  desktop_.time.advance(3);
  desktop_.trust.trusted = true;
  desktop_.time.advance(1);
  EXPECT_EQ(settings().accessibility().get(), AccessibilityPermission::granted);
  EXPECT_FALSE(settings().isWatchingAccessibility().get());
}

TEST_F(HostSystemEnvironmentTest, LoginItemThroughItsFourStatuses) {
  desktop_.loginItems.requireApproval = true;
  settings().setStartAtLogin(true);
  EXPECT_EQ(settings().loginState().get(), LoginState::requiresApproval);
  settings().setStartAtLogin(false);
  EXPECT_EQ(settings().loginState().get(), LoginState::disabled);
  desktop_.loginItems.statusValue = 3;
  settings().refresh();
  EXPECT_EQ(settings().loginState().get(), LoginState::notFound);
  desktop_.loginItems.refuse = true;
  settings().setStartAtLogin(true);
  EXPECT_EQ(settings().error().get(), SystemSettingsError::loginChangeFailed);
  settings().openLoginSettings();
  EXPECT_EQ(desktop_.loginItems.settingsOpened, 1);
}

TEST_F(HostSystemEnvironmentTest, CopyOutsideAnApplicationBundleHasNoLoginItem) {
  installed_ = false;
  settings().setStartAtLogin(true);
  EXPECT_EQ(settings().loginState().get(), LoginState::unavailable);
  EXPECT_EQ(settings().error().get(), SystemSettingsError::loginUnavailable);
  EXPECT_EQ(desktop_.loginItems.statusValue, 0);
}

}  // namespace
}  // namespace mirlet::sim
