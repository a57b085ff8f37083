#include "RightClickFocus/service/RightClickEventBuffer.h"

namespace mirlet {

namespace E = RightClickEffects;
using Phase = RightClickStateMachine::Phase;

std::optional<RightClickEventSnapshot> RightClickEventSnapshot::make(const InputEvent& event) {
  if (event.type != EventType::rightMouseDown && event.type != EventType::rightMouseUp)
    return std::nullopt;
  RightClickEvent input;
  input.kind = event.type == EventType::rightMouseDown ? RightClickEvent::Kind::down
                                                       : RightClickEvent::Kind::up;
  input.x = event.location.x;
  input.y = event.location.y;
  input.flags = event.flags;
  input.clickCount = event.integerField(EventField::clickState);
  input.isSynthetic = event.sourceUserData() == kReplayTag;
  return RightClickEventSnapshot{input, event};
}

std::optional<InputEvent> RightClickEventSnapshot::copyForReplay(const InputEvent& event) {
  if (event.type != EventType::rightMouseDown && event.type != EventType::rightMouseUp &&
      event.type != EventType::rightMouseDragged) {
    return std::nullopt;
  }
  InputEvent copy = event;
  copy.setIntegerField(EventField::sourceUserData, kReplayTag);
  return copy;
}

void RightClickEventBuffer::clear() {
  down_.reset();
  up_.reset();
  lastDelivered_.reset();
  pendingDrags_.clear();
}

RightClickBufferedOutput RightClickEventBuffer::translate(
    const std::vector<RightClickEffect>& effects) {
  RightClickBufferedOutput output;
  for (const auto& effect : effects) {
    if (const auto* request = std::get_if<E::RequestFocus>(&effect)) {
      output.focusRequest = request->transactionID;
    } else if (std::holds_alternative<E::Suppress>(effect)) {
      output.suppressOriginal = true;
    } else if (const auto* replay = std::get_if<E::Replay>(&effect)) {
      const bool press = replay->event.kind == RightClickEvent::Kind::down;
      const auto& snapshot = press ? down_ : up_;
      auto copy = snapshot ? prepareReplay_(*snapshot) : std::nullopt;
      if (!copy) {
        output.copyFailed = true;
        continue;
      }
      output.replays.push_back(std::move(*copy));
      if (press)
        output.replays.insert(output.replays.end(), pendingDrags_.begin(), pendingDrags_.end());
    }
  }
  if (output.copyFailed) {
    output.replays.clear();
    return output;
  }
  if (!output.replays.empty()) {
    lastDelivered_ = output.replays.back();
    pendingDrags_.clear();
  }
  if (machine_.state().phase == Phase::idle) clear();
  return output;
}

RightClickBufferedOutput RightClickEventBuffer::receive(const InputEvent& event, bool eligible,
                                                        const Uuid& transactionID) {
  if (event.sourceUserData() == RightClickEventSnapshot::kReplayTag) return {};
  const Phase phase = machine_.state().phase;
  const bool releaseRecorded = up_.has_value();

  if (event.type == EventType::rightMouseDragged) {
    RightClickBufferedOutput output;
    output.suppressOriginal = phase != Phase::idle;
    if (phase == Phase::awaitingFocus && !releaseRecorded) {
      if (pendingDrags_.size() >= kMaximumHeldDrags) {
        cancel();
      } else if (auto copy = RightClickEventSnapshot::copyForReplay(event)) {
        pendingDrags_.push_back(std::move(*copy));
      } else {
        output.copyFailed = true;
      }
    } else if (phase == Phase::pressed) {
      if (auto copy = RightClickEventSnapshot::copyForReplay(event)) {
        lastDelivered_ = *copy;
        output.replays.push_back(std::move(*copy));
      } else {
        output.copyFailed = true;
      }
    }
    return output;
  }
  if (event.type != EventType::rightMouseDown && event.type != EventType::rightMouseUp) return {};

  auto snapshot = RightClickEventSnapshot::make(event);
  if (!snapshot) {
    RightClickBufferedOutput output;
    if (phase != Phase::idle) output = {true, std::nullopt, {}, true};
    return output;
  }
  if (snapshot->input.kind == RightClickEvent::Kind::up) {
    if (!up_) up_ = snapshot;
  } else if (phase == Phase::idle || (phase == Phase::awaitingFocus && releaseRecorded)) {
    down_ = snapshot;
    up_.reset();
    pendingDrags_.clear();
  }
  const RightClickStateMachine before = machine_;
  auto output = translate(machine_.handle(snapshot->input, eligible, transactionID));
  if (output.copyFailed) machine_ = before;
  return output;
}

RightClickBufferedOutput RightClickEventBuffer::resolve(const Uuid& transactionID, bool confirmed) {
  const RightClickStateMachine before = machine_;
  auto output = translate(machine_.resolveFocus(transactionID, confirmed));
  if (output.copyFailed) machine_ = before;
  return output;
}

void RightClickEventBuffer::cancel() {
  machine_.cancel();
  if (machine_.state().phase != Phase::pressed) clear();
}

std::optional<InputEvent> RightClickEventBuffer::emergencyRelease(std::uint64_t uptimeNanos) {
  if (machine_.state().phase != Phase::pressed || !lastDelivered_) return std::nullopt;
  auto release = RightClickEventSnapshot::copyForReplay(*lastDelivered_);
  if (!release) return std::nullopt;
  release->type = EventType::rightMouseUp;
  release->setDoubleField(EventField::pressure, 0);
  release->timestamp = uptimeNanos;
  machine_ = RightClickStateMachine();
  clear();
  return release;
}

bool RightClickReleaseDrain::suppress(EventType type, bool ownReplay) {
  if (!isWaiting || ownReplay) return false;
  if (type == EventType::rightMouseDown) {
    // No press comes before the last one's release: that release came while the
    // tap was off, and this press is the user's next click.
    isWaiting = false;
    return false;
  }
  if (type == EventType::rightMouseDragged) return true;
  if (type == EventType::rightMouseUp) {
    isWaiting = false;
    return true;
  }
  return false;
}

}  // namespace mirlet
