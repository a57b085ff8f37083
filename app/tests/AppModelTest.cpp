#include "app/AppModel.h"

#include <gtest/gtest.h>

#include "app/SessionLifecycle.h"
#include "core/testing/FakeFeature.h"
#include "core/testing/VirtualTimeScheduler.h"
#include "platform/FeatureControls.h"
#include "platform/testing/ScriptedSystemEnvironment.h"

namespace mirlet {
namespace {

using testing::FakeFeature;
using Behaviour = FakeFeature::StartBehaviour;

class FakeFinderKeys : public FakeFeature, public FinderKeysControl {
 public:
  using FakeFeature::FakeFeature;
  void setEnabledKeys(const std::set<FinderKey>& keys) override { enabledKeys = keys; }
  std::set<FinderKey> enabledKeys;
};

class FakeFinderCut : public FakeFeature, public FinderCutControl {
 public:
  using FakeFeature::FakeFeature;
  void cancelPendingCut() override { ++cancels; }
  int cancels = 0;
};

// A model over fake features with the real ids, on virtual time and a scripted
// system. Each test sets preferences and behaviours, then builds the model.
class AppModelTest : public ::testing::Test {
 protected:
  AppModel& model() {
    if (!model_) {
      model_ = std::make_unique<AppModel>(
          AppModel::Services{store_, environment_, scheduler_, scheduler_},
          [this](const FeatureSinks& sinks, Preferences&) { return makeFeatures(sinks); });
    }
    return *model_;
  }

  FeatureRegistry::Features makeFeatures(const FeatureSinks& sinks) {
    sinks_ = sinks;
    rightClick_->setFailureCallback(sinks.failureCallback(FeatureIds::rightClickFocus));
    finderCut_->setFailureCallback(sinks.failureCallback(FeatureIds::finderCut));
    finderKeys_->setFailureCallback(sinks.failureCallback(FeatureIds::finderKeys));
    clipboard_->setFailureCallback(sinks.failureCallback(FeatureIds::clipboardHistory));
    if (beforeRegistration_) beforeRegistration_(sinks);
    if (onlyClipboardless_) return {rightClick_, finderCut_, finderKeys_};
    return {rightClick_, finderCut_, finderKeys_, clipboard_};
  }

  FeatureState stateOf(const std::string& id) { return model().featureStates.get().at(id); }
  void enable(const std::string& id) { Preferences(store_).setEnabled(true, id); }

  MemoryDefaultsStore store_;
  testing::ScriptedSystemEnvironment environment_;
  testing::VirtualTimeScheduler scheduler_;
  std::shared_ptr<FakeFeature> rightClick_ =
      std::make_shared<FakeFeature>(FeatureDescriptor{FeatureIds::rightClickFocus, "", "", true});
  std::shared_ptr<FakeFinderCut> finderCut_ =
      std::make_shared<FakeFinderCut>(FeatureDescriptor{FeatureIds::finderCut, "", "", true});
  std::shared_ptr<FakeFinderKeys> finderKeys_ =
      std::make_shared<FakeFinderKeys>(FeatureDescriptor{FeatureIds::finderKeys, "", "", true});
  std::shared_ptr<FakeFeature> clipboard_ =
      std::make_shared<FakeFeature>(FeatureDescriptor{FeatureIds::clipboardHistory, "", "", false});
  bool onlyClipboardless_ = false;
  std::function<void(const FeatureSinks&)> beforeRegistration_;
  FeatureSinks sinks_;
  std::unique_ptr<AppModel> model_;
};

TEST_F(AppModelTest, FirstLaunchShowsWelcomeAndStartsNothing) {
  EXPECT_EQ(model().welcomeStep.get(), AppModel::WelcomeStep::welcome);
  for (const auto& [id, state] : model().featureStates.get()) {
    EXPECT_EQ(state, FeatureState::disabled) << id;
  }
  EXPECT_EQ(model().featureStates.get().size(), 4u);
  EXPECT_TRUE(clipboard_->startedRuns.empty());
  EXPECT_EQ(clipboard_->stopCount, 1);
}

TEST_F(AppModelTest, EnabledFeatureStartsOnceAcrossLaunchRefreshes) {
  enable(FeatureIds::clipboardHistory);
  model();
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::running);
  model().applicationDidBecomeActive();
  model().systemSettings().refresh();
  EXPECT_EQ(clipboard_->startedRuns.size(), 1u);
}

TEST_F(AppModelTest, FailureDuringTheFirstStartIsDeliveredWhenTheModelIsReady) {
  enable(FeatureIds::clipboardHistory);
  clipboard_->behaviour = Behaviour::reportsFailureInside;
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::failed);
  EXPECT_FALSE(clipboard_->isRunning());
  EXPECT_FALSE(model().featureChangeFailed.get());
}

TEST_F(AppModelTest, FailureReportForAnUnknownIdIsShownAsAFailedChange) {
  beforeRegistration_ = [](const FeatureSinks& sinks) {
    sinks.failureCallback("ghost")(Uuid::random());
  };
  EXPECT_TRUE(model().featureChangeFailed.get());
}

