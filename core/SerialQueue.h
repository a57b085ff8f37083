#pragma once

#include <functional>
#include <memory>
#include <string>

namespace mirlet {

// A background queue that runs its jobs one at a time, in order.
class SerialQueue {
 public:
  using Job = std::function<void()>;

  virtual ~SerialQueue() = default;

  virtual const std::string& label() const = 0;
  // Queues `job` and returns at once.
  virtual void async(Job job) = 0;
  // Queues `job` and waits until it has run. Never called from the queue itself.
  virtual void sync(Job job) = 0;
};

// Makes serial queues by label ("app.mirlet.finder-cut", ...). Destroying a queue
// waits for the job it is running and drops the jobs not yet started.
class SerialQueueFactory {
 public:
  virtual ~SerialQueueFactory() = default;
  virtual std::unique_ptr<SerialQueue> makeQueue(std::string label) = 0;
};

}  // namespace mirlet
