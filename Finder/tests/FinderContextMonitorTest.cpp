#include "Finder/FinderContextMonitor.h"

#include <gtest/gtest.h>

#include "host/sim/DesktopScenario.h"
#include "host/sim/SimFinder.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet::sim {
namespace {

// The monitor over the simulated desktop, its callbacks written down in order.
class FinderContextMonitorTest : public ::testing::Test {
 protected:
  FinderContextMonitorTest() {
    desktop().trust.trusted = true;
    window_ = finder_.openWindow(folder_.path());
  }
  SimDesktop& desktop() { return scenario_.desktop; }
  std::size_t count(const std::string& call) const {
    return static_cast<std::size_t>(std::count(calls_.begin(), calls_.end(), call));
  }

  testing::TemporaryFolder folder_;
  DesktopScenario scenario_;
  SimFinder finder_{desktop(), folder_.path(), folder_.path() / "Papelera"};
  int window_ = 0;
  std::vector<std::string> calls_;
  FinderContextMonitor monitor_{
      desktop().workspace,
      desktop().accessibility,
      desktop().time,
      {[this] { calls_.push_back("refresh"); }, [this] { calls_.push_back("leave"); },
       [this] {
         calls_.push_back("termination");
       }}};
};

TEST_F(FinderContextMonitorTest, FinderInFrontIsReadAtOnceAndEverySecondUntilItLeaves) {
  scenario_.activate(finder_.application());
  monitor_.start();
  monitor_.start();  // registers once
  EXPECT_EQ(calls_, std::vector<std::string>{"refresh"});
  EXPECT_TRUE(monitor_.finderFrontmost());
  scenario_.rest(2.05);
  EXPECT_EQ(count("refresh"), 3u);
  scenario_.activate(scenario_.textEdit);
  EXPECT_FALSE(monitor_.finderFrontmost());
  EXPECT_EQ(calls_.back(), "leave");
  scenario_.rest(3);
  EXPECT_EQ(count("refresh"), 3u);
}

TEST_F(FinderContextMonitorTest, NotificationsCountOnlyWhileFinderIsInFront) {
  scenario_.activate(finder_.application());
  monitor_.start();
  monitor_.observe(finder_.processID());
  finder_.select(window_, {});
  scenario_.settle();
  const std::uint64_t inFront = monitor_.revision();
  EXPECT_GT(inFront, 0u);
  scenario_.activate(scenario_.textEdit);
  finder_.focusSearchField(window_);
  scenario_.settle();
  EXPECT_EQ(monitor_.revision(), inFront);
}

TEST_F(FinderContextMonitorTest, FinderQuittingIsToldEvenUnobservedAndOthersAreNot) {
  monitor_.start();
  desktop().workspace.terminate(scenario_.safari);
  scenario_.settle();
  EXPECT_EQ(count("termination"), 0u);
  desktop().workspace.terminate(finder_.application());
  scenario_.settle();
  EXPECT_EQ(count("termination"), 1u);
}

}  // namespace
}  // namespace mirlet::sim
