#include "core/Preferences.h"

#include <gtest/gtest.h>

#include "core/AccessibilityPermission.h"

namespace mirlet {
namespace {

class PreferencesTest : public ::testing::Test {
 protected:
  MemoryDefaultsStore store_;
  Preferences preferences_{store_};
};

TEST_F(PreferencesTest, FreshStoreDefaults) {
  EXPECT_FALSE(preferences_.isEnabled("finder-cut"));
  EXPECT_TRUE(preferences_.isOptionEnabled("enter", "finder-keys"));
  EXPECT_FALSE(preferences_.hasCompletedOnboarding());
  EXPECT_FALSE(preferences_.hasRequestedAccessibility());
  EXPECT_EQ(preferences_.string("hotKey", "clipboard-history"), std::nullopt);
}

TEST_F(PreferencesTest, KeysAreBuiltByPlainConcatenation) {
  preferences_.setEnabled(true, "finder-cut");
  preferences_.setOptionEnabled(false, "f2", "finder-keys");
  preferences_.setString("50", "limit", "clipboard-history");
  preferences_.setHasCompletedOnboarding(true);
  preferences_.setHasRequestedAccessibility(true);
  preferences_.setEnabled(true, " odd id ");

  EXPECT_EQ(store_.values(), (PropertyDictionary{
                                 {"mirlet.features.finder-cut.enabled", true},
                                 {"mirlet.features.finder-keys.f2.enabled", false},
                                 {"mirlet.features.clipboard-history.limit", "50"},
                                 {"mirlet.onboarding.completed", true},
                                 {"mirlet.accessibility.requested", true},
                                 {"mirlet.features. odd id .enabled", true},
                             }));
}

TEST_F(PreferencesTest, ValuesOfTheWrongTypeReadAsTheDefault) {
  store_.set("mirlet.features.finder-keys.enter.enabled", "false");
  store_.set("mirlet.features.finder-cut.enabled", 1);
  store_.set("mirlet.features.clipboard-history.limit", 50);
  store_.set("mirlet.onboarding.completed", "true");
  EXPECT_TRUE(preferences_.isOptionEnabled("enter", "finder-keys"));
  EXPECT_FALSE(preferences_.isEnabled("finder-cut"));
  EXPECT_EQ(preferences_.string("limit", "clipboard-history"), std::nullopt);
  EXPECT_FALSE(preferences_.hasCompletedOnboarding());
}

TEST_F(PreferencesTest, StoredValuesAreReadBack) {
  preferences_.setOptionEnabled(false, "delete", "finder-keys");
  EXPECT_FALSE(preferences_.isOptionEnabled("delete", "finder-keys"));
  EXPECT_TRUE(preferences_.isOptionEnabled("enter", "finder-keys"));
  preferences_.setString("⌃⌥V", "hotKey", "clipboard-history");
  EXPECT_EQ(preferences_.string("hotKey", "clipboard-history"), "⌃⌥V");
}

TEST_F(PreferencesTest, StoringNothingRemovesTheKey) {
  preferences_.setString("none", "hotKey", "clipboard-history");
  preferences_.setString(std::nullopt, "hotKey", "clipboard-history");
  EXPECT_EQ(preferences_.string("hotKey", "clipboard-history"), std::nullopt);
  EXPECT_FALSE(store_.object("mirlet.features.clipboard-history.hotKey").has_value());
}

TEST(AccessibilityPermissionTest, FromTrustAndRequest) {
  EXPECT_EQ(accessibilityPermission(true, false), AccessibilityPermission::granted);
  EXPECT_EQ(accessibilityPermission(true, true), AccessibilityPermission::granted);
  EXPECT_EQ(accessibilityPermission(false, false), AccessibilityPermission::notRequested);
  EXPECT_EQ(accessibilityPermission(false, true), AccessibilityPermission::denied);
}

}  // namespace
}  // namespace mirlet
