#include "RightClickFocus/service/WindowFocusSource.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirlet {

std::optional<WindowFocusRole> windowFocusRole(const std::optional<std::string>& role) {
  if (!role) return std::nullopt;
  if (*role == "AXWindow") return WindowFocusRole::window;
  if (*role == "AXMenu" || *role == "AXMenuItem" || *role == "AXMenuBar" ||
      *role == "AXMenuBarItem") {
    return WindowFocusRole::menu;
  }
  if (*role == "AXSheet") return WindowFocusRole::sheet;
  if (*role == "AXDrawer") return WindowFocusRole::drawer;
  if (*role == "AXUnknown" || role->empty()) return WindowFocusRole::unknown;
  return WindowFocusRole::other;
}

bool NativeWindowFocusSource::isUsablePoint(ScreenPoint point) {
  constexpr double kLimit = std::numeric_limits<float>::max();
  return std::isfinite(point.x) && std::isfinite(point.y) && std::abs(point.x) <= kLimit &&
         std::abs(point.y) <= kLimit;
}

bool NativeWindowFocusSource::mayAsk(float timeout) const {
  return !mainLoop_.isMainThread() && std::isfinite(timeout) && timeout > 0;
}

std::optional<AXValue> NativeWindowFocusSource::value(const AXElement& element,
                                                      const std::string& attribute, float timeout) {
  if (!mayAsk(timeout) || !element.isValid()) return std::nullopt;
  if (accessibility_.setMessagingTimeout(element, std::min(timeout, kCallLimit)) !=
      AXError::success) {
    return std::nullopt;
  }
  AXResult result = accessibility_.copyAttribute(element, attribute);
  if (!result.ok()) return std::nullopt;
  return std::move(result.value);
}

std::optional<AXElement> NativeWindowFocusSource::hitTest(ScreenPoint point, float timeout) {
  if (!mayAsk(timeout) || !isUsablePoint(point)) return std::nullopt;
  const AXElement systemWide = accessibility_.systemWide();
  if (accessibility_.setMessagingTimeout(systemWide, std::min(timeout, kCallLimit)) !=
      AXError::success) {
    return std::nullopt;
  }
  const AXResult result = accessibility_.elementAtPosition(systemWide, point.x, point.y);
  const auto* element = result.ok() ? result.value.as<AXElement>() : nullptr;
  if (!element || !element->isValid()) return std::nullopt;
  return *element;
}

std::optional<AXElement> NativeWindowFocusSource::relation(WindowFocusRelation relation,
                                                           const AXElement& element,
                                                           float timeout) {
  static constexpr const char* kAttributes[] = {"AXTopLevelUIElement", "AXWindow",
                                                "AXFocusedWindow"};
  const auto found = value(element, kAttributes[static_cast<int>(relation)], timeout);
  const auto* related = found ? found->as<AXElement>() : nullptr;
  if (!related || !related->isValid()) return std::nullopt;
  return *related;
}

std::optional<WindowFocusRole> NativeWindowFocusSource::role(const AXElement& element,
                                                             float timeout) {
  const auto found = value(element, "AXRole", timeout);
  const auto* text = found ? found->as<std::string>() : nullptr;
  return windowFocusRole(text ? std::optional(*text) : std::nullopt);
}

std::optional<bool> NativeWindowFocusSource::isStandardWindow(const AXElement& element,
                                                              float timeout) {
  const auto found = value(element, "AXSubrole", timeout);
  const auto* text = found ? found->as<std::string>() : nullptr;
  if (!text) return std::nullopt;
  return *text == "AXStandardWindow";
}

std::optional<bool> NativeWindowFocusSource::flag(WindowFocusFlag flag, const AXElement& element,
                                                  float timeout) {
  const auto found =
      value(element, flag == WindowFocusFlag::minimized ? "AXMinimized" : "AXModal", timeout);
  const auto* answer = found ? found->as<bool>() : nullptr;
  return answer ? std::optional(*answer) : std::nullopt;
}

std::optional<int> NativeWindowFocusSource::processID(const AXElement& element) {
  if (mainLoop_.isMainThread()) return std::nullopt;
  return accessibility_.processID(element);
}

std::optional<WindowFocusProcess> NativeWindowFocusSource::process(int processID) {
  if (mainLoop_.isMainThread()) return std::nullopt;
  const auto application = workspace_.runningApplication(processID);
  if (!application) return std::nullopt;
  return WindowFocusProcess{application->activationPolicy() == ActivationPolicy::regular,
                            application->isTerminated(), application->isActive()};
}

}  // namespace mirlet
