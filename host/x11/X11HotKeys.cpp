#include "host/x11/X11HotKeys.h"

#include <array>

#include "host/KeyPositions.h"

namespace mirlet {
namespace {

constexpr std::uint16_t kLockModifiers = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;  // Caps, Num
constexpr std::array<std::uint16_t, 4> kLockStates{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                   XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

}  // namespace

class X11HotKeys::Registration : public HotKeyRegistration {
 public:
  Registration(X11HotKeys& owner, Grab grab) : owner_(owner), grab_(grab) {}
  ~Registration() override {
    for (const std::uint16_t lock : kLockStates) {
      xcb_ungrab_key(owner_.display_.get(), grab_.key, owner_.display_.root(),
                     grab_.modifiers | lock);
    }
    xcb_flush(owner_.display_.get());
    owner_.grabs_.erase(grab_);
  }

 private:
  X11HotKeys& owner_;
  Grab grab_;
};

X11HotKeys::X11HotKeys(X11Display& display) : display_(display) {
  events_ = display_.listen([this](const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) == XCB_KEY_PRESS) {
      pressed(reinterpret_cast<const xcb_key_press_event_t&>(event));
    }
  });
}

std::uint16_t X11HotKeys::xModifiers(std::uint32_t modifiers) {
  std::uint16_t mask = 0;
  if (modifiers & HotKeyModifiers::control) mask |= XCB_MOD_MASK_CONTROL;
  if (modifiers & HotKeyModifiers::option) mask |= XCB_MOD_MASK_1;
  if (modifiers & HotKeyModifiers::command) mask |= XCB_MOD_MASK_4;
  if (modifiers & HotKeyModifiers::shift) mask |= XCB_MOD_MASK_SHIFT;
  return mask;
}

HotKeys::Result X11HotKeys::registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                                           std::function<void()> pressed) {
  const auto key = KeyPositions::xKeyCode(keyCode);
  if (!display_.isOpen() || !key) return {Status::unavailable, nullptr};
  const Grab grab{static_cast<xcb_keycode_t>(*key), xModifiers(modifiers)};
  if (grabs_.contains(grab)) return {Status::occupied, nullptr};

  xcb_connection_t* c = display_.get();
  std::array<xcb_void_cookie_t, kLockStates.size()> cookies{};
  for (std::size_t i = 0; i < kLockStates.size(); ++i) {
    cookies[i] = xcb_grab_key_checked(c, 0, display_.root(), grab.modifiers | kLockStates[i],
                                      grab.key, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  }
  bool refused = false;
  for (const auto cookie : cookies) {
    if (auto error = xcbReply(xcb_request_check(c, cookie))) refused = true;
  }
  display_.deliverSoon();
  if (refused) {
    // Another client holds it: nothing of it stays grabbed by this program.
    for (const std::uint16_t lock : kLockStates) {
      xcb_ungrab_key(c, grab.key, display_.root(), grab.modifiers | lock);
    }
    xcb_flush(c);
    return {Status::occupied, nullptr};
  }
  grabs_.emplace(grab, std::move(pressed));
  return {Status::registered, std::make_unique<Registration>(*this, grab)};
}

void X11HotKeys::pressed(const xcb_key_press_event_t& event) {
  const auto found = grabs_.find(
      Grab{event.detail, static_cast<std::uint16_t>(event.state & ~kLockModifiers & 0xFF)});
  if (found != grabs_.end()) found->second();
}

}  // namespace mirlet
