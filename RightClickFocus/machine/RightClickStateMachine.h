#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "core/Uuid.h"

namespace mirlet {

// A press or release of the right button, as the machine sees it.
struct RightClickEvent {
  enum class Kind { down, up };
  Kind kind = Kind::down;
  double x = 0;
  double y = 0;
  std::uint64_t flags = 0;
  std::int64_t clickCount = 0;
  bool isSynthetic = false;  // posted by this program (a replay)

  RightClickEvent synthetic() const {
    RightClickEvent copy = *this;
    copy.isSynthetic = true;
    return copy;
  }
  friend bool operator==(const RightClickEvent&, const RightClickEvent&) = default;
};

namespace RightClickEffects {
// Focus the window under the click for this transaction; report with resolveFocus.
struct RequestFocus {
  Uuid transactionID;
  friend bool operator==(const RequestFocus&, const RequestFocus&) = default;
};
// Post this (synthetic) event.
struct Replay {
  RightClickEvent event;
  friend bool operator==(const Replay&, const Replay&) = default;
};
struct Pass {
  friend bool operator==(const Pass&, const Pass&) = default;
};
struct Suppress {
  friend bool operator==(const Suppress&, const Suppress&) = default;
};
}  // namespace RightClickEffects

using RightClickEffect = std::variant<RightClickEffects::RequestFocus, RightClickEffects::Replay,
                                      RightClickEffects::Pass, RightClickEffects::Suppress>;

// The rules of a right click on a window without the focus: the press is held
// back, the window focused, then the same click delivered again. It decides only;
// the owner carries out the effects, in order. A plain value.
class RightClickStateMachine {
 public:
  struct Pending {
    Uuid id;
    RightClickEvent down;
    std::optional<RightClickEvent> up;
    friend bool operator==(const Pending&, const Pending&) = default;
  };

  // The public view of the phase.
  enum class Phase { awaitingFocus, pressed, discarding, idle };
  struct State {
    Phase phase = Phase::idle;
    std::optional<Uuid> transactionID;  // every phase but idle has one
    friend bool operator==(const State&, const State&) = default;
  };

  State state() const;

  // One press or release; `isEligible`: the owner decided the window under the
  // pointer needs focusing. A new transaction is named `transactionID` (a fresh
  // random one unless the caller gives it).
  std::vector<RightClickEffect> handle(const RightClickEvent& event, bool isEligible,
                                       const Uuid& transactionID = Uuid::random());
  // The outcome of focusing for a transaction; an older transaction's is ignored.
  std::vector<RightClickEffect> resolveFocus(const Uuid& transactionID, bool confirmed);
  // Drops a transaction awaiting focus; its press is never replayed, and a release
  // still to come is swallowed.
  std::vector<RightClickEffect> cancel();

  friend bool operator==(const RightClickStateMachine&, const RightClickStateMachine&) = default;

 private:
  struct Idle {
    friend bool operator==(const Idle&, const Idle&) = default;
  };
  struct AwaitingFocus {
    Pending pending;
    friend bool operator==(const AwaitingFocus&, const AwaitingFocus&) = default;
  };
  struct Pressed {
    Uuid id;
    friend bool operator==(const Pressed&, const Pressed&) = default;
  };
  struct Discarding {
    Uuid id;
    friend bool operator==(const Discarding&, const Discarding&) = default;
  };

  std::variant<AwaitingFocus, Pressed, Discarding, Idle> phase_ = Idle{};
};

}  // namespace mirlet
