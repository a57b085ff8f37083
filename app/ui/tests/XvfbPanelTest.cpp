// The history panel under a real X server: the keys come from the server, typed
// through XTest, and reach the panel through Qt's X11 platform as the user's do.
// Run under xvfb-run; without a display it has nothing to test.

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ClipboardHistory/ui/ClipboardHistorySettingsView.h"
#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/HotKeyRecorder.h"
#include "ClipboardHistory/ui/PanelSearchBox.h"
#include "ClipboardHistory/ui/TileGridView.h"
#include "app/ui/tests/SimulatedApplication.h"
#include "host/linux/testing/QtRunLoop.h"

namespace mirlet {
namespace {

// X key codes of the server's PC keyboard.
constexpr xcb_keycode_t kKey1 = 10;
constexpr xcb_keycode_t kKey2 = 11;
constexpr xcb_keycode_t kKeyA = 38;
constexpr xcb_keycode_t kKeyB = 56;
constexpr xcb_keycode_t kKeyC = 54;
constexpr xcb_keycode_t kKeyS = 39;
constexpr xcb_keycode_t kKeyZ = 52;
constexpr xcb_keycode_t kDown = 116;
constexpr xcb_keycode_t kRight = 114;
constexpr xcb_keycode_t kReturn = 36;
constexpr xcb_keycode_t kKeypadEnter = 104;
constexpr xcb_keycode_t kDelete = 119;
constexpr xcb_keycode_t kControl = 37;
constexpr xcb_keycode_t kShift = 50;
constexpr xcb_keycode_t kAlt = 64;

// Keys typed on the X server, as a keyboard would.
class XTestKeyboard {
 public:
  XTestKeyboard() : connection_(xcb_connect(nullptr, nullptr)) {}
  ~XTestKeyboard() { xcb_disconnect(connection_); }
  XTestKeyboard(const XTestKeyboard&) = delete;
  XTestKeyboard& operator=(const XTestKeyboard&) = delete;

  bool isConnected() const { return xcb_connection_has_error(connection_) == 0; }
  void press(xcb_keycode_t key) { send(XCB_KEY_PRESS, key); }
  void release(xcb_keycode_t key) { send(XCB_KEY_RELEASE, key); }
  void tap(xcb_keycode_t key) {
    press(key);
    release(key);
  }
  // The keys pressed one after the other, then let go in the reverse order, as
  // fingers play a combination.
  void chord(std::initializer_list<xcb_keycode_t> keys) {
    for (const xcb_keycode_t key : keys) press(key);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) release(*key);
  }

 private:
  void send(std::uint8_t type, xcb_keycode_t key) {
    xcb_test_fake_input(connection_, type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
  }

  xcb_connection_t* connection_;
};

class XvfbPanelTest : public ::testing::Test {
 protected:
  XvfbPanelTest() {
    // A PC desktop: keys named Ctrl and Alt, Supr removing.
    app_.scenario().desktop.keyboardLayout.style = ShortcutStyle::names;
  }

  // The panel opened by the hot key over these copies, the latest last, once it
  // has the keyboard.
  HistoryPanelWindow& openPanelOver(std::initializer_list<const char*> copies) {
    for (const char* text : copies) app_.copy(text);
    app_.pressHotKey();
    EXPECT_TRUE(panel().isOpen());
    HistoryPanelWindow* window = app_.window();
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(testing::runUntil([&] { return window->isActiveWindow(); }));
    return *window;
  }
  HistoryPanelController& panel() { return app_.panel(); }
  std::vector<std::string> texts() {
    std::vector<std::string> texts;
    for (const auto& item : app_.feature().store().get().items()) texts.push_back(item.text);
    return texts;
  }
  std::string latestText() { return app_.feature().store().get().items().front().text; }

  testing::SimulatedApplication app_;
  XTestKeyboard keyboard_;
};

TEST_F(XvfbPanelTest, TheHotKeyOpensThePanelWhereTypingSearchesArrowsMoveAndReturnChooses) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
  ASSERT_TRUE(keyboard_.isConnected());
  HistoryPanelWindow& window = openPanelOver(
      {"casa uno", "casa dos", "casa tres", "casa cuatro", "casa cinco", "otra cosa"});

