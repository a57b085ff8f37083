#include "ClipboardHistory/service/GlobalHotKey.h"

#include <gtest/gtest.h>

#include "host/sim/SimDesktop.h"

namespace mirlet::sim {
namespace {

constexpr std::uint32_t kControlOption = HotKeyModifiers::control | HotKeyModifiers::option;

class GlobalHotKeyTest : public ::testing::Test {
 protected:
  SimDesktop desktop_;
  GlobalHotKey hotKey_{desktop_.hotKeys, desktop_.time};
  int presses_ = 0;
  Subscription observing_ = hotKey_.observePresses([this] { ++presses_; });
};

TEST_F(GlobalHotKeyTest, PressesArriveOnTheMainLoop) {
  ASSERT_EQ(hotKey_.registerCombo(HotKeyCombo::defaultCombo()), HotKeyStatus::registered);
  EXPECT_EQ(desktop_.hotKeys.registered(),
            (std::vector<SimHotKeys::Combination>{{9, kControlOption}}));
  EXPECT_TRUE(desktop_.hotKeys.press(9, kControlOption));
  EXPECT_EQ(presses_, 0);
  desktop_.time.runUntilIdle();
  EXPECT_EQ(presses_, 1);
}

TEST_F(GlobalHotKeyTest, CombinationHeldElsewhereIsOccupiedAndLeavesNothingRegistered) {
  desktop_.hotKeys.holdByAnotherApplication(9, kControlOption);
  EXPECT_EQ(hotKey_.registerCombo(HotKeyCombo::defaultCombo()), HotKeyStatus::occupied);
  EXPECT_FALSE(hotKey_.isRegistered());
  EXPECT_TRUE(desktop_.hotKeys.registered().empty());
}

TEST_F(GlobalHotKeyTest, RegisteringAgainKeepsExactlyOneRegistration) {
  hotKey_.registerCombo(HotKeyCombo::defaultCombo());
  EXPECT_EQ(hotKey_.registerCombo(HotKeyCombo::defaultCombo()), HotKeyStatus::registered);
  EXPECT_EQ(hotKey_.registerCombo(HotKeyCombo{0, {Modifiers::control}}), HotKeyStatus::registered);
  EXPECT_EQ(desktop_.hotKeys.registered(),
            (std::vector<SimHotKeys::Combination>{{0, HotKeyModifiers::control}}));
}

TEST_F(GlobalHotKeyTest, PressAfterUnregisteringIsDropped) {
  hotKey_.registerCombo(HotKeyCombo::defaultCombo());
  desktop_.hotKeys.press(9, kControlOption);
  hotKey_.unregister();
  desktop_.time.runUntilIdle();
  EXPECT_EQ(presses_, 0);
  EXPECT_FALSE(desktop_.hotKeys.press(9, kControlOption));
}

TEST_F(GlobalHotKeyTest, NoHandlerMeansUnavailable) {
  desktop_.hotKeys.unavailable = true;
  EXPECT_EQ(hotKey_.registerCombo(HotKeyCombo::defaultCombo()), HotKeyStatus::unavailable);
}

TEST_F(GlobalHotKeyTest, ModifiersTranslateBitByBit) {
  EXPECT_EQ(GlobalHotKey::platformModifiers(Modifiers{15}), 0x1B00u);
  EXPECT_EQ(GlobalHotKey::platformModifiers(Modifiers{Modifiers::shift}), 0x200u);
}

TEST(GlobalHotKeyLifetimeTest, PressQueuedBeforeTheObjectWentIsDropped) {
  SimDesktop desktop;
  int presses = 0;
  {
    GlobalHotKey hotKey(desktop.hotKeys, desktop.time);
    const Subscription observing = hotKey.observePresses([&] { ++presses; });
    hotKey.registerCombo(HotKeyCombo::defaultCombo());
    desktop.hotKeys.press(9, kControlOption);
  }
  desktop.time.runUntilIdle();
  EXPECT_EQ(presses, 0);
}

}  // namespace
}  // namespace mirlet::sim
