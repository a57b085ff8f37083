#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "host/KeyboardLayout.h"
#include "host/sim/SimApplicationUI.h"
#include "host/sim/SimDesktop.h"

namespace mirlet::sim {

// A desktop for scenario tests, with Finder, a text editor and a browser running
// (each with a window; the editor's has a text area that takes pasted text), this
// program as an accessory application with a window of its own (the workspace's
// current application), and helpers that
// read like the user's gestures. Everything runs on virtual time: `rest` lets
// time pass. Tests that need Finder's folders add a SimFinder.
class DesktopScenario {
 public:
  // The keyboard's repeat: the first repeat after the delay, then one per interval.
  static constexpr double kKeyRepeatDelay = 0.375;
  static constexpr double kKeyRepeatInterval = 0.09;

  DesktopScenario();

  SimDesktop desktop;
  std::shared_ptr<SimApplication> finder;
  std::shared_ptr<SimApplication> textEdit;
  std::shared_ptr<SimApplication> safari;
  std::shared_ptr<SimApplication> mirlet;
  std::unique_ptr<SimApplicationUI> textEditUI;
  std::unique_ptr<SimApplicationUI> safariUI;
  std::unique_ptr<SimApplicationUI> mirletUI;
  std::shared_ptr<SimAXNode> textArea;
  std::int64_t finderWindow = 0;
  std::int64_t textEditWindow = 0;
  std::int64_t safariWindow = 0;
  std::int64_t mirletWindow = 0;

  // Key down and up of one key, with modifier flags.
  void pressKey(std::uint16_t keyCode, std::uint64_t flags = 0);
  // Holds the key down for `seconds`: the key down, its repeats (field 8 set) at
  // the keyboard's rate, then the key up, each on the world's time.
  void holdKey(std::uint16_t keyCode, std::uint64_t flags, double seconds);
  // The key that types `character` on the current layout, with the flags: ⌘X is
  // typeShortcut("x", EventFlags::command).
  void typeShortcut(std::string_view character, std::uint64_t flags);
  void movePointer(ScreenPoint point);
  // Moves the pointer there and lets it rest.
  void movePointerAndRest(ScreenPoint point, double seconds);
  void click(ScreenPoint point);
  void rightClick(ScreenPoint point);
  void drag(ScreenPoint from, ScreenPoint to);
  void scroll(ScreenPoint point, double delta);
  // The application copies plain text, as most do.
  void copyText(const std::shared_ptr<SimApplication>& application, std::string_view text);
  // The user brings the application to the front.
  void activate(const std::shared_ptr<SimApplication>& application);
  // The user acts at that uptime, whatever the program is doing then: the gesture
  // waits, as input does, until the program's main loop takes it.
  void at(double uptime, std::function<void()> gesture);
  // Lets virtual time pass, running what falls due.
  void rest(double seconds);
  // Runs what is due now, on the main loop and the background queues.
  void settle();

 private:
  void mouse(EventType type, ScreenPoint point, std::int64_t clickState = 0);
  void key(std::uint16_t keyCode, bool down, std::uint64_t flags, bool repeat = false);
};

}  // namespace mirlet::sim
