#include "EventTap/EventTapFeature.h"

#include <algorithm>

namespace mirlet {

EventTapFeature::EventTapFeature(EventSystem& events, AccessibilityTrust& trust, Clock& clock,
                                 FailureCallback onFailure)
    : events_(events), trust_(trust), clock_(clock), onFailure_(std::move(onFailure)) {}

EventTapFeature::~EventTapFeature() = default;

std::uint64_t EventTapFeature::mask(const std::vector<EventType>& types) {
  std::uint64_t bits = 0;
  for (EventType type : types) bits |= eventMaskBit(type);
  return bits;
}

void EventTapFeature::start(const Uuid& runID) {
  if (isRunning_) return;
  if (!trust_.isProcessTrusted()) failStart(StartFailure::missingTrust);
  prepareStart();
  std::vector<std::unique_ptr<EventTap>> installed;
  const std::vector<TapSpec> specs = tapSpecs();
  for (std::size_t index = 0; index < specs.size(); ++index) {
    auto tap = events_.createTap(
        specs[index].options, mask(specs[index].eventTypes),
        handoff_.bindOr(
            [this, index](EventType type, const InputEvent& event) {
              return dispatch(index, type, event);
            },
            // A callback that arrives after the feature is gone passes its event.
            [](EventType, const InputEvent& event) { return std::optional<InputEvent>(event); }));
    if (!tap) failStart(StartFailure::tapUnavailable);  // what was installed goes with `installed`
    installed.push_back(std::move(tap));
  }
  taps_ = std::move(installed);
  markers_ = ownMarkers();  // read once here: the callback runs on every event
  runID_ = runID;
  isRunning_ = true;
  for (auto& tap : taps_) tap->setEnabled(true);
  startMachinery();
}

void EventTapFeature::stop() {
  isRunning_ = false;
  runID_.reset();
  stopMachinery();
  for (std::size_t index = 0; index < taps_.size(); ++index) {
    if (!keepsTapWhenStopped(index)) removeTap(index);
  }
}

bool EventTapFeature::hasTap(std::size_t tapIndex) const {
  return tapIndex < taps_.size() && taps_[tapIndex];
}

void EventTapFeature::enableTap(std::size_t tapIndex) {
  if (hasTap(tapIndex)) taps_[tapIndex]->setEnabled(true);
}

void EventTapFeature::removeTap(std::size_t tapIndex) {
  if (!hasTap(tapIndex)) return;
  taps_[tapIndex]->setEnabled(false);
  taps_[tapIndex].reset();
}

std::optional<InputEvent> EventTapFeature::dispatch(std::size_t tapIndex, EventType type,
                                                    const InputEvent& event) {
  if (type == EventType::tapDisabledByTimeout || type == EventType::tapDisabledByUserInput) {
    tapDisabled(tapIndex, type);
    return event;
  }
  if (std::find(markers_.begin(), markers_.end(), event.sourceUserData()) != markers_.end())
    return event;
  // A tap may go on delivering after the permission is withdrawn, while whatever
  // the feature would post in an event's place is dropped: swallowing would lose it.
  if (!trust_.isProcessTrusted()) {
    permissionWithdrawn();
    return event;
  }
  if (!isRunning_) {
    if (handleWhileStopped(tapIndex, type, event)) return event;
    return std::nullopt;
  }
  InputEvent changed = event;
  if (handle(tapIndex, type, changed)) return changed;
  return std::nullopt;
}

void EventTapFeature::tapDisabled(std::size_t, EventType reason) {
  recoverTap(reason == EventType::tapDisabledByTimeout);
}

bool EventTapFeature::allowsRestart() { return restartGate_.allowsRestart(clock_.uptime()); }

void EventTapFeature::recoverTap(bool afterTimeout) {
  if (!runID_) return;
  const Uuid kept = *runID_;
  stop();
  if (afterTimeout && allowsRestart()) {
    try {
      start(kept);
      return;
    } catch (const Error&) {
      // Reported below as the run's failure; the user is shown the state.
    }
  }
  reportFailure(kept);
}

bool EventTapFeature::checkHealth() {
  if (!isRunning_ || !runID_) return true;
  if (!trust_.isProcessTrusted()) {
    const Uuid kept = *runID_;
    stop();
    reportFailure(kept);
    return false;
  }
  const bool tapsWork =
      !taps_.empty() && std::all_of(taps_.begin(), taps_.end(),
                                    [](const auto& tap) { return tap && tap->isEnabled(); });
  if (!tapsWork) {
    recoverTap(true);
    return false;
  }
  return true;
}

void EventTapFeature::reportFailure(const Uuid& runID) {
  if (onFailure_) onFailure_(runID);
}

}  // namespace mirlet
