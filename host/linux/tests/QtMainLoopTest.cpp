#include "host/linux/QtMainLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>
#include <thread>

#include "core/testing/MainLoopContract.h"

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
 public:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "x11_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
  }

 protected:
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

}  // namespace
}  // namespace mirlet

namespace mirlet::testing {
namespace {

// The contract every main loop keeps, on Qt's event loop in real time.
struct QtMainLoopHarness {
  QtMainLoopHarness() { mirlet::QtMainLoopTest::SetUpTestSuite(); }
  MainLoop& loop() { return *mainLoop; }
  void runFor(double seconds) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < static_cast<qint64>(seconds * 1000)) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
  }
  void destroyLoop() {
    mainLoop.reset();
    QCoreApplication::processEvents();
  }
  std::unique_ptr<QtMainLoop> mainLoop = std::make_unique<QtMainLoop>();
};

using MainLoops = ::testing::Types<QtMainLoopHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, MainLoopContract, MainLoops);

}  // namespace
}  // namespace mirlet::testing
