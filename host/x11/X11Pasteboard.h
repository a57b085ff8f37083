#pragma once

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <array>
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
#include "host/ClipboardTargets.h"
#include "host/Pasteboard.h"
#include "host/x11/XcbConnection.h"

namespace mirlet {

// The pasteboard over the X display's CLIPBOARD selection.
//
// A thread of its own, on its own connection, hears every change of owner from
// XFixes, reads the new owner's target list, and lets the read planner decide on
// the main thread what else to read; it then reads that (large answers in INCR
// parts, at most `maximumBytes` a target, all within the change's deadline) and
// hands the contents to the main thread as one change: `items()` never waits on
// another client. A newer owner ends the read of the one before it, whose
// contents are never published; only answers to this read, for its target, time
// and property, are taken. Writing makes this program the owner; the same thread
// answers the other clients' requests, large answers in INCR parts. Each change,
// this program's own writes included, moves the change count once, and observers
// hear of it on the main loop. Without a display, or when it goes away, the
// pasteboard is empty and refuses writes.
class X11Pasteboard : public Pasteboard {
 public:
  struct Limits {
    double readTimeout = 1.0;  // seconds an owner may stay silent: per answer, per INCR part
    std::size_t maximumBytes = std::size_t{256} << 20;
    // Targets named and read of an owner's list, in its order of preference (real
    // applications offer a few dozen); the password managers' hint counts wherever
    // it stands.
    std::size_t maximumTargets = 64;
    // Seconds for the whole of one change, the planner's turn included: an owner
    // that trickles or answers each target just in time holds up nothing longer.
    double changeTimeout = 10.0;
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
  Subscription planReads(
      std::function<PasteboardReadPlan(const PasteboardOffer&)> planner) override;

 private:
  using Clock = std::chrono::steady_clock;
  using Event = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;
  using Planner = std::function<PasteboardReadPlan(const PasteboardOffer&)>;
  struct Outgoing;  // an INCR answer in progress
  // One change being read: when it was announced and when its time is up.
  struct Change {
    xcb_timestamp_t time;
    Clock::time_point deadline;
  };
  enum class ReadStatus { done, failed, overLimit, interrupted };

  // The selection thread.
  void run();
  Event nextEvent(std::optional<Clock::time_point> deadline);
  // While a change is read, the notice of a newer owner and the stop message wait
  // for the loop, and interrupt the read.
  void handle(Event event, bool reading);
  void ownerChanged(const xcb_xfixes_selection_notify_event_t& notice);
  xcb_window_t currentOwner();
  std::optional<PasteboardReadPlan> awaitPlan(PasteboardOffer offer, const Change& change);
  std::optional<std::vector<PasteboardItemData>> readTargets(
      const std::vector<ClipboardTargets::Source>& sources, const PasteboardReadPlan& plan,
      const Change& change);
  ReadStatus convert(xcb_atom_t target, const Change& change, std::size_t limit, Bytes& data);
  ReadStatus readIncrementally(xcb_atom_t property, std::size_t announced, const Change& change,
                               std::size_t limit, Bytes& data);
  bool isAnswer(const xcb_generic_event_t& event, xcb_atom_t target, xcb_atom_t property,
                const Change& change) const;
  void answer(const xcb_selection_request_event_t& request);
  bool sendPart(Outgoing& outgoing);
  void continueOutgoing(const xcb_property_notify_event_t& event);
  void publish(std::vector<PasteboardItemData> items, bool dataRead,
               std::optional<int> ownerProcessID);
  std::optional<int> processOf(xcb_window_t window);
  void sendToSelf(xcb_atom_t message);

  MainLoop& mainLoop_;
  Limits limits_;
  XcbConnection connection_;
  xcb_window_t window_ = XCB_WINDOW_NONE;
  std::uint8_t xfixesEvent_ = 0;
  bool available_ = false;
  xcb_atom_t clipboard_ = XCB_ATOM_NONE;
  // Where conversions for this program arrive, taken in turn: a late answer to an
  // earlier request lands beside the one awaited.
  std::array<xcb_atom_t, 4> properties_{};
  std::size_t nextProperty_ = 0;
  xcb_atom_t incr_ = XCB_ATOM_NONE;
  xcb_atom_t targets_ = XCB_ATOM_NONE;
  xcb_atom_t stop_ = XCB_ATOM_NONE;
  xcb_atom_t planned_ = XCB_ATOM_NONE;  // the message that a plan is ready

  // Main thread.
  std::int64_t changeCount_ = 0;
  std::shared_ptr<const std::vector<PasteboardItemData>> contents_;
  bool dataRead_ = true;  // false: the contents' types only, none of their data
  std::optional<int> ownerProcessID_;
  std::weak_ptr<Planner> planner_;  // held by the subscription planReads gave
  std::shared_ptr<std::atomic<std::int64_t>> generation_;
  Signal<> changed_;

  // What this program offers while it owns the selection, shared with the thread.
  using Offer = std::vector<std::pair<std::string, Bytes>>;
  std::mutex offeredMutex_;
  std::shared_ptr<const Offer> offered_;

  // The plan for the change being read, from the main thread.
  std::mutex plannedMutex_;
  std::optional<std::pair<std::uint64_t, PasteboardReadPlan>> plan_;

  // The selection thread's own.
  std::uint64_t changesRead_ = 0;
  bool interrupted_ = false;
  bool stopping_ = false;
  std::deque<Event> deferred_;
  std::vector<std::unique_ptr<Outgoing>> outgoing_;
  std::thread thread_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
