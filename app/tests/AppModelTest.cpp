#include "app/AppModel.h"

#include <gtest/gtest.h>

#include "app/testing/FakeDesktop.h"

namespace mirlet {
namespace {

using testing::FakeFeature;
using Behaviour = FakeFeature::StartBehaviour;

// A model over the fake desktop. Each test sets preferences and behaviours, then
// builds the model.
class AppModelTest : public ::testing::Test {
 protected:
  AppModel& model() {
    if (!model_) model_ = std::make_unique<AppModel>(desktop_.services(), desktop_.factory());
    return *model_;
  }
  FeatureState stateOf(const std::string& id) { return model().featureStates().get().at(id); }
  void enable(const std::string& id) { desktop_.preferences().setEnabled(true, id); }

  testing::FakeDesktop desktop_;
  std::unique_ptr<AppModel> model_;
};

TEST_F(AppModelTest, FirstLaunchShowsWelcomeAndStartsNothing) {
  EXPECT_EQ(model().welcomeStep().get(), AppModel::WelcomeStep::welcome);
  for (const auto& [id, state] : model().featureStates().get()) {
    EXPECT_EQ(state, FeatureState::disabled) << id;
  }
  EXPECT_EQ(model().featureStates().get().size(), 4u);
  EXPECT_TRUE(desktop_.clipboard->startedRuns.empty());
  EXPECT_EQ(desktop_.clipboard->stopCount, 1);
}

TEST_F(AppModelTest, EnabledFeatureStartsOnceAcrossLaunchRefreshes) {
  enable(FeatureIds::clipboardHistory);
  model();
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::running);
  model().applicationDidBecomeActive();
  model().systemSettings().refresh();
  EXPECT_EQ(desktop_.clipboard->startedRuns.size(), 1u);
}

TEST_F(AppModelTest, FailureDuringTheFirstStartIsDeliveredWhenTheModelIsReady) {
  enable(FeatureIds::clipboardHistory);
  desktop_.clipboard->behaviour = Behaviour::reportsFailureInside;
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::failed);
  EXPECT_FALSE(desktop_.clipboard->isRunning());
  EXPECT_FALSE(model().featureChangeFailed().get());
}

TEST_F(AppModelTest, FailureReportForAnUnknownIdIsShownAsAFailedChange) {
  desktop_.duringConstruction = [](const FeatureSinks& sinks) {
    sinks.failureCallback("ghost")(Uuid::random());
  };
  EXPECT_TRUE(model().featureChangeFailed().get());
}

TEST_F(AppModelTest, LateFailureReportMarksTheFeatureFailed) {
  enable(FeatureIds::finderCut);
  desktop_.environment.trusted = true;
  model();
  desktop_.finderCut->failRun(desktop_.finderCut->startedRuns.back());
  EXPECT_EQ(stateOf(FeatureIds::finderCut), FeatureState::failed);
}

// Passes when nothing reaches the destroyed model (the sanitizer build checks it).
TEST_F(AppModelTest, ReportsAfterTheModelIsGoneAreDropped) {
  enable(FeatureIds::finderCut);
  desktop_.environment.trusted = true;
  model();
  model_.reset();
  desktop_.finderCut->failRun(desktop_.finderCut->startedRuns.back());
  desktop_.sinks.finderCutActivity(FinderCutActivity::ready);
}

TEST_F(AppModelTest, FinderCutActivityReachesTheModelEvenBeforeItIsReady) {
  desktop_.duringConstruction = [](const FeatureSinks& sinks) {
    sinks.finderCutActivity(FinderCutActivity::preparing);
  };
  EXPECT_EQ(model().finderCutActivity().get(), FinderCutActivity::preparing);
  desktop_.sinks.finderCutActivity(FinderCutActivity::ready);
  EXPECT_EQ(model().finderCutActivity().get(), FinderCutActivity::ready);
  model().cancelFinderCut();
  EXPECT_EQ(desktop_.finderCut->cancels, 1);
}

