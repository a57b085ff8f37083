#pragma once

#include <memory>

#include "core/MainLoop.h"

class QObject;

namespace mirlet {

// The main loop on Qt's event loop. Create it on the GUI thread once the
// application object exists; its timers are Qt timers on that thread. Tasks and
// timers still pending when it is destroyed are dropped without running.
class QtMainLoop : public MainLoop {
 public:
  QtMainLoop();
  ~QtMainLoop() override;
  QtMainLoop(const QtMainLoop&) = delete;
  QtMainLoop& operator=(const QtMainLoop&) = delete;

  void post(Task task) override;
  [[nodiscard]] TimerHandle postAfter(double seconds, Task task) override;
  [[nodiscard]] TimerHandle scheduleRepeating(double interval, double tolerance,
                                              Task task) override;
  bool isMainThread() const override;

 private:
  TimerHandle makeTimer(double seconds, bool repeating, bool coarse, Task task);

  // Receives posted tasks and parents every timer: what is pending when the loop
  // goes dies with it.
  std::unique_ptr<QObject> context_;
};

}  // namespace mirlet
