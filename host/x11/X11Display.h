#pragma once

#include <xcb/xcb.h>

#include <functional>
#include <memory>

#include "core/Signal.h"
#include "host/x11/XcbConnection.h"

class QSocketNotifier;

namespace mirlet {

// The main thread's connection to the X display. Its events reach their
// listeners on Qt's loop, as the server sends them; events that arrived while
// the main thread waited for a reply are delivered on the next turn.
class X11Display {
 public:
  using Listener = std::function<void(const xcb_generic_event_t&)>;

  X11Display();
  ~X11Display();
  X11Display(const X11Display&) = delete;
  X11Display& operator=(const X11Display&) = delete;

  bool isOpen() const { return connection_.isOpen(); }
  XcbConnection& connection() { return connection_; }
  xcb_connection_t* get() const { return connection_.get(); }
  xcb_window_t root() const { return connection_.root(); }

  [[nodiscard]] Subscription listen(Listener listener) {
    return events_.connect(std::move(listener));
  }
  // Hands out the events already read, after a round trip (on any thread) may
  // have queued some.
  void deliverSoon();

 private:
  void deliver();

  XcbConnection connection_;
  std::unique_ptr<QSocketNotifier> notifier_;
  Signal<const xcb_generic_event_t&> events_;
};

}  // namespace mirlet
