#include "platform/host/ThreadSerialQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace mirlet {
namespace {

TEST(ThreadSerialQueueTest, RunsJobsInOrderOffTheCallingThread) {
  ThreadSerialQueueFactory factory;
  auto queue = factory.makeQueue("app.mirlet.test");
  EXPECT_EQ(queue->label(), "app.mirlet.test");
  std::vector<int> order;
  std::thread::id worker;
  for (int i = 0; i < 100; ++i) {
    queue->async([&order, &worker, i] {
      order.push_back(i);
      worker = std::this_thread::get_id();
    });
  }
  queue->sync([] {});
  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(ThreadSerialQueueTest, DestructionWaitsForTheRunningJobAndDropsTheRest) {
  ThreadSerialQueueFactory factory;
  std::atomic<int> ran{0};
  std::atomic<bool> started{false};
  std::atomic<bool> release{false};
  {
    auto queue = factory.makeQueue("q");
    queue->async([&] {
      started = true;
      while (!release) std::this_thread::yield();
      ++ran;
    });
    for (int i = 0; i < 10; ++i) queue->async([&] { ++ran; });
    while (!started) std::this_thread::yield();
    std::thread releaser([&] { release = true; });
    queue.reset();
    releaser.join();
  }
  EXPECT_EQ(ran.load(), 1);
}

}  // namespace
}  // namespace mirlet
