#include "host/sim/DesktopScenario.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mirlet::sim {
namespace {

// The gestures of the scenario harness do what a user's would.
class ScenarioTest : public ::testing::Test {
 protected:
  DesktopScenario scenario_;
};

TEST_F(ScenarioTest, ShortcutReachesTheFrontmostApplicationAsDownAndUp) {
  scenario_.typeShortcut("x", EventFlags::command);
  const auto& events = scenario_.finder->receivedEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, EventType::keyDown);
  EXPECT_EQ(events[0].keyCode(), 7);
  EXPECT_EQ(events[0].flags,
            EventFlags::command | EventFlags::leftCommand | EventFlags::nonCoalesced);
  EXPECT_EQ(events[1].type, EventType::keyUp);
}

TEST_F(ScenarioTest, ShortcutUsesTheCurrentLayout) {
  scenario_.desktop.keyboardLayout.layout = SimKeyboardLayout::Layout::dvorak;
  scenario_.typeShortcut("v", EventFlags::command);
  EXPECT_EQ(scenario_.finder->receivedEvents().front().keyCode(), 47);
}

TEST_F(ScenarioTest, KeysFollowTheActiveApplication) {
  scenario_.activate(scenario_.textEdit);
  scenario_.pressKey(0);
  EXPECT_EQ(scenario_.textEdit->receivedEvents().size(), 2u);
  EXPECT_TRUE(scenario_.finder->receivedEvents().empty());
}

TEST_F(ScenarioTest, HoldingAKeyRepeatsItAtTheKeyboardsRate) {
  scenario_.holdKey(125, 0, 0.6);  // down arrow, for 0.6 s
  scenario_.rest(1);
  std::vector<std::pair<EventType, std::int64_t>> seen;
  std::vector<std::uint64_t> times;
  for (const auto& event : scenario_.finder->receivedEvents()) {
    seen.emplace_back(event.type, event.integerField(EventField::autorepeat));
    times.push_back(event.timestamp);
  }
  EXPECT_EQ(seen, (std::vector<std::pair<EventType, std::int64_t>>{{EventType::keyDown, 0},
                                                                   {EventType::keyDown, 1},
                                                                   {EventType::keyDown, 1},
                                                                   {EventType::keyDown, 1},
                                                                   {EventType::keyUp, 0}}));
  EXPECT_EQ(times[1] - times[0], 375'000'000u);
  EXPECT_EQ(times[2] - times[1], 90'000'000u);
}

TEST_F(ScenarioTest, AGestureScriptedAtATimeHappensThen) {
  const double start = scenario_.desktop.time.uptime();
  scenario_.at(start + 0.05, [&] { scenario_.pressKey(0); });
  scenario_.rest(0.04);
  EXPECT_TRUE(scenario_.finder->receivedEvents().empty());
  scenario_.rest(0.02);
  ASSERT_EQ(scenario_.finder->receivedEvents().size(), 2u);
  EXPECT_EQ(scenario_.finder->receivedEvents()[0].timestamp,
            static_cast<std::uint64_t>(std::llround((start + 0.05) * 1e9)));
}

TEST_F(ScenarioTest, RestingLetsTimePass) {
  const double before = scenario_.desktop.time.uptime();
  scenario_.movePointerAndRest({700, 200}, 0.5);
  EXPECT_DOUBLE_EQ(scenario_.desktop.time.uptime() - before, 0.5);
  EXPECT_EQ(scenario_.desktop.events.pointerLocation(), (ScreenPoint{700, 200}));
  EXPECT_EQ(scenario_.safari->receivedEvents().front().type, EventType::mouseMoved);
}

TEST_F(ScenarioTest, DragStaysWithTheWindowWhereItStarted) {
  scenario_.drag({60, 60}, {80, 90});
  EXPECT_EQ(scenario_.finder->receivedEvents().size(), 4u);
  EXPECT_EQ(scenario_.finder->receivedEvents()[0].integerField(EventField::clickState), 1);
}

TEST_F(ScenarioTest, PasteWithCommandVLandsInTheEditor) {
  scenario_.copyText(scenario_.safari, "enlace");
  scenario_.activate(scenario_.textEdit);
  scenario_.typeShortcut("v", EventFlags::command);
  EXPECT_EQ(scenario_.textEditUI->text(scenario_.textArea), "enlace");
}

