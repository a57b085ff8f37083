#include "host/x11/X11Accessibility.h"

#include <xcb/xtest.h>

namespace mirlet {
namespace {

// An element of this host: an application, or one of its windows.
struct Element : AXElement::Handle {
  Element(int process, xcb_window_t ofWindow) : pid(process), window(ofWindow) {}
  bool sameElement(const Handle& other) const override {
    const auto* element = dynamic_cast<const Element*>(&other);
    return element && element->pid == pid && element->window == window;
  }
  int pid;
  xcb_window_t window;  // none for the application itself
};

const Element* element(const AXElement& handle) {
  return dynamic_cast<const Element*>(handle.handle());
}

}  // namespace

X11Accessibility::X11Accessibility(X11Display& display, X11Workspace& workspace)
    : display_(display), workspace_(workspace) {}

bool X11Accessibility::isProcessTrusted() const {
  if (!display_.isOpen()) return false;
  const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(display_.get(), &xcb_test_id);
  return xtest && xtest->present;
}

AXElement X11Accessibility::systemWide() {
  return AXElement(std::make_shared<Element>(0, XCB_WINDOW_NONE));
}

AXElement X11Accessibility::application(int pid) {
  return AXElement(std::make_shared<Element>(pid, XCB_WINDOW_NONE));
}

AXResult X11Accessibility::copyAttribute(const AXElement& handle, const std::string& attribute) {
  // Asked on a background queue: events read meanwhile go to the main thread.
  const struct Deliver {
    X11Display& display;
    ~Deliver() { display.deliverSoon(); }
  } deliver{display_};
  const Element* target = element(handle);
  if (!target) return {AXError::illegalArgument, {}};
  if (target->window == XCB_WINDOW_NONE && attribute == "AXFocusedWindow") {
    const xcb_window_t active = workspace_.activeWindow();
    if (active == XCB_WINDOW_NONE || workspace_.processOf(active) != target->pid) {
      return {AXError::noValue, {}};
    }
    return {AXError::success, AXValue(AXElement(std::make_shared<Element>(target->pid, active)))};
  }
  if (target->window != XCB_WINDOW_NONE && attribute == "AXTitle") {
    auto title = workspace_.title(target->window);
    if (!title) return {AXError::noValue, {}};
    return {AXError::success, AXValue(std::move(*title))};
  }
  return {AXError::attributeUnsupported, {}};
}

std::optional<int> X11Accessibility::processID(const AXElement& handle) {
  const Element* target = element(handle);
  if (!target) return std::nullopt;
  return target->pid;
}

}  // namespace mirlet
