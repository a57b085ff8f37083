#pragma once

#include <mutex>

namespace mirlet {

// Guards one operation a Finder feature hands to its background queue: valid when
// made, invalidated from the main thread when the user does something else, never
// valid again. The queue acts only under the token's lock while it is valid, so a
// cancellation happens either before the action or after it, never during.
class FinderOperationToken {
 public:
  void invalidate() {
    std::lock_guard lock(mutex_);
    valid_ = false;
  }
  bool isValid() const {
    std::lock_guard lock(mutex_);
    return valid_;
  }
  // Runs `action` under the lock if the token is still valid; answers whether it ran.
  template <class Action>
  bool performIfValid(Action&& action) {
    std::lock_guard lock(mutex_);
    if (!valid_) return false;
    action();
    return true;
  }

 private:
  mutable std::mutex mutex_;
  bool valid_ = true;
};

}  // namespace mirlet
