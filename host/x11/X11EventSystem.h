#pragma once

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

}  // namespace mirlet
