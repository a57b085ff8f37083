#include "platform/host/ThreadSerialQueue.h"

#include <cassert>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace mirlet {
namespace {

class ThreadSerialQueue : public SerialQueue {
 public:
  explicit ThreadSerialQueue(std::string label)
      : label_(std::move(label)), worker_([this] { run(); }) {}

  ~ThreadSerialQueue() override {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      jobs_.clear();
    }
    wake_.notify_one();
    worker_.join();
  }

  const std::string& label() const override { return label_; }

  void async(Job job) override {
    {
      std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

  void sync(Job job) override {
    assert(std::this_thread::get_id() != worker_.get_id() && "sync from the queue deadlocks");
    std::promise<void> done;
    auto finished = done.get_future();
    async([&] {
      job();
      done.set_value();
    });
    finished.wait();
  }

 private:
  void run() {
    while (true) {
      Job job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }

  const std::string label_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  std::thread worker_;  // last: starts after the other members exist
};

}  // namespace

std::unique_ptr<SerialQueue> ThreadSerialQueueFactory::makeQueue(std::string label) {
  return std::make_unique<ThreadSerialQueue>(std::move(label));
}

}  // namespace mirlet
