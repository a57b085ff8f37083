#include "host/sim/SimApplicationUI.h"

#include <algorithm>

#include "host/KeyboardLayout.h"

namespace mirlet::sim {
namespace {

std::string utf8(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

SimApplicationUI::SimApplicationUI(SimDesktop& desktop, std::shared_ptr<SimApplication> application)
    : desktop_(desktop), application_(std::move(application)) {
  root_ = desktop_.accessibility.applicationNode(application_->processIdentifier());
  root_->set("AXTitle", application_->localizedName().value_or(""));
  menuBar_ = root_->addChild("AXMenuBar");
  root_->compute("AXMenuBar", [this] { return AXValue(desktop_.accessibility.element(menuBar_)); });
  auto elementOrNothing = [this](const std::weak_ptr<SimAXNode>& weak) {
    auto node = weak.lock();
    return node ? AXValue(desktop_.accessibility.element(node)) : AXValue();
  };
  root_->compute("AXFocusedWindow",
                 [this, elementOrNothing] { return elementOrNothing(focusedWindow_); });
  root_->compute("AXMainWindow",
                 [this, elementOrNothing] { return elementOrNothing(focusedWindow_); });
  root_->compute("AXFocusedUIElement", [this, elementOrNothing] {
    return focusedElement_.lock() ? elementOrNothing(focusedElement_)
                                  : elementOrNothing(focusedWindow_);
  });
  root_->compute("AXWindows", [this] {
    AXValue::Array list;
    for (const auto& window : windows_) list.push_back(desktop_.accessibility.element(window.node));
    return AXValue(std::move(list));
  });
  events_ = application_->observeEvents([this](const InputEvent& event) { handle(event); });
}

void SimApplicationUI::handle(const InputEvent& event) {
  if (event.type == EventType::leftMouseDown) {
    // The clicked window comes forward and takes the focus.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      if (it->node->frame && it->node->frame->contains(event.location)) {
        focusWindow(it->node);
        return;
      }
    }
    return;
  }
  if (event.type == EventType::rightMouseDown) {
    // A context menu opens only in the focused window of the active application;
    // a click on a window in the background opens none.
    auto focused = focusedWindow_.lock();
    if (application_->isActive() && focused && focused->frame &&
        focused->frame->contains(event.location)) {
      contextMenus_.push_back(focused);
    }
    return;
  }
  // ⌘V pastes; ⌘⇧V or ⌥⌘V are other commands.
  if (event.type != EventType::keyDown ||
      (event.flags & EventFlags::modifiers) != EventFlags::command) {
    return;
  }
  const KeyboardLayout layout(desktop_.keyboardLayout);
  if (layout.character(event.keyCode()) != "v") return;
  if (auto focused = focusedElement_.lock()) pasteInto(focused);
}

void SimApplicationUI::notify(const std::shared_ptr<SimAXNode>& node,
                              const std::string& notification) {
  desktop_.accessibility.notify(node, notification);
}

SimApplicationUI::Window SimApplicationUI::addStandardWindow(const std::string& title,
                                                             ScreenRect bounds,
                                                             const std::string& identifier) {
  auto node = root_->addChild("AXWindow");
  node->set("AXSubrole", "AXStandardWindow");
  node->set("AXTitle", title);
  node->set("AXMinimized", false);
  node->set("AXModal", false);
  if (!identifier.empty()) node->set("AXIdentifier", identifier);
  node->frame = bounds;
  const std::int64_t windowID = desktop_.events.addWindow(application_, bounds);
  desktop_.accessibility.attachWindow(windowID, node);
  std::weak_ptr<SimAXNode> weak = node;
  node->compute("AXTopLevelUIElement",
                [this, weak] { return AXValue(desktop_.accessibility.element(weak.lock())); });
  node->compute("AXMain", [this, weak] { return AXValue(focusedWindow_.lock() == weak.lock()); });
  node->onAction("AXRaise", [this, windowID] {
    desktop_.events.bringWindowToFront(windowID);
    return AXError::success;
  });
  node->onSet("AXMain", [this, weak](const AXValue& value) {
    const bool* main = value.as<bool>();
    if (!main) return AXError::illegalArgument;
    if (*main) focusWindow(weak.lock());
    return AXError::success;
  });
  Window window{node, windowID};
  windows_.push_back(window);
  focusWindow(node);
  return window;
}

SimApplicationUI::Window SimApplicationUI::addModalWindow(const std::string& title,
                                                          ScreenRect bounds) {
  Window window = addStandardWindow(title, bounds);
  window.node->set("AXSubrole", "AXDialog");
  window.node->set("AXModal", true);
  return window;
}

std::shared_ptr<SimAXNode> SimApplicationUI::addSheet(const Window& window,
                                                      const std::string& title) {
  auto sheet = window.node->addChild("AXSheet");
  sheet->set("AXTitle", title);
  std::weak_ptr<SimAXNode> owner = window.node;
  sheet->compute("AXTopLevelUIElement",
                 [this, owner] { return AXValue(desktop_.accessibility.element(owner.lock())); });
  focusElement(sheet);
  return sheet;
}

void SimApplicationUI::closeWindow(const Window& window) {
  std::erase_if(windows_, [&](const Window& other) { return other.node == window.node; });
  if (window.windowID != 0) desktop_.events.removeWindow(window.windowID);
  root_->removeChild(window.node);
  if (focusedWindow_.lock() == window.node) {
    focusedElement_.reset();
    if (windows_.empty()) {
      focusedWindow_.reset();
    } else {
      focusWindow(windows_.back().node);
    }
  }
}

void SimApplicationUI::moveWindow(const Window& window, ScreenRect bounds) {
  const ScreenRect was = window.node->frame.value_or(bounds);
  window.node->frame = bounds;
  for (const auto& child : window.node->children()) {
    if (!child->frame) continue;
    child->frame->x += bounds.x - was.x;
    child->frame->y += bounds.y - was.y;
    child->frame->width = std::max(0.0, child->frame->width + bounds.width - was.width);
    child->frame->height = std::max(0.0, child->frame->height + bounds.height - was.height);
  }
  if (window.windowID != 0) desktop_.events.moveWindow(window.windowID, bounds);
}

void SimApplicationUI::focusWindow(const std::shared_ptr<SimAXNode>& window) {
  if (!window) return;
  focusedWindow_ = window;
  focusedElement_.reset();
  auto found = std::find_if(windows_.begin(), windows_.end(),
                            [&](const Window& w) { return w.node == window; });
  // Only the active application's windows come forward; focusing a window of an
  // application in the background leaves the screen as it is.
  if (found != windows_.end() && found->windowID != 0 && application_->isActive())
    desktop_.events.bringWindowToFront(found->windowID);
  notify(window, "AXFocusedWindowChanged");
  notify(window, "AXFocusedUIElementChanged");
}

void SimApplicationUI::focusElement(const std::shared_ptr<SimAXNode>& element) {
  focusedElement_ = element;
  notify(element, "AXFocusedUIElementChanged");
}

void SimApplicationUI::setTitle(const std::shared_ptr<SimAXNode>& window,
                                const std::string& title) {
  window->set("AXTitle", title);
  notify(window, "AXTitleChanged");
}

void SimApplicationUI::setMinimized(const std::shared_ptr<SimAXNode>& window, bool minimized) {
  window->set("AXMinimized", minimized);
  if (minimized) {
    minimized_.insert(window);
  } else {
    minimized_.erase(window);
  }
  auto found = std::find_if(windows_.begin(), windows_.end(),
                            [&](const Window& w) { return w.node == window; });
  if (found != windows_.end() && found->windowID != 0)
    desktop_.events.setWindowOnScreen(found->windowID, !minimized);
  notify(window, minimized ? "AXWindowMiniaturized" : "AXWindowDeminiaturized");
  if (minimized && focusedWindow_.lock() == window) {
    // The focus moves to the application's next window still on screen.
    focusedWindow_.reset();
    focusedElement_.reset();
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      if (!minimized_.contains(it->node)) {
        focusWindow(it->node);
        return;
      }
    }
    notify(root_, "AXFocusedWindowChanged");
  } else if (!minimized) {
    focusWindow(window);
  }
}

