#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/Clock.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "host/EventSystem.h"
#include "host/sim/SimAccessibilityTrust.h"
#include "host/sim/SimWorkspace.h"

namespace mirlet::sim {

// The simulated window server and event pipeline.
//
// A hardware event injected by the test is annotated as the system does (its
// target process in field 40, a timestamp from uptime, the always-set and
// side-specific flag bits, the function and keypad bits of the keys that have
// them), then passes through the installed taps, the most recently installed
// first; a filtering tap may change or swallow it. What survives reaches its
// application: key events the frontmost one, mouse events the owner of the
// topmost window under the pointer, except that a button's drags and release go
// where its press went; a left click activates that application.
// Events posted to a process pass the taps too, on the next turn of the main
// loop, and reach that process; without the accessibility permission they are
// dropped, and taps see nothing. A tap whose callback takes longer than
// `kTapTimeout` is switched off by time-out.
class SimEventSystem : public EventSystem {
 public:
  struct TapInfo {
    int id;
    TapOptions options;
    std::uint64_t mask;
    bool enabled;
  };

  // How long a tap's callback may take before the system switches the tap off.
  static constexpr double kTapTimeout = 1.0;

  SimEventSystem(MainLoop& mainLoop, const Clock& clock, SimWorkspace& workspace,
                 const SimAccessibilityTrust& trust);
  ~SimEventSystem() override;

  std::unique_ptr<EventTap> createTap(TapOptions options, std::uint64_t mask,
                                      TapCallback callback) override;
  void postToProcess(int pid, const InputEvent& event) override;
  ScreenPoint pointerLocation() const override { return pointer_; }
  // Held from an injected press to its release, wherever they went.
  bool isMouseButtonDown(int button) const override { return captured_.contains(button); }
  std::vector<WindowInfo> onScreenWindows() const override;

  // The test's side.
  // While set, the platform refuses to create taps even for a trusted process.
  bool refuseTaps = false;
  // While set, taps go on receiving events after the permission is withdrawn, as
  // the system's do until it tears them down; what the program posts is still
  // dropped.
  bool tapsOutliveTrust = false;
  // While set, a tap switched off by time-out still reads as enabled, as the
  // platform sometimes reports, though it receives nothing more.
  bool timedOutTapsReadEnabled = false;
  void inject(InputEvent event);
  // Whether a tap's callback is running now.
  bool isInTapCallback() const { return tapCallbackDepth_ > 0; }
  // The taps alive, the most recently installed first.
  std::vector<TapInfo> taps() const;
  // The platform switches a tap off: it is disabled and its callback receives the
  // pseudo event (tapDisabledByTimeout or tapDisabledByUserInput) on the main loop.
  void disableTap(int id, EventType reason);
  // Events posted by the program, in order, with their target pid.
  const std::vector<std::pair<int, InputEvent>>& postedEvents() const { return posted_; }

  // Windows, front to back.
  std::int64_t addWindow(const std::shared_ptr<SimApplication>& owner, ScreenRect bounds,
                         int layer = 0, double alpha = 1);
  void removeWindow(std::int64_t windowID);
  void bringWindowToFront(std::int64_t windowID);
  // New bounds, the window's place in the order kept. Neither this nor opening or
  // raising a window activates its application.
  void moveWindow(std::int64_t windowID, ScreenRect bounds);
  // A minimised window leaves the screen (the list and hit tests) until restored.
  void setWindowOnScreen(std::int64_t windowID, bool onScreen);
  // The topmost visible window under the point, if any.
  std::optional<WindowInfo> windowAt(ScreenPoint point) const;

 private:
  struct Tap;
  class TapHandle;

  // Runs the event through the taps; nothing when one swallowed it.
  std::optional<InputEvent> throughTaps(InputEvent event);
  void deliver(const std::shared_ptr<SimApplication>& target, const InputEvent& event);

  void switchOff(const std::shared_ptr<Tap>& tap, EventType reason);

  MainLoop& mainLoop_;
  const Clock& clock_;
  SimWorkspace& workspace_;
  const SimAccessibilityTrust& trust_;
  std::vector<std::shared_ptr<Tap>> taps_;  // head first
  int nextTapID_ = 1;
  void raiseWindows(const SimApplication& application);
  std::shared_ptr<SimApplication> removeWindows(const SimApplication& application);

  std::vector<WindowInfo> windows_;  // front to back
  std::set<std::int64_t> offScreen_;
  std::int64_t nextWindowID_ = 100;
  ScreenPoint pointer_{0, 0};
  std::vector<std::pair<int, InputEvent>> posted_;
  int tapCallbackDepth_ = 0;
  // The application each held button's press went to, by button (left, right,
  // other).
  std::map<int, std::weak_ptr<SimApplication>> captured_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet::sim
