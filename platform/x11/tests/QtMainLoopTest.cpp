#include "platform/x11/QtMainLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <thread>

namespace mirlet {
namespace {

// Runs the Qt event loop until `done` or a generous limit.
template <class Predicate>
void spinUntil(Predicate done) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (!done() && elapsed.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
}

class QtMainLoopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "x11_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
  }
  QtMainLoop loop_;
};

TEST_F(QtMainLoopTest, PostFromAnotherThreadRunsOnTheMainThread) {
  bool ranOnMain = false;
  bool ran = false;
  std::thread poster([&] {
    EXPECT_FALSE(loop_.isMainThread());
    loop_.post([&] {
      ranOnMain = loop_.isMainThread();
      ran = true;
    });
  });
  poster.join();
  spinUntil([&] { return ran; });
  EXPECT_TRUE(ranOnMain);
}

TEST_F(QtMainLoopTest, OneShotTimerFiresOnceAndEnds) {
  int fired = 0;
  TimerHandle timer = loop_.postAfter(0.01, [&] { ++fired; });
  EXPECT_TRUE(timer->isActive());
  spinUntil([&] { return fired > 0; });
  QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timer->isActive());
}

TEST_F(QtMainLoopTest, RepeatingTimerMayDestroyItsOwnHandle) {
  int ticks = 0;
  TimerHandle timer;
  timer = loop_.scheduleRepeating(0.005, 0, [&] {
    if (++ticks == 3) timer.reset();
  });
  spinUntil([&] { return ticks >= 3; });
  QElapsedTimer wait;
  wait.start();
  while (wait.elapsed() < 50) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(ticks, 3);
}

TEST_F(QtMainLoopTest, CancelledTimerNeverFires) {
  bool fired = false;
  TimerHandle timer = loop_.postAfter(0.005, [&] { fired = true; });
  timer->cancel();
  timer->cancel();
  QElapsedTimer wait;
  wait.start();
  while (wait.elapsed() < 30) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_FALSE(fired);
}

TEST_F(QtMainLoopTest, HandleMayOutliveTheLoop) {
  TimerHandle timer;
  {
    QtMainLoop shortLived;
    timer = shortLived.postAfter(10, [] {});
  }
  EXPECT_FALSE(timer->isActive());
  timer.reset();
}

}  // namespace
}  // namespace mirlet
