#pragma once

#include <climits>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/Clock.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"

namespace mirlet::testing {

// Virtual time for tests: a clock that moves only when the test says so, a main
// loop, serial queues and the world's own timeline whose work runs only while the
// test turns time (`advance`, `runUntilIdle`, `drainQueues`), in the order of its
// times. A scenario therefore runs the same way every time, in microseconds.
//
// Three kinds of work wait for their time, and run as they would side by side:
// - the main loop's: posted tasks and timers, so a task posted at 1.2 s runs after
//   a timer due at 1.1 s even when both waited;
// - the queues' jobs, each queue one at a time and in order. A job starts when it
//   was queued; while it sleeps (waiting for another application, say) the main
//   loop, the other queues and the world go on, so the user's input, another
//   application's copy or the program's own timers land in the middle of the job.
//   Destroying a queue, or `sync` on it, waits for its running job as a real one
//   does, with the main loop blocked meanwhile;
// - the world's (`at`, `after`): what other applications and the user do on their
//   own time, also while the main thread sleeps. World actions never call the
//   program directly: what reaches the program is posted to the main loop.
//
// Each queue's jobs run on a thread of their own, so a sleeping job keeps its
// stack while the rest goes on; but only one thread runs at a time, handing over
// at the points above, so every run is the same. `isMainThread()` is false in a
// job.
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
  bool isMainThread() const override { return self() == nullptr; }

  // SerialQueueFactory.
  std::unique_ptr<SerialQueue> makeQueue(std::string label) override;

  // The world's timeline: `action` happens when uptime reaches `uptime` (at the
  // next movement of time if that is already past), or `seconds` from now.
  void at(double uptime, Task action);
  void after(double seconds, Task action);

  // The queue with this label (the oldest, if several share it) starts no job for
  // `seconds`, as when the system leaves its thread waiting.
  void stall(const std::string& label, double seconds);
  // Runs the work already due (main loop, jobs, world) until none is left; time
  // stands still, and a job that sleeps stays asleep.
  void runUntilIdle();
  // Moves time forward by `seconds`, running every world action, task, timer and
  // job that falls due, in due order, each with the clock reading its time.
  void advance(double seconds);
  // Runs until no job is queued or running: time moves only as far as the jobs'
  // sleeps take it, with everything else that falls due meanwhile.
  void drainQueues();
  // Runs the pending jobs of the queue with this label (the oldest queue first, if
  // several share it) to their end, with the main loop blocked. Returns how many ran.
  std::size_t runQueue(const std::string& label);
  // Jobs waiting in all queues, and running ones.
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
  static constexpr Nanos kForever = INT64_MAX;
  static Nanos toNanos(double seconds);
  TimerHandle addTimer(double delay, double interval, Task task);
  // Runs, in time order, the first thing due by `limit`: world actions and jobs
  // always, the main loop's work when `mainLoop`. False when nothing was due.
  bool runNext(Nanos limit, bool mainLoop);
  void fire(const std::shared_ptr<TimerState>& timer);
  // Starts the queue's next job, or resumes its sleeping one, until it sleeps or ends.
  void runJob(const std::shared_ptr<QueueState>& queue);
  // With the main loop blocked, runs what falls due until `done` holds.
  template <class Condition>
  void blockUntil(Condition done);
  void dropQueue(const std::shared_ptr<QueueState>& queue);
  void endWorker(QueueState& queue);
  void reapDropped();
  // The baton: who runs now. Only its holder touches the scheduler's state.
  const void* self() const;
  void handTo(QueueState& queue);
  void yieldFrom(QueueState& queue, std::unique_lock<std::mutex>& lock);
  void work(const std::shared_ptr<QueueState>& queue);

  Date start_;
  double startUptime_;
  Nanos elapsed_ = 0;
  std::uint64_t nextSequence_ = 0;
  std::deque<PostedTask> posted_;
  std::vector<std::shared_ptr<TimerState>> timers_;
  std::vector<WorldAction> world_;
  std::vector<std::shared_ptr<QueueState>> queues_;

  std::thread::id mainThread_;
  std::mutex batonMutex_;
  std::condition_variable batonMoved_;
  const void* holder_ = nullptr;  // a queue, or nullptr for the other threads
};

}  // namespace mirlet::testing
