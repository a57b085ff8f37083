#include "platform/x11/XkbKeyboardLayout.h"

#include <xkbcommon/xkbcommon-x11.h>

#include <memory>

#include "platform/x11/KeyPositions.h"

namespace mirlet {
namespace {

struct FreeContext {
  void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct FreeKeymap {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct FreeState {
  void operator()(xkb_state* state) const { xkb_state_unref(state); }
};

}  // namespace

XkbKeyboardLayout::XkbKeyboardLayout(X11Display& display) : display_(display) {
  hasXkb_ = display_.isOpen() &&
            xkb_x11_setup_xkb_extension(
                display_.get(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr) == 1;
}

std::optional<std::string> XkbKeyboardLayout::translate(std::uint16_t keyCode) const {
  const auto key = KeyPositions::xKeyCode(keyCode);
  if (!hasXkb_ || !key || !display_.isOpen()) return std::nullopt;
  xcb_connection_t* c = display_.get();
  const std::unique_ptr<xkb_context, FreeContext> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  const std::int32_t device = xkb_x11_get_core_keyboard_device_id(c);
  if (!context || device < 0) return std::nullopt;
  const std::unique_ptr<xkb_keymap, FreeKeymap> keymap(
      xkb_x11_keymap_new_from_device(context.get(), c, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return std::nullopt;
  const std::unique_ptr<xkb_state, FreeState> current(
      xkb_x11_state_new_from_device(keymap.get(), c, device));
  display_.deliverSoon();
  if (!current) return std::nullopt;
  // The current group (layout), without the modifiers held now.
  const std::unique_ptr<xkb_state, FreeState> plain(xkb_state_new(keymap.get()));
  const xkb_layout_index_t group =
      xkb_state_serialize_layout(current.get(), XKB_STATE_LAYOUT_EFFECTIVE);
  xkb_state_update_mask(plain.get(), 0, 0, 0, 0, 0, group);
  char text[16] = {};
  const int length = xkb_state_key_get_utf8(plain.get(), *key, text, sizeof text);
  if (length <= 0 || static_cast<unsigned char>(text[0]) < 0x20) return std::nullopt;
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace mirlet
