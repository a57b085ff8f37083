#include "host/sim/SimEventSystem.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mirlet::sim {
namespace {

bool isMouseEvent(EventType type) {
  switch (type) {
    case EventType::leftMouseDown:
    case EventType::leftMouseUp:
    case EventType::rightMouseDown:
    case EventType::rightMouseUp:
    case EventType::mouseMoved:
    case EventType::leftMouseDragged:
    case EventType::rightMouseDragged:
    case EventType::scrollWheel:
    case EventType::otherMouseDown:
    case EventType::otherMouseUp:
    case EventType::otherMouseDragged:
      return true;
    default:
      return false;
  }
}

// F1 to F20, help, home, page up, forward delete, end, page down and the arrows.
constexpr std::array<std::uint16_t, 30> kFunctionBitKeys{
    122, 120, 99, 118, 96, 97,  98,  100, 101, 109, 103, 111, 105, 107, 113,
    106, 64,  79, 80,  90, 114, 115, 116, 117, 119, 121, 123, 124, 125, 126};
// The arrows and the keypad's keys, Enter (76) among them.
constexpr std::array<std::uint16_t, 22> kKeypadBitKeys{
    123, 124, 125, 126, 65, 67, 69, 71, 75, 76, 78, 81, 82, 83, 84, 85, 86, 87, 88, 89, 91, 92};

// Which button a press, drag or release is of: 0 left, 1 right, 2 other; -1 none.
int buttonOf(EventType type) {
  switch (type) {
    case EventType::leftMouseDown:
    case EventType::leftMouseDragged:
    case EventType::leftMouseUp:
      return 0;
    case EventType::rightMouseDown:
    case EventType::rightMouseDragged:
    case EventType::rightMouseUp:
      return 1;
    case EventType::otherMouseDown:
    case EventType::otherMouseDragged:
    case EventType::otherMouseUp:
      return 2;
    default:
      return -1;
  }
}

bool isPress(EventType type) {
  return type == EventType::leftMouseDown || type == EventType::rightMouseDown ||
         type == EventType::otherMouseDown;
}

template <std::size_t N>
bool contains(const std::array<std::uint16_t, N>& keys, std::uint16_t keyCode) {
  return std::find(keys.begin(), keys.end(), keyCode) != keys.end();
}

// The flags a real keyboard and mouse put on an event: the always-set bit, the
// left-hand bit of each modifier held unless a side is already given, and the
// function and keypad bits of the keys that carry them.
std::uint64_t hardwareFlags(const InputEvent& event) {
  std::uint64_t flags = event.flags | EventFlags::nonCoalesced;
  auto side = [&](std::uint64_t modifier, std::uint64_t left, std::uint64_t right) {
    if ((flags & modifier) && !(flags & (left | right))) flags |= left;
  };
  side(EventFlags::control, EventFlags::leftControl, EventFlags::rightControl);
  side(EventFlags::shift, EventFlags::leftShift, EventFlags::rightShift);
  side(EventFlags::option, EventFlags::leftOption, EventFlags::rightOption);
  side(EventFlags::command, EventFlags::leftCommand, EventFlags::rightCommand);
  if (event.type == EventType::keyDown || event.type == EventType::keyUp) {
    if (contains(kFunctionBitKeys, event.keyCode())) flags |= EventFlags::function;
    if (contains(kKeypadBitKeys, event.keyCode())) flags |= EventFlags::numericPad;
  }
  return flags;
}

}  // namespace

struct SimEventSystem::Tap {
  int id;
  TapOptions options;
  std::uint64_t mask;
  TapCallback callback;
  bool enabled = false;
  bool valid = true;
  bool receives = true;  // false once switched off, also while it still reads enabled
};

class SimEventSystem::TapHandle : public EventTap {
 public:
  TapHandle(std::shared_ptr<Tap> tap, std::function<void()> remove)
      : tap_(std::move(tap)), remove_(std::move(remove)) {}
  ~TapHandle() override {
    tap_->valid = false;
    remove_();
  }
  void setEnabled(bool enabled) override {
    tap_->enabled = enabled && tap_->valid;
    tap_->receives = tap_->enabled;
  }
  bool isEnabled() const override { return tap_->enabled; }

 private:
  std::shared_ptr<Tap> tap_;
  std::function<void()> remove_;  // does nothing once the event system is gone
};

