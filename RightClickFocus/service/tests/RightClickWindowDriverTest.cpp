#include "RightClickFocus/service/RightClickWindowDriver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/sim/DesktopScenario.h"

namespace mirlet::sim {
namespace {

namespace Workflow = RightClickWindowFocusWorkflow;
using Step = Workflow::Step;

TEST(WindowFocusRoleTest, RolesByTheirNames) {
  EXPECT_EQ(windowFocusRole("AXWindow"), WindowFocusRole::window);
  EXPECT_EQ(windowFocusRole("AXMenuBarItem"), WindowFocusRole::menu);
  EXPECT_EQ(windowFocusRole("AXSheet"), WindowFocusRole::sheet);
  EXPECT_EQ(windowFocusRole("AXDrawer"), WindowFocusRole::drawer);
  EXPECT_EQ(windowFocusRole("AXUnknown"), WindowFocusRole::unknown);
  EXPECT_EQ(windowFocusRole(""), WindowFocusRole::unknown);
  EXPECT_EQ(windowFocusRole("AXButton"), WindowFocusRole::other);
  EXPECT_EQ(windowFocusRole(std::nullopt), std::nullopt);
}

// The workflow on a clock the test moves: each step costs `stepCost` seconds and
// the window becomes focused at the `focusedAtPoll`-th poll.
struct WorkflowRun {
  double clock = 100;
  double stepCost = 0.001;
  int focusedAtPoll = 1;
  int polls = 0;
  std::vector<Step> steps;
  std::function<bool(Step)> refuse = [](Step) {
    return false;
  };
  bool cancelled = false;

  bool run() {
    return Workflow::run([this] { return clock; }, [this] { return cancelled; },
                         [this] { clock += Workflow::kPollPause; },
                         [this](Step step, std::optional<float> timeout) {
                           steps.push_back(step);
                           clock += stepCost;
                           if (!timeout || refuse(step)) return false;
                           return step != Step::focused || ++polls >= focusedAtPoll;
                         });
  }
};

TEST(RightClickWindowFocusWorkflowTest, StepsInOrderThenPollsUntilFocused) {
  WorkflowRun run;
  run.focusedAtPoll = 3;
  EXPECT_TRUE(run.run());
  EXPECT_EQ(run.steps, (std::vector{Step::validate, Step::raise, Step::validate, Step::makeMain,
                                    Step::validate, Step::activate, Step::validate, Step::focused,
                                    Step::validate, Step::focused, Step::validate, Step::focused}));
}

TEST(RightClickWindowFocusWorkflowTest, NeverFocusedWithinTheBudgetFails) {
  WorkflowRun run;
  run.focusedAtPoll = 1000;
  const double start = run.clock;
  EXPECT_FALSE(run.run());
  EXPECT_LE(run.clock - start, Workflow::kBudget + 0.01);
}

TEST(RightClickWindowFocusWorkflowTest, ARefusedOrCancelledStepEndsItThere) {
  WorkflowRun refused;
  refused.refuse = [](Step step) {
    return step == Step::makeMain;
  };
  EXPECT_FALSE(refused.run());
  EXPECT_EQ(refused.steps.back(), Step::makeMain);

  WorkflowRun cancelled;
  cancelled.refuse = [&cancelled](Step step) {
    if (step == Step::raise) cancelled.cancelled = true;
    return false;
  };
  EXPECT_FALSE(cancelled.run());
  EXPECT_EQ(cancelled.steps.back(), Step::raise);
}

TEST(RightClickWindowDriverTest, OnlyTheTopmostOrdinaryWindowSaysWhoseWindowIsUnderThePoint) {
  const std::vector<WindowInfo> windows{
      {1, 25, 1, {0, 0, 2000, 30}, 10, "Menú"},       // a menu bar layer
      {2, 0, 0, {0, 0, 2000, 2000}, 11, "Sombra"},    // invisible
      {3, 0, 1, {100, 100, 200, 200}, 12, "Mirlet"},  // this program
      {4, 0, 1, {0, 0, 1000, 1000}, 13, "Otra"}};
  EXPECT_TRUE(RightClickWindowDriver::frontmostWindowBelongsToOwnProcess(windows, {150, 150}, 12));
  EXPECT_FALSE(RightClickWindowDriver::frontmostWindowBelongsToOwnProcess(windows, {10, 10}, 12));
  EXPECT_FALSE(RightClickWindowDriver::frontmostWindowBelongsToOwnProcess(windows, {5000, 5}, 12));
}

// The driver and the native source over the simulated desktop, asked from the
// feature's queue as they must be.
class RightClickDriverOnTheDesktopTest : public ::testing::Test {
 protected:
  RightClickDriverOnTheDesktopTest() {
    desktop().trust.trusted = true;
    scenario_.activate(scenario_.safari);
    queue_ = desktop().time.makeQueue("test");
  }
  SimDesktop& desktop() { return scenario_.desktop; }
  // Runs `work` on a background queue, as the feature does.
  template <class Work>
  auto onQueue(Work work) {
    decltype(work()) result{};
    queue_->async([&] { result = work(); });
    desktop().time.drainQueues();
    return result;
  }
  std::optional<RightClickWindowTarget> inspect(ScreenPoint point) {
    return onQueue([&] { return driver_.inspect(point, scenario_.mirlet->processIdentifier()); });
  }

