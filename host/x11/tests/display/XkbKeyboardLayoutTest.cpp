#include "host/x11/XkbKeyboardLayout.h"

#include <gtest/gtest.h>

#include "host/KeyboardLayout.h"

namespace mirlet {
namespace {

TEST(XkbKeyboardLayoutTest, KeysTypeWhatTheServersLayoutSays) {
  X11Display display;
  const XkbKeyboardLayout layout(display);
  // Xvfb's keyboard is a US one.
  EXPECT_EQ(layout.translate(9), "v");
  EXPECT_EQ(layout.translate(0), "a");
  EXPECT_EQ(layout.translate(18), "1");
  EXPECT_EQ(layout.translate(53), std::nullopt);  // Escape types nothing
  EXPECT_EQ(KeyboardLayout(layout).keyCode("v", 0xFFFF), 9);
  EXPECT_EQ(layout.shortcutStyle(), ShortcutStyle::names);
}

}  // namespace
}  // namespace mirlet
