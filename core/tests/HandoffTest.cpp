#include "core/Handoff.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <optional>
#include <thread>

#include "core/testing/VirtualTimeScheduler.h"

namespace mirlet {
namespace {

TEST(HandoffTest, WorkRunsOnlyWhileItsOwnerExists) {
  testing::VirtualTimeScheduler time;
  auto queue = time.makeQueue("q");
  int ran = 0;
  auto owner = std::make_unique<Handoff>();
  owner->post(time, [&] { ++ran; });
  TimerHandle timer = owner->postAfter(time, 1, [&] { ++ran; });
  owner->async(*queue, [&] { ++ran; });
  auto callback = owner->bind([&](int by) { ran += by; });
  time.advance(2);
  time.drainQueues();
  callback(10);
  EXPECT_EQ(ran, 13);

  owner->post(time, [&] { ++ran; });
  owner->async(*queue, [&] { ++ran; });
  timer = owner->postAfter(time, 1, [&] { ++ran; });
  owner.reset();
  time.advance(2);
  time.drainQueues();
  callback(10);
  EXPECT_EQ(ran, 13);
}

TEST(HandoffTest, AGoneOwnerGivesTheFallbackAnswer) {
  auto owner = std::make_unique<Handoff>();
  auto decide = owner->bindOr([](int) { return std::optional<int>(); },
                              [](int event) { return std::optional<int>(event); });
  EXPECT_EQ(decide(7), std::nullopt);
  owner.reset();
  EXPECT_EQ(decide(7), 7);
}

TEST(HandoffTest, WorkMayDestroyItsOwnOwner) {
  auto owner = std::make_unique<Handoff>();
  bool finished = false;
  auto work = owner->bind([&] {
    owner.reset();
    finished = true;
  });
  work();
  EXPECT_TRUE(finished);
  EXPECT_FALSE(owner);
}

TEST(HandoffTest, DestructionWaitsForWorkRunningOnAnotherThread) {
  auto owner = std::make_unique<Handoff>();
  std::promise<void> started;
  std::promise<void> release;
  std::atomic<bool> finished{false};
  std::thread worker(owner->bind([&] {
    started.set_value();
    release.get_future().wait();
    finished = true;
  }));
  started.get_future().wait();

  bool finishedWhenRevoked = false;
  std::thread destroyer([&] {
    owner.reset();
    finishedWhenRevoked = finished;
  });
  release.set_value();
  destroyer.join();
  worker.join();
  EXPECT_TRUE(finishedWhenRevoked);
}

}  // namespace
}  // namespace mirlet
