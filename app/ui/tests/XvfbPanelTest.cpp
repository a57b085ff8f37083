// The history panel under a real X server: the keys come from the server, typed
// through XTest, and reach the panel through Qt's X11 platform as the user's do.
// Run under xvfb-run; without a display it has nothing to test.

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <memory>

#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/PanelSearchBox.h"
#include "ClipboardHistory/ui/TileGridView.h"
#include "app/ui/tests/SimulatedApplication.h"
#include "host/linux/testing/QtRunLoop.h"

namespace mirlet {
namespace {

// X key codes of the server's US keyboard.
constexpr xcb_keycode_t kKeyA = 38;
constexpr xcb_keycode_t kKeyC = 54;
constexpr xcb_keycode_t kKeyS = 39;
constexpr xcb_keycode_t kDown = 116;
constexpr xcb_keycode_t kReturn = 36;

// Keys typed on the X server, as a keyboard would.
class XTestKeyboard {
 public:
  XTestKeyboard() : connection_(xcb_connect(nullptr, nullptr)) {}
  ~XTestKeyboard() { xcb_disconnect(connection_); }
  XTestKeyboard(const XTestKeyboard&) = delete;
  XTestKeyboard& operator=(const XTestKeyboard&) = delete;

  bool isConnected() const { return xcb_connection_has_error(connection_) == 0; }
  void tap(xcb_keycode_t key) {
    xcb_test_fake_input(connection_, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(connection_, XCB_KEY_RELEASE, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
  }

 private:
  xcb_connection_t* connection_;
};

class XvfbPanelTest : public ::testing::Test {
 protected:
  testing::SimulatedApplication app_;
};

TEST_F(XvfbPanelTest, TheHotKeyOpensThePanelWhereTypingSearchesArrowsMoveAndReturnChooses) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  XTestKeyboard keyboard;
  ASSERT_TRUE(keyboard.isConnected());
  for (const char* text :
       {"casa uno", "casa dos", "casa tres", "casa cuatro", "casa cinco", "otra cosa"}) {
    app_.copy(text);
  }
  app_.pressHotKey();
  HistoryPanelController& panel = app_.panel();
  ASSERT_TRUE(panel.isOpen());
  HistoryPanelWindow* window = app_.window();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(testing::runUntil([&] { return window->isActiveWindow(); }));

  for (const xcb_keycode_t key : {kKeyC, kKeyA, kKeyS, kKeyA}) keyboard.tap(key);
  ASSERT_TRUE(testing::runUntil(
      [&] { return window->view().searchBox().text() == QStringLiteral("casa"); }));
  const auto& visible = panel.model().visible().get();
  ASSERT_EQ(visible.size(), 5u);
  const int columns = window->view().grid().layout().columns();
  ASSERT_LT(columns, 5);
  const std::string below = visible.at(static_cast<std::size_t>(columns))->text;

  keyboard.tap(kDown);
  ASSERT_TRUE(testing::runUntil([&] {
    return panel.model().focusID().get() == visible.at(static_cast<std::size_t>(columns))->id;
  }));
  keyboard.tap(kReturn);
  ASSERT_TRUE(testing::runUntil([&] { return !panel.isOpen(); }));
  app_.scenario().rest(1);
  EXPECT_EQ(app_.feature().store().get().items().front().text, below);
}

}  // namespace
}  // namespace mirlet

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