TEST_F(AppModelTest, CatalogFollowsTheRegistryAndPagesFilterIt) {
  desktop_.withoutClipboard = true;
  ASSERT_EQ(model().catalog().size(), 3u);
  EXPECT_EQ(model().categories().size(), 2u);
  EXPECT_EQ(model().categories()[1].title, "Archivos");
  EXPECT_EQ(model().pageTitle(), "Mis mirlets");

  model().showPage(AppModel::CategoryPage{"files"});
  EXPECT_EQ(model().pageTitle(), "Archivos");
  ASSERT_EQ(model().visibleFeatures().size(), 2u);
  EXPECT_EQ(model().visibleFeatures()[0].id, FeatureIds::finderCut);

  model().showPage(AppModel::CategoryPage{"clipboard"});
  EXPECT_EQ(model().pageTitle(), "Mis mirlets");
  EXPECT_TRUE(model().visibleFeatures().empty());

  model().showPage(AppModel::SettingsPage{});
  EXPECT_EQ(model().pageTitle(), "Ajustes");
  EXPECT_TRUE(model().visibleFeatures().empty());
}

TEST_F(AppModelTest, RepeatedCatalogIdIsAProgrammingError) {
  auto catalog = standardCatalog();
  catalog.push_back(catalog.front());
  EXPECT_THROW(AppModel(desktop_.services(), desktop_.factory(), catalog), std::logic_error);
}

TEST_F(AppModelTest, SwitchingAFeatureRefreshesFirstThenPublishes) {
  model();
  desktop_.environment.trusted = true;  // granted while the application was in the background
  model().setFeatureEnabled(true, FeatureIds::rightClickFocus);
  EXPECT_EQ(stateOf(FeatureIds::rightClickFocus), FeatureState::running);
  model().setFeatureEnabled(false, FeatureIds::rightClickFocus);
  EXPECT_EQ(stateOf(FeatureIds::rightClickFocus), FeatureState::disabled);
  EXPECT_FALSE(desktop_.preferences().isEnabled(FeatureIds::rightClickFocus));
}

TEST_F(AppModelTest, RefusedSwitchIsShownUntilTheNextSwitch) {
  model().setFeatureEnabled(true, "ghost");
  EXPECT_TRUE(model().featureChangeFailed().get());
  model().setFeatureEnabled(true, FeatureIds::clipboardHistory);
  EXPECT_FALSE(model().featureChangeFailed().get());
}

TEST_F(AppModelTest, WaitingFeatureIsReported) {
  enable(FeatureIds::finderKeys);
  EXPECT_TRUE(model().hasFeatureAwaitingPermission());
  desktop_.environment.trusted = true;
  model().applicationDidBecomeActive();
  EXPECT_FALSE(model().hasFeatureAwaitingPermission());
}

TEST_F(AppModelTest, FinderKeysFollowTheirOptions) {
  desktop_.preferences().setOptionEnabled(false, "f2", FeatureIds::finderKeys);
  const std::set<FinderKey> initial{FinderKey::enter, FinderKey::delete_};
  EXPECT_EQ(model().finderKeys().get(), initial);
  EXPECT_EQ(desktop_.finderKeys->enabledKeys, initial);

  model().setKeyEnabled(false, FinderKey::delete_);
  model().setKeyEnabled(true, FinderKey::f2);
  const std::set<FinderKey> changed{FinderKey::enter, FinderKey::f2};
  EXPECT_EQ(model().finderKeys().get(), changed);
  EXPECT_EQ(desktop_.finderKeys->enabledKeys, changed);
  EXPECT_FALSE(desktop_.preferences().isOptionEnabled("delete", FeatureIds::finderKeys));
  EXPECT_TRUE(desktop_.finderKeys->startedRuns.empty());  // not restarted
}

