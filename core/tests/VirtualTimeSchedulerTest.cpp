#include "core/testing/VirtualTimeScheduler.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/testing/MainLoopContract.h"
#include "core/testing/SerialQueueContract.h"

namespace mirlet::testing {
namespace {

class VirtualTimeSchedulerTest : public ::testing::Test {
 protected:
  VirtualTimeScheduler scheduler_;
  std::vector<std::string> log_;
  auto record(std::string entry) {
    return [this, entry] {
      log_.push_back(entry);
    };
  }
};

TEST_F(VirtualTimeSchedulerTest, NothingRunsUntilTheTestSaysSo) {
  scheduler_.post(record("posted"));
  TimerHandle timer = scheduler_.postAfter(0, record("timer"));
  EXPECT_TRUE(log_.empty());
  scheduler_.runUntilIdle();
  EXPECT_EQ(log_, (std::vector<std::string>{"posted", "timer"}));
}

TEST_F(VirtualTimeSchedulerTest, TimersFireInDueOrderWithTheClockAtTheirDueTime) {
  const double start = scheduler_.uptime();
  std::vector<double> firedAt;
  TimerHandle late = scheduler_.postAfter(0.3, [&] { firedAt.push_back(scheduler_.uptime()); });
  TimerHandle early = scheduler_.postAfter(0.1, [&] { firedAt.push_back(scheduler_.uptime()); });
  scheduler_.advance(0.2);
  ASSERT_EQ(firedAt.size(), 1u);
  EXPECT_NEAR(firedAt[0] - start, 0.1, 1e-9);
  EXPECT_NEAR(scheduler_.uptime() - start, 0.2, 1e-9);
  scheduler_.advance(0.1);
  ASSERT_EQ(firedAt.size(), 2u);
  EXPECT_NEAR(firedAt[1] - start, 0.3, 1e-9);
  EXPECT_FALSE(late->isActive());
}

TEST_F(VirtualTimeSchedulerTest, TimersDueAtTheSameInstantFireInSchedulingOrder) {
  TimerHandle a = scheduler_.postAfter(1, record("a"));
  TimerHandle b = scheduler_.postAfter(1, record("b"));
  scheduler_.advance(1);
  EXPECT_EQ(log_, (std::vector<std::string>{"a", "b"}));
}

TEST_F(VirtualTimeSchedulerTest, RepeatingTimerFiresOncePerIntervalUntilCancelled) {
  int ticks = 0;
  TimerHandle timer = scheduler_.scheduleRepeating(1.0, 0.1, [&] { ++ticks; });
  scheduler_.advance(3.5);
  EXPECT_EQ(ticks, 3);
  timer->cancel();
  scheduler_.advance(10);
  EXPECT_EQ(ticks, 3);
}

TEST_F(VirtualTimeSchedulerTest, SmallStepsAddUpExactly) {
  int ticks = 0;
  TimerHandle timer = scheduler_.scheduleRepeating(0.5, 0, [&] { ++ticks; });
  for (int i = 0; i < 10; ++i) scheduler_.advance(0.1);
  EXPECT_EQ(ticks, 2);
}

TEST_F(VirtualTimeSchedulerTest, WorkPostedByATimerRunsInTheSameAdvance) {
  TimerHandle timer = scheduler_.postAfter(1, [&] { scheduler_.post(record("follow-up")); });
  scheduler_.advance(1);
  EXPECT_EQ(log_, (std::vector<std::string>{"follow-up"}));
}

TEST_F(VirtualTimeSchedulerTest, QueueJobsWaitForTheTestAndRunOffTheMainThread) {
  auto queue = scheduler_.makeQueue("app.mirlet.test");
  std::vector<bool> onMain;
  queue->async([&] {
    onMain.push_back(scheduler_.isMainThread());
    scheduler_.post([&] { onMain.push_back(scheduler_.isMainThread()); });
  });
  EXPECT_EQ(scheduler_.pendingQueueJobs(), 1u);
  EXPECT_TRUE(onMain.empty());
  scheduler_.drainQueues();
  EXPECT_EQ(onMain, (std::vector<bool>{false, true}));
}

TEST_F(VirtualTimeSchedulerTest, SyncLeavesJobsQueuedMeanwhileForTheTest) {
  auto queue = scheduler_.makeQueue("q");
  queue->sync([&] { queue->async(record("queued by the sync job")); });
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(scheduler_.pendingQueueJobs(), 1u);
}

TEST_F(VirtualTimeSchedulerTest, RunQueueRunsOnlyThatQueue) {
  auto first = scheduler_.makeQueue("first");
  auto second = scheduler_.makeQueue("second");
  first->async(record("first"));
  second->async(record("second"));
  EXPECT_EQ(scheduler_.runQueue("second"), 1u);
  EXPECT_EQ(log_, (std::vector<std::string>{"second"}));
}

TEST_F(VirtualTimeSchedulerTest, TheWorldActsDuringAQueueJobsSleep) {
  const double start = scheduler_.uptime();
  bool written = false;
  scheduler_.after(0.035, [&] { written = true; });
  auto queue = scheduler_.makeQueue("poller");
  int polls = 0;
  double seenAt = 0;
  queue->async([&] {
    while (!written && polls < 100) {
      ++polls;
      scheduler_.sleep(0.01);
    }
    seenAt = scheduler_.uptime() - start;
  });
  scheduler_.drainQueues();
  EXPECT_EQ(polls, 4);
  EXPECT_NEAR(seenAt, 0.04, 1e-9);
}

TEST_F(VirtualTimeSchedulerTest, ASleepLetsTheWorldActButNotTheProgramsMainLoop) {
  scheduler_.at(scheduler_.uptime() + 0.5, record("world"));
  scheduler_.post(record("posted"));
  TimerHandle timer = scheduler_.postAfter(0.2, record("timer"));
  scheduler_.sleep(1);
  EXPECT_EQ(log_, (std::vector<std::string>{"world"}));
  scheduler_.runUntilIdle();
  EXPECT_EQ(log_, (std::vector<std::string>{"world", "posted", "timer"}));
}

TEST_F(VirtualTimeSchedulerTest, MainLoopWorkThatWaitedRunsInTheOrderOfItsTimes) {
  TimerHandle deadline = scheduler_.postAfter(0.1, record("deadline at 0.1"));
  auto queue = scheduler_.makeQueue("slow");
  queue->async([&] {
    scheduler_.sleep(0.2);
    scheduler_.post(record("result at 0.2"));
  });
  scheduler_.drainQueues();
  EXPECT_EQ(log_, (std::vector<std::string>{"deadline at 0.1", "result at 0.2"}));
}

// A job waiting on another application does not hold up the program: its main
// loop's timers and tasks, and the user's input they carry, land mid-job.
TEST_F(VirtualTimeSchedulerTest, TheMainLoopRunsWhileAJobSleeps) {
  auto queue = scheduler_.makeQueue("slow");
  queue->async([&] {
    log_.push_back("job starts");
    scheduler_.sleep(0.2);
    log_.push_back("job ends");
  });
  TimerHandle timer = scheduler_.postAfter(0.1, [&] {
    log_.push_back("timer");
    scheduler_.post(record("task posted by the timer"));
  });
  scheduler_.advance(0.15);
  EXPECT_EQ(log_, (std::vector<std::string>{"job starts", "timer", "task posted by the timer"}));
  scheduler_.advance(0.1);
  EXPECT_EQ(log_.back(), "job ends");
}

TEST_F(VirtualTimeSchedulerTest, AQueueRunsOneJobAtATimeEvenWhileItSleeps) {
  auto queue = scheduler_.makeQueue("q");
  queue->async([&] {
    log_.push_back("first starts");
    scheduler_.sleep(0.1);
    log_.push_back("first ends");
  });
  scheduler_.runUntilIdle();
  queue->async(record("second"));
  auto other = scheduler_.makeQueue("other");
  other->async(record("another queue's job"));
  scheduler_.advance(0.05);
  EXPECT_EQ(log_, (std::vector<std::string>{"first starts", "another queue's job"}));
  scheduler_.advance(0.05);
  EXPECT_EQ(log_, (std::vector<std::string>{"first starts", "another queue's job", "first ends",
                                            "second"}));
}

// As a real queue: its destruction, or a sync job, waits for the running job,
// and the main loop, blocked meanwhile, runs nothing.
TEST_F(VirtualTimeSchedulerTest, DestroyingAQueueWaitsForItsSleepingJobWithTheMainLoopBlocked) {
  auto queue = scheduler_.makeQueue("q");
  queue->async([&] {
    scheduler_.sleep(0.3);
    log_.push_back("job ends");
  });
  queue->async(record("never runs"));
  scheduler_.runUntilIdle();
  TimerHandle timer = scheduler_.postAfter(0.1, record("timer"));
  scheduler_.at(scheduler_.uptime() + 0.1, record("world"));
  const double before = scheduler_.uptime();
  queue.reset();
  EXPECT_EQ(log_, (std::vector<std::string>{"world", "job ends"}));
  EXPECT_NEAR(scheduler_.uptime() - before, 0.3, 1e-9);
  scheduler_.runUntilIdle();
  EXPECT_EQ(log_.back(), "timer");
}

TEST_F(VirtualTimeSchedulerTest, SyncWaitsForTheSleepingJobBeforeIt) {
  auto queue = scheduler_.makeQueue("q");
  queue->async([&] {
    scheduler_.sleep(0.2);
    log_.push_back("sleeper");
  });
  scheduler_.runUntilIdle();
  queue->sync(record("sync"));
  EXPECT_EQ(log_, (std::vector<std::string>{"sleeper", "sync"}));
}

TEST_F(VirtualTimeSchedulerTest, AStalledQueueStartsItsJobLate) {
  auto queue = scheduler_.makeQueue("q");
  scheduler_.stall("q", 0.5);
  double startedAfter = -1;
  const double start = scheduler_.uptime();
  queue->async([&] { startedAfter = scheduler_.uptime() - start; });
  scheduler_.advance(0.4);
  EXPECT_LT(startedAfter, 0);
  scheduler_.advance(0.2);
  EXPECT_NEAR(startedAfter, 0.5, 1e-9);
}

TEST_F(VirtualTimeSchedulerTest, AWorldActionInThePastHappensAtTheNextTurn) {
  scheduler_.advance(1);
  scheduler_.at(scheduler_.uptime() - 0.5, record("late"));
  scheduler_.runUntilIdle();
  EXPECT_EQ(log_, (std::vector<std::string>{"late"}));
  EXPECT_EQ(scheduler_.pendingWorldActions(), 0u);
}

TEST_F(VirtualTimeSchedulerTest, SleepMovesBothClocks) {
  const Date wall = scheduler_.now();
  scheduler_.sleep(0.01);
  EXPECT_NEAR(scheduler_.now() - wall, 0.01, 1e-6);
}

// The contracts every main loop and serial queue keep.
struct VirtualMainLoopHarness {
  MainLoop& loop() { return *scheduler; }
  void runFor(double seconds) { scheduler->advance(seconds); }
  void destroyLoop() { scheduler.reset(); }
  std::unique_ptr<VirtualTimeScheduler> scheduler = std::make_unique<VirtualTimeScheduler>();
};

struct VirtualQueueHarness {
  SerialQueueFactory& factory() { return scheduler; }
  void settle() { scheduler.drainQueues(); }
  bool runsByItself() const { return false; }
  VirtualTimeScheduler scheduler;
};

using MainLoops = ::testing::Types<VirtualMainLoopHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Virtual, MainLoopContract, MainLoops);
using Queues = ::testing::Types<VirtualQueueHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Virtual, SerialQueueContract, Queues);

}  // namespace
}  // namespace mirlet::testing