TEST_F(ScenarioTest, TheEditorPastesOnlyOnCommandVAndOnlyWhileActive) {
  scenario_.copyText(scenario_.safari, "texto");
  scenario_.desktop.events.postToProcess(scenario_.textEdit->processIdentifier(),
                                         InputEvent::keyboard(9, true, EventFlags::command));
  scenario_.settle();
  EXPECT_EQ(scenario_.textEditUI->text(scenario_.textArea), "");
  ASSERT_EQ(scenario_.textEdit->received().size(), 1u);
  EXPECT_FALSE(scenario_.textEdit->received()[0].whileActive);

  scenario_.activate(scenario_.textEdit);
  scenario_.typeShortcut("v", EventFlags::command | EventFlags::shift);
  scenario_.typeShortcut("v", EventFlags::command | EventFlags::option);
  EXPECT_EQ(scenario_.textEditUI->text(scenario_.textArea), "");
  scenario_.typeShortcut("v", EventFlags::command);
  EXPECT_EQ(scenario_.textEditUI->text(scenario_.textArea), "texto");
  EXPECT_TRUE(scenario_.textEdit->received().back().whileActive);
}

TEST_F(ScenarioTest, FocusingAWindowOfABackgroundApplicationLeavesTheScreenAsItIs) {
  auto second = scenario_.safariUI->addStandardWindow("Otra", {650, 150, 300, 200});
  const auto before = scenario_.desktop.events.onScreenWindows();
  scenario_.safariUI->focusWindow(second.node);
  EXPECT_EQ(scenario_.desktop.events.onScreenWindows(), before);
  EXPECT_EQ(scenario_.safariUI->focusedWindow(), second.node);
}

TEST_F(ScenarioTest, AClickFocusesTheClickedWindowOfItsApplication) {
  auto other = scenario_.textEditUI->addStandardWindow("Notas", {560, 500, 200, 100});
  scenario_.activate(scenario_.textEdit);
  scenario_.click({575, 300});  // the first document, still visible beside Finder's window
  scenario_.settle();
  EXPECT_NE(scenario_.textEditUI->focusedWindow(), other.node);
  EXPECT_EQ(scenario_.desktop.events.onScreenWindows().front().windowID, scenario_.textEditWindow);
}

TEST_F(ScenarioTest, AMinimisedWindowLeavesTheScreenAndTheFocusMoves) {
  auto notes = scenario_.textEditUI->addStandardWindow("Notas", {560, 500, 200, 100});
  scenario_.activate(scenario_.textEdit);
  std::vector<std::string> heard;
  auto observer = scenario_.desktop.accessibility.createObserver(
      scenario_.textEdit->processIdentifier(),
      [&](const AXElement&, const std::string& name) { heard.push_back(name); });
  const AXElement application =
      scenario_.desktop.accessibility.application(scenario_.textEdit->processIdentifier());
  observer->addNotification(application, "AXWindowMiniaturized");
  observer->addNotification(application, "AXFocusedWindowChanged");

  scenario_.textEditUI->setMinimized(notes.node, true);
  scenario_.settle();
  for (const auto& window : scenario_.desktop.events.onScreenWindows()) {
    EXPECT_NE(window.windowID, notes.windowID);
  }
  EXPECT_FALSE(scenario_.desktop.events.windowAt({600, 550}));
  EXPECT_NE(scenario_.textEditUI->focusedWindow(), notes.node);
  EXPECT_EQ(heard, (std::vector<std::string>{"AXWindowMiniaturized", "AXFocusedWindowChanged"}));
}

TEST_F(ScenarioTest, HitTestsLandOnAWindowsContentNotOnTheWindow) {
  auto& ax = scenario_.desktop.accessibility;
  auto roleAt = [&](double x, double y) {
    const AXResult hit = ax.elementAtPosition(ax.systemWide(), x, y);
    return *ax.copyAttribute(*hit.value.as<AXElement>(), "AXRole").value.as<std::string>();
  };
  EXPECT_EQ(roleAt(800, 300), "AXWebArea");
  EXPECT_EQ(roleAt(800, 110), "AXWindow");  // the title bar
  scenario_.activate(scenario_.textEdit);
  EXPECT_EQ(roleAt(400, 300), "AXTextArea");
}

TEST_F(ScenarioTest, ThisProgramRunsAsAnAccessoryWithItsOwnWindow) {
  EXPECT_EQ(scenario_.mirlet->activationPolicy(), ActivationPolicy::accessory);
  EXPECT_EQ(scenario_.desktop.events.windowAt({1250, 60})->ownerPID,
            scenario_.mirlet->processIdentifier());
}

TEST_F(ScenarioTest, CopyingChangesThePasteboardOnce) {
  const auto before = scenario_.desktop.pasteboard.changeCount();
  scenario_.copyText(scenario_.safari, "https://example.com");
  EXPECT_EQ(scenario_.desktop.pasteboard.changeCount(), before + 1);
  const auto items = scenario_.desktop.pasteboard.items();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->types(),
            (std::vector<std::string>{"public.utf8-plain-text", "org.nspasteboard.source"}));
}

}  // namespace
}  // namespace mirlet::sim
