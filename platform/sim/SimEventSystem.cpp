#include "platform/sim/SimEventSystem.h"

#include <algorithm>

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

}  // namespace

struct SimEventSystem::Tap {
  int id;
  TapOptions options;
  std::uint64_t mask;
  TapCallback callback;
  bool enabled = false;
  bool valid = true;
};

class SimEventSystem::TapHandle : public EventTap {
 public:
  TapHandle(std::shared_ptr<Tap> tap, std::function<void()> remove)
      : tap_(std::move(tap)), remove_(std::move(remove)) {}
  ~TapHandle() override {
    tap_->valid = false;
    remove_();
  }
  void setEnabled(bool enabled) override { tap_->enabled = enabled && tap_->valid; }
  bool isEnabled() const override { return tap_->enabled; }

 private:
  std::shared_ptr<Tap> tap_;
  std::function<void()> remove_;  // does nothing once the event system is gone
};

SimEventSystem::SimEventSystem(MainLoop& mainLoop, SimWorkspace& workspace,
                               const SimAccessibilityTrust& trust)
    : mainLoop_(mainLoop), workspace_(workspace), trust_(trust) {}

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
  std::shared_ptr<Tap> tap = *found;
  tap->enabled = false;
  mainLoop_.post([tap, reason] {
    if (tap->valid) tap->callback(reason, InputEvent{reason});
  });
}

std::optional<InputEvent> SimEventSystem::throughTaps(InputEvent event) {
  const auto snapshot = taps_;  // a callback may install or remove taps
  for (const auto& tap : snapshot) {
    if (!tap->valid || !tap->enabled || (tap->mask & eventMaskBit(event.type)) == 0) continue;
    std::optional<InputEvent> answer = tap->callback(event.type, event);
    if (tap->options == TapOptions::listenOnly) continue;
    if (!answer) return std::nullopt;
    event = std::move(*answer);
  }
  return event;
}

void SimEventSystem::deliver(const std::shared_ptr<SimApplication>& target,
                             const InputEvent& event) {
  if (!target || target->isTerminated()) return;
  target->received_.push_back(event);
  target->events_.emit(event);
}

void SimEventSystem::inject(InputEvent event) {
  if (isMouseEvent(event.type)) pointer_ = event.location;
  auto survivor = throughTaps(std::move(event));
  if (!survivor) return;
  std::shared_ptr<SimApplication> target;
  if (isMouseEvent(survivor->type)) {
    if (auto window = windowAt(survivor->location))
      target = workspace_.application(window->ownerPID);
  } else if (auto front = workspace_.frontmostApplication()) {
    target = workspace_.application(front->processIdentifier());
  }
  deliver(target, *survivor);
}

void SimEventSystem::postToProcess(int pid, const InputEvent& event) {
  posted_.emplace_back(pid, event);
  handoff_.post(mainLoop_, [this, pid, event] {
    InputEvent posted = event;
    posted.setIntegerField(EventField::targetProcessID, pid);
    if (auto survivor = throughTaps(std::move(posted)))
      deliver(workspace_.application(pid), *survivor);
  });
}

std::vector<WindowInfo> SimEventSystem::onScreenWindows() const {
  std::vector<WindowInfo> visible;
  for (const auto& window : windows_) {
    auto owner = workspace_.application(window.ownerPID);
    if (owner && !owner->isTerminated()) visible.push_back(window);
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

std::optional<WindowInfo> SimEventSystem::windowAt(ScreenPoint point) const {
  for (const auto& window : onScreenWindows()) {
    if (window.alpha > 0 && window.bounds.contains(point)) return window;
  }
  return std::nullopt;
}

}  // namespace mirlet::sim
