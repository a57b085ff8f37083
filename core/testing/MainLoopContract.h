#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/MainLoop.h"

namespace mirlet::testing {

// What every MainLoop promises, run against each implementation. `Harness` owns one
// loop and drives it:
//   MainLoop& loop();
//   void runFor(double seconds);  // runs the loop for that long
//   void destroyLoop();           // destroys the loop without running it further
template <class Harness>
class MainLoopContract : public ::testing::Test {
 protected:
  MainLoopContract() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  MainLoop& loop() { return harness_.loop(); }
  void runFor(double seconds) { harness_.runFor(seconds); }

  Harness harness_;
  std::vector<std::string> ran_;
};

TYPED_TEST_SUITE_P(MainLoopContract);

TYPED_TEST_P(MainLoopContract, PostedTasksRunInOrderAfterTheCurrentTask) {
  this->loop().post([this] {
    this->ran_.push_back("a");
    this->loop().post([this] { this->ran_.push_back("c"); });
    this->ran_.push_back("a done");
  });
  this->loop().post([this] { this->ran_.push_back("b"); });
  this->runFor(0.05);
  EXPECT_EQ(this->ran_, (std::vector<std::string>{"a", "a done", "b", "c"}));
}

TYPED_TEST_P(MainLoopContract, TimersFireOnceInDueOrderAndNeverEarly) {
  TimerHandle late = this->loop().postAfter(0.06, [this] { this->ran_.push_back("late"); });
  TimerHandle early = this->loop().postAfter(0.02, [this] { this->ran_.push_back("early"); });
  TimerHandle distant = this->loop().postAfter(30, [this] { this->ran_.push_back("distant"); });
  this->runFor(0.3);
  EXPECT_EQ(this->ran_, (std::vector<std::string>{"early", "late"}));
  EXPECT_FALSE(early->isActive());
  EXPECT_FALSE(late->isActive());
  EXPECT_TRUE(distant->isActive());
}

TYPED_TEST_P(MainLoopContract, TheHandleCancelsItsTimerAlsoFromInside) {
  int cancelledFired = 0;
  TimerHandle cancelled = this->loop().postAfter(0.01, [&] { ++cancelledFired; });
  cancelled->cancel();
  EXPECT_FALSE(cancelled->isActive());
  TimerHandle dropped = this->loop().postAfter(0.01, [&] { ++cancelledFired; });
  dropped.reset();

  int ticks = 0;
  TimerHandle repeating;
  repeating = this->loop().scheduleRepeating(0.01, 0, [&] {
    if (++ticks == 3) repeating.reset();
  });
  this->runFor(0.3);
  EXPECT_EQ(cancelledFired, 0);
  EXPECT_EQ(ticks, 3);
}

TYPED_TEST_P(MainLoopContract, PendingWorkIsDroppedUnrunWithTheLoop) {
  auto token = std::make_shared<int>(0);
  std::weak_ptr<int> watch = token;
  bool ran = false;
  this->loop().post([token, &ran] { ran = true; });
  TimerHandle timer = this->loop().postAfter(0.01, [token, &ran] { ran = true; });
  token.reset();
  this->harness_.destroyLoop();
  timer.reset();  // a handle may outlive its loop
  EXPECT_FALSE(ran);
  EXPECT_TRUE(watch.expired());
}

TYPED_TEST_P(MainLoopContract, ATaskThatThrowsEndsTheProcessWithItsMessage) {
  EXPECT_DEATH(
      {
        this->loop().post([] { throw std::runtime_error("task failed on purpose"); });
        this->runFor(0.05);
      },
      "task failed on purpose");
}

REGISTER_TYPED_TEST_SUITE_P(MainLoopContract, PostedTasksRunInOrderAfterTheCurrentTask,
                            TimersFireOnceInDueOrderAndNeverEarly,
                            TheHandleCancelsItsTimerAlsoFromInside,
                            PendingWorkIsDroppedUnrunWithTheLoop,
                            ATaskThatThrowsEndsTheProcessWithItsMessage);

}  // namespace mirlet::testing