SimEventSystem::SimEventSystem(MainLoop& mainLoop, const Clock& clock, SimWorkspace& workspace,
                               const SimAccessibilityTrust& trust)
    : mainLoop_(mainLoop), clock_(clock), workspace_(workspace), trust_(trust) {
  workspace_.attach({
      handoff_.bind([this](const SimApplication& application) { raiseWindows(application); }),
      handoff_.bindOr(
          [this](const SimApplication& application) { return removeWindows(application); },
          [](const SimApplication&) { return std::shared_ptr<SimApplication>(); }),
  });
}

SimEventSystem::~SimEventSystem() = default;

std::unique_ptr<EventTap> SimEventSystem::createTap(TapOptions options, std::uint64_t mask,
                                                    TapCallback callback) {
  if (!trust_.isProcessTrusted() || refuseTaps) return nullptr;
  auto tap = std::make_shared<Tap>(Tap{nextTapID_++, options, mask, std::move(callback)});
  taps_.insert(taps_.begin(), tap);  // head insertion
  return std::make_unique<TapHandle>(tap, handoff_.bind([this, tap] { std::erase(taps_, tap); }));
}

std::vector<SimEventSystem::TapInfo> SimEventSystem::taps() const {
  std::vector<TapInfo> infos;
  for (const auto& tap : taps_) infos.push_back({tap->id, tap->options, tap->mask, tap->enabled});
  return infos;
}

void SimEventSystem::disableTap(int id, EventType reason) {
  auto found =
      std::find_if(taps_.begin(), taps_.end(), [id](const auto& tap) { return tap->id == id; });
  if (found == taps_.end()) return;
  switchOff(*found, reason);
}

void SimEventSystem::switchOff(const std::shared_ptr<Tap>& tap, EventType reason) {
  tap->receives = false;
  if (!(reason == EventType::tapDisabledByTimeout && timedOutTapsReadEnabled)) tap->enabled = false;
  mainLoop_.post([tap, reason] {
    if (tap->valid) tap->callback(reason, InputEvent{reason});
  });
}

std::optional<InputEvent> SimEventSystem::throughTaps(InputEvent event) {
  // Taps see nothing without the permission, unless they outlive it.
  if (!trust_.isProcessTrusted() && !tapsOutliveTrust) return event;
  const auto snapshot = taps_;  // a callback may install or remove taps
  for (const auto& tap : snapshot) {
    if (!tap->valid || !tap->receives || (tap->mask & eventMaskBit(event.type)) == 0) continue;
    const double started = clock_.uptime();
    ++tapCallbackDepth_;
    std::optional<InputEvent> answer = tap->callback(event.type, event);
    --tapCallbackDepth_;
    if (clock_.uptime() - started > kTapTimeout) {
      // The system stopped waiting: the event went on unchanged, the tap is off.
      if (tap->valid) switchOff(tap, EventType::tapDisabledByTimeout);
      continue;
    }
    if (tap->options == TapOptions::listenOnly) continue;
    if (!answer) return std::nullopt;
    event = std::move(*answer);
  }
  return event;
}

void SimEventSystem::deliver(const std::shared_ptr<SimApplication>& target,
                             const InputEvent& event) {
  if (!target || target->isTerminated()) return;
  const bool active = target->isActive();
  target->received_.push_back({event, active});
  const bool key = event.type == EventType::keyDown || event.type == EventType::keyUp ||
                   event.type == EventType::flagsChanged;
  if (active || !key) target->events_.emit(event);
}

void SimEventSystem::inject(InputEvent event) {
  const bool mouse = isMouseEvent(event.type);
  if (mouse) {
    pointer_ = event.location;
  } else {
    event.location = pointer_;
  }
  std::shared_ptr<SimApplication> target;
  std::optional<WindowInfo> window;
  const int button = buttonOf(event.type);
  if (button >= 0 && !isPress(event.type) && captured_.contains(button)) {
    // The drags and the release of a button go where its press went: nowhere when
    // it went nowhere or that application has quit since.
    target = captured_[button].lock();
    if (event.type != EventType::leftMouseDragged && event.type != EventType::rightMouseDragged &&
        event.type != EventType::otherMouseDragged) {
      captured_.erase(button);
    }
  } else if (mouse) {
    window = windowAt(event.location);
    if (window) target = workspace_.application(window->ownerPID);
    if (button >= 0 && isPress(event.type)) captured_[button] = target;
  } else if (auto front = workspace_.frontmostApplication()) {
    target = workspace_.application(front->processIdentifier());
  }
  event.flags = hardwareFlags(event);
  event.timestamp = static_cast<std::uint64_t>(std::llround(clock_.uptime() * 1e9));
  event.setIntegerField(EventField::targetProcessID, target ? target->processIdentifier() : 0);
  auto survivor = throughTaps(std::move(event));
  if (!survivor) return;
  if (survivor->type == EventType::leftMouseDown && target && window) {
    bringWindowToFront(window->windowID);
    if (!target->isActive()) workspace_.bringToFront(target);
  }
  deliver(target, *survivor);
}

