#include "core/testing/VirtualTimeScheduler.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <utility>

namespace mirlet::testing {

struct VirtualTimeScheduler::TimerState {
  Nanos due;
  Nanos interval;  // 0 for a one-shot timer
  std::uint64_t sequence;
  Task task;
  bool active = true;
};

struct VirtualTimeScheduler::PostedTask {
  Nanos postedAt;
  std::uint64_t sequence;
  Task task;
};

struct VirtualTimeScheduler::WorldAction {
  Nanos due;
  std::uint64_t sequence;
  Task action;
};

struct VirtualTimeScheduler::QueueState {
  struct Pending {
    Nanos readyAt;
    std::uint64_t sequence;
    SerialQueue::Job job;
  };
  std::string label;
  std::deque<Pending> jobs;
  SerialQueue::Job running;  // started and not ended
  bool isRunning() const { return static_cast<bool>(running); }
  Nanos stalledUntil = 0;
  std::optional<Nanos> wakeAt;  // while the running job sleeps
  std::uint64_t wakeSequence = 0;
  const void* giver = nullptr;  // who handed it the baton, and gets it back
  bool abandoned = false;       // its sleep never ends: the scheduler is going
  bool dropped = false;         // its SerialQueue is gone
  bool quit = false;            // its worker ends
  std::thread worker;
};

namespace {

// An exception escaping a task or job is a programming error: it ends the process
// through std::terminate, which reports it, as on every executor.
template <class Work>
void runWork(Work& work) noexcept {
  work();
}

// Unwinds a job asleep when the scheduler goes: its time never comes.
struct Abandoned {};

// The queue whose job this thread runs; none on the test's threads.
thread_local const void* tWorkingFor = nullptr;

}  // namespace

class VirtualTimeScheduler::VirtualTimer : public Timer {
 public:
  explicit VirtualTimer(std::shared_ptr<TimerState> state) : state_(std::move(state)) {}
  ~VirtualTimer() override { cancel(); }
  void cancel() override { state_->active = false; }
  bool isActive() const override { return state_->active; }

 private:
  std::shared_ptr<TimerState> state_;
};

class VirtualTimeScheduler::VirtualQueue : public SerialQueue {
 public:
  VirtualQueue(VirtualTimeScheduler& scheduler, std::shared_ptr<QueueState> state)
      : scheduler_(scheduler), state_(std::move(state)) {}
  // Jobs not yet started are dropped; a job running now finishes first.
  ~VirtualQueue() override { scheduler_.dropQueue(state_); }

  const std::string& label() const override { return state_->label; }
  void async(Job job) override {
    state_->jobs.push_back({scheduler_.elapsed_, scheduler_.nextSequence_++, std::move(job)});
  }
  // Runs the jobs queued before it and then `job`, with the caller blocked; jobs
  // queued meanwhile wait for their turn.
  void sync(Job job) override {
    bool done = false;
    async([&done, job = std::move(job)] {
      job();
      done = true;
    });
    scheduler_.blockUntil([&done] { return done; });
  }

