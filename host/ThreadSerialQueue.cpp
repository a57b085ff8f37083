#include "host/ThreadSerialQueue.h"

#include <pthread.h>

#include <cassert>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace mirlet {
namespace {

// What the worker thread shares with the queue object; it outlives the object when
// the queue is destroyed from inside one of its own jobs.
struct WorkerState {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<SerialQueue::Job> jobs;
  bool stopping = false;
};

// An exception escaping a job is a programming error: it ends the process through
// std::terminate, which reports it, as on every executor.
void runJob(SerialQueue::Job& job) noexcept { job(); }

void work(const std::shared_ptr<WorkerState>& state, const std::string& label) {
  // The queue's label names its thread where the system shows it (15 bytes at most).
  pthread_setname_np(pthread_self(),
                     label.substr(label.size() > 15 ? label.size() - 15 : 0).c_str());
  while (true) {
    SerialQueue::Job job;
    {
      std::unique_lock lock(state->mutex);
      state->wake.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
      if (state->stopping) return;
      job = std::move(state->jobs.front());
      state->jobs.pop_front();
    }
    runJob(job);
  }
}

class ThreadSerialQueue : public SerialQueue {
 public:
  explicit ThreadSerialQueue(std::string label)
      : label_(std::move(label)),
        worker_([state = state_, label = label_] { work(state, label); }) {}

  ~ThreadSerialQueue() override {
    std::deque<Job> dropped;
    {
      std::lock_guard lock(state_->mutex);
      state_->stopping = true;
      dropped.swap(state_->jobs);
    }
    state_->wake.notify_one();
    if (std::this_thread::get_id() == worker_.get_id()) {
      // Destroyed by its own job: the worker ends once that job returns.
      worker_.detach();
    } else {
      worker_.join();
    }
  }

  const std::string& label() const override { return label_; }

  void async(Job job) override {
    {
      std::lock_guard lock(state_->mutex);
      if (state_->stopping) return;
      state_->jobs.push_back(std::move(job));
    }
    state_->wake.notify_one();
  }

  void sync(Job job) override {
    assert(std::this_thread::get_id() != worker_.get_id() && "sync from the queue deadlocks");
    std::promise<void> done;
    auto finished = done.get_future();
    async([&] {
      runJob(job);
      done.set_value();
    });
    finished.wait();
  }

 private:
  const std::string label_;
  std::shared_ptr<WorkerState> state_ = std::make_shared<WorkerState>();
  std::thread worker_;  // last: starts after the other members exist
};

}  // namespace

std::unique_ptr<SerialQueue> ThreadSerialQueueFactory::makeQueue(std::string label) {
  return std::make_unique<ThreadSerialQueue>(std::move(label));
}

}  // namespace mirlet
