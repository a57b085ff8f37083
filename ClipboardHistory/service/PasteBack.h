#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/Clock.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "host/EventSystem.h"
#include "host/KeyboardLayout.h"
#include "host/Workspace.h"

namespace mirlet {

// Marks the program's own ⌘V in the events' source user data ("MIRLCHIS"), so its
// taps (Finder cut) let it pass.
inline constexpr std::int64_t kClipboardPasteMarker = 0x4D49524C43484953;

// Pastes into an application: brings it forward if it is not, waits (without
// blocking the main loop) until it is frontmost, lets it settle, then sends it ⌘V
// on the key that types "v" in the current layout, with exactly the command flag
// and the marker. Main thread only.
class PasteBack {
 public:
  static constexpr double kDeadline = 0.5;
  static constexpr double kSettle = 0.04;
  static constexpr double kPollInterval = 0.01;

  struct Services {
    Workspace& workspace;
    EventSystem& events;
    const KeyboardLayoutSource& layout;
    MainLoop& mainLoop;
    Clock& clock;
  };

  explicit PasteBack(Services services) : services_(services) {}
  PasteBack(const PasteBack&) = delete;
  PasteBack& operator=(const PasteBack&) = delete;

  // Tells `done` on the main loop whether ⌘V was sent. A new paste or the end of
  // this object cancels one under way (its `done` then never runs).
  void paste(std::shared_ptr<RunningApplication> target, std::function<void(bool)> done);
  // Sends ⌘V to the process at once.
  void postPaste(int processID);

 private:
  struct Attempt;
  void check(const std::shared_ptr<Attempt>& attempt);
  bool isFrontmost(const RunningApplication& target) const;

  Services services_;
  TimerHandle timer_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
