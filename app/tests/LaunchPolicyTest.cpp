#include "app/LaunchPolicy.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

struct LaunchCase {
  const char* name;
  bool onboarded;
  bool loginItem;
  std::optional<std::string> marker;
  std::optional<std::string> build;
  bool opensWindow;
};

class LaunchPolicyTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(LaunchPolicyTest, DecidesAndAlwaysConsumesTheMarker) {
  const LaunchCase& c = GetParam();
  MemoryDefaultsStore store;
  if (c.marker) store.set(LaunchPolicy::relaunchMarkerKey, *c.marker);
  EXPECT_EQ(LaunchPolicy::shouldOpenWindow(c.onboarded, c.loginItem, c.build, store),
            c.opensWindow);
  EXPECT_FALSE(store.object(LaunchPolicy::relaunchMarkerKey));
}

INSTANTIATE_TEST_SUITE_P(
    Launches, LaunchPolicyTest,
    ::testing::Values(LaunchCase{"FirstLaunch", false, false, std::nullopt, "42", true},
                      LaunchCase{"FirstLaunchAtLogin", false, true, std::nullopt, "42", true},
                      LaunchCase{"FirstLaunchAfterUpdate", false, false, "41", "42", true},
                      LaunchCase{"AtLogin", true, true, std::nullopt, "42", false},
                      LaunchCase{"ByTheUser", true, false, std::nullopt, "42", true},
                      LaunchCase{"RelaunchedIntoANewBuild", true, false, "41", "42", false},
                      LaunchCase{"RelaunchedIntoTheSameBuild", true, false, "42", "42", true},
                      LaunchCase{"RelaunchedWithUnknownBuild", true, false, "41", std::nullopt,
                                 true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LaunchPolicyMarkerTest, MarkerOfTheWrongTypeIsRemovedAndIgnored) {
  MemoryDefaultsStore store;
  store.set(LaunchPolicy::relaunchMarkerKey, 41);
  EXPECT_TRUE(LaunchPolicy::shouldOpenWindow(true, false, "42", store));
  EXPECT_FALSE(store.object(LaunchPolicy::relaunchMarkerKey));
}

}  // namespace
}  // namespace mirlet