 private:
  VirtualTimeScheduler& scheduler_;
  std::shared_ptr<QueueState> state_;
};

VirtualTimeScheduler::VirtualTimeScheduler(Date start, double startUptime)
    : start_(start), startUptime_(startUptime), mainThread_(std::this_thread::get_id()) {}

VirtualTimeScheduler::~VirtualTimeScheduler() {
  // Jobs still asleep never wake: they are unwound, then every worker ends.
  for (const auto& queue : queues_) {
    if (queue->isRunning() && queue->wakeAt) {
      queue->abandoned = true;
      handTo(*queue);
    }
  }
  for (const auto& queue : queues_) endWorker(*queue);
}

Date VirtualTimeScheduler::defaultStart() {
  // 2026-03-02 09:30:00 UTC, a Monday morning.
  return Date::fromUnixSeconds(1772443800);
}

VirtualTimeScheduler::Nanos VirtualTimeScheduler::toNanos(double seconds) {
  return static_cast<Nanos>(std::llround(std::max(0.0, seconds) * 1e9));
}

Date VirtualTimeScheduler::now() const {
  return start_.adding(static_cast<double>(elapsed_) / 1e9);
}

double VirtualTimeScheduler::uptime() const {
  return startUptime_ + static_cast<double>(elapsed_) / 1e9;
}

void VirtualTimeScheduler::sleep(double seconds) {
  const Nanos target = elapsed_ + toNanos(seconds);
  if (const void* working = self()) {
    // A job's sleep: everything else goes on until its time comes.
    auto& queue = *static_cast<QueueState*>(const_cast<void*>(working));
    queue.wakeAt = target;
    queue.wakeSequence = nextSequence_++;
    std::unique_lock lock(batonMutex_);
    yieldFrom(queue, lock);
    if (queue.abandoned) throw Abandoned{};
    return;
  }
  // The main thread's: its loop waits, the queues and the world go on.
  while (runNext(target, false)) {
  }
  elapsed_ = std::max(elapsed_, target);
}

void VirtualTimeScheduler::post(Task task) {
  posted_.push_back({elapsed_, nextSequence_++, std::move(task)});
}

void VirtualTimeScheduler::at(double uptime, Task action) {
  const Nanos due = toNanos(uptime - startUptime_);
  world_.push_back({std::max(due, elapsed_), nextSequence_++, std::move(action)});
}

void VirtualTimeScheduler::after(double seconds, Task action) {
  world_.push_back({elapsed_ + toNanos(seconds), nextSequence_++, std::move(action)});
}

TimerHandle VirtualTimeScheduler::postAfter(double seconds, Task task) {
  return addTimer(seconds, 0, std::move(task));
}

TimerHandle VirtualTimeScheduler::scheduleRepeating(double interval, double /*tolerance*/,
                                                    Task task) {
  return addTimer(interval, interval, std::move(task));
}

TimerHandle VirtualTimeScheduler::addTimer(double delay, double interval, Task task) {
  // A repeating timer never has a zero period, which would fire forever at one instant.
  Nanos period = interval > 0 ? std::max<Nanos>(1, toNanos(interval)) : 0;
  auto state = std::make_shared<TimerState>(
      TimerState{elapsed_ + toNanos(delay), period, nextSequence_++, std::move(task)});
  timers_.push_back(state);
  return std::make_unique<VirtualTimer>(std::move(state));
}

std::unique_ptr<SerialQueue> VirtualTimeScheduler::makeQueue(std::string label) {
  reapDropped();
  auto state = std::make_shared<QueueState>();
  state->label = std::move(label);
  queues_.push_back(state);
  return std::make_unique<VirtualQueue>(*this, std::move(state));
}

const void* VirtualTimeScheduler::self() const { return tWorkingFor; }

void VirtualTimeScheduler::handTo(QueueState& queue) {
  std::unique_lock lock(batonMutex_);
  const void* me = self();
  queue.giver = me;
  holder_ = &queue;
  batonMoved_.notify_all();
  batonMoved_.wait(lock, [&] { return holder_ == me; });
}

void VirtualTimeScheduler::yieldFrom(QueueState& queue, std::unique_lock<std::mutex>& lock) {
  holder_ = queue.giver;
  batonMoved_.notify_all();
  batonMoved_.wait(lock, [&] { return holder_ == &queue; });
}

void VirtualTimeScheduler::work(const std::shared_ptr<QueueState>& queue) {
  tWorkingFor = queue.get();
  std::unique_lock lock(batonMutex_);
  for (;;) {
    batonMoved_.wait(lock, [&] { return holder_ == queue.get() || queue->quit; });
    if (holder_ != queue.get()) return;
    lock.unlock();
    [&queue]() noexcept {
      try {
        queue->running();
      } catch (const Abandoned&) {
        // Unwound: nothing of it runs again. Any other exception ends the process.
      }
    }();
    queue->running = nullptr;
    queue->wakeAt.reset();
    lock.lock();
    holder_ = queue->giver;
    batonMoved_.notify_all();
  }
}

void VirtualTimeScheduler::runJob(const std::shared_ptr<QueueState>& queue) {
  if (queue->isRunning()) {
    elapsed_ = std::max(elapsed_, *queue->wakeAt);
    queue->wakeAt.reset();
  } else {
    queue->running = std::move(queue->jobs.front().job);
    queue->jobs.pop_front();
    if (!queue->worker.joinable()) queue->worker = std::thread([this, queue] { work(queue); });
  }
  handTo(*queue);
}

template <class Condition>
void VirtualTimeScheduler::blockUntil(Condition done) {
  while (!done()) {
    if (!runNext(kForever, false)) {
      throw std::logic_error("virtual time: waiting for work that can never run");
    }
  }
}

void VirtualTimeScheduler::dropQueue(const std::shared_ptr<QueueState>& queue) {
  queue->jobs.clear();
  queue->dropped = true;
  // A job that ends its own queue goes on; its worker ends later.
  if (self() == queue.get()) return;
  blockUntil([&] { return !queue->isRunning(); });
  endWorker(*queue);
  std::erase(queues_, queue);
}

void VirtualTimeScheduler::endWorker(QueueState& queue) {
  if (!queue.worker.joinable()) return;
  {
    std::lock_guard lock(batonMutex_);
    queue.quit = true;
    batonMoved_.notify_all();
  }
  queue.worker.join();
}

void VirtualTimeScheduler::reapDropped() {
  std::erase_if(queues_, [this](const std::shared_ptr<QueueState>& queue) {
    if (!queue->dropped || queue->isRunning()) return false;
    endWorker(*queue);
    return true;
  });
}

bool VirtualTimeScheduler::runNext(Nanos limit, bool mainLoop) {
  // The earliest of: the world's next action, each queue's next job or waking
  // sleeper, the oldest posted task, the next timer; equal times go by
  // scheduling order.
  struct Next {
    Nanos due;
    std::uint64_t sequence;
    bool isBefore(const Next& other) const {
      return due < other.due || (due == other.due && sequence < other.sequence);
    }
  };
  std::optional<Next> best;
  auto offer = [&](Next candidate) {
    if (candidate.due > limit || (best && !candidate.isBefore(*best))) return false;
    best = candidate;
    return true;
  };
  auto world = world_.end();
  bool takePosted = false;
  std::shared_ptr<TimerState> timer;
  std::shared_ptr<QueueState> queue;
  for (auto it = world_.begin(); it != world_.end(); ++it) {
    if (offer({it->due, it->sequence})) world = it;
  }
  for (const auto& candidate : queues_) {
    if (candidate->isRunning()) {
      // Running and not asleep: it is the one that asks.
      if (candidate->wakeAt && offer({*candidate->wakeAt, candidate->wakeSequence})) {
        queue = candidate;
      }
    } else if (!candidate->jobs.empty() &&
               offer({std::max(candidate->jobs.front().readyAt, candidate->stalledUntil),
                      candidate->jobs.front().sequence})) {
      queue = candidate;
    }
  }
  if (mainLoop) {
    if (!posted_.empty() && offer({posted_.front().postedAt, posted_.front().sequence})) {
      takePosted = true;
    }
    std::erase_if(timers_, [](const auto& t) { return !t->active; });
    for (const auto& candidate : timers_) {
      if (offer({candidate->due, candidate->sequence})) timer = candidate;
    }
  }
  if (!best) return false;
  elapsed_ = std::max(elapsed_, best->due);
  if (timer && timer->sequence == best->sequence) {
    fire(timer);
  } else if (takePosted && posted_.front().sequence == best->sequence) {
    Task task = std::move(posted_.front().task);
    posted_.pop_front();
    runWork(task);
  } else if (world != world_.end() && world->sequence == best->sequence) {
    Task action = std::move(world->action);
    world_.erase(world);
    runWork(action);
  } else {
    runJob(queue);
  }
  return true;
}

void VirtualTimeScheduler::fire(const std::shared_ptr<TimerState>& timer) {
  if (timer->interval > 0) {
    timer->due += timer->interval;
    timer->sequence = nextSequence_++;
  } else {
    timer->active = false;
  }
  // The task may cancel or destroy its own handle: `timer` keeps the state alive.
  Task task = timer->task;
  runWork(task);
}

void VirtualTimeScheduler::runUntilIdle() {
  while (runNext(elapsed_, true)) {
  }
}

void VirtualTimeScheduler::advance(double seconds) {
  const Nanos target = elapsed_ + toNanos(seconds);
  while (runNext(target, true)) {
  }
  elapsed_ = std::max(elapsed_, target);
  runUntilIdle();
}

void VirtualTimeScheduler::stall(const std::string& label, double seconds) {
  const auto found = std::ranges::find(queues_, label, &QueueState::label);
  if (found != queues_.end()) (*found)->stalledUntil = elapsed_ + toNanos(seconds);
}

std::size_t VirtualTimeScheduler::runQueue(const std::string& label) {
  const auto found = std::ranges::find(queues_, label, &QueueState::label);
  if (found == queues_.end()) return 0;
  const std::shared_ptr<QueueState> queue = *found;
  std::size_t count = 0;
  for (std::size_t pending = queue->jobs.size(); pending > 0 && !queue->jobs.empty(); --pending) {
    runJob(queue);
    blockUntil([&] { return !queue->isRunning(); });
    ++count;
  }
  return count;
}

void VirtualTimeScheduler::drainQueues() {
  const auto busy = [this] {
    return std::ranges::any_of(
        queues_, [](const auto& queue) { return queue->isRunning() || !queue->jobs.empty(); });
  };
  runUntilIdle();
  while (busy()) {
    // To the next sleeper's waking, with what falls due on the way.
    Nanos next = kForever;
    for (const auto& queue : queues_) {
      if (queue->wakeAt) next = std::min(next, *queue->wakeAt);
    }
    while (runNext(next, true)) {
    }
    runUntilIdle();
  }
}

std::size_t VirtualTimeScheduler::pendingQueueJobs() const {
  std::size_t count = 0;
  for (const auto& queue : queues_) count += queue->jobs.size() + (queue->isRunning() ? 1 : 0);
  return count;
}

std::size_t VirtualTimeScheduler::pendingWorldActions() const { return world_.size(); }

std::size_t VirtualTimeScheduler::pendingMainLoopWork() const {
  auto activeTimers = std::count_if(timers_.begin(), timers_.end(),
                                    [](const auto& timer) { return timer->active; });
  return posted_.size() + static_cast<std::size_t>(activeTimers);
}

}  // namespace mirlet::testing
