#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "RightClickFocus/machine/RightClickStateMachine.h"
#include "core/Uuid.h"
#include "host/InputEvent.h"

namespace mirlet {

// A right-button event as the machine sees it, with the event itself kept for
// replay.
struct RightClickEventSnapshot {
  // "MIRL" in source user data: the feature's own replays.
  static constexpr std::int64_t kReplayTag = 0x4D49524C;

  RightClickEvent input;
  InputEvent original;

  // Only right-button presses and releases.
  static std::optional<RightClickEventSnapshot> make(const InputEvent& event);
  // A snapshot of a right-button press, release or drag, tagged as a replay.
  static std::optional<InputEvent> copyForReplay(const InputEvent& event);
  std::optional<InputEvent> makeReplay() const { return copyForReplay(original); }

  friend bool operator==(const RightClickEventSnapshot&, const RightClickEventSnapshot&) = default;
};

// What to do with an incoming right-button event.
struct RightClickBufferedOutput {
  bool suppressOriginal = false;
  std::optional<Uuid> focusRequest;
  std::vector<InputEvent> replays;  // post these, in order
  bool copyFailed = false;          // nothing is replayed and the machine's step is undone
  friend bool operator==(const RightClickBufferedOutput&,
                         const RightClickBufferedOutput&) = default;
};

// The machine at work on real events: it records the press, release and drags of
// the current gesture (at most 256 drags held while focusing), and turns the
// machine's effects into events to swallow and copies to post. How replays are
// prepared is replaceable, so that a copy failure can be tested.
class RightClickEventBuffer {
 public:
  static constexpr std::size_t kMaximumHeldDrags = 256;
  using PrepareReplay = std::function<std::optional<InputEvent>(const RightClickEventSnapshot&)>;

  explicit RightClickEventBuffer(
      PrepareReplay prepareReplay = [](const RightClickEventSnapshot& s) { return s.makeReplay(); })
      : prepareReplay_(std::move(prepareReplay)) {}

  RightClickStateMachine::State state() const { return machine_.state(); }

  // An incoming event; `transactionID` names a transaction it may start.
  RightClickBufferedOutput receive(const InputEvent& event, bool eligible,
                                   const Uuid& transactionID = Uuid::random());
  RightClickBufferedOutput resolve(const Uuid& transactionID, bool confirmed);
  void cancel();
  // While the button is held after a replayed press: a release of it (pressure 0,
  // timestamp `uptimeNanos`) for the caller to post, and the buffer starts over.
  std::optional<InputEvent> emergencyRelease(std::uint64_t uptimeNanos);

  friend bool operator==(const RightClickEventBuffer& a, const RightClickEventBuffer& b) {
    return a.machine_ == b.machine_ && a.down_ == b.down_ && a.up_ == b.up_ &&
           a.pendingDrags_ == b.pendingDrags_ && a.lastDelivered_ == b.lastDelivered_;
  }

 private:
  RightClickBufferedOutput translate(const std::vector<RightClickEffect>& effects);
  void clear();

  RightClickStateMachine machine_;
  std::optional<RightClickEventSnapshot> down_;
  std::optional<RightClickEventSnapshot> up_;
  std::vector<InputEvent> pendingDrags_;
  std::optional<InputEvent> lastDelivered_;
  PrepareReplay prepareReplay_;
};

// Swallows the rest of a gesture after the feature stopped in the middle of it.
struct RightClickReleaseDrain {
  bool isWaiting = false;

  void stop(bool physicalButtonDown, bool hasInterceptedGesture) {
    isWaiting = isWaiting || (physicalButtonDown && hasInterceptedGesture);
  }
  // Whether to swallow this event; the release ends the wait, and so does a new
  // press (the release came unseen), which passes.
  bool suppress(EventType type, bool ownReplay);

  friend bool operator==(const RightClickReleaseDrain&, const RightClickReleaseDrain&) = default;
};

}  // namespace mirlet
