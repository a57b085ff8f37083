#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "RightClickFocus/service/WindowFocusSource.h"
#include "core/Clock.h"
#include "core/MainLoop.h"
#include "core/Uuid.h"
#include "host/Accessibility.h"
#include "host/EventSystem.h"
#include "host/Workspace.h"

namespace mirlet {

// The window under a right click that would need focusing.
struct RightClickWindowTarget {
  Uuid identity;  // new for every inspection
  ScreenPoint point;
  int processID = 0;
  // Its application is active and this is its focused window.
  bool hasKeyboardFocus = false;
  std::shared_ptr<RunningApplication> process;
  AXElement window;
  AXElement application;

  // Its application runs still, as the one registered for its process id (a quit
  // application whose id was reused is another one).
  bool isProcessAlive(const Workspace& workspace) const;

  friend bool operator==(const RightClickWindowTarget&, const RightClickWindowTarget&) = default;
};

namespace RightClickWindowFocusWorkflow {

enum class Step { validate, raise, makeMain, activate, focused };

// Seconds within which a whole inspection or focusing is done.
inline constexpr double kBudget = 0.15;
inline constexpr double kCallLimit = 0.025;
inline constexpr double kPollPause = 0.005;

// Validates and performs raise, make main and activate, then validates and polls
// every 5 ms until the window is focused; false on any failed step, on
// cancellation and when 0.15 s have passed. `perform` gets each step and the
// time-out its calls may take.
bool run(const std::function<double()>& now, const std::function<bool()>& isCancelled,
         const std::function<void()>& pause,
         const std::function<bool(Step, std::optional<float> timeout)>& perform);

}  // namespace RightClickWindowFocusWorkflow

// Turns a screen point into a focus target and later focuses that window,
// verifying that it really became the focused one. Both run on a background queue
// (they refuse the main thread) and take at most 0.15 s, each call at most 25 ms.
class RightClickWindowDriver {
 public:
  struct Services {
    Accessibility& accessibility;
    Workspace& workspace;
    EventSystem& events;
    Clock& clock;
    MainLoop& mainLoop;
  };
  // The time-out for the next call, or nothing when time is up.
  using Timeout = std::function<std::optional<float>()>;

  explicit RightClickWindowDriver(Services services);

  // The window at the point when it is an ordinary window of another regular
  // application (never one of `ownProcessID`'s); nothing otherwise.
  std::optional<RightClickWindowTarget> inspect(ScreenPoint point, int ownProcessID);
  // Raises, makes main and activates the target's window; whether it became the
  // focused window within the budget. `point` must be the target's own.
  bool focusAndVerify(const RightClickWindowTarget& target, ScreenPoint point,
                      const std::function<bool()>& isCancelled);

  // The standard, not minimised, not modal window the element at the point is
  // (or belongs to).
  static std::optional<AXElement> eligibleWindow(WindowFocusSource& source, ScreenPoint point,
                                                 const Timeout& timeout);
  // Whether the topmost ordinary window at the point (layer 0, visible) is owned
  // by `processID`.
  static bool frontmostWindowBelongsToOwnProcess(const std::vector<WindowInfo>& windows,
                                                 ScreenPoint point, int processID);

 private:
  bool performStep(RightClickWindowFocusWorkflow::Step step, const RightClickWindowTarget& target,
                   std::optional<float> timeout, const Timeout& remaining);
  bool processHolds(const RightClickWindowTarget& target) const;
  // A time-out source for one operation started now.
  Timeout budget(double start) const;

  Services services_;
  NativeWindowFocusSource source_;
};

}  // namespace mirlet
