#pragma once

#include "host/Accessibility.h"
#include "host/EventSystem.h"
#include "host/x11/X11Workspace.h"

namespace mirlet {

// Input on an X display: keys are typed through XTest into the application in
// front (the display cannot address one process), ⌘ as Control, other modifiers
// still held released first; terminals, which paste with Ctrl+Shift+V, get Shift
// as well. Events cannot be tapped here.
class X11EventSystem : public EventSystem {
 public:
  X11EventSystem(X11Display& display, X11Workspace& workspace);

  std::unique_ptr<EventTap> createTap(TapOptions, std::uint64_t, TapCallback) override {
    return nullptr;
  }
  void postToProcess(int pid, const InputEvent& event) override;
  ScreenPoint pointerLocation() const override;
  std::vector<WindowInfo> onScreenWindows() const override { return {}; }

  // Whether the application pastes with Ctrl+Shift+V, by its identifier.
  static bool isTerminal(const std::string& identifier);

 private:
  void fakeKey(std::uint32_t key, bool down);
  // The X key codes of the modifier keys held down now.
  std::vector<std::uint32_t> heldModifiers();

  X11Display& display_;
  X11Workspace& workspace_;
};

// What an X display tells of windows: the window in front of an application and
// its title. The permission is XTest, without which nothing can be typed.
class X11Accessibility : public Accessibility {
 public:
  X11Accessibility(X11Display& display, X11Workspace& workspace);

  bool isProcessTrusted() const override;
  void requestTrust() override {}
  AXElement systemWide() override;
  AXElement application(int pid) override;
  AXError setMessagingTimeout(const AXElement&, double) override { return AXError::success; }
  AXResult copyAttribute(const AXElement& element, const std::string& attribute) override;
  AXError setAttribute(const AXElement&, const std::string&, const AXValue&) override {
    return AXError::attributeUnsupported;
  }
  AXError performAction(const AXElement&, const std::string&) override {
    return AXError::actionUnsupported;
  }
  AXResult elementAtPosition(const AXElement&, double, double) override {
    return {AXError::failure, {}};
  }
  std::optional<int> processID(const AXElement& element) override;
  std::unique_ptr<AXObserver> createObserver(int, ObserverCallback) override { return nullptr; }
  void announce(const std::string&) override {}

 private:
  X11Display& display_;
  X11Workspace& workspace_;
};

}  // namespace mirlet
