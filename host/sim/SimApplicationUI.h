#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/sim/SimDesktop.h"

namespace mirlet::sim {

// The user interface of a simulated application as accessibility sees it:
// standard windows (with their window-list entries), sheets, modal windows, a
// menu bar, the focused window and element. Changes emit the notifications the
// platform would ("AXFocusedWindowChanged", "AXFocusedUIElementChanged",
// "AXTitleChanged").
class SimApplicationUI {
 public:
  static constexpr double kTitleBarHeight = 28;

  struct Window {
    std::shared_ptr<SimAXNode> node;
    std::int64_t windowID = 0;  // 0 for sheets, which have no entry of their own
  };

  SimApplicationUI(SimDesktop& desktop, std::shared_ptr<SimApplication> application);
  SimApplicationUI(const SimApplicationUI&) = delete;
  SimApplicationUI& operator=(const SimApplicationUI&) = delete;

  const std::shared_ptr<SimApplication>& application() const { return application_; }
  std::shared_ptr<SimAXNode> root() const { return root_; }

  // A standard window ("AXWindow", "AXStandardWindow"), brought to the front and
  // focused. "AXRaise" brings it to the front; "AXMain" can be set to true.
  Window addStandardWindow(const std::string& title, ScreenRect bounds,
                           const std::string& identifier = {});
  // A window whose subrole says it is a dialog and whose "AXModal" is true.
  Window addModalWindow(const std::string& title, ScreenRect bounds);
  // A sheet attached to a window; focused.
  std::shared_ptr<SimAXNode> addSheet(const Window& window, const std::string& title);
  void closeWindow(const Window& window);
  // The application moves or resizes its window on its own (its content with it),
  // without coming forward.
  void moveWindow(const Window& window, ScreenRect bounds);

  void focusWindow(const std::shared_ptr<SimAXNode>& window);
  void focusElement(const std::shared_ptr<SimAXNode>& element);
  void setTitle(const std::shared_ptr<SimAXNode>& window, const std::string& title);
  void setMinimized(const std::shared_ptr<SimAXNode>& window, bool minimized);
  std::shared_ptr<SimAXNode> focusedWindow() const { return focusedWindow_.lock(); }
  // The standard and modal windows, oldest first.
  const std::vector<Window>& windows() const { return windows_; }
  std::shared_ptr<SimAXNode> focusedElement() const { return focusedElement_.lock(); }

  // The menu bar: its top-level items ("AXMenuBarItem"), each with one menu.
  std::shared_ptr<SimAXNode> menuBar() const { return menuBar_; }
  // A top-level menu; its items are added with addMenuItem.
  std::shared_ptr<SimAXNode> addMenu(const std::string& title);
  // An item pressed with "AXPress"; its title and enabled state may be computed.
  std::shared_ptr<SimAXNode> addMenuItem(const std::shared_ptr<SimAXNode>& menu,
                                         const std::string& identifier,
                                         std::function<std::string()> title,
                                         std::function<bool()> enabled,
                                         std::function<void()> pressed);

  // An element with that role filling the window below its title bar, so that a hit
  // test over the window's content lands on it.
  std::shared_ptr<SimAXNode> addContent(const Window& window, const std::string& role);
  // A content text area that takes the focus and receives pasted text.
  std::shared_ptr<SimAXNode> addTextArea(const Window& window);
  const std::string& text(const std::shared_ptr<SimAXNode>& textArea) const;
  // The windows whose context menu a right click opened, in order. Only the focused
  // window of the active application opens one.
  std::vector<std::shared_ptr<SimAXNode>> contextMenus() const {
    std::vector<std::shared_ptr<SimAXNode>> windows;
    for (const auto& weak : contextMenus_) windows.push_back(weak.lock());
    return windows;
  }

 private:
  void handle(const InputEvent& event);
  void notify(const std::shared_ptr<SimAXNode>& node, const std::string& notification);
  void pasteInto(const std::shared_ptr<SimAXNode>& textArea);

  SimDesktop& desktop_;
  std::shared_ptr<SimApplication> application_;
  std::shared_ptr<SimAXNode> root_;
  std::shared_ptr<SimAXNode> menuBar_;
  std::weak_ptr<SimAXNode> focusedWindow_;
  std::weak_ptr<SimAXNode> focusedElement_;
  std::vector<Window> windows_;
  std::set<std::shared_ptr<SimAXNode>> minimized_;
  std::vector<std::pair<std::weak_ptr<SimAXNode>, std::string>> texts_;
  std::vector<std::weak_ptr<SimAXNode>> contextMenus_;
  Subscription events_;
};

}  // namespace mirlet::sim
