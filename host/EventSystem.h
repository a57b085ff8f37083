#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/InputEvent.h"

namespace mirlet {

// A rectangle on the screen, origin at the top left.
struct ScreenRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  bool contains(ScreenPoint point) const {
    return point.x >= x && point.x < x + width && point.y >= y && point.y < y + height;
  }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// One on-screen window as the window server lists it.
struct WindowInfo {
  std::int64_t windowID = 0;
  int layer = 0;  // 0 for ordinary windows
  double alpha = 1;
  ScreenRect bounds;
  int ownerPID = 0;
  std::string ownerName;
  friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

// An installed event tap. Destroying it invalidates it: no callback arrives after.
// A tap may be destroyed, and others created, from inside its own callback: the
// system keeps the running callback alive until it returns, and the event goes on
// through the taps installed before it.
class EventTap {
 public:
  virtual ~EventTap() = default;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
};

enum class TapOptions { filtering, listenOnly };

// Keyboard and mouse events as the system sees them: taps that observe or filter
// them, posting synthetic ones to a process, the pointer and the window list.
// Taps deliver on the main thread.
class EventSystem {
 public:
  // The callback's answer: the event to pass on (possibly changed), or nothing to
  // swallow it. A listen-only tap's answer is ignored.
  using TapCallback = std::function<std::optional<InputEvent>(EventType, const InputEvent&)>;

  virtual ~EventSystem() = default;

  // A tap at the annotated session location, inserted at the head, for the event
  // types whose bits are in `mask`; created disabled. Nothing when the process may
  // not tap events.
  virtual std::unique_ptr<EventTap> createTap(TapOptions options, std::uint64_t mask,
                                              TapCallback callback) = 0;
  // Delivers the event to that process only; the installed taps see it first.
  virtual void postToProcess(int pid, const InputEvent& event) = 0;
  virtual ScreenPoint pointerLocation() const = 0;
  // Whether the mouse button (0 left, 1 right, 2 other) is held now, as the system
  // knows it: also when no tap saw its press or its release.
  virtual bool isMouseButtonDown(int button) const = 0;
  // On-screen windows only, front to back.
  virtual std::vector<WindowInfo> onScreenWindows() const = 0;
};

}  // namespace mirlet