std::shared_ptr<SimAXNode> SimApplicationUI::addMenu(const std::string& title) {
  auto barItem = menuBar_->addChild("AXMenuBarItem");
  barItem->set("AXTitle", title);
  auto menu = barItem->addChild("AXMenu");
  menu->set("AXTitle", title);
  return menu;
}

std::shared_ptr<SimAXNode> SimApplicationUI::addMenuItem(const std::shared_ptr<SimAXNode>& menu,
                                                         const std::string& identifier,
                                                         std::function<std::string()> title,
                                                         std::function<bool()> enabled,
                                                         std::function<void()> pressed) {
  auto item = menu->addChild("AXMenuItem");
  if (!identifier.empty()) item->set("AXIdentifier", identifier);
  item->compute("AXTitle", [title] { return AXValue(title()); });
  item->compute("AXEnabled", [enabled] { return AXValue(enabled()); });
  item->onAction("AXPress", [enabled, pressed] {
    if (!enabled()) return AXError::cannotComplete;
    pressed();
    return AXError::success;
  });
  return item;
}

std::shared_ptr<SimAXNode> SimApplicationUI::addContent(const Window& window,
                                                        const std::string& role) {
  auto content = window.node->addChild(role);
  if (window.node->frame) {
    ScreenRect frame = *window.node->frame;
    frame.y += kTitleBarHeight;
    frame.height = std::max(0.0, frame.height - kTitleBarHeight);
    content->frame = frame;
  }
  return content;
}

std::shared_ptr<SimAXNode> SimApplicationUI::addTextArea(const Window& window) {
  auto area = addContent(window, "AXTextArea");
  std::weak_ptr<SimAXNode> weak = area;
  texts_.emplace_back(weak, "");
  area->compute("AXValue", [this, weak] { return AXValue(text(weak.lock())); });
  std::weak_ptr<SimAXNode> owner = window.node;
  area->compute("AXTopLevelUIElement",
                [this, owner] { return AXValue(desktop_.accessibility.element(owner.lock())); });
  focusElement(area);
  return area;
}

const std::string& SimApplicationUI::text(const std::shared_ptr<SimAXNode>& textArea) const {
  static const std::string kNone;
  for (const auto& [node, content] : texts_) {
    if (node.lock() == textArea) return content;
  }
  return kNone;
}

void SimApplicationUI::pasteInto(const std::shared_ptr<SimAXNode>& textArea) {
  for (auto& [node, content] : texts_) {
    if (node.lock() != textArea) continue;
    for (const auto& item : desktop_.pasteboard.items()) {
      if (auto data = item->data("public.utf8-plain-text")) content += utf8(*data);
    }
  }
}

}  // namespace mirlet::sim