TEST_F(AppModelTest, LateFailureReportMarksTheFeatureFailed) {
  enable(FeatureIds::finderCut);
  environment_.trusted = true;
  model();
  finderCut_->failRun(finderCut_->startedRuns.back());
  EXPECT_EQ(stateOf(FeatureIds::finderCut), FeatureState::failed);
}

TEST_F(AppModelTest, ReportsAfterTheModelIsGoneAreDropped) {
  enable(FeatureIds::finderCut);
  environment_.trusted = true;
  model();
  model_.reset();
  finderCut_->failRun(finderCut_->startedRuns.back());
  sinks_.finderCutActivity(FinderCutActivity::ready);
}

TEST_F(AppModelTest, FinderCutActivityReachesTheModelEvenBeforeItIsReady) {
  beforeRegistration_ = [](const FeatureSinks& sinks) {
    sinks.finderCutActivity(FinderCutActivity::preparing);
  };
  EXPECT_EQ(model().finderCutActivity.get(), FinderCutActivity::preparing);
  sinks_.finderCutActivity(FinderCutActivity::ready);
  EXPECT_EQ(model().finderCutActivity.get(), FinderCutActivity::ready);
  model().cancelFinderCut();
  EXPECT_EQ(finderCut_->cancels, 1);
}

TEST_F(AppModelTest, CatalogFollowsTheRegistryAndPagesFilterIt) {
  onlyClipboardless_ = true;
  ASSERT_EQ(model().catalog().size(), 3u);
  EXPECT_EQ(model().categories().size(), 2u);
  EXPECT_EQ(model().categories()[1].title, "Archivos");
  EXPECT_EQ(model().pageTitle(), "Mis mirlets");

  model().page.set(AppModel::CategoryPage{"files"});
  EXPECT_EQ(model().pageTitle(), "Archivos");
  ASSERT_EQ(model().visibleFeatures().size(), 2u);
  EXPECT_EQ(model().visibleFeatures()[0].id, FeatureIds::finderCut);

  model().page.set(AppModel::CategoryPage{"clipboard"});
  EXPECT_EQ(model().pageTitle(), "Mis mirlets");
  EXPECT_TRUE(model().visibleFeatures().empty());

  model().page.set(AppModel::SettingsPage{});
  EXPECT_EQ(model().pageTitle(), "Ajustes");
  EXPECT_TRUE(model().visibleFeatures().empty());
}

TEST_F(AppModelTest, RepeatedCatalogIdIsAProgrammingError) {
  auto catalog = standardCatalog();
  catalog.push_back(catalog.front());
  EXPECT_THROW(
      AppModel(
          AppModel::Services{store_, environment_, scheduler_, scheduler_},
          [this](const FeatureSinks& sinks, Preferences&) { return makeFeatures(sinks); }, catalog),
      std::logic_error);
}

TEST_F(AppModelTest, SwitchingAFeatureRefreshesFirstThenPublishes) {
  model();
  environment_.trusted = true;  // granted while the application was in the background
  model().setFeatureEnabled(true, FeatureIds::rightClickFocus);
  EXPECT_EQ(stateOf(FeatureIds::rightClickFocus), FeatureState::running);
  model().setFeatureEnabled(false, FeatureIds::rightClickFocus);
  EXPECT_EQ(stateOf(FeatureIds::rightClickFocus), FeatureState::disabled);
  EXPECT_FALSE(Preferences(store_).isEnabled(FeatureIds::rightClickFocus));
}

TEST_F(AppModelTest, RefusedSwitchIsShownUntilTheNextSwitch) {
  model().setFeatureEnabled(true, "ghost");
  EXPECT_TRUE(model().featureChangeFailed.get());
  model().setFeatureEnabled(true, FeatureIds::clipboardHistory);
  EXPECT_FALSE(model().featureChangeFailed.get());
}

TEST_F(AppModelTest, WaitingFeatureIsReported) {
  enable(FeatureIds::finderKeys);
  EXPECT_TRUE(model().hasFeatureAwaitingPermission());
  environment_.trusted = true;
  model().applicationDidBecomeActive();
  EXPECT_FALSE(model().hasFeatureAwaitingPermission());
}

TEST_F(AppModelTest, FinderKeysFollowTheirOptions) {
  Preferences(store_).setOptionEnabled(false, "f2", FeatureIds::finderKeys);
  const std::set<FinderKey> initial{FinderKey::enter, FinderKey::delete_};
  EXPECT_EQ(model().finderKeys.get(), initial);
  EXPECT_EQ(finderKeys_->enabledKeys, initial);

  model().setKeyEnabled(false, FinderKey::delete_);
  model().setKeyEnabled(true, FinderKey::f2);
  const std::set<FinderKey> changed{FinderKey::enter, FinderKey::f2};
  EXPECT_EQ(model().finderKeys.get(), changed);
  EXPECT_EQ(finderKeys_->enabledKeys, changed);
  EXPECT_FALSE(Preferences(store_).isOptionEnabled("delete", FeatureIds::finderKeys));
  EXPECT_TRUE(finderKeys_->startedRuns.empty());  // not restarted
}

