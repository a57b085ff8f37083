#include <gtest/gtest.h>

#include <fstream>

#include "app/AppModel.h"
#include "app/wiring/testing/SimulatedFeatures.h"
#include "host/sim/DesktopScenario.h"
#include "host/testing/ScriptedSystemEnvironment.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

// The application model over the real features on the simulated desktop.
class SimulatedDesktopTest : public ::testing::Test {
 protected:
  AppModel& model() {
    if (!model_) {
      model_ = std::make_unique<AppModel>(
          AppModel::Services{defaults_, environment_, scenario_.desktop.time,
                             scenario_.desktop.time},
          features_.factory());
    }
    return *model_;
  }
  std::vector<std::string> menuTitles() {
    auto items = StatusMenu::baseItems(false);
    StatusMenu::updateClipboardItems(items, model().runningClipboard());
    std::vector<std::string> titles;
    for (const auto& item : items) titles.push_back(item.title);
    return titles;
  }

  testing::TemporaryFolder folder_;
  sim::DesktopScenario scenario_;
  MemoryDefaultsStore defaults_;
  testing::ScriptedSystemEnvironment environment_;
  testing::SimulatedFeatures features_{scenario_.desktop, folder_.path()};
  std::unique_ptr<AppModel> model_;
};

TEST_F(SimulatedDesktopTest, SwitchingTheHistoryOnStartsItAndTheMenuFollowsIt) {
  EXPECT_EQ(menuTitles().size(), 7u);
  model().setFeatureEnabled(true, FeatureIds::clipboardHistory);
  EXPECT_EQ(model().featureStates().get().at(FeatureIds::clipboardHistory), FeatureState::running);
  EXPECT_EQ(menuTitles().at(3), "Abrir historial (⌃⌥V)");
  EXPECT_EQ(menuTitles().at(4), "Pausar historial");

  scenario_.activate(scenario_.textEdit);
  scenario_.copyText(scenario_.textEdit, "desde el editor");
  scenario_.rest(0.5);
  EXPECT_EQ(features_.clipboard->store().get().items().size(), 1u);

  features_.clipboard->setPaused(true);
  EXPECT_EQ(menuTitles().at(4), "Reanudar historial");
  model().setFeatureEnabled(false, FeatureIds::clipboardHistory);
  EXPECT_EQ(menuTitles().size(), 7u);
}

TEST_F(SimulatedDesktopTest, AHistoryThatCannotBeOpenedShowsTheFeatureFailed) {
  std::filesystem::create_directories(folder_ / "ClipboardHistory");
  std::ofstream(folder_ / "ClipboardHistory/index.json") << R"({"version":9})";
  model().setFeatureEnabled(true, FeatureIds::clipboardHistory);
  EXPECT_EQ(model().featureStates().get().at(FeatureIds::clipboardHistory), FeatureState::failed);
  EXPECT_EQ(model().controller().startFailure(FeatureIds::clipboardHistory),
            "disk store: newer index: 9");
}

TEST_F(SimulatedDesktopTest, FinderKeysRunWithTheKeysTheRowLeavesOn) {
  scenario_.desktop.trust.trusted = true;
  environment_.trusted = true;
  model().setKeyEnabled(false, FinderKey::delete_);
  model().setFeatureEnabled(true, FeatureIds::finderKeys);
  EXPECT_EQ(model().featureStates().get().at(FeatureIds::finderKeys), FeatureState::running);
  EXPECT_EQ(features_.finderKeys->enabledKeys(), (std::set{FinderKey::enter, FinderKey::f2}));
  model().setKeyEnabled(true, FinderKey::delete_);
  EXPECT_EQ(features_.finderKeys->enabledKeys().size(), 3u);
}

}  // namespace
}  // namespace mirlet