  for (const xcb_keycode_t key : {kKeyC, kKeyA, kKeyS, kKeyA}) keyboard_.tap(key);
  ASSERT_TRUE(testing::runUntil(
      [&] { return window.view().searchBox().text() == QStringLiteral("casa"); }));
  const auto& visible = panel().model().visible().get();
  ASSERT_EQ(visible.size(), 5u);
  const int columns = window.view().grid().layout().columns();
  ASSERT_LT(columns, 5);
  const std::string below = visible.at(static_cast<std::size_t>(columns))->text;

  keyboard_.tap(kDown);
  ASSERT_TRUE(testing::runUntil([&] {
    return panel().model().focusID().get() == visible.at(static_cast<std::size_t>(columns))->id;
  }));
  keyboard_.tap(kReturn);
  ASSERT_TRUE(testing::runUntil([&] { return !panel().isOpen(); }));
  app_.scenario().rest(1);
  EXPECT_EQ(latestText(), below);
}

TEST_F(XvfbPanelTest, TheKeypadEnterChoosesAsReturnDoes) {
  openPanelOver({"primera", "segunda"});
  keyboard_.tap(kRight);
  keyboard_.tap(kKeypadEnter);
  ASSERT_TRUE(testing::runUntil([&] { return !panel().isOpen(); }));
  app_.scenario().rest(1);
  EXPECT_EQ(latestText(), "primera");
}

TEST_F(XvfbPanelTest, CtrlWithADigitChoosesThatItem) {
  openPanelOver({"primera", "segunda", "tercera"});
  keyboard_.chord({kControl, kKey2});
  ASSERT_TRUE(testing::runUntil([&] { return !panel().isOpen(); }));
  app_.scenario().rest(1);
  EXPECT_EQ(latestText(), "segunda");
}

TEST_F(XvfbPanelTest, SuprRemovesCtrlZBringsBackAndCtrlShiftZRemovesAgain) {
  openPanelOver({"primera", "segunda"});
  const std::vector<std::string> before = texts();
  keyboard_.tap(kDelete);
  ASSERT_TRUE(testing::runUntil([&] { return texts().size() == before.size() - 1; }));
  keyboard_.chord({kControl, kKeyZ});
  ASSERT_TRUE(testing::runUntil([&] { return texts() == before; }));
  keyboard_.chord({kControl, kShift, kKeyZ});
  EXPECT_TRUE(testing::runUntil([&] { return texts().size() == before.size() - 1; }));
  EXPECT_TRUE(panel().isOpen());
}

// Alt held on its own shows private items; let go, they hide again.
TEST_F(XvfbPanelTest, HoldingAltShowsPrivateItemsUntilItIsLetGo) {
  openPanelOver({"algo", "otra"});
  keyboard_.press(kAlt);
  EXPECT_TRUE(testing::runUntil([&] { return panel().model().optionHeld().get(); }));
  keyboard_.release(kAlt);
  EXPECT_TRUE(testing::runUntil([&] { return !panel().model().optionHeld().get(); }));
}

// The recorder hears Ctrl, then Alt, then B, each its own press from the server.
TEST_F(XvfbPanelTest, TheRecorderTakesCtrlAltBTypedKeyByKey) {
  ClipboardHistorySettingsView view(
      app_.feature(), ClipboardHistorySettingsActions{HostTexts::linuxDesktop, [] { return true; },
                                                      [] { return true; }, [] {},
                                                      [] {
                                                      }});
  view.show();
  view.activateWindow();
  ASSERT_TRUE(testing::runUntil([&] { return view.isActiveWindow(); }));
  view.findChild<QPushButton*>(QStringLiteral("recordButton"))->click();
  ASSERT_TRUE(view.recorder().isRecording());

  keyboard_.chord({kControl, kAlt, kKeyB});
  ASSERT_TRUE(testing::runUntil([&] { return !view.recorder().isRecording(); }));
  EXPECT_EQ(app_.feature().settings().get().hotKey,
            (HotKeyCombo{11, Modifiers{Modifiers::control | Modifiers::option}}));
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
