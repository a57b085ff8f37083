#include "host/ThreadSerialQueue.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/testing/SerialQueueContract.h"

namespace mirlet {
namespace {

TEST(ThreadSerialQueueTest, JobsRunOffTheCallingThread) {
  ThreadSerialQueueFactory factory;
  auto queue = factory.makeQueue("app.mirlet.test");
  std::thread::id worker;
  queue->sync([&] { worker = std::this_thread::get_id(); });
  EXPECT_NE(worker, std::this_thread::get_id());
}

}  // namespace
}  // namespace mirlet

namespace mirlet::testing {
namespace {

struct ThreadQueueHarness {
  SerialQueueFactory& factory() { return queues; }
  void settle() {}
  bool runsByItself() const { return true; }
  ThreadSerialQueueFactory queues;
};

using Queues = ::testing::Types<ThreadQueueHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Threads, SerialQueueContract, Queues);

}  // namespace
}  // namespace mirlet::testing
