#pragma once

#include "core/SerialQueue.h"

namespace mirlet {

// Serial queues on worker threads, one thread per queue.
class ThreadSerialQueueFactory : public SerialQueueFactory {
 public:
  std::unique_ptr<SerialQueue> makeQueue(std::string label) override;
};

}  // namespace mirlet
