#include "RightClickFocus/service/RightClickFocusFeature.h"

#include <gtest/gtest.h>

#include "host/sim/DesktopScenario.h"

namespace mirlet::sim {
namespace {

// Right-click focus on the simulated desktop: Safari's window (600,100 500×400)
// in front, then Finder's (50,50 500×400), then TextEdit's (300,150 400×300),
// which shows between the two; this program's own window at the top right.
class RightClickFocusFeatureTest : public ::testing::Test {
 protected:
  RightClickFocusFeatureTest() {
    desktop().trust.trusted = true;
    scenario_.activate(scenario_.safari);
    feature_.start(Uuid::random());
    scenario_.settle();
  }
  ~RightClickFocusFeatureTest() override {
    EXPECT_EQ(desktop().accessibility.callsFromTapCallbacks(), 0);
  }

  SimDesktop& desktop() { return scenario_.desktop; }
  // A point of TextEdit's window that Safari's does not cover.
  static constexpr ScreenPoint kBehind{575, 300};
  static constexpr ScreenPoint kInFront{800, 300};

  void rest(ScreenPoint point) { scenario_.movePointerAndRest(point, 0.2); }
  // The background queue runs at once, as it would; then time passes.
  void after(double seconds) {
    scenario_.settle();
    scenario_.rest(seconds);
  }
  void mouse(EventType type, ScreenPoint point) {
    InputEvent event;
    event.type = type;
    event.location = point;
    event.setIntegerField(EventField::clickState, 1);
    desktop().events.inject(event);
  }
  // The right-button events an application received, "d" "g" "u", with "·" for
  // replays.
  static std::string rightButton(const SimApplication& application) {
    std::string seen;
    for (const InputEvent& event : application.receivedEvents()) {
      const char* kind = event.type == EventType::rightMouseDown      ? "d"
                         : event.type == EventType::rightMouseDragged ? "g"
                         : event.type == EventType::rightMouseUp      ? "u"
                                                                      : nullptr;
      if (!kind) continue;
      seen += kind;
      if (event.sourceUserData() == RightClickEventSnapshot::kReplayTag) seen += "·";
    }
    return seen;
  }
  std::shared_ptr<SimAXNode> textEditWindow() { return scenario_.textEditUI->focusedWindow(); }

