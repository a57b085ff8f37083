#include "core/testing/VirtualTimeScheduler.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mirlet::testing {

struct VirtualTimeScheduler::TimerState {
  Nanos due;
  Nanos interval;  // 0 for a one-shot timer
  std::uint64_t sequence;
  Task task;
  bool active = true;
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

void VirtualTimeScheduler::sleep(double seconds) { elapsed_ += toNanos(seconds); }

void VirtualTimeScheduler::post(Task task) { posted_.push_back(std::move(task)); }

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

bool VirtualTimeScheduler::runPostedTasks() {
  bool ran = false;
  while (!posted_.empty()) {
    Task task = std::move(posted_.front());
    posted_.pop_front();
    runWork(task);
    ran = true;
  }
  return ran;
}

VirtualTimeScheduler::TimerState* VirtualTimeScheduler::nextDueTimer(Nanos limit) {
  std::erase_if(timers_, [](const auto& timer) { return !timer->active; });
  TimerState* next = nullptr;
  for (const auto& timer : timers_) {
    if (timer->due > limit) continue;
    if (!next || timer->due < next->due ||
        (timer->due == next->due && timer->sequence < next->sequence)) {
      next = timer.get();
    }
  }
  return next;
}

void VirtualTimeScheduler::fire(TimerState& timer) {
  elapsed_ = std::max(elapsed_, timer.due);
  if (timer.interval > 0) {
    timer.due += timer.interval;
    timer.sequence = nextSequence_++;
  } else {
    timer.active = false;
  }
  // The task may cancel or destroy its own handle: keep the state alive meanwhile.
  auto keepAlive = std::find_if(timers_.begin(), timers_.end(),
                                [&](const auto& t) { return t.get() == &timer; });
  std::shared_ptr<TimerState> state = *keepAlive;
  Task task = state->task;
  runWork(task);
}

void VirtualTimeScheduler::runUntilIdle() {
  while (true) {
    runPostedTasks();
    TimerState* timer = nextDueTimer(elapsed_);
    if (!timer) return;
    fire(*timer);
  }
}

void VirtualTimeScheduler::advance(double seconds) {
  const Nanos target = elapsed_ + toNanos(seconds);
  while (true) {
    runPostedTasks();
    TimerState* timer = nextDueTimer(target);
    if (!timer) break;
    fire(*timer);
  }
  elapsed_ = target;
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
    ran = runPostedTasks();
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

std::size_t VirtualTimeScheduler::pendingMainLoopWork() const {
  auto activeTimers = std::count_if(timers_.begin(), timers_.end(),
                                    [](const auto& timer) { return timer->active; });
  return posted_.size() + static_cast<std::size_t>(activeTimers);
}

}  // namespace mirlet::testing
