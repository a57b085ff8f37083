#include "RightClickFocus/service/RightClickWindowDriver.h"

#include <algorithm>
#include <cmath>

namespace mirlet {

namespace Workflow = RightClickWindowFocusWorkflow;

bool RightClickWindowTarget::isProcessAlive(const Workspace& workspace) const {
  return process && !process->isTerminated() && process->processIdentifier() == processID &&
         workspace.runningApplication(processID) == process;
}

bool Workflow::run(const std::function<double()>& now, const std::function<bool()>& isCancelled,
                   const std::function<void()>& pause,
                   const std::function<bool(Step, std::optional<float>)>& perform) {
  const double start = now();
  auto remaining = [&]() -> std::optional<float> {
    const double current = now();
    if (isCancelled() || !std::isfinite(current) || current < start) return std::nullopt;
    const double left = kBudget - (current - start);
    const auto timeout = static_cast<float>(std::min(left, kCallLimit));
    if (!(timeout > 0)) return std::nullopt;
    return timeout;
  };
  if (!std::isfinite(start) || !remaining()) return false;
  for (Step step : {Step::raise, Step::makeMain, Step::activate}) {
    if (!perform(Step::validate, remaining()) || !remaining()) return false;
    if (!perform(step, remaining()) || !remaining()) return false;
  }
  while (remaining()) {
    if (!perform(Step::validate, remaining())) return false;
    if (perform(Step::focused, remaining()) && remaining()) return true;
    if (!remaining()) return false;
    pause();
  }
  return false;
}

RightClickWindowDriver::RightClickWindowDriver(Services services)
    : services_(services), source_(services.accessibility, services.workspace, services.mainLoop) {}

RightClickWindowDriver::Timeout RightClickWindowDriver::budget(double start) const {
  return [this, start]() -> std::optional<float> {
    const double current = services_.clock.uptime();
    if (!std::isfinite(current) || current < start) return std::nullopt;
    const auto timeout =
        static_cast<float>(std::min(Workflow::kBudget - (current - start), Workflow::kCallLimit));
    if (!(timeout > 0)) return std::nullopt;
    return timeout;
  };
}

std::optional<AXElement> RightClickWindowDriver::eligibleWindow(WindowFocusSource& source,
                                                                ScreenPoint point,
                                                                const Timeout& timeout) {
  if (!NativeWindowFocusSource::isUsablePoint(point)) return std::nullopt;
  // Each answer counts only when time was left after it too.
  auto ask = [&](auto query) -> decltype(query(0.0f)) {
    const auto before = timeout();
    if (!before) return std::nullopt;
    auto answer = query(*before);
    if (!timeout()) return std::nullopt;
    return answer;
  };
  const auto hit = ask([&](float t) { return source.hitTest(point, t); });
  if (!hit) return std::nullopt;
  const auto role = ask([&](float t) { return source.role(*hit, t); });
  std::optional<AXElement> candidate;
  if (role == WindowFocusRole::window) {
    candidate = hit;
  } else if (role == WindowFocusRole::other) {
    const auto top =
        ask([&](float t) { return source.relation(WindowFocusRelation::topLevel, *hit, t); });
    const auto window =
        ask([&](float t) { return source.relation(WindowFocusRelation::window, *hit, t); });
    if (!top || !window || *top != *window) return std::nullopt;
    if (ask([&](float t) { return source.role(*top, t); }) != WindowFocusRole::window) {
      return std::nullopt;
    }
    const auto hitProcess = source.processID(*hit);
    if (!hitProcess || *hitProcess < 1 || source.processID(*top) != hitProcess) return std::nullopt;
    candidate = top;
  } else {
    return std::nullopt;  // menus, sheets, drawers and the unknown
  }
  if (ask([&](float t) { return source.isStandardWindow(*candidate, t); }) != true ||
      ask([&](float t) { return source.flag(WindowFocusFlag::minimized, *candidate, t); }) !=
          false ||
      ask([&](float t) { return source.flag(WindowFocusFlag::modal, *candidate, t); }) != false) {
    return std::nullopt;
  }
  return candidate;
}

bool RightClickWindowDriver::frontmostWindowBelongsToOwnProcess(
    const std::vector<WindowInfo>& windows, ScreenPoint point, int processID) {
  for (const WindowInfo& window : windows) {
    if (window.layer != 0 || !(window.alpha > 0) || !window.bounds.contains(point)) continue;
    if (window.ownerPID == 0) continue;
    return window.ownerPID == processID;
  }
  return false;
}

std::optional<RightClickWindowTarget> RightClickWindowDriver::inspect(ScreenPoint point,
                                                                      int ownProcessID) {
  const double start = services_.clock.uptime();
  if (services_.mainLoop.isMainThread() || !NativeWindowFocusSource::isUsablePoint(point) ||
      ownProcessID <= 0 ||
      frontmostWindowBelongsToOwnProcess(services_.events.onScreenWindows(), point, ownProcessID)) {
    return std::nullopt;
  }
  if (!source_.isTrusted()) return std::nullopt;
  const Timeout timeout = budget(start);
  const auto window = eligibleWindow(source_, point, timeout);
  if (!window) return std::nullopt;
  const auto processID = source_.processID(*window);
  if (!processID || *processID < 1 || *processID == ownProcessID) return std::nullopt;
  auto process = services_.workspace.runningApplication(*processID);
  if (!process || process->activationPolicy() != ActivationPolicy::regular ||
      process->isTerminated()) {
    return std::nullopt;
  }
  const AXElement application = source_.application(*processID);
  const auto before = timeout();
  if (!before) return std::nullopt;
  const auto focused = source_.relation(WindowFocusRelation::focusedWindow, application, *before);
  if (!focused || !timeout()) return std::nullopt;
  if (!source_.isTrusted() || process->isTerminated()) return std::nullopt;
  const bool hasKeyboardFocus = process->isActive() && *focused == *window;
  return RightClickWindowTarget{Uuid::random(),     point,   *processID, hasKeyboardFocus,
                                std::move(process), *window, application};
}

bool RightClickWindowDriver::processHolds(const RightClickWindowTarget& target) const {
  return source_.isTrusted() && target.isProcessAlive(services_.workspace);
}

bool RightClickWindowDriver::performStep(Workflow::Step step, const RightClickWindowTarget& target,
                                         std::optional<float> timeout, const Timeout& remaining) {
  using Step = Workflow::Step;
  if (!timeout) return false;
  Accessibility& accessibility = services_.accessibility;
  switch (step) {
    case Step::validate:
      return processHolds(target) &&
             eligibleWindow(source_, target.point, remaining) == target.window &&
             source_.processID(target.window) == target.processID && processHolds(target);
    case Step::raise:
      return accessibility.setMessagingTimeout(target.window, *timeout) == AXError::success &&
             accessibility.performAction(target.window, "AXRaise") == AXError::success &&
             remaining();
    case Step::makeMain:
      return accessibility.setMessagingTimeout(target.window, *timeout) == AXError::success &&
             accessibility.setAttribute(target.window, "AXMain", AXValue(true)) ==
                 AXError::success &&
             remaining();
    case Step::activate:
      return target.isProcessAlive(services_.workspace) && target.process->activate() &&
             remaining();
    case Step::focused:
      return source_.relation(WindowFocusRelation::focusedWindow, target.application, *timeout) ==
                 target.window &&
             processHolds(target) && target.process->isActive();
  }
  return false;
}

bool RightClickWindowDriver::focusAndVerify(const RightClickWindowTarget& target, ScreenPoint point,
                                            const std::function<bool()>& isCancelled) {
  if (services_.mainLoop.isMainThread() || !NativeWindowFocusSource::isUsablePoint(point) ||
      point.x != target.point.x || point.y != target.point.y) {
    return false;
  }
  const double start = services_.clock.uptime();
  const Timeout remaining = budget(start);
  return Workflow::run([this] { return services_.clock.uptime(); }, isCancelled,
                       [this] { services_.clock.sleep(Workflow::kPollPause); },
                       [&](Workflow::Step step, std::optional<float> timeout) {
                         return performStep(step, target, timeout, remaining);
                       });
}

}  // namespace mirlet