void SimEventSystem::postToProcess(int pid, const InputEvent& event) {
  posted_.emplace_back(pid, event);
  if (!trust_.isProcessTrusted()) return;  // the system drops them without the permission
  // The event is for the process running now: one that reuses the pid later
  // never receives it.
  handoff_.post(mainLoop_, [this, pid, event, target = std::weak_ptr(workspace_.application(pid))] {
    InputEvent posted = event;
    posted.setIntegerField(EventField::targetProcessID, pid);
    if (auto survivor = throughTaps(std::move(posted))) deliver(target.lock(), *survivor);
  });
}

std::vector<WindowInfo> SimEventSystem::onScreenWindows() const {
  std::vector<WindowInfo> visible;
  for (const auto& window : windows_) {
    auto owner = workspace_.application(window.ownerPID);
    if (owner && !offScreen_.contains(window.windowID)) visible.push_back(window);
  }
  return visible;
}

std::int64_t SimEventSystem::addWindow(const std::shared_ptr<SimApplication>& owner,
                                       ScreenRect bounds, int layer, double alpha) {
  WindowInfo window{nextWindowID_++,
                    layer,
                    alpha,
                    bounds,
                    owner->processIdentifier(),
                    owner->localizedName().value_or("")};
  // Windows of a higher layer stay in front of those of a lower one.
  auto position = std::find_if(windows_.begin(), windows_.end(),
                               [layer](const WindowInfo& other) { return other.layer <= layer; });
  windows_.insert(position, window);
  return window.windowID;
}

void SimEventSystem::removeWindow(std::int64_t windowID) {
  std::erase_if(windows_,
                [windowID](const WindowInfo& window) { return window.windowID == windowID; });
}

void SimEventSystem::moveWindow(std::int64_t windowID, ScreenRect bounds) {
  for (auto& window : windows_) {
    if (window.windowID == windowID) window.bounds = bounds;
  }
}

void SimEventSystem::bringWindowToFront(std::int64_t windowID) {
  auto found = std::find_if(windows_.begin(), windows_.end(), [windowID](const WindowInfo& window) {
    return window.windowID == windowID;
  });
  if (found == windows_.end()) return;
  WindowInfo window = *found;
  windows_.erase(found);
  auto position = std::find_if(windows_.begin(), windows_.end(), [&](const WindowInfo& other) {
    return other.layer <= window.layer;
  });
  windows_.insert(position, window);
}

void SimEventSystem::setWindowOnScreen(std::int64_t windowID, bool onScreen) {
  if (onScreen) {
    offScreen_.erase(windowID);
  } else {
    offScreen_.insert(windowID);
  }
}

void SimEventSystem::raiseWindows(const SimApplication& application) {
  // Back to front, so the application's windows keep their order among themselves.
  std::vector<std::int64_t> owned;
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (it->ownerPID == application.processIdentifier()) owned.push_back(it->windowID);
  }
  for (std::int64_t id : owned) bringWindowToFront(id);
}

std::shared_ptr<SimApplication> SimEventSystem::removeWindows(const SimApplication& application) {
  std::erase_if(windows_, [&](const WindowInfo& window) {
    return window.ownerPID == application.processIdentifier();
  });
  for (const auto& window : onScreenWindows()) {
    auto owner = workspace_.application(window.ownerPID);
    if (window.layer == 0 && owner && owner->activationPolicy() == ActivationPolicy::regular)
      return owner;
  }
  return nullptr;
}

std::optional<WindowInfo> SimEventSystem::windowAt(ScreenPoint point) const {
  for (const auto& window : onScreenWindows()) {
    if (window.alpha > 0 && window.bounds.contains(point)) return window;
  }
  return std::nullopt;
}

}  // namespace mirlet::sim
