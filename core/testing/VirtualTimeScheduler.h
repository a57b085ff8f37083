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
// loop whose tasks and timers run only inside `advance` and `runUntilIdle`, serial
// queues whose jobs run when the test drains them, and the world's own timeline.
// A scenario therefore runs the same way every time, in microseconds.
//
// Two kinds of work wait for their time:
// - the program's: posted tasks and timers, which run when the main loop turns
//   (`advance`, `runUntilIdle`, `drainQueues`), in the order of their times, so a
//   task posted at 1.2 s runs after a timer due at 1.1 s even when both waited
//   for the main loop;
// - the world's (`at`, `after`): what other applications and the user do on their
//   own time. It happens whenever time moves, also during a `sleep` of a queue job
//   or of the main thread, so a background poll sees it. World actions never call
//   the program directly: what reaches the program is posted to the main loop.
//
// Everything runs on the test's thread; `isMainThread()` is false while a queue
// job runs, so code that checks where it runs sees the difference.
class VirtualTimeScheduler : public Clock, public MainLoop, public SerialQueueFactory {
 public:
  // The wall clock starts at `start`; uptime starts at `startUptime` seconds.
  explicit VirtualTimeScheduler(Date start = defaultStart(), double startUptime = 1000.0);
  ~VirtualTimeScheduler() override;

  static Date defaultStart();

  // Clock. `sleep` moves time forward and lets the world act meanwhile; the
  // program's tasks and timers wait for the main loop.
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

  // The world's timeline: `action` happens when uptime reaches `uptime` (at the
  // next movement of time if that is already past), or `seconds` from now.
  void at(double uptime, Task action);
  void after(double seconds, Task action);

  // Runs the main loop's work already due until none is left; time stands still.
  void runUntilIdle();
  // Moves time forward by `seconds`, running every world action, task and timer
  // that falls due, in due order, each with the clock reading its time.
  void advance(double seconds);
  // Runs the queued jobs of every queue, and the main-loop work they post or that
  // fell due while they slept, until nothing is left; time moves only by sleeps.
  void drainQueues();
  // Runs the pending jobs of the queue with this label (the oldest queue first, if
  // several share it). Returns how many ran.
  std::size_t runQueue(const std::string& label);
  // Jobs waiting in all queues.
  std::size_t pendingQueueJobs() const;
  // Tasks and active timers waiting on the main loop.
  std::size_t pendingMainLoopWork() const;
  // World actions not yet happened.
  std::size_t pendingWorldActions() const;

 private:
  struct TimerState;
  struct QueueState;
  struct PostedTask;
  struct WorldAction;
  class VirtualTimer;
  class VirtualQueue;

  using Nanos = std::int64_t;
  static Nanos toNanos(double seconds);
  TimerHandle addTimer(double delay, double interval, Task task);
  // Runs, in time order, what is due by `limit`: world actions always, the main
  // loop's work when `mainLoop`. False when nothing was due.
  bool runNext(Nanos limit, bool mainLoop);
  void fire(const std::shared_ptr<TimerState>& timer);
  void runJob(QueueState& queue);

  Date start_;
  double startUptime_;
  Nanos elapsed_ = 0;
  std::uint64_t nextSequence_ = 0;
  bool inQueueJob_ = false;
  std::deque<PostedTask> posted_;
  std::vector<std::shared_ptr<TimerState>> timers_;
  std::vector<WorldAction> world_;
  std::vector<std::weak_ptr<QueueState>> queues_;
};

}  // namespace mirlet::testing
