#pragma once

#include <functional>
#include <memory>

namespace mirlet {

// A timer scheduled on the main loop. Destroying the handle cancels the timer, so
// a timer never outlives the object that holds it.
class Timer {
 public:
  virtual ~Timer() = default;
  // Stops the timer; its callback does not run again. Safe to call repeatedly,
  // and from inside the timer's own callback.
  virtual void cancel() = 0;
  // True until the timer is cancelled or a one-shot timer has fired.
  virtual bool isActive() const = 0;
};

using TimerHandle = std::unique_ptr<Timer>;

// The main thread's run loop: everything that touches features, taps, models and
// windows runs on it.
class MainLoop {
 public:
  using Task = std::function<void()>;

  virtual ~MainLoop() = default;

  // Runs `task` on the main thread after the current task. Callable from any thread.
  virtual void post(Task task) = 0;
  // Runs `task` once, `seconds` from now. Main thread only.
  [[nodiscard]] virtual TimerHandle postAfter(double seconds, Task task) = 0;
  // Runs `task` every `interval` seconds until cancelled. `tolerance` is how late
  // the platform may fire to save power. Main thread only.
  [[nodiscard]] virtual TimerHandle scheduleRepeating(double interval, double tolerance,
                                                      Task task) = 0;
  // True on the main thread.
  virtual bool isMainThread() const = 0;
};

}  // namespace mirlet
