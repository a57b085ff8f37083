#include "FinderCut/machine/FinderCutMachine.h"

#include <utility>

namespace mirlet {

FinderCutEffect FinderCutMachine::cut(const FinderCutEnvironment& environment,
                                      const Uuid& generation) {
  state_ = FinderCutStates::Idle{};
  if (!environment.isActive()) return FinderCutEffects::PassThrough{};
  const auto* selection = std::get_if<FinderCutContexts::FileSelection>(&environment.context);
  if (!selection) return FinderCutEffects::PassThrough{};
  const FinderCopyRequest request{generation, selection->finder, selection->selectionIdentity,
                                  environment.changeCount};
  state_ = FinderCutStates::AwaitingCopy{request};
  return FinderCutEffects::CopyInFinder{request};
}

void FinderCutMachine::confirmCopy(const FinderCopyRequest& request,
                                   const std::optional<VerifiedFinderCopy>& verified,
                                   const FinderCutEnvironment& environment) {
  const auto* awaiting = std::get_if<FinderCutStates::AwaitingCopy>(&state_);
  if (!awaiting || !(awaiting->request == request)) return;  // late or stale
  state_ = FinderCutStates::Idle{};
  if (!environment.isActive()) return;
  const FinderCutContext expected =
      FinderCutContexts::FileSelection{request.finder, request.selectionIdentity};
  if (!(environment.context == expected)) return;  // focus or selection moved meanwhile
  if (!verified || !(verified->finder == request.finder) ||
      verified->selectionIdentity != request.selectionIdentity) {
    return;
  }
  if (verified->changeCount == request.initialChangeCount) return;  // nothing was copied
  if (verified->changeCount != environment.changeCount) return;     // another copy came after
  state_ = FinderCutStates::Armed{*verified};
}

FinderCutEffect FinderCutMachine::paste(const FinderCutEnvironment& environment,
                                        const std::optional<VerifiedFinderCopy>& revalidated) {
  const FinderCutState before = std::exchange(state_, FinderCutStates::Idle{});
  if (!environment.isActive()) return FinderCutEffects::PassThrough{};
  const auto* armed = std::get_if<FinderCutStates::Armed>(&before);
  if (!armed) return FinderCutEffects::PassThrough{};
  const auto* destination = std::get_if<FinderCutContexts::Destination>(&environment.context);
  if (!destination || !(destination->finder == armed->copy.finder)) {
    return FinderCutEffects::PassThrough{};
  }
  if (environment.changeCount != armed->copy.changeCount) return FinderCutEffects::PassThrough{};
  if (!revalidated || !(*revalidated == armed->copy)) return FinderCutEffects::PassThrough{};
  return FinderCutEffects::MoveInFinder{armed->copy};
}

}  // namespace mirlet
