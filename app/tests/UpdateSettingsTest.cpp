#include "app/UpdateSettings.h"

#include <gtest/gtest.h>

#include "app/AppVersion.h"

namespace mirlet {
namespace {

class FakeUpdater : public Updater {
 public:
  bool automaticallyChecksForUpdates() const override { return flag; }
  void setAutomaticallyChecksForUpdates(bool enabled) override {
    flag = enabled;
    changed.emit();
  }
  Subscription observeAutomaticChecks(std::function<void()> onChange) override {
    return changed.connect(std::move(onChange));
  }
  void checkForUpdates() override {}

  bool flag = false;
  Signal<> changed;
};

TEST(UpdateSettingsTest, WithoutUpdaterTheFlagIsOffAndFixed) {
  UpdateSettings settings;
  settings.setAutomaticallyChecksForUpdates(true);
  EXPECT_FALSE(settings.automaticallyChecksForUpdates());
  EXPECT_FALSE(settings.hasUpdater());
}

TEST(UpdateSettingsTest, ChangesByTheUpdaterItselfAreSignalled) {
  auto updater = std::make_shared<FakeUpdater>();
  UpdateSettings settings(updater);
  int changes = 0;
  Subscription subscription = settings.changed.connect([&] { ++changes; });
  updater->setAutomaticallyChecksForUpdates(true);  // from the updater's own window
  EXPECT_TRUE(settings.automaticallyChecksForUpdates());
  settings.setAutomaticallyChecksForUpdates(false);
  EXPECT_FALSE(updater->flag);
  EXPECT_EQ(changes, 2);
}

TEST(UpdateSettingsTest, ObservationEndsWithTheSettings) {
  auto updater = std::make_shared<FakeUpdater>();
  { UpdateSettings settings(updater); }
  EXPECT_FALSE(updater->changed.hasSlots());
  updater->setAutomaticallyChecksForUpdates(true);
}

struct VersionCase {
  const char* name;
  std::optional<std::string> identifier;
  PropertyDictionary info;
  std::string about;
  std::string footer;
};

class AppVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(AppVersionTest, AboutAndSettingsTexts) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(AppVersion::description(c.info), c.about);
  EXPECT_EQ(AppVersion::settingsDescription(c.identifier, c.info), c.footer);
}

INSTANTIATE_TEST_SUITE_P(
    Bundles, AppVersionTest,
    ::testing::Values(
        VersionCase{"Full",
                    "app.mirlet",
                    {{"CFBundleShortVersionString", "1.2"}, {"CFBundleVersion", "45"}},
                    "1.2 (45)",
                    "Versión 1.2 (45)"},
        VersionCase{"EmptyBuild",
                    "app.mirlet",
                    {{"CFBundleShortVersionString", "1.2"}, {"CFBundleVersion", ""}},
                    "1.2",
                    "Versión 1.2"},
        VersionCase{"BuildNotText",
                    "app.mirlet",
                    {{"CFBundleShortVersionString", "1.2"}, {"CFBundleVersion", 45}},
                    "1.2",
                    "Versión 1.2"},
        VersionCase{"NoShortVersion",
                    "app.mirlet",
                    {{"CFBundleVersion", "45"}},
                    "",
                    "Versión no disponible"},
        VersionCase{"OtherIdentifier",
                    "app.mirlet.dev",
                    {{"CFBundleShortVersionString", "1.2"}, {"CFBundleVersion", "45"}},
                    "1.2 (45)",
                    "Versión de desarrollo local"},
        VersionCase{"IdentifierInOtherCase",
                    "App.Mirlet",
                    {{"CFBundleShortVersionString", "1.2"}},
                    "1.2",
                    "Versión de desarrollo local"},
        VersionCase{"NoIdentifier", std::nullopt, {}, "", "Versión de desarrollo local"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace mirlet
