#include "RightClickFocus/machine/RightClickStateMachine.h"

namespace mirlet {

namespace E = RightClickEffects;

RightClickStateMachine::State RightClickStateMachine::state() const {
  if (const auto* awaiting = std::get_if<AwaitingFocus>(&phase_))
    return {Phase::awaitingFocus, awaiting->pending.id};
  if (const auto* pressed = std::get_if<Pressed>(&phase_)) return {Phase::pressed, pressed->id};
  if (const auto* discarding = std::get_if<Discarding>(&phase_))
    return {Phase::discarding, discarding->id};
  return {Phase::idle, std::nullopt};
}

std::vector<RightClickEffect> RightClickStateMachine::handle(const RightClickEvent& event,
                                                             bool isEligible,
                                                             const Uuid& transactionID) {
  if (event.isSynthetic) return {E::Pass{}};
  const bool down = event.kind == RightClickEvent::Kind::down;

  if (auto* awaiting = std::get_if<AwaitingFocus>(&phase_)) {
    Pending& pending = awaiting->pending;
    if (down && pending.up) {
      // The first click is complete but still waits: it is dropped for this one.
      cancel();
      return handle(event, isEligible, transactionID);
    }
    if (!down && !pending.up) {
      RightClickEvent release = event;
      release.kind = RightClickEvent::Kind::up;
      release.isSynthetic = false;
      pending.up = release;
    }
    return {E::Suppress{}};
  }
  if (std::holds_alternative<Pressed>(phase_)) {
    if (down) return {E::Suppress{}};
    phase_ = Idle{};
    return {E::Suppress{}, E::Replay{event.synthetic()}};
  }
  if (std::holds_alternative<Discarding>(phase_)) {
    if (!down) phase_ = Idle{};
    return {E::Suppress{}};
  }
  if (!down || !isEligible) return {E::Pass{}};
  phase_ = AwaitingFocus{Pending{transactionID, event, std::nullopt}};
  return {E::Suppress{}, E::RequestFocus{transactionID}};
}

std::vector<RightClickEffect> RightClickStateMachine::resolveFocus(const Uuid& transactionID,
                                                                   bool confirmed) {
  const auto* awaiting = std::get_if<AwaitingFocus>(&phase_);
  if (!awaiting || awaiting->pending.id != transactionID) return {};  // stale
  if (!confirmed) return cancel();
  const Pending pending = awaiting->pending;
  if (!pending.up) {
    phase_ = Pressed{pending.id};
    return {E::Replay{pending.down.synthetic()}};
  }
  phase_ = Idle{};
  return {E::Replay{pending.down.synthetic()}, E::Replay{pending.up->synthetic()}};
}

std::vector<RightClickEffect> RightClickStateMachine::cancel() {
  if (const auto* awaiting = std::get_if<AwaitingFocus>(&phase_)) {
    if (awaiting->pending.up) {
      phase_ = Idle{};
    } else {
      phase_ = Discarding{awaiting->pending.id};
    }
  }
  return {};
}

}  // namespace mirlet
