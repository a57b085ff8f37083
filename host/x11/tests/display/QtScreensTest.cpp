#include "host/linux/QtScreens.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "host/linux/testing/QtRunLoop.h"
#include "host/x11/XcbConnection.h"

namespace mirlet {
namespace {

// The pointer where X puts it, in device pixels, is told in Qt's coordinates, the
// screens' own: halved where the desktop scales by two (the display tests run once
// more with QT_SCALE_FACTOR=2).
TEST(QtScreensTest, ThePointerIsToldInTheScreensCoordinates) {
  XcbConnection display;
  ASSERT_TRUE(display.isOpen());
  xcb_warp_pointer(display.get(), XCB_WINDOW_NONE, display.root(), 0, 0, 0, 0, 600, 400);
  xcbReply(xcb_get_input_focus_reply(display.get(), xcb_get_input_focus(display.get()), nullptr));
  const double ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
  const auto pointer = QtScreens().pointerLocation();
  ASSERT_TRUE(pointer);
  EXPECT_NEAR(pointer->x, 600 / ratio, 1);
  EXPECT_NEAR(pointer->y, 400 / ratio, 1);
  const auto screens = QtScreens().screens();
  ASSERT_FALSE(screens.empty());
  EXPECT_TRUE(screens.front().frame.contains(*pointer));
}

}  // namespace
}  // namespace mirlet
