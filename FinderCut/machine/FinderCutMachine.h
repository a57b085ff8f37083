#pragma once

#include <cstdint>
#include <optional>
#include <variant>

#include "core/Uuid.h"

namespace mirlet {

// One observed run of the Finder process: a relaunch, or a Finder seen again after
// the feature lost track of it, is a new generation.
struct FinderInstance {
  std::int32_t processID = 0;
  Uuid generation;
  friend bool operator==(const FinderInstance&, const FinderInstance&) = default;
};

// Where the keyboard focus is, as the feature classified it.
namespace FinderCutContexts {
// Finder's focused file view holds a file selection; the identity is made for the
// one ⌘X being decided.
struct FileSelection {
  FinderInstance finder;
  Uuid selectionIdentity;
  friend bool operator==(const FileSelection&, const FileSelection&) = default;
};
// Finder's focused file view as the target of a ⌘V.
struct Destination {
  FinderInstance finder;
  friend bool operator==(const Destination&, const Destination&) = default;
};
struct Text {
  friend bool operator==(const Text&, const Text&) = default;
};
struct OtherApplication {
  friend bool operator==(const OtherApplication&, const OtherApplication&) = default;
};
struct Unknown {
  friend bool operator==(const Unknown&, const Unknown&) = default;
};
}  // namespace FinderCutContexts

using FinderCutContext =
    std::variant<FinderCutContexts::FileSelection, FinderCutContexts::Destination,
                 FinderCutContexts::Text, FinderCutContexts::OtherApplication,
                 FinderCutContexts::Unknown>;

// One snapshot of the situation, handed to every operation.
struct FinderCutEnvironment {
  FinderCutContext context = FinderCutContexts::Unknown{};
  std::int64_t changeCount = 0;  // the pasteboard's
  bool isEnabled = false;
  bool hasPermission = false;

  bool isActive() const { return isEnabled && hasPermission; }
  friend bool operator==(const FinderCutEnvironment&, const FinderCutEnvironment&) = default;
};

// A cut waiting for Finder's copy to land on the pasteboard.
struct FinderCopyRequest {
  Uuid generation;  // new for every cut
  FinderInstance finder;
  Uuid selectionIdentity;
  std::int64_t initialChangeCount = 0;
  friend bool operator==(const FinderCopyRequest&, const FinderCopyRequest&) = default;
};

// Finder's copy, checked to have put exactly the selected files on the pasteboard.
struct VerifiedFinderCopy {
  FinderInstance finder;
  Uuid selectionIdentity;
  Uuid copyIdentity;
  std::int64_t changeCount = 0;  // the one the copy produced
  friend bool operator==(const VerifiedFinderCopy&, const VerifiedFinderCopy&) = default;
};

namespace FinderCutStates {
struct Idle {
  friend bool operator==(const Idle&, const Idle&) = default;
};
struct AwaitingCopy {
  FinderCopyRequest request;
  friend bool operator==(const AwaitingCopy&, const AwaitingCopy&) = default;
};
struct Armed {
  VerifiedFinderCopy copy;
  friend bool operator==(const Armed&, const Armed&) = default;
};
}  // namespace FinderCutStates

using FinderCutState =
    std::variant<FinderCutStates::AwaitingCopy, FinderCutStates::Armed, FinderCutStates::Idle>;

// What the caller does with the key event that caused the call.
namespace FinderCutEffects {
// Swallow the ⌘X, run Finder's copy, then report it with `confirmCopy`.
struct CopyInFinder {
  FinderCopyRequest request;
  friend bool operator==(const CopyInFinder&, const CopyInFinder&) = default;
};
// Swallow the ⌘V and run Finder's move of the copied items here.
struct MoveInFinder {
  VerifiedFinderCopy copy;
  friend bool operator==(const MoveInFinder&, const MoveInFinder&) = default;
};
// Let the key reach Finder unchanged.
struct PassThrough {
  friend bool operator==(const PassThrough&, const PassThrough&) = default;
};
}  // namespace FinderCutEffects

using FinderCutEffect = std::variant<FinderCutEffects::CopyInFinder, FinderCutEffects::MoveInFinder,
                                     FinderCutEffects::PassThrough>;

// The rules of a Finder cut: ⌘X on a file selection becomes Finder's copy, and once
// that copy is verified, a ⌘V in a destination of the same Finder run with the
// pasteboard unchanged becomes Finder's move. It decides only, and expires nothing
// by itself: the caller invalidates. A plain value.
class FinderCutMachine {
 public:
  const FinderCutState& state() const { return state_; }

  // A ⌘X: replaces whatever was pending or armed. `generation` names the request
  // (a fresh random one unless the caller gives it).
  FinderCutEffect cut(const FinderCutEnvironment& environment,
                      const Uuid& generation = Uuid::random());
  // Finder's copy for `request` finished; `verified` is absent when it failed or
  // could not be verified. Only the request still awaited counts.
  void confirmCopy(const FinderCopyRequest& request,
                   const std::optional<VerifiedFinderCopy>& verified,
                   const FinderCutEnvironment& environment);
  // A ⌘V: disarms whatever happens; `revalidated` is the armed copy re-checked
  // against the pasteboard just now.
  FinderCutEffect paste(const FinderCutEnvironment& environment,
                        const std::optional<VerifiedFinderCopy>& revalidated);
  void invalidate() { state_ = FinderCutStates::Idle{}; }

  friend bool operator==(const FinderCutMachine&, const FinderCutMachine&) = default;

 private:
  FinderCutState state_ = FinderCutStates::Idle{};
};

}  // namespace mirlet