  static constexpr ScreenPoint kTextEdit{575, 300};
  DesktopScenario scenario_;
  RightClickWindowDriver driver_{{desktop().accessibility, desktop().workspace, desktop().events,
                                  desktop().time, desktop().time}};
  NativeWindowFocusSource source_{desktop().accessibility, desktop().workspace, desktop().time};
  std::unique_ptr<SerialQueue> queue_;
};

TEST_F(RightClickDriverOnTheDesktopTest, TheSourceAnswersNothingOnTheMainThreadOrWithoutTime) {
  EXPECT_FALSE(source_.hitTest(kTextEdit, 0.02f));  // main thread
  EXPECT_TRUE(onQueue([&] { return source_.hitTest(kTextEdit, 0.02f).has_value(); }));
  for (float timeout : {0.0f, -1.0f, std::numeric_limits<float>::infinity()}) {
    EXPECT_FALSE(onQueue([&] { return source_.hitTest(kTextEdit, timeout).has_value(); }));
  }
  EXPECT_FALSE(onQueue([&] {
    return source_.hitTest({1e39, 5}, 0.02f).has_value() ||
           source_.hitTest({std::nan(""), 5}, 0.02f).has_value();
  }));
}

TEST_F(RightClickDriverOnTheDesktopTest, ABackgroundWindowIsATargetWithoutTheFocus) {
  const auto target = inspect(kTextEdit);
  ASSERT_TRUE(target);
  EXPECT_EQ(target->processID, scenario_.textEdit->processIdentifier());
  EXPECT_FALSE(target->hasKeyboardFocus);
  EXPECT_TRUE(inspect({800, 300})->hasKeyboardFocus);  // Safari's, in front
  EXPECT_FALSE(inspect({1300, 100}));                  // this program's own
  EXPECT_FALSE(inspect({1500, 900}));                  // the desktop
  // Focusing asks for the very point inspected.
  EXPECT_FALSE(onQueue([&] {
    return driver_.focusAndVerify(*target, {kTextEdit.x + 1, kTextEdit.y}, [] { return false; });
  }));
  EXPECT_FALSE(scenario_.textEdit->isActive());
}

TEST_F(RightClickDriverOnTheDesktopTest, FocusingRaisesActivatesAndVerifies) {
  const auto target = inspect(kTextEdit);
  ASSERT_TRUE(target);
  EXPECT_TRUE(
      onQueue([&] { return driver_.focusAndVerify(*target, kTextEdit, [] { return false; }); }));
  EXPECT_TRUE(scenario_.textEdit->isActive());
  EXPECT_TRUE(inspect(kTextEdit)->hasKeyboardFocus);
}

TEST_F(RightClickDriverOnTheDesktopTest, AQuitApplicationWhosePidCameBackIsAnotherOne) {
  const auto target = inspect(kTextEdit);
  ASSERT_TRUE(target);
  auto again = desktop().workspace.relaunch(scenario_.textEdit, /*reusePID=*/true);
  SimApplicationUI ui(desktop(), again);
  ui.addStandardWindow("Otra", {300, 150, 400, 300});
  EXPECT_FALSE(target->isProcessAlive(desktop().workspace));
  EXPECT_FALSE(
      onQueue([&] { return driver_.focusAndVerify(*target, kTextEdit, [] { return false; }); }));
}

}  // namespace
}  // namespace mirlet::sim
