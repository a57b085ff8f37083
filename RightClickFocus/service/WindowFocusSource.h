#pragma once

#include <optional>
#include <string>

#include "core/MainLoop.h"
#include "host/Accessibility.h"
#include "host/InputEvent.h"
#include "host/Workspace.h"

namespace mirlet {

// What kind of element a window candidate is, by its "AXRole".
enum class WindowFocusRole { window, menu, sheet, drawer, other, unknown };
// An element related to another: "AXTopLevelUIElement", "AXWindow",
// "AXFocusedWindow".
enum class WindowFocusRelation { topLevel, window, focusedWindow };
// A window's "AXMinimized" and "AXModal".
enum class WindowFocusFlag { minimized, modal };

// The role a "AXRole" value names; nothing for a missing one.
std::optional<WindowFocusRole> windowFocusRole(const std::optional<std::string>& role);

struct WindowFocusProcess {
  bool isRegular = false;  // may own ordinary windows
  bool isTerminated = false;
  bool isActive = false;
  friend bool operator==(const WindowFocusProcess&, const WindowFocusProcess&) = default;
};

// Every question the right-click focus asks about windows, each under a time-out
// (seconds) and answering nothing when it fails or times out.
class WindowFocusSource {
 public:
  virtual ~WindowFocusSource() = default;
  virtual bool isTrusted() const = 0;
  virtual std::optional<AXElement> hitTest(ScreenPoint point, float timeout) = 0;
  virtual std::optional<AXElement> relation(WindowFocusRelation relation, const AXElement& element,
                                            float timeout) = 0;
  virtual std::optional<WindowFocusRole> role(const AXElement& element, float timeout) = 0;
  // "AXSubrole" is "AXStandardWindow".
  virtual std::optional<bool> isStandardWindow(const AXElement& element, float timeout) = 0;
  virtual std::optional<bool> flag(WindowFocusFlag flag, const AXElement& element,
                                   float timeout) = 0;
  virtual std::optional<int> processID(const AXElement& element) = 0;
  virtual std::optional<WindowFocusProcess> process(int processID) = 0;
  virtual AXElement application(int processID) = 0;
};

// The source over the platform's accessibility. It never answers on the main
// thread (inspections belong on a background queue), and gives each call at most
// 25 ms.
class NativeWindowFocusSource final : public WindowFocusSource {
 public:
  static constexpr float kCallLimit = 0.025f;

  NativeWindowFocusSource(Accessibility& accessibility, Workspace& workspace, MainLoop& mainLoop)
      : accessibility_(accessibility), workspace_(workspace), mainLoop_(mainLoop) {}

  // Finite and within single precision on both axes.
  static bool isUsablePoint(ScreenPoint point);

  bool isTrusted() const override { return accessibility_.isProcessTrusted(); }
  std::optional<AXElement> hitTest(ScreenPoint point, float timeout) override;
  std::optional<AXElement> relation(WindowFocusRelation relation, const AXElement& element,
                                    float timeout) override;
  std::optional<WindowFocusRole> role(const AXElement& element, float timeout) override;
  std::optional<bool> isStandardWindow(const AXElement& element, float timeout) override;
  std::optional<bool> flag(WindowFocusFlag flag, const AXElement& element, float timeout) override;
  std::optional<int> processID(const AXElement& element) override;
  std::optional<WindowFocusProcess> process(int processID) override;
  AXElement application(int processID) override { return accessibility_.application(processID); }

 private:
  // The attribute under the time-out; nothing on the main thread or any failure.
  std::optional<AXValue> value(const AXElement& element, const std::string& attribute,
                               float timeout);
  bool mayAsk(float timeout) const;

  Accessibility& accessibility_;
  Workspace& workspace_;
  MainLoop& mainLoop_;
};

}  // namespace mirlet
