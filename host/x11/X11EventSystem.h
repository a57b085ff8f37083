#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "host/EventSystem.h"
#include "host/x11/X11Workspace.h"

namespace mirlet {

// Input on an X display: keys are typed through XTest into the application in
// front (the display cannot address one process), ⌘ as Control, other modifiers
// still held released first; terminals, which paste with Ctrl+Shift+V, get Shift
// as well. A key-up releases exactly what its key-down pressed, whatever is in
// front by then, and whatever is still pressed is released when this goes: no key
// is ever left down. Events cannot be tapped here.
class X11EventSystem : public EventSystem {
 public:
  X11EventSystem(X11Display& display, X11Workspace& workspace);
  ~X11EventSystem() override;
  X11EventSystem(const X11EventSystem&) = delete;
  X11EventSystem& operator=(const X11EventSystem&) = delete;

  std::unique_ptr<EventTap> createTap(TapOptions, std::uint64_t, TapCallback) override {
    return nullptr;
  }
  void postToProcess(int pid, const InputEvent& event) override;
  ScreenPoint pointerLocation() const override;
  bool isMouseButtonDown(int button) const override;
  std::vector<WindowInfo> onScreenWindows() const override { return {}; }

  // Whether the application pastes with Ctrl+Shift+V, by its identifier.
  static bool isTerminal(const std::string& identifier);

 private:
  void fakeKey(std::uint32_t key, bool down);
  // Releases what a key-down pressed, the key first, then its modifiers.
  void release(const std::vector<std::uint32_t>& pressed);
  // The X key codes of the modifier keys held down now.
  std::vector<std::uint32_t> heldModifiers();

  X11Display& display_;
  X11Workspace& workspace_;
  // By virtual key code: the X keys its key-down pressed, modifiers first.
  std::map<std::uint16_t, std::vector<std::uint32_t>> pressed_;
};

}  // namespace mirlet
