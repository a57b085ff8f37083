#include "host/sim/DesktopScenario.h"

namespace mirlet::sim {

DesktopScenario::DesktopScenario() {
  finder = desktop.workspace.launch(FinderBundle::identifier, "Finder");
  textEdit = desktop.workspace.launch("com.apple.TextEdit", "TextEdit");
  safari = desktop.workspace.launch("com.apple.Safari", "Safari");
  mirlet = desktop.workspace.launch("app.mirlet", "Mirlet", ActivationPolicy::accessory);
  desktop.workspace.setCurrentApplication(mirlet);
  mirletUI = std::make_unique<SimApplicationUI>(desktop, mirlet);
  auto own = mirletUI->addStandardWindow("Mirlet", {1200, 40, 300, 200});
  mirletUI->addContent(own, "AXGroup");
  mirletWindow = own.windowID;
  safariUI = std::make_unique<SimApplicationUI>(desktop, safari);
  auto page = safariUI->addStandardWindow("Inicio", {600, 100, 500, 400});
  safariUI->addContent(page, "AXWebArea");
  safariWindow = page.windowID;
  textEditUI = std::make_unique<SimApplicationUI>(desktop, textEdit);
  auto document = textEditUI->addStandardWindow("Sin título", {300, 150, 400, 300});
  textEditWindow = document.windowID;
  textArea = textEditUI->addTextArea(document);
  finderWindow = desktop.events.addWindow(finder, {50, 50, 500, 400});
  desktop.workspace.bringToFront(finder);
  settle();
}

void DesktopScenario::key(std::uint16_t keyCode, bool down, std::uint64_t flags, bool repeat) {
  InputEvent event = InputEvent::keyboard(keyCode, down, flags);
  if (repeat) event.setIntegerField(EventField::autorepeat, 1);
  desktop.events.inject(event);
}

void DesktopScenario::pressKey(std::uint16_t keyCode, std::uint64_t flags) {
  key(keyCode, true, flags);
  key(keyCode, false, flags);
}

void DesktopScenario::holdKey(std::uint16_t keyCode, std::uint64_t flags, double seconds) {
  const double start = desktop.time.uptime();
  key(keyCode, true, flags);
  for (double repeat = kKeyRepeatDelay; repeat < seconds; repeat += kKeyRepeatInterval) {
    at(start + repeat, [this, keyCode, flags] { key(keyCode, true, flags, true); });
  }
  at(start + seconds, [this, keyCode, flags] { key(keyCode, false, flags); });
}

void DesktopScenario::at(double uptime, std::function<void()> gesture) {
  desktop.time.at(uptime, [this, gesture = std::move(gesture)] { desktop.time.post(gesture); });
}

void DesktopScenario::typeShortcut(std::string_view character, std::uint64_t flags) {
  const KeyboardLayout layout(desktop.keyboardLayout);
  pressKey(layout.keyCode(character, 0), flags);
}

void DesktopScenario::mouse(EventType type, ScreenPoint point, std::int64_t clickState) {
  InputEvent event;
  event.type = type;
  event.location = point;
  if (clickState > 0) event.setIntegerField(EventField::clickState, clickState);
  desktop.events.inject(event);
}

void DesktopScenario::movePointer(ScreenPoint point) { mouse(EventType::mouseMoved, point); }

void DesktopScenario::movePointerAndRest(ScreenPoint point, double seconds) {
  movePointer(point);
  rest(seconds);
}

void DesktopScenario::click(ScreenPoint point) {
  mouse(EventType::leftMouseDown, point, 1);
  mouse(EventType::leftMouseUp, point, 1);
}

void DesktopScenario::rightClick(ScreenPoint point) {
  mouse(EventType::rightMouseDown, point, 1);
  mouse(EventType::rightMouseUp, point, 1);
}

void DesktopScenario::drag(ScreenPoint from, ScreenPoint to) {
  mouse(EventType::leftMouseDown, from, 1);
  mouse(EventType::leftMouseDragged, {(from.x + to.x) / 2, (from.y + to.y) / 2});
  mouse(EventType::leftMouseDragged, to);
  mouse(EventType::leftMouseUp, to, 1);
}

void DesktopScenario::scroll(ScreenPoint point, double delta) {
  InputEvent event;
  event.type = EventType::scrollWheel;
  event.location = point;
  event.setDoubleField(96, delta);  // scroll-wheel delta, axis 1
  desktop.events.inject(event);
}

void DesktopScenario::copyText(const std::shared_ptr<SimApplication>& application,
                               std::string_view text) {
  desktop.pasteboard.copyText(text, application->bundleIdentifier().value_or(""),
                              application->processIdentifier());
}

void DesktopScenario::activate(const std::shared_ptr<SimApplication>& application) {
  desktop.workspace.bringToFront(application);
  settle();
}

void DesktopScenario::rest(double seconds) {
  desktop.time.advance(seconds);
  settle();
}

void DesktopScenario::settle() {
  desktop.time.drainQueues();
  desktop.time.runUntilIdle();
}

}  // namespace mirlet::sim