TEST_F(AppModelTest, WelcomeFlowPersistsOnlyItsCompletion) {
  model().startWelcome();
  EXPECT_EQ(model().welcomeStep.get(), AppModel::WelcomeStep::finish);
  model().backToWelcome();
  EXPECT_FALSE(Preferences(store_).hasCompletedOnboarding());
  model().startWelcome();
  model().completeWelcome();
  EXPECT_EQ(model().welcomeStep.get(), AppModel::WelcomeStep::completed);
  EXPECT_TRUE(Preferences(store_).hasCompletedOnboarding());

  model_.reset();
  EXPECT_EQ(model().welcomeStep.get(), AppModel::WelcomeStep::completed);
}

TEST_F(AppModelTest, GrantAsksOpensSettingsAndWatchesUntilGranted) {
  using Call = testing::ScriptedSystemEnvironment::Call;
  enable(FeatureIds::finderCut);
  model().grantAccessibility();
  EXPECT_EQ(environment_.calls,
            (std::vector<Call>{Call::requestAccessibility, Call::openAccessibilitySettings}));
  EXPECT_TRUE(model().systemSettings().isWatchingAccessibility.get());
  EXPECT_EQ(model().permissionCheck.get(), std::nullopt);

  scheduler_.advance(4);
  environment_.trusted = true;
  scheduler_.advance(1);
  EXPECT_EQ(stateOf(FeatureIds::finderCut), FeatureState::running);
  ASSERT_TRUE(model().permissionCheck.get());
  EXPECT_EQ(model().permissionCheck.get()->permission, AccessibilityPermission::granted);
  EXPECT_EQ(model().permissionCheck.get()->checkedAt, scheduler_.now());
}

TEST_F(AppModelTest, GrantWhenAlreadyGrantedDoesNotAskAgain) {
  using Call = testing::ScriptedSystemEnvironment::Call;
  environment_.trusted = true;
  model().grantAccessibility();
  EXPECT_EQ(environment_.calls, std::vector<Call>{Call::openAccessibilitySettings});
}

TEST_F(AppModelTest, PermissionCheckIsClearedWhenThePermissionChanges) {
  const Date before = scheduler_.now();
  model().checkPermission();
  ASSERT_TRUE(model().permissionCheck.get());
  EXPECT_EQ(model().permissionCheck.get()->checkedAt, before);
  EXPECT_EQ(model().permissionCheck.get()->permission, AccessibilityPermission::notRequested);

  model().publishFeatureStates();
  EXPECT_TRUE(model().permissionCheck.get());
  environment_.trusted = true;
  model().applicationDidBecomeActive();
  EXPECT_EQ(model().permissionCheck.get(), std::nullopt);
}

TEST_F(AppModelTest, SleepStopsEverythingAndWakeRestartsTheEnabled) {
  enable(FeatureIds::clipboardHistory);
  enable(FeatureIds::finderCut);
  environment_.trusted = true;
  model();
  model().sessionChanged(SessionNotification::willSleep);
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::disabled);
  EXPECT_FALSE(clipboard_->isRunning());
  EXPECT_TRUE(Preferences(store_).isEnabled(FeatureIds::clipboardHistory));

  model().sessionChanged("NSWorkspaceActiveSpaceDidChangeNotification");
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::disabled);

  model().sessionChanged(SessionNotification::didWake);
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::running);
  EXPECT_EQ(stateOf(FeatureIds::finderCut), FeatureState::running);
  EXPECT_EQ(stateOf(FeatureIds::rightClickFocus), FeatureState::disabled);
  EXPECT_TRUE(rightClick_->startedRuns.empty());
}

TEST_F(AppModelTest, TerminationStopsEveryFeature) {
  enable(FeatureIds::clipboardHistory);
  model().prepareForTermination();
  EXPECT_FALSE(clipboard_->isRunning());
  EXPECT_EQ(stateOf(FeatureIds::clipboardHistory), FeatureState::disabled);
}

TEST(SessionLifecycleTest, ActionsByName) {
  using SessionLifecycle::Action;
  const std::vector<std::optional<Action>> expected{Action::suspend, Action::suspend,
                                                    Action::suspend, Action::resume,
                                                    Action::resume,  Action::resume};
  for (std::size_t i = 0; i < SessionLifecycle::notifications.size(); ++i) {
    EXPECT_EQ(SessionLifecycle::action(SessionLifecycle::notifications[i]), expected[i]);
  }
  EXPECT_EQ(SessionLifecycle::action(""), std::nullopt);
  EXPECT_EQ(SessionLifecycle::action("nsworkspacewillsleepnotification"), std::nullopt);
}

}  // namespace
}  // namespace mirlet
