#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/Signal.h"
#include "host/Pasteboard.h"
#include "host/x11/XcbConnection.h"

namespace mirlet {

// The pasteboard over the X display's CLIPBOARD selection.
//
// A thread of its own, on its own connection, hears every change of owner from
// XFixes and reads the new owner's targets at once (each read with a time-out,
// large ones in INCR parts, at most `maximumBytes` per target), then hands the
// contents to the main thread as one change: `items()` never waits on another
// client. Writing makes this program the owner; the same thread answers the other
// clients' requests, large answers in INCR parts. Each change, this program's own
// writes included, moves the change count once, and observers hear of it on the
// main loop. Without a display, or when it goes away, the pasteboard is empty and
// refuses writes.
class X11Pasteboard : public Pasteboard {
 public:
  struct Limits {
    double readTimeout = 1.0;  // seconds per target, and between INCR parts
    std::size_t maximumBytes = std::size_t{256} << 20;
    // Targets named and read of an owner's list, in its order of preference (real
    // applications offer a few dozen); the password managers' hint counts wherever
    // it stands.
    std::size_t maximumTargets = 64;
  };

  explicit X11Pasteboard(MainLoop& mainLoop) : X11Pasteboard(mainLoop, Limits{}) {}
  X11Pasteboard(MainLoop& mainLoop, Limits limits);
  ~X11Pasteboard() override;
  X11Pasteboard(const X11Pasteboard&) = delete;
  X11Pasteboard& operator=(const X11Pasteboard&) = delete;

  // Whether the display answered and tells of selection changes.
  bool isAvailable() const { return available_; }

  // Pasteboard.
  std::int64_t changeCount() const override { return changeCount_; }
  std::vector<std::shared_ptr<const PasteboardItem>> items() const override;
  void clearContents() override;
  bool writeItems(const std::vector<PasteboardItemData>& items) override;
  bool emptiesWhenOwnerQuits() const override { return true; }
  // Asks the X server (a round trip to it, never to another client).
  bool isOwnerless() const override;
  // Found from the owner window's client by the X server (X-Resource), else from
  // the window's _NET_WM_PID.
  std::optional<int> ownerProcessID() const override { return ownerProcessID_; }
  bool notifiesChanges() const override { return available_; }
  Subscription observeChanges(std::function<void()> observer) override {
    return changed_.connect(std::move(observer));
  }

 private:
  using Clock = std::chrono::steady_clock;
  using Event = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;
  struct Outgoing;  // an INCR answer in progress

  // The selection thread.
  void run();
  Event nextEvent(std::optional<Clock::time_point> deadline);
  // False for the message that stops the thread. While a read waits, changes of
  // owner wait for it to finish.
  bool handle(Event event, bool reading);
  void ownerChanged(xcb_window_t owner);
  xcb_window_t currentOwner();
  std::optional<std::vector<PasteboardItemData>> readSelection();
  std::optional<Bytes> convert(xcb_atom_t target);
  std::optional<Bytes> readIncrementally();
  void answer(const xcb_selection_request_event_t& request);
  bool sendPart(Outgoing& outgoing);
  void continueOutgoing(const xcb_property_notify_event_t& event);
  void publish(std::vector<PasteboardItemData> items, std::optional<int> ownerProcessID);
  std::optional<int> processOf(xcb_window_t window);
  void sendToSelf(xcb_atom_t message);

  MainLoop& mainLoop_;
  Limits limits_;
  XcbConnection connection_;
  xcb_window_t window_ = XCB_WINDOW_NONE;
  std::uint8_t xfixesEvent_ = 0;
  bool available_ = false;
  xcb_atom_t clipboard_ = XCB_ATOM_NONE;
  xcb_atom_t property_ = XCB_ATOM_NONE;  // where conversions for this program arrive
  xcb_atom_t incr_ = XCB_ATOM_NONE;
  xcb_atom_t targets_ = XCB_ATOM_NONE;
  xcb_atom_t stop_ = XCB_ATOM_NONE;

  // Main thread.
  std::int64_t changeCount_ = 0;
  std::shared_ptr<const std::vector<PasteboardItemData>> contents_;
  std::optional<int> ownerProcessID_;
  std::shared_ptr<std::atomic<std::int64_t>> generation_;
  Signal<> changed_;

  // What this program offers while it owns the selection, shared with the thread.
  using Offer = std::vector<std::pair<std::string, Bytes>>;
  std::mutex offeredMutex_;
  std::shared_ptr<const Offer> offered_;

  // The selection thread's own.
  std::deque<Event> deferred_;
  std::vector<std::unique_ptr<Outgoing>> outgoing_;
  std::thread thread_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
