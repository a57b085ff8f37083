#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/Clock.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"

namespace mirlet::testing {

// Virtual time for tests: a clock that moves only when the test says so, a main
// loop whose tasks and timers run only inside `advance` and `runUntilIdle`, and
// serial queues whose jobs run only when the test drains them. A scenario therefore
// runs the same way every time, in microseconds.
//
// Everything runs on the test's thread; `isMainThread()` is false while a queue
// job runs, so code that checks where it runs sees the difference.
class VirtualTimeScheduler : public Clock, public MainLoop, public SerialQueueFactory {
 public:
  // The wall clock starts at `start`; uptime starts at `startUptime` seconds.
  explicit VirtualTimeScheduler(Date start = defaultStart(), double startUptime = 1000.0);
  ~VirtualTimeScheduler() override;

  static Date defaultStart();

  // Clock. `sleep` moves time forward without running anything: due timers fire
  // at the next `advance` or `runUntilIdle`.
  Date now() const override;
  double uptime() const override;
  void sleep(double seconds) override;

  // MainLoop.
  void post(Task task) override;
  [[nodiscard]] TimerHandle postAfter(double seconds, Task task) override;
  [[nodiscard]] TimerHandle scheduleRepeating(double interval, double tolerance,
                                              Task task) override;
  bool isMainThread() const override { return !inQueueJob_; }

  // SerialQueueFactory.
  std::unique_ptr<SerialQueue> makeQueue(std::string label) override;

  // Runs posted tasks and timers already due until none is left; time stands still.
  void runUntilIdle();
  // Moves time forward by `seconds`, running every task and timer that falls due,
  // in due order, each with the clock reading its due time.
  void advance(double seconds);
  // Runs the queued jobs of every queue, and the main-loop work they post, until
  // both are empty; time stands still.
  void drainQueues();
  // Runs the pending jobs of the queue with this label (the oldest queue first, if
  // several share it). Returns how many ran.
  std::size_t runQueue(const std::string& label);
  // Jobs waiting in all queues.
  std::size_t pendingQueueJobs() const;
  // Tasks and active timers waiting on the main loop.
  std::size_t pendingMainLoopWork() const;

 private:
  struct TimerState;
  struct QueueState;
  class VirtualTimer;
  class VirtualQueue;

  using Nanos = std::int64_t;
  static Nanos toNanos(double seconds);
  TimerHandle addTimer(double delay, double interval, Task task);
  bool runPostedTasks();
  TimerState* nextDueTimer(Nanos limit);
  void fire(TimerState& timer);
  void runJob(QueueState& queue);

  Date start_;
  double startUptime_;
  Nanos elapsed_ = 0;
  std::uint64_t nextSequence_ = 0;
  bool inQueueJob_ = false;
  std::deque<Task> posted_;
  std::vector<std::shared_ptr<TimerState>> timers_;
  std::vector<std::weak_ptr<QueueState>> queues_;
};

}  // namespace mirlet::testing
