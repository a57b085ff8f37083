#include "host/testing/EventSystemContract.h"

#include "host/sim/DesktopScenario.h"

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
  void rightButton(bool down) override {
    InputEvent event;
    event.type = down ? EventType::rightMouseDown : EventType::rightMouseUp;
    event.location = scenario_.desktop.events.pointerLocation();
    scenario_.desktop.events.inject(event);
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
  SimEventSystem& events() { return scenario_.desktop.events; }
  // An enabled key-down tap that records the type of everything it is told.
  std::unique_ptr<EventTap> recordingTap(std::vector<EventType>& types) {
    auto tap = events().createTap(TapOptions::filtering, eventMaskBit(EventType::keyDown),
                                  [&types](EventType type, const InputEvent& event) {
                                    types.push_back(type);
                                    return std::optional<InputEvent>(event);
                                  });
    tap->setEnabled(true);
    return tap;
  }

  DesktopScenario scenario_;
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

TEST_F(SimEventSystemTest, ADragAndItsReleaseGoWhereThePressWentWhereverThePointerIs) {
  auto mouse = [this](EventType type, ScreenPoint point) {
    InputEvent event;
    event.type = type;
    event.location = point;
    events().inject(event);
  };
  mouse(EventType::rightMouseDown, {650, 120});  // Safari
  mouse(EventType::rightMouseDragged, {320, 200});
  mouse(EventType::rightMouseUp, {320, 200});    // over Finder's window
  mouse(EventType::rightMouseDown, {320, 200});  // a new press goes by the pointer again
  EXPECT_EQ(scenario_.safari->receivedEvents().size(), 3u);
  EXPECT_EQ(scenario_.finder->receivedEvents().size(), 1u);
}

TEST_F(SimEventSystemTest, AnEventPostedToAProcessNeverReachesOneReusingItsPid) {
  scenario_.desktop.trust.trusted = true;
  events().postToProcess(scenario_.safari->processIdentifier(), InputEvent::keyboard(0, true));
  auto again = scenario_.desktop.workspace.relaunch(scenario_.safari, /*reusePID=*/true);
  scenario_.settle();
  ASSERT_EQ(again->processIdentifier(), scenario_.safari->processIdentifier());
  EXPECT_TRUE(again->receivedEvents().empty());
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

// What a tap sees of the keys a user presses on a real keyboard.
TEST_F(SimEventSystemTest, KeysCarryTheKeyboardsOwnFlagBits) {
  std::vector<std::uint64_t> flags;
  auto tap = events().createTap(TapOptions::listenOnly, eventMaskBit(EventType::keyDown),
                                [&](EventType, const InputEvent& event) {
                                  flags.push_back(event.flags);
                                  EXPECT_EQ(event.timestamp, 2'500'000'000u);
                                  return std::optional<InputEvent>(event);
                                });
  tap->setEnabled(true);
  scenario_.rest(2.5);
  scenario_.pressKey(120);                     // F2
  scenario_.pressKey(124, EventFlags::shift);  // right arrow
  scenario_.pressKey(76);                      // keypad Enter
  scenario_.pressKey(117);                     // forward delete
  scenario_.pressKey(36, EventFlags::command | EventFlags::rightCommand);
  using F = std::uint64_t;
  constexpr F always = EventFlags::nonCoalesced;
  EXPECT_EQ(flags, (std::vector<F>{
                       always | EventFlags::function,
                       always | EventFlags::shift | EventFlags::leftShift | EventFlags::function |
                           EventFlags::numericPad,
                       always | EventFlags::numericPad,
                       always | EventFlags::function,
                       always | EventFlags::command | EventFlags::rightCommand,
                   }));
}

TEST_F(SimEventSystemTest, ClicksCarryTheOwnerOfTheWindowAndALeftClickActivatesIt) {
  std::vector<std::int64_t> targets;
  auto tap = events().createTap(
      TapOptions::listenOnly,
      eventMaskBit(EventType::rightMouseDown) | eventMaskBit(EventType::leftMouseDown),
      [&](EventType, const InputEvent& event) {
        targets.push_back(event.integerField(EventField::targetProcessID));
        return std::optional<InputEvent>(event);
      });
  tap->setEnabled(true);
  std::vector<int> activated;
  auto watching = scenario_.desktop.workspace.observeActivation(
      [&](const auto& application) { activated.push_back(application->processIdentifier()); });

  scenario_.rightClick({575, 300});  // TextEdit's window, behind the others
  scenario_.settle();
  EXPECT_FALSE(scenario_.textEdit->isActive());
  EXPECT_NE(events().onScreenWindows().front().windowID, scenario_.textEditWindow);

  scenario_.click({575, 300});
  scenario_.settle();
  const int textEdit = scenario_.textEdit->processIdentifier();
  EXPECT_EQ(targets, (std::vector<std::int64_t>{textEdit, textEdit}));
  EXPECT_TRUE(scenario_.textEdit->isActive());
  EXPECT_EQ(activated, std::vector<int>{textEdit});
  EXPECT_EQ(events().onScreenWindows().front().windowID, scenario_.textEditWindow);
}

TEST_F(SimEventSystemTest, ATapThatTakesTooLongIsSwitchedOffAndTheEventGoesOn) {
  int calls = 0;
  auto tap = events().createTap(TapOptions::filtering, eventMaskBit(EventType::keyDown),
                                [&](EventType type, const InputEvent&) {
                                  if (type == EventType::keyDown) {
                                    ++calls;
                                    scenario_.desktop.time.sleep(SimEventSystem::kTapTimeout + 0.1);
                                  }
                                  return std::optional<InputEvent>();
                                });
  tap->setEnabled(true);
  scenario_.pressKey(8);
  EXPECT_FALSE(tap->isEnabled());
  EXPECT_EQ(scenario_.finder->receivedEvents().front().keyCode(), 8);
  scenario_.pressKey(9);
  EXPECT_EQ(calls, 1);
}

TEST_F(SimEventSystemTest, ATimedOutTapMayStillReadEnabledWhileItReceivesNothing) {
  events().timedOutTapsReadEnabled = true;
  std::vector<EventType> types;
  auto tap = recordingTap(types);
  events().disableTap(events().taps().front().id, EventType::tapDisabledByTimeout);
  scenario_.settle();
  scenario_.pressKey(1);
  EXPECT_TRUE(tap->isEnabled());
  EXPECT_EQ(types, std::vector<EventType>{EventType::tapDisabledByTimeout});
}

TEST_F(SimEventSystemTest, SwitchedOffTapIsToldOnTheMainLoop) {
  std::vector<EventType> types;
  auto tap = recordingTap(types);
  events().disableTap(events().taps().front().id, EventType::tapDisabledByTimeout);
  EXPECT_FALSE(tap->isEnabled());
  EXPECT_TRUE(types.empty());
  scenario_.settle();
  EXPECT_EQ(types, std::vector<EventType>{EventType::tapDisabledByTimeout});
  scenario_.pressKey(1);
  EXPECT_EQ(types.size(), 1u);
}

TEST_F(SimEventSystemTest, WhatTheUserDoesBeforeASwitchOffIsToldPassesTheTap) {
  std::vector<EventType> types;
  auto tap = recordingTap(types);
  const std::size_t before = scenario_.finder->receivedEvents().size();
  events().disableTap(events().taps().front().id, EventType::tapDisabledByUserInput);
  events().inject(InputEvent::keyboard(1, true));
  EXPECT_TRUE(types.empty());
  EXPECT_EQ(scenario_.finder->receivedEvents().size(), before + 1);
  scenario_.settle();
  EXPECT_EQ(types, std::vector<EventType>{EventType::tapDisabledByUserInput});
}

TEST_F(SimEventSystemTest, ApplicationsBehindOpenAndMoveWindowsWithoutComingForward) {
  scenario_.activate(scenario_.safari);
  SimApplicationUI& textEdit = *scenario_.textEditUI;
  const auto opened = textEdit.addStandardWindow("Nueva", {1400, 800, 200, 200});
  textEdit.addContent(opened, "AXGroup");
  EXPECT_EQ(events().windowAt({1500, 900})->ownerPID, scenario_.textEdit->processIdentifier());
  textEdit.moveWindow(opened, {1000, 600, 100, 100});
  EXPECT_FALSE(events().windowAt({1500, 900}).has_value());
  EXPECT_EQ(events().windowAt({1050, 680})->windowID, opened.windowID);
  // Accessibility's hit test follows the content.
  const auto hit = scenario_.desktop.accessibility.elementAtPosition(
      scenario_.desktop.accessibility.systemWide(), 1050, 680);
  ASSERT_TRUE(hit.ok());
  EXPECT_EQ(*hit.value.as<AXElement>(),
            scenario_.desktop.accessibility.element(opened.node->children().back()));
  EXPECT_TRUE(scenario_.safari->isActive());
  EXPECT_FALSE(scenario_.textEdit->isActive());
}

TEST_F(SimEventSystemTest, TapsMayOutliveThePermissionWhilePostedEventsAreDropped) {
  scenario_.desktop.trust.trusted = true;
  events().tapsOutliveTrust = true;
  std::vector<EventType> types;
  auto tap = recordingTap(types);
  scenario_.desktop.trust.trusted = false;
  scenario_.pressKey(1);
  EXPECT_EQ(types, std::vector<EventType>{EventType::keyDown});
  const std::size_t before = scenario_.finder->receivedEvents().size();
  events().postToProcess(scenario_.finder->processIdentifier(), InputEvent::keyboard(2, true));
  scenario_.settle();
  EXPECT_EQ(scenario_.finder->receivedEvents().size(), before);
}

TEST_F(SimEventSystemTest, TapMayChangeTheEventItPasses) {
  auto tap = events().createTap(TapOptions::filtering, eventMaskBit(EventType::keyDown),
                                [](EventType, InputEvent event) {
                                  event.flags |= EventFlags::shift;
                                  return std::optional<InputEvent>(event);
                                });
  tap->setEnabled(true);
  scenario_.pressKey(0);
  EXPECT_EQ(scenario_.finder->receivedEvents().front().flags,
            EventFlags::nonCoalesced | EventFlags::shift);
}

}  // namespace
}  // namespace mirlet::sim
