#include "core/FeatureController.h"

#include <gtest/gtest.h>

#include "core/testing/FakeFeature.h"
#include "core/testing/Thrown.h"

namespace mirlet {
namespace {

using testing::FakeFeature;
using testing::thrown;
using Behaviour = FakeFeature::StartBehaviour;
constexpr auto kGranted = AccessibilityPermission::granted;
constexpr auto kDenied = AccessibilityPermission::denied;

// A controller over two features: "tap" needs the accessibility permission,
// "history" does not. Failure reports go straight to the controller.
class FeatureControllerTest : public ::testing::Test {
 protected:
  FeatureControllerTest()
      : tap_(std::make_shared<FakeFeature>(FeatureDescriptor{"tap", "Tap", "", true})),
        history_(std::make_shared<FakeFeature>(FeatureDescriptor{"history", "History", "", false})),
        preferences_(store_),
        controller_(FeatureRegistry({tap_, history_}), preferences_) {
    tap_->setFailureCallback([this](const Uuid& run) { controller_.reportFailure("tap", run); });
  }

  FeatureState stateOf(const std::string& id) const { return *controller_.state(id); }

  MemoryDefaultsStore store_;
  std::shared_ptr<FakeFeature> tap_;
  std::shared_ptr<FakeFeature> history_;
  Preferences preferences_;
  FeatureController controller_;
};

TEST_F(FeatureControllerTest, StateIsNothingForUnknownIdsAndDisabledBeforeAnyReconcile) {
  EXPECT_EQ(controller_.state("nope"), std::nullopt);
  EXPECT_EQ(controller_.state("tap"), FeatureState::disabled);
}

TEST_F(FeatureControllerTest, StatesPublishThemselvesOnEveryChangeOnly) {
  std::vector<FeatureController::States> published;
  const Subscription watching =
      controller_.states().subscribe([&](const auto& states) { published.push_back(states); });
  controller_.reconcile(kGranted);  // nothing enabled: nothing changes
  EXPECT_TRUE(published.empty());

  controller_.setEnabled(true, "tap", kGranted);
  tap_->failRun(tap_->startedRuns.back());
  using S = FeatureState;
  EXPECT_EQ(published, (std::vector<FeatureController::States>{
                           {{"history", S::disabled}, {"tap", S::running}},
                           {{"history", S::disabled}, {"tap", S::failed}}}));
  EXPECT_EQ(controller_.states().get(), published.back());
}

TEST_F(FeatureControllerTest, ReconcileStopsDisabledFeaturesEvenIfTheyNeverRan) {
  controller_.reconcile(kGranted);
  EXPECT_EQ(tap_->stopCount, 1);
  EXPECT_EQ(history_->stopCount, 1);
  EXPECT_TRUE(tap_->startedRuns.empty());
  EXPECT_EQ(stateOf("tap"), FeatureState::disabled);
}

TEST_F(FeatureControllerTest, WaitsForPermissionThenStartsWithAFreshRun) {
  preferences_.setEnabled(true, "tap");
  controller_.reconcile(kDenied);
  EXPECT_EQ(stateOf("tap"), FeatureState::requiresAccessibility);
  EXPECT_EQ(tap_->stopCount, 1);
  EXPECT_TRUE(tap_->startedRuns.empty());

  controller_.reconcile(kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::running);
  ASSERT_EQ(tap_->startedRuns.size(), 1u);
  EXPECT_NE(tap_->startedRuns[0], Uuid());
}

TEST_F(FeatureControllerTest, FeatureWithoutPermissionNeedRunsWhileDenied) {
  controller_.setEnabled(true, "history", kDenied);
  EXPECT_EQ(stateOf("history"), FeatureState::running);
}

TEST_F(FeatureControllerTest, RunningFeatureIsNotStartedTwice) {
  controller_.setEnabled(true, "history", kGranted);
  controller_.reconcile(kGranted);
  controller_.reconcile(kDenied);
  EXPECT_EQ(history_->startedRuns.size(), 1u);
  EXPECT_EQ(stateOf("history"), FeatureState::running);
}

TEST_F(FeatureControllerTest, LosingThePermissionStopsAndWaits) {
  controller_.setEnabled(true, "tap", kGranted);
  controller_.reconcile(kDenied);
  EXPECT_FALSE(tap_->isRunning());
  EXPECT_EQ(stateOf("tap"), FeatureState::requiresAccessibility);
}

struct StartFailureCase {
  const char* name;
  Behaviour behaviour;
};

class StartFailureTest : public FeatureControllerTest,
                         public ::testing::WithParamInterface<StartFailureCase> {};

TEST_P(StartFailureTest, EndsFailedAndStoppedWithoutRetryOnReconcile) {
  tap_->behaviour = GetParam().behaviour;
  controller_.setEnabled(true, "tap", kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::failed);
  EXPECT_FALSE(tap_->isRunning());
  EXPECT_EQ(tap_->stopCount, 1);  // stopped once, for the failure

  tap_->behaviour = Behaviour::runs;
  controller_.reconcile(kGranted);
  controller_.reconcile(kDenied);
  controller_.reconcile(kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::failed);
  EXPECT_EQ(tap_->startedRuns.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Behaviours, StartFailureTest,
    ::testing::Values(StartFailureCase{"Throws", Behaviour::throws},
                      StartFailureCase{"ThrowsText", Behaviour::throwsText},
                      StartFailureCase{"ThrowsNothingKnown", Behaviour::throwsNothingKnown},
                      StartFailureCase{"StaysStopped", Behaviour::staysStopped},
                      StartFailureCase{"ReportsFailureInside", Behaviour::reportsFailureInside}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(FeatureControllerTest, SwitchingAFailedFeatureOnGivesItANewAttempt) {
  tap_->behaviour = Behaviour::throws;
  controller_.setEnabled(true, "tap", kGranted);
  EXPECT_EQ(controller_.startFailure("tap"), "start failed");
  tap_->behaviour = Behaviour::runs;
  controller_.setEnabled(true, "tap", kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::running);
  EXPECT_EQ(tap_->startedRuns.size(), 2u);
  EXPECT_EQ(controller_.startFailure("tap"), std::nullopt);
}

// Whatever a start throws stays inside the controller, with what it says.
TEST_F(FeatureControllerTest, AStartThatThrowsAnythingEndsFailedWithWhatItSaid) {
  tap_->behaviour = Behaviour::throwsText;
  controller_.setEnabled(true, "tap", kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::failed);
  EXPECT_EQ(controller_.startFailure("tap"), "start failed as text");
  tap_->behaviour = Behaviour::throwsNothingKnown;
  controller_.setEnabled(true, "tap", kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::failed);
  EXPECT_EQ(controller_.startFailure("tap"), "an exception that carries no message");
}

TEST_F(FeatureControllerTest, SwitchingAFailedFeatureOffDisablesIt) {
  tap_->behaviour = Behaviour::throws;
  controller_.setEnabled(true, "tap", kGranted);
  controller_.setEnabled(false, "tap", kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::disabled);
}

TEST_F(FeatureControllerTest, FailedFeatureStaysFailedWhenPermissionIsLost) {
  controller_.setEnabled(true, "tap", kGranted);
  controller_.reportFailure("tap", tap_->startedRuns.back());
  controller_.reconcile(kDenied);
  EXPECT_EQ(stateOf("tap"), FeatureState::failed);
}

TEST_F(FeatureControllerTest, StaleFailureReportIsIgnored) {
  controller_.setEnabled(true, "tap", kGranted);
  const Uuid firstRun = tap_->startedRuns.back();
  controller_.reconcile(kDenied);
  controller_.reconcile(kGranted);
  ASSERT_EQ(tap_->startedRuns.size(), 2u);

  const int stopsBefore = tap_->stopCount;
  controller_.reportFailure("tap", firstRun);
  EXPECT_EQ(stateOf("tap"), FeatureState::running);
  EXPECT_EQ(tap_->stopCount, stopsBefore);

  controller_.reportFailure("tap", tap_->startedRuns.back());
  EXPECT_EQ(stateOf("tap"), FeatureState::failed);
}

TEST_F(FeatureControllerTest, ReportAfterStopIsStale) {
  controller_.setEnabled(true, "tap", kGranted);
  const Uuid run = tap_->startedRuns.back();
  controller_.stopAll();
  controller_.reportFailure("tap", run);
  EXPECT_EQ(stateOf("tap"), FeatureState::disabled);
}

TEST_F(FeatureControllerTest, UnknownIdThrowsAndWritesNothing) {
  using Code = FeatureRegistryErrorCode;
  EXPECT_EQ(thrown<FeatureRegistryError>([&] { controller_.setEnabled(true, "ghost", kGranted); }),
            FeatureRegistryError(Code::unknownID, "ghost"));
  EXPECT_TRUE(store_.values().empty());
  EXPECT_EQ(
      thrown<FeatureRegistryError>([&] { controller_.reportFailure("ghost", Uuid::random()); }),
      FeatureRegistryError(Code::unknownID, "ghost"));
}

TEST_F(FeatureControllerTest, FlagIsPersistedBeforeTheFeatureStarts) {
  struct Probe : FakeFeature {
    Probe(Preferences& preferences) : FakeFeature({"probe", "", "", false}), prefs(preferences) {}
    void start(const Uuid& runID) override {
      flagAtStart = prefs.isEnabled("probe");
      FakeFeature::start(runID);
    }
    Preferences& prefs;
    bool flagAtStart = false;
  };
  auto probe = std::make_shared<Probe>(preferences_);
  FeatureController controller(FeatureRegistry({probe}), preferences_);
  controller.setEnabled(true, "probe", kGranted);
  EXPECT_TRUE(probe->flagAtStart);
}

TEST_F(FeatureControllerTest, StopAllKeepsFlagsAndReconcileRestartsExactlyTheEnabled) {
  controller_.setEnabled(true, "tap", kGranted);
  controller_.stopAll();
  EXPECT_EQ(stateOf("tap"), FeatureState::disabled);
  EXPECT_EQ(stateOf("history"), FeatureState::disabled);
  EXPECT_TRUE(preferences_.isEnabled("tap"));
  EXPECT_FALSE(tap_->isRunning());

  controller_.reconcile(kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::running);
  EXPECT_EQ(stateOf("history"), FeatureState::disabled);
  EXPECT_EQ(tap_->startedRuns.size(), 2u);
  EXPECT_TRUE(history_->startedRuns.empty());
}

TEST_F(FeatureControllerTest, StopAllClearsFailed) {
  tap_->behaviour = Behaviour::throws;
  controller_.setEnabled(true, "tap", kGranted);
  controller_.stopAll();
  tap_->behaviour = Behaviour::runs;
  controller_.reconcile(kGranted);
  EXPECT_EQ(stateOf("tap"), FeatureState::running);
}

}  // namespace
}  // namespace mirlet
