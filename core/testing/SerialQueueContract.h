#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/SerialQueue.h"

namespace mirlet::testing {

// What every SerialQueue promises, run against each implementation. `Harness`
// makes the queues and lets their jobs run:
//   SerialQueueFactory& factory();
//   void settle();               // runs the queued jobs that wait to be run
//   bool runsByItself() const;   // jobs start without `settle`, on other threads
template <class Harness>
class SerialQueueContract : public ::testing::Test {
 protected:
  SerialQueueContract() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
  std::unique_ptr<SerialQueue> makeQueue() {
    return harness_.factory().makeQueue("app.mirlet.test");
  }

  Harness harness_;
};

TYPED_TEST_SUITE_P(SerialQueueContract);

TYPED_TEST_P(SerialQueueContract, JobsRunOneAtATimeInOrder) {
  auto queue = this->makeQueue();
  EXPECT_EQ(queue->label(), "app.mirlet.test");
  std::vector<int> order;
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  for (int i = 0; i < 200; ++i) {
    queue->async([&, i] {
      if (++inside > 1) overlapped = true;
      order.push_back(i);
      --inside;
    });
  }
  queue->sync([] {});
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_FALSE(overlapped);
}

TYPED_TEST_P(SerialQueueContract, SyncReturnsOnceTheJobsBeforeItAndItselfHaveRun) {
  auto queue = this->makeQueue();
  std::vector<char> order;
  queue->async([&] { order.push_back('a'); });
  queue->async([&] { order.push_back('b'); });
  queue->sync([&] { order.push_back('c'); });
  EXPECT_EQ(order, (std::vector<char>{'a', 'b', 'c'}));
}

// Which queued jobs start before the destruction begins is a race on a real queue;
// that the rest are dropped is pinned by a job destroying its own queue, below.
TYPED_TEST_P(SerialQueueContract, DestructionWaitsForTheRunningJobAndNothingRunsAfter) {
  auto queue = this->makeQueue();
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  std::atomic<bool> started{false};
  std::atomic<bool> finished{false};
  std::atomic<int> later{0};
  queue->async([&] {
    started = true;
    opened.wait();
    finished = true;
  });
  for (int i = 0; i < 10; ++i) queue->async([&] { ++later; });
  while (!started && this->harness_.runsByItself()) std::this_thread::yield();

  bool finishedWhenDestroyed = false;
  int laterWhenDestroyed = 0;
  std::thread destroyer([&] {
    queue.reset();
    finishedWhenDestroyed = finished;
    laterWhenDestroyed = later;
  });
  gate.set_value();
  destroyer.join();
  this->harness_.settle();
  EXPECT_EQ(finishedWhenDestroyed, started.load());
  EXPECT_EQ(later.load(), laterWhenDestroyed);
}

TYPED_TEST_P(SerialQueueContract, AJobMayDestroyItsOwnQueueAndTheRestAreDropped) {
  auto queue = this->makeQueue();
  std::promise<void> gate;
  std::shared_future<void> opened = gate.get_future().share();
  std::atomic<bool> destroyed{false};
  std::atomic<bool> laterRan{false};
  queue->async([&] {
    opened.wait();
    queue.reset();
    destroyed = true;
  });
  queue->async([&] { laterRan = true; });
  gate.set_value();
  this->harness_.settle();
  while (!destroyed) std::this_thread::yield();
  EXPECT_FALSE(laterRan);
}

TYPED_TEST_P(SerialQueueContract, AJobThatThrowsEndsTheProcessWithItsMessage) {
  EXPECT_DEATH(
      {
        auto queue = this->makeQueue();
        queue->async([] { throw std::runtime_error("job failed on purpose"); });
        this->harness_.settle();
        queue->sync([] {});
      },
      "job failed on purpose");
}

REGISTER_TYPED_TEST_SUITE_P(SerialQueueContract, JobsRunOneAtATimeInOrder,
                            SyncReturnsOnceTheJobsBeforeItAndItselfHaveRun,
                            DestructionWaitsForTheRunningJobAndNothingRunsAfter,
                            AJobMayDestroyItsOwnQueueAndTheRestAreDropped,
                            AJobThatThrowsEndsTheProcessWithItsMessage);

}  // namespace mirlet::testing