  DesktopScenario scenario_;
  std::vector<RightClickDiagnostic> diagnostics_;
  std::vector<Uuid> failures_;
  RightClickFocusFeature feature_{
      {desktop().accessibility, desktop().workspace, desktop().events, desktop().time,
       desktop().time, desktop().time},
      [this](RightClickDiagnostic event) { diagnostics_.push_back(event); },
      [this](const Uuid& run) {
        failures_.push_back(run);
      }};
};

TEST_F(RightClickFocusFeatureTest, ARightClickOnABackgroundWindowFocusesItThenOpensItsMenu) {
  rest(kBehind);
  scenario_.rightClick(kBehind);
  after(0.3);
  EXPECT_TRUE(scenario_.textEdit->isActive());
  EXPECT_EQ(rightButton(*scenario_.textEdit), "d·u·");
  EXPECT_EQ(scenario_.textEditUI->contextMenus(), std::vector{textEditWindow()});
  EXPECT_EQ(rightButton(*scenario_.safari), "");
}

TEST_F(RightClickFocusFeatureTest, DragsWhileFocusingArriveBetweenThePressAndTheRelease) {
  rest(kBehind);
  mouse(EventType::rightMouseDown, kBehind);
  mouse(EventType::rightMouseDragged, {580, 300});
  after(0.1);
  mouse(EventType::rightMouseDragged, {585, 300});
  mouse(EventType::rightMouseUp, {585, 300});
  after(0.3);
  EXPECT_EQ(rightButton(*scenario_.textEdit), "d·g·g·u·");
}

TEST_F(RightClickFocusFeatureTest, ARightClickOnTheFocusedWindowOrWhileMovingPassesUntouched) {
  rest(kInFront);
  scenario_.rightClick(kInFront);
  scenario_.movePointer(kBehind);
  scenario_.rightClick(kBehind);  // no rest: nothing known about this point
  scenario_.rest(0.3);
  EXPECT_EQ(rightButton(*scenario_.safari), "du");
  EXPECT_EQ(rightButton(*scenario_.textEdit), "du");
  EXPECT_TRUE(scenario_.safari->isActive());
  EXPECT_EQ(std::count(diagnostics_.begin(), diagnostics_.end(), RightClickDiagnostic::downPassed),
            2);
}

TEST_F(RightClickFocusFeatureTest, NothingHappensOnThisProgramsOwnWindow) {
  const ScreenPoint own{1300, 100};
  rest(own);
  scenario_.rightClick(own);
  scenario_.rest(0.3);
  EXPECT_EQ(rightButton(*scenario_.mirlet), "du");
  EXPECT_TRUE(scenario_.safari->isActive());
}

TEST_F(RightClickFocusFeatureTest, ASlowOrRefusingApplicationLosesTheClickAndNoReleaseStrays) {
  scenario_.textEdit->activation = SimApplication::Activation::refuse;
  rest(kBehind);
  scenario_.rightClick(kBehind);
  after(0.5);
  EXPECT_EQ(rightButton(*scenario_.textEdit), "");

  scenario_.textEdit->activation = SimApplication::Activation::accept;
  rest(kBehind);
  desktop().accessibility.setAnswerDelay(scenario_.textEdit->processIdentifier(), 0.05);
  scenario_.rightClick(kBehind);
  after(0.5);
  EXPECT_EQ(rightButton(*scenario_.textEdit), "");
  EXPECT_FALSE(scenario_.textEdit->isActive());
  EXPECT_EQ(rightButton(*scenario_.safari), "");
  EXPECT_EQ(
      std::count(diagnostics_.begin(), diagnostics_.end(), RightClickDiagnostic::focusUnconfirmed),
      2);
  EXPECT_TRUE(feature_.isRunning());
}

// The system leaves the focusing job's thread waiting: the deadline comes first.
TEST_F(RightClickFocusFeatureTest, AFocusThatTakesLongerThanTheDeadlineIsCancelled) {
  rest(kBehind);
  scenario_.desktop.time.stall(RightClickFocusFeature::kQueueLabel,
                               RightClickFocusFeature::kFocusDeadline + 0.1);
  scenario_.rightClick(kBehind);
  scenario_.rest(1);
  EXPECT_EQ(rightButton(*scenario_.textEdit), "");
  EXPECT_FALSE(scenario_.textEdit->isActive());
  EXPECT_NE(std::find(diagnostics_.begin(), diagnostics_.end(),
                      RightClickDiagnostic::cancelledByDeadline),
            diagnostics_.end());
}

// A second press drops a click still waiting for its window's focus: nothing of the
// dropped click may happen afterwards, its application's activation included.
TEST_F(RightClickFocusFeatureTest, AClickDroppedForTheNextNeverActivatesItsApplication) {
  rest(kBehind);
  scenario_.rightClick(kBehind);  // waits: its focusing job has not run
  scenario_.rightClick(kBehind);
  after(0.5);
  EXPECT_FALSE(scenario_.textEdit->isActive());
  EXPECT_TRUE(scenario_.safari->isActive());
  EXPECT_NE(
      std::find(diagnostics_.begin(), diagnostics_.end(), RightClickDiagnostic::cancelledByGesture),
      diagnostics_.end());
}

TEST_F(RightClickFocusFeatureTest, AKeyOrALeftClickWhileAwaitingFocusCancels) {
  scenario_.textEdit->activation = SimApplication::Activation::delay;
  scenario_.textEdit->activationDelay = 0.1;
  rest(kBehind);
  mouse(EventType::rightMouseDown, kBehind);
  scenario_.pressKey(0);
  mouse(EventType::rightMouseUp, kBehind);
  after(0.5);
  EXPECT_EQ(rightButton(*scenario_.textEdit), "");
  EXPECT_NE(
      std::find(diagnostics_.begin(), diagnostics_.end(), RightClickDiagnostic::cancelledByInput),
      diagnostics_.end());
}

TEST_F(RightClickFocusFeatureTest, TheTargetQuittingBeforeTheReplayStopsTheFeature) {
  rest(kBehind);
  mouse(EventType::rightMouseDown, kBehind);
  after(0.3);
  ASSERT_EQ(rightButton(*scenario_.textEdit), "d·");
  auto quit = scenario_.textEdit;
  desktop().workspace.terminate(quit);
  mouse(EventType::rightMouseUp, kBehind);
  after(0.1);
  EXPECT_EQ(rightButton(*quit), "d·");
  EXPECT_FALSE(feature_.isRunning());
  EXPECT_EQ(failures_.size(), 1u);
  EXPECT_NE(
      std::find(diagnostics_.begin(), diagnostics_.end(), RightClickDiagnostic::destinationLost),
      diagnostics_.end());
}

TEST_F(RightClickFocusFeatureTest, StoppingWhileTheButtonIsHeldReleasesItInTheTarget) {
  rest(kBehind);
  mouse(EventType::rightMouseDown, kBehind);
  after(0.3);
  ASSERT_EQ(rightButton(*scenario_.textEdit), "d·");
  feature_.stop();
  scenario_.settle();
  EXPECT_EQ(rightButton(*scenario_.textEdit), "d·u·");
  EXPECT_TRUE(feature_.isFinishingGesture());
  EXPECT_THROW(feature_.start(Uuid::random()), RightClickFocusError);
  mouse(EventType::rightMouseDragged, {590, 300});
  mouse(EventType::rightMouseUp, {590, 300});  // swallowed: the target saw its release
  scenario_.settle();
  EXPECT_EQ(rightButton(*scenario_.textEdit), "d·u·");
  EXPECT_FALSE(feature_.isFinishingGesture());
  EXPECT_TRUE(desktop().events.taps().empty());
  feature_.start(Uuid::random());
  EXPECT_TRUE(feature_.isRunning());
}

// The active tap is switched off in the middle of a click, and the release comes
// while it is off: the gesture is over though the feature never saw it end. The
// user's next right click is their own, and the feature can start again.
TEST_F(RightClickFocusFeatureTest, AReleaseMissedWhileTheTapWasOffNeverCostsTheNextClick) {
  rest(kBehind);
  mouse(EventType::rightMouseDown, kBehind);
  after(0.3);
  ASSERT_EQ(rightButton(*scenario_.textEdit), "d·");
  const auto taps = desktop().events.taps();
  const auto active = std::find_if(taps.begin(), taps.end(), [](const auto& tap) {
    return tap.options == TapOptions::filtering;
  });
  desktop().events.disableTap(active->id, EventType::tapDisabledByUserInput);
  mouse(EventType::rightMouseUp, kBehind);  // the tap is off: nobody sees it
  scenario_.settle();
  ASSERT_FALSE(feature_.isRunning());

  scenario_.rightClick(kInFront);
  scenario_.settle();
  EXPECT_EQ(rightButton(*scenario_.safari), "du");
  EXPECT_FALSE(feature_.isFinishingGesture());
  EXPECT_NO_THROW(feature_.start(Uuid::random()));
  EXPECT_EQ(rightButton(*scenario_.textEdit), "d·u") << "released once, by the user";
}

// The taps still deliver after the permission went, but nothing the feature posts
// would arrive: the click passes, and the feature stops and says so.
TEST_F(RightClickFocusFeatureTest, LosingThePermissionStopsTheFeatureAndReportsIt) {
  desktop().events.tapsOutliveTrust = true;
  rest(kBehind);
  desktop().trust.trusted = false;
  mouse(EventType::rightMouseDown, kBehind);
  mouse(EventType::rightMouseUp, kBehind);
  scenario_.settle();
  EXPECT_EQ(rightButton(*scenario_.textEdit), "du");
  EXPECT_FALSE(feature_.isRunning());
  EXPECT_EQ(failures_.size(), 1u);
  EXPECT_THROW(feature_.start(Uuid::random()), RightClickFocusError);
}

TEST_F(RightClickFocusFeatureTest, AListenTapSwitchedOffIsSwitchedOnAndTheActiveOneRestarts) {
  const auto taps = desktop().events.taps();
  ASSERT_EQ(taps.size(), 2u);
  const auto listen = std::find_if(taps.begin(), taps.end(), [](const auto& tap) {
    return tap.options == TapOptions::listenOnly;
  });
  desktop().events.disableTap(listen->id, EventType::tapDisabledByTimeout);
  scenario_.settle();
  const auto switchedOn = desktop().events.taps();
  EXPECT_TRUE(std::all_of(switchedOn.begin(), switchedOn.end(),
                          [](const auto& tap) { return tap.enabled; }));
  const auto active = std::find_if(taps.begin(), taps.end(), [](const auto& tap) {
    return tap.options == TapOptions::filtering;
  });
  desktop().events.disableTap(active->id, EventType::tapDisabledByTimeout);
  scenario_.settle();
  EXPECT_TRUE(feature_.isRunning());
  rest(kBehind);
  scenario_.rightClick(kBehind);
  after(0.3);
  EXPECT_EQ(rightButton(*scenario_.textEdit), "d·u·");
  EXPECT_TRUE(failures_.empty());
}

}  // namespace
}  // namespace mirlet::sim
