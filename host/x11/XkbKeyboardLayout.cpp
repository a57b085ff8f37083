#include "host/x11/XkbKeyboardLayout.h"

#include <xkbcommon/xkbcommon-x11.h>

#include "host/KeyPositions.h"

namespace mirlet {
namespace {

constexpr auto kStateLifetime = std::chrono::milliseconds(500);

}  // namespace

void XkbKeyboardLayout::Free::operator()(xkb_context* context) const { xkb_context_unref(context); }
void XkbKeyboardLayout::Free::operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
void XkbKeyboardLayout::Free::operator()(xkb_state* state) const { xkb_state_unref(state); }

XkbKeyboardLayout::XkbKeyboardLayout(X11Display& display)
    : display_(display), context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
  hasXkb_ = context_ && display_.isOpen() &&
            xkb_x11_setup_xkb_extension(
                display_.get(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr) == 1;
  events_ = display_.listen([this](const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7F) == XCB_MAPPING_NOTIFY) {
      keymap_.reset();
      state_.reset();
    }
  });
}

XkbKeyboardLayout::~XkbKeyboardLayout() = default;

xkb_state* XkbKeyboardLayout::plainState() const {
  if (!hasXkb_ || !display_.isOpen()) return nullptr;
  xcb_connection_t* c = display_.get();
  const std::int32_t device = xkb_x11_get_core_keyboard_device_id(c);
  if (device < 0) return nullptr;
  if (!keymap_) {
    keymap_.reset(
        xkb_x11_keymap_new_from_device(context_.get(), c, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    state_.reset();
  }
  if (!keymap_) return nullptr;
  const auto now = std::chrono::steady_clock::now();
  if (!state_ || now - stateReadAt_ > kStateLifetime) {
    const std::unique_ptr<xkb_state, Free> current(
        xkb_x11_state_new_from_device(keymap_.get(), c, device));
    display_.deliverSoon();
    if (!current) return nullptr;
    // The layout in use, without the modifiers held now.
    state_.reset(xkb_state_new(keymap_.get()));
    const xkb_layout_index_t group =
        xkb_state_serialize_layout(current.get(), XKB_STATE_LAYOUT_EFFECTIVE);
    xkb_state_update_mask(state_.get(), 0, 0, 0, 0, 0, group);
    stateReadAt_ = now;
  }
  return state_.get();
}

std::optional<std::string> XkbKeyboardLayout::translate(std::uint16_t keyCode) const {
  const auto key = KeyPositions::xKeyCode(keyCode);
  xkb_state* state = key ? plainState() : nullptr;
  if (!state) return std::nullopt;
  char text[16] = {};
  const int length = xkb_state_key_get_utf8(state, *key, text, sizeof text);
  if (length <= 0 || static_cast<unsigned char>(text[0]) < 0x20) return std::nullopt;
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace mirlet