TEST_F(AppModelTest, WelcomeFlowPersistsOnlyItsCompletion) {
  model().startWelcome();
  EXPECT_EQ(model().welcomeStep().get(), AppModel::WelcomeStep::finish);
  model().backToWelcome();
  EXPECT_FALSE(desktop_.preferences().hasCompletedOnboarding());
  model().startWelcome();
  model().completeWelcome();
  EXPECT_EQ(model().welcomeStep().get(), AppModel::WelcomeStep::completed);
  EXPECT_TRUE(desktop_.preferences().hasCompletedOnboarding());

  model_.reset();
  EXPECT_EQ(model().welcomeStep().get(), AppModel::WelcomeStep::completed);
}

TEST_F(AppModelTest, GrantAsksOpensSettingsAndWatchesUntilGranted) {
  using Call = testing::ScriptedSystemEnvironment::Call;
  enable(FeatureIds::finderCut);
  model().grantAccessibility();
  EXPECT_EQ(desktop_.environment.calls,
            (std::vector<Call>{Call::requestAccessibility, Call::openAccessibilitySettings}));
  EXPECT_TRUE(model().systemSettings().isWatchingAccessibility().get());
  EXPECT_EQ(model().permissionCheck().get(), std::nullopt);

  desktop_.scheduler.advance(4);
  desktop_.environment.trusted = true;
  desktop_.scheduler.advance(1);
  EXPECT_EQ(stateOf(FeatureIds::finderCut), FeatureState::running);
  ASSERT_TRUE(model().permissionCheck().get());
  EXPECT_EQ(model().permissionCheck().get()->permission, AccessibilityPermission::granted);
  EXPECT_EQ(model().permissionCheck().get()->checkedAt, desktop_.scheduler.now());
}

TEST_F(AppModelTest, GrantWhenAlreadyGrantedDoesNotAskAgain) {
  using Call = testing::ScriptedSystemEnvironment::Call;
  desktop_.environment.trusted = true;
  model().grantAccessibility();
  EXPECT_EQ(desktop_.environment.calls, std::vector<Call>{Call::openAccessibilitySettings});
}

TEST_F(AppModelTest, PermissionCheckIsClearedWhenThePermissionChanges) {
  const Date before = desktop_.scheduler.now();
  model().checkPermission();
  ASSERT_TRUE(model().permissionCheck().get());
  EXPECT_EQ(model().permissionCheck().get()->checkedAt, before);
  EXPECT_EQ(model().permissionCheck().get()->permission, AccessibilityPermission::notRequested);

  model().applicationDidBecomeActive();
  EXPECT_TRUE(model().permissionCheck().get());
  desktop_.environment.trusted = true;
  model().applicationDidBecomeActive();
  EXPECT_EQ(model().permissionCheck().get(), std::nullopt);
}

TEST_F(AppModelTest, SleepStopsEverythingAndWakeRestartsTheEnabled) {
  enable(FeatureIds::clipboardHistory);
  enable(FeatureIds::finderCut);
  desktop_.environment.trusted = true;
  model();
  model().sessionChanged(SessionEvent::willSleep);
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::disabled);
  EXPECT_FALSE(desktop_.clipboard->isRunning());
  EXPECT_TRUE(desktop_.preferences().isEnabled(FeatureIds::clipboardHistory));

  model().sessionChanged(SessionEvent::didWake);
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::running);
  EXPECT_EQ(stateOf(FeatureIds::finderCut), FeatureState::running);
  EXPECT_EQ(stateOf(FeatureIds::rightClickFocus), FeatureState::disabled);
  EXPECT_TRUE(desktop_.rightClick->startedRuns.empty());
}

TEST_F(AppModelTest, TerminationStopsEveryFeature) {
  enable(FeatureIds::clipboardHistory);
  model().prepareForTermination();
  EXPECT_FALSE(desktop_.clipboard->isRunning());
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::disabled);
}

}  // namespace
}  // namespace mirlet
