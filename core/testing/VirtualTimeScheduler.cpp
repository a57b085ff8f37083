#include "core/testing/VirtualTimeScheduler.h"

#include <algorithm>
#include <cmath>
#include <optional>
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
  std::string label;
  std::deque<SerialQueue::Job> jobs;
};

namespace {

// An exception escaping a task or job is a programming error: it ends the process
// through std::terminate, which reports it, as on every executor.
template <class Work>
void runWork(Work& work) noexcept {
  work();
}

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
  // Jobs not yet started are dropped; a job running now finishes.
  ~VirtualQueue() override { state_->jobs.clear(); }

  const std::string& label() const override { return state_->label; }
  void async(Job job) override { state_->jobs.push_back(std::move(job)); }
  // A sync job runs at once, after exactly the jobs queued before it, as on a real
  // queue; jobs queued meanwhile wait for their turn.
  void sync(Job job) override {
    bool done = false;
    state_->jobs.push_back([&done, job = std::move(job)] {
      job();
      done = true;
    });
    // Locals only from here: a job may destroy this queue.
    std::shared_ptr<QueueState> state = state_;
    VirtualTimeScheduler& scheduler = scheduler_;
    while (!done && !state->jobs.empty()) scheduler.runJob(*state);
  }

 private:
  VirtualTimeScheduler& scheduler_;
  std::shared_ptr<QueueState> state_;
};

VirtualTimeScheduler::VirtualTimeScheduler(Date start, double startUptime)
    : start_(start), startUptime_(startUptime) {}

VirtualTimeScheduler::~VirtualTimeScheduler() = default;

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
  auto state = std::make_shared<QueueState>(QueueState{std::move(label), {}});
  queues_.push_back(state);
  return std::make_unique<VirtualQueue>(*this, std::move(state));
}

bool VirtualTimeScheduler::runNext(Nanos limit, bool mainLoop) {
  // The earliest of: the world's next action, the oldest posted task, the next
  // timer; equal times go by scheduling order.
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
  for (auto it = world_.begin(); it != world_.end(); ++it) {
    if (offer({it->due, it->sequence})) world = it;
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
  } else {
    Task action = std::move(world->action);
    world_.erase(world);
    runWork(action);
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

void VirtualTimeScheduler::runJob(QueueState& queue) {
  SerialQueue::Job job = std::move(queue.jobs.front());
  queue.jobs.pop_front();
  const bool wasInJob = std::exchange(inQueueJob_, true);
  runWork(job);
  inQueueJob_ = wasInJob;
}

std::size_t VirtualTimeScheduler::runQueue(const std::string& label) {
  std::erase_if(queues_, [](const auto& queue) { return queue.expired(); });
  for (const auto& weakQueue : queues_) {
    auto queue = weakQueue.lock();
    if (queue->label != label) continue;
    std::size_t count = 0;
    for (std::size_t pending = queue->jobs.size(); pending > 0 && !queue->jobs.empty();
         --pending, ++count) {
      runJob(*queue);
    }
    return count;
  }
  return 0;
}

void VirtualTimeScheduler::drainQueues() {
  bool ran = true;
  while (ran) {
    ran = false;
    while (runNext(elapsed_, true)) ran = true;
    std::erase_if(queues_, [](const auto& queue) { return queue.expired(); });
    for (std::size_t i = 0; i < queues_.size(); ++i) {
      auto queue = queues_[i].lock();
      while (queue && !queue->jobs.empty()) {
        runJob(*queue);
        ran = true;
      }
    }
  }
}

std::size_t VirtualTimeScheduler::pendingQueueJobs() const {
  std::size_t count = 0;
  for (const auto& weakQueue : queues_) {
    if (auto queue = weakQueue.lock()) count += queue->jobs.size();
  }
  return count;
}

std::size_t VirtualTimeScheduler::pendingWorldActions() const { return world_.size(); }

std::size_t VirtualTimeScheduler::pendingMainLoopWork() const {
  auto activeTimers = std::count_if(timers_.begin(), timers_.end(),
                                    [](const auto& timer) { return timer->active; });
  return posted_.size() + static_cast<std::size_t>(activeTimers);
}

}  // namespace mirlet::testing
