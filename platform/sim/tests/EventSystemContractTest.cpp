#include "platform/host/testing/EventSystemContract.h"

#include "platform/sim/DesktopScenario.h"

namespace mirlet::sim {
namespace {

class SimEventSystemHarness : public contract::EventSystemHarness {
 public:
  EventSystem& system() override { return scenario_.desktop.events; }
  void setTrusted(bool trusted) override { scenario_.desktop.trust.trusted = trusted; }
  int frontProcess() override { return scenario_.finder->processIdentifier(); }
  void pressKey(std::uint16_t keyCode, std::uint64_t flags) override {
    scenario_.pressKey(keyCode, flags);
  }
  std::vector<InputEvent> receivedBy(int pid) override {
    return scenario_.desktop.workspace.application(pid)->receivedEvents();
  }
  void runMainLoop() override { scenario_.settle(); }

 private:
  DesktopScenario scenario_;
};

using contract::EventSystemContract;

INSTANTIATE_TEST_SUITE_P(Sim, EventSystemContract, ::testing::Values([] {
                           return std::unique_ptr<contract::EventSystemHarness>(
                               std::make_unique<SimEventSystemHarness>());
                         }));

// What the simulation adds to the contract: routing, the window list, and the
// platform switching taps off.
class SimEventSystemTest : public ::testing::Test {
 protected:
  DesktopScenario scenario_;
  SimEventSystem& events() { return scenario_.desktop.events; }
};

TEST_F(SimEventSystemTest, ClicksReachTheOwnerOfTheTopmostWindowUnderThePointer) {
  scenario_.rightClick({320, 200});   // Finder's window covers TextEdit's here
  scenario_.rightClick({650, 120});   // only Safari's window
  scenario_.rightClick({1500, 900});  // the desktop
  EXPECT_EQ(scenario_.finder->receivedEvents().size(), 2u);
  EXPECT_EQ(scenario_.safari->receivedEvents().size(), 2u);
  EXPECT_TRUE(scenario_.textEdit->receivedEvents().empty());
  EXPECT_EQ(events().pointerLocation(), (ScreenPoint{1500, 900}));
}

TEST_F(SimEventSystemTest, WindowListIsFrontToBackByLayer) {
  const auto panel = events().addWindow(scenario_.safari, {0, 0, 10, 10}, 3);
  events().bringWindowToFront(scenario_.textEditWindow);
  const auto windows = events().onScreenWindows();
  ASSERT_EQ(windows.size(), 5u);
  EXPECT_EQ(windows[0].windowID, panel);
  EXPECT_EQ(windows[1].windowID, scenario_.textEditWindow);
  EXPECT_EQ(windows[1].ownerPID, scenario_.textEdit->processIdentifier());
  EXPECT_EQ(windows[1].ownerName, "TextEdit");
  scenario_.desktop.workspace.terminate(scenario_.textEdit);
  EXPECT_EQ(events().onScreenWindows().size(), 4u);
}

TEST_F(SimEventSystemTest, TransparentWindowsAreNotHit) {
  events().addWindow(scenario_.textEdit, {0, 0, 2000, 2000}, 5, 0);
  EXPECT_EQ(events().windowAt({60, 60})->ownerPID, scenario_.finder->processIdentifier());
}

TEST_F(SimEventSystemTest, SwitchedOffTapIsToldOnTheMainLoop) {
  std::vector<EventType> types;
  auto tap = events().createTap(TapOptions::filtering, eventMaskBit(EventType::keyDown),
                                [&](EventType type, const InputEvent& event) {
                                  types.push_back(type);
                                  return std::optional<InputEvent>(event);
                                });
  tap->setEnabled(true);
  events().disableTap(events().taps().front().id, EventType::tapDisabledByTimeout);
  EXPECT_FALSE(tap->isEnabled());
  EXPECT_TRUE(types.empty());
  scenario_.settle();
  EXPECT_EQ(types, std::vector<EventType>{EventType::tapDisabledByTimeout});
  scenario_.pressKey(1);
  EXPECT_EQ(types.size(), 1u);
}

TEST_F(SimEventSystemTest, TapMayChangeTheEventItPasses) {
  auto tap = events().createTap(TapOptions::filtering, eventMaskBit(EventType::keyDown),
                                [](EventType, InputEvent event) {
                                  event.flags |= EventFlags::shift;
                                  return std::optional<InputEvent>(event);
                                });
  tap->setEnabled(true);
  scenario_.pressKey(0);
  EXPECT_EQ(scenario_.finder->receivedEvents().front().flags, EventFlags::shift);
}

}  // namespace
}  // namespace mirlet::sim
