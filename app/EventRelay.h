#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace mirlet {

// Holds values sent before anyone can receive them: the features are built, and
// may report, before the model attaches its handlers. Attaching a handler delivers
// what is pending, in order.
template <class Value>
class EventRelay {
 public:
  using Handler = std::function<void(const Value&)>;

  void send(Value value) {
    if (handler_) {
      handler_(value);
    } else {
      pending_.push_back(std::move(value));
    }
  }

  void attach(Handler handler) {
    handler_ = std::move(handler);
    for (const Value& value : std::exchange(pending_, {})) handler_(value);
  }

 private:
  Handler handler_;
  std::vector<Value> pending_;
};

}  // namespace mirlet
