#include "host/x11/X11EventSystem.h"

#include <xcb/xtest.h>

#include <array>
#include <string_view>

#include "host/KeyPositions.h"

namespace mirlet {
namespace {

// X key codes of the modifier keys on the left.
constexpr std::uint32_t kControlKey = 37;
constexpr std::uint32_t kShiftKey = 50;
constexpr std::uint32_t kAltKey = 64;
constexpr std::uint32_t kSuperKey = 133;

}  // namespace

X11EventSystem::X11EventSystem(X11Display& display, X11Workspace& workspace)
    : display_(display), workspace_(workspace) {}

bool X11EventSystem::isTerminal(const std::string& identifier) {
  static constexpr std::array<std::string_view, 14> terminals{"org.gnome.Terminal",
                                                              "org.gnome.Console",
                                                              "org.kde.konsole",
                                                              "konsole",
                                                              "xfce4-terminal",
                                                              "xterm",
                                                              "kitty",
                                                              "Alacritty",
                                                              "alacritty",
                                                              "org.wezfurlong.wezterm",
                                                              "terminator",
                                                              "tilix",
                                                              "com.gexperts.Tilix",
                                                              "foot"};
  return std::ranges::find(terminals, identifier) != terminals.end();
}

void X11EventSystem::fakeKey(std::uint32_t key, bool down) {
  xcb_test_fake_input(display_.get(), down ? XCB_KEY_PRESS : XCB_KEY_RELEASE,
                      static_cast<std::uint8_t>(key), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

X11EventSystem::~X11EventSystem() {
  if (!display_.isOpen() || pressed_.empty()) return;
  for (const auto& [keyCode, keys] : pressed_) release(keys);
  xcb_flush(display_.get());
}

void X11EventSystem::release(const std::vector<std::uint32_t>& pressed) {
  for (auto key = pressed.rbegin(); key != pressed.rend(); ++key) fakeKey(*key, false);
}

void X11EventSystem::postToProcess(int pid, const InputEvent& event) {
  if (!display_.isOpen()) return;
  if (event.type == EventType::keyUp) {
    // Released whatever is in front now: a key left down would type into it.
    const auto pressed = pressed_.find(event.keyCode());
    if (pressed == pressed_.end()) return;
    release(pressed->second);
    pressed_.erase(pressed);
    xcb_flush(display_.get());
    return;
  }
  if (event.type != EventType::keyDown) return;
  const auto front = workspace_.frontmostApplication();
  // The display types into whatever is in front: nothing goes to another process.
  if (!front || front->processIdentifier() != pid) return;
  const auto key = KeyPositions::xKeyCode(event.keyCode());
  if (!key) return;
  std::vector<std::uint32_t> modifiers;
  if (event.flags & EventFlags::command) modifiers.push_back(kControlKey);
  if (event.flags & EventFlags::option) modifiers.push_back(kAltKey);
  if (event.flags & EventFlags::control) modifiers.push_back(kSuperKey);
  const bool terminalPaste =
      (event.flags & EventFlags::command) && isTerminal(front->bundleIdentifier().value_or(""));
  if ((event.flags & EventFlags::shift) || terminalPaste) modifiers.push_back(kShiftKey);
  // Modifiers the user still holds (the hot key's Alt) would change the keystroke.
  for (const std::uint32_t held : heldModifiers()) {
    if (std::ranges::find(modifiers, held) == modifiers.end()) fakeKey(held, false);
  }
  auto& pressed = pressed_[event.keyCode()];
  if (pressed.empty()) {  // a repeat presses the key again, nothing more to release
    pressed = modifiers;
    pressed.push_back(*key);
  }
  for (const std::uint32_t modifier : modifiers) fakeKey(modifier, true);
  fakeKey(*key, true);
  xcb_flush(display_.get());
}

std::vector<std::uint32_t> X11EventSystem::heldModifiers() {
  static constexpr std::array<std::uint32_t, 8> kModifierKeys{37, 105, 50, 62, 64, 108, 133, 134};
  xcb_connection_t* c = display_.get();
  const auto keymap = xcbReply(xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr));
  display_.deliverSoon();
  std::vector<std::uint32_t> held;
  if (!keymap) return held;
  for (const std::uint32_t key : kModifierKeys) {
    if (keymap->keys[key / 8] & (1u << (key % 8))) held.push_back(key);
  }
  return held;
}

ScreenPoint X11EventSystem::pointerLocation() const {
  if (!display_.isOpen()) return {};
  xcb_connection_t* c = display_.get();
  const auto reply =
      xcbReply(xcb_query_pointer_reply(c, xcb_query_pointer(c, display_.root()), nullptr));
  display_.deliverSoon();
  if (!reply) return {};
  return {static_cast<double>(reply->root_x), static_cast<double>(reply->root_y)};
}

bool X11EventSystem::isMouseButtonDown(int button) const {
  if (!display_.isOpen()) return false;
  xcb_connection_t* c = display_.get();
  const auto reply =
      xcbReply(xcb_query_pointer_reply(c, xcb_query_pointer(c, display_.root()), nullptr));
  display_.deliverSoon();
  if (!reply) return false;
  // X numbers the buttons left, middle, right.
  constexpr std::uint16_t kMasks[] = {XCB_BUTTON_MASK_1, XCB_BUTTON_MASK_3, XCB_BUTTON_MASK_2};
  return button >= 0 && button < 3 && (reply->mask & kMasks[button]) != 0;
}

}  // namespace mirlet
