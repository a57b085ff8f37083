#include "RightClickFocus/service/RightClickFocusFeature.h"

#include <algorithm>
#include <cmath>

#include "RightClickFocus/RightClickFocusID.h"
#include "core/Overloaded.h"

namespace mirlet {

namespace {

using Phase = RightClickStateMachine::Phase;

// Added to the waits the gate and the dwell answer: a timer that fires a hair
// early would find them still waiting and wait again, for nothing.
constexpr double kTimerSlack = 0.001;

bool isRightButton(EventType type) {
  return type == EventType::rightMouseDown || type == EventType::rightMouseUp ||
         type == EventType::rightMouseDragged;
}

std::uint64_t nanoseconds(double seconds) {
  return static_cast<std::uint64_t>(std::llround(std::max(0.0, seconds) * 1e9));
}

}  // namespace

RightClickFocusFeature::RightClickFocusFeature(RightClickFocusServices services,
                                               DiagnosticCallback diagnostic,
                                               FailureCallback onFailure)
    : EventTapFeature(services.events, services.accessibility, services.clock,
                      std::move(onFailure)),
      services_(services),
      diagnostic_(std::move(diagnostic)),
      driver_({services.accessibility, services.workspace, services.events, services.clock,
               services.mainLoop}),
      queue_(services.queues.makeQueue(kQueueLabel)) {}

RightClickFocusFeature::~RightClickFocusFeature() {
  handoff_.revoke();  // no queued job may outlive what it touches
  stop();
  removeActiveTap();
}

const FeatureDescriptor& RightClickFocusFeature::descriptor() const {
  static const FeatureDescriptor descriptor{FeatureIds::rightClickFocus, "Clic derecho con foco",
                                            "Enfoca la ventana antes de abrir su menú contextual.",
                                            true};
  return descriptor;
}

std::vector<EventTapFeature::TapSpec> RightClickFocusFeature::tapSpecs() const {
  return {{{EventType::rightMouseDown, EventType::rightMouseUp, EventType::rightMouseDragged,
            EventType::keyDown},
           TapOptions::filtering},
          {{EventType::mouseMoved, EventType::leftMouseDown, EventType::leftMouseDragged,
            EventType::otherMouseDown, EventType::scrollWheel},
           TapOptions::listenOnly}};
}

void RightClickFocusFeature::failStart(StartFailure failure) {
  throw RightClickFocusError(failure == StartFailure::missingTrust
                                 ? RightClickFocusErrorCode::permission
                                 : RightClickFocusErrorCode::eventTap);
}

void RightClickFocusFeature::prepareStart() {
  if (drain_.isWaiting) throw RightClickFocusError(RightClickFocusErrorCode::finishingGesture);
}

void RightClickFocusFeature::tell(RightClickDiagnostic event) const {
  if (diagnostic_) diagnostic_(event);
}

bool RightClickFocusFeature::isIdle() const { return buffer_.state().phase == Phase::idle; }

void RightClickFocusFeature::startMachinery() {
  generation_ = Uuid::random();
  buffer_ = RightClickEventBuffer();
  preflight_.invalidate();
  dwell_.reset();
  lastRightTimestamp_ = 0;
  started_ = true;
  tell(RightClickDiagnostic::started);
  activations_ = services_.workspace.observeActivation(handoff_.bind(
      [this](const std::shared_ptr<RunningApplication>& application) { activated(application); }));
  latestPoint_ = services_.events.pointerLocation();
  inspectLatest();
}

void RightClickFocusFeature::stopMachinery() {
  if (started_) tell(RightClickDiagnostic::stopped);
  started_ = false;
  generation_ = Uuid::random();
  dwell_.reset();
  dwellTimer_.reset();
  invalidatePreflight();
  cancelPending(RightClickDiagnostic::cancelledByStop);
  // The system's word, not the taps': the release may have come while a tap was
  // off, and then it reached the target itself.
  const bool held = services_.events.isMouseButtonDown(kRightButton);
  drain_.stop(held, !isIdle());
  const auto release = buffer_.emergencyRelease(nanoseconds(services_.clock.uptime()));
  if (release && held && destination_ && destination_->isProcessAlive(services_.workspace)) {
    services_.events.postToProcess(destination_->processID, *release);
    tell(RightClickDiagnostic::emergencyUpPosted);
  }
  if (!drain_.isWaiting) drainRecoveryUsed_ = false;
  candidate_.reset();
  destination_.reset();
  latestPoint_.reset();
  activations_.reset();
}

bool RightClickFocusFeature::keepsTapWhenStopped(std::size_t tapIndex) const {
  return tapIndex == kActiveTap && drain_.isWaiting;
}

void RightClickFocusFeature::removeActiveTap() {
  removeTap(kActiveTap);
  drain_.isWaiting = false;
  drainRecoveryUsed_ = false;
}

bool RightClickFocusFeature::handleWhileStopped(std::size_t tapIndex, EventType type,
                                                const InputEvent&) {
  if (tapIndex != kActiveTap || !drain_.isWaiting) return true;
  const bool swallow = drain_.suppress(type, false);
  // The release ends the gesture: nothing is left to swallow.
  if (!drain_.isWaiting) removeActiveTap();
  return !swallow;
}

void RightClickFocusFeature::tapDisabled(std::size_t tapIndex, EventType reason) {
  if (tapIndex == kListenTap) {
    enableTap(kListenTap);  // it only listens: nothing was held up
    return;
  }
  tell(RightClickDiagnostic::tapDisabled);
  if (const auto run = runID()) {
    const Uuid kept = *run;
    stop();
    if (reason == EventType::tapDisabledByTimeout && !drain_.isWaiting && allowsRestart()) {
      try {
        start(kept);
        return;
      } catch (const Error&) {
        // Reported below as the run's failure.
      }
    }
    reportFailure(kept);
  }
  // Once per interrupted gesture the kept tap is switched on again, so that the
  // rest of the gesture is still swallowed.
  if (drain_.isWaiting && !drainRecoveryUsed_ && services_.accessibility.isProcessTrusted() &&
      hasTap(kActiveTap)) {
    drainRecoveryUsed_ = true;
    enableTap(kActiveTap);
  } else {
    removeActiveTap();
  }
}

void RightClickFocusFeature::permissionWithdrawn() {
  if (isRunning()) failRun(RightClickDiagnostic::permissionLost);
}

bool RightClickFocusFeature::handle(std::size_t tapIndex, EventType type, InputEvent& event) {
  if (tapIndex == kListenTap || type == EventType::keyDown) {
    observe(type, event);
    return true;
  }
  if (!isRightButton(type)) return true;
  return handleRightButton(type, event);
}

bool RightClickFocusFeature::handleRightButton(EventType type, const InputEvent& event) {
  lastRightTimestamp_ = std::max(lastRightTimestamp_, event.timestamp);
  const bool eligible = type == EventType::rightMouseDown && isEligible(event);
  const Uuid transaction = Uuid::random();
  const auto before = buffer_.state();
  const RightClickBufferedOutput output = buffer_.receive(event, eligible, transaction);
  if (before.phase == Phase::awaitingFocus &&
      buffer_.state().transactionID != before.transactionID && token_) {
    // The click awaiting focus was dropped for this press: its focusing stops too,
    // or its application would come forward with no menu.
    tell(RightClickDiagnostic::cancelledByGesture);
    token_->cancel();
  }
  if (type == EventType::rightMouseDown && !output.suppressOriginal) {
    tell(RightClickDiagnostic::downPassed);
  }
  if (output.focusRequest && candidate_) {
    tell(RightClickDiagnostic::downCaptured);
    destination_ = std::move(candidate_);
    candidate_.reset();
    focus(*destination_, *output.focusRequest);
  }
  if (buffer_.state().phase == Phase::discarding && token_) {
    if (!token_->isCancelled()) tell(RightClickDiagnostic::cancelledByGesture);
    token_->cancel();
  }
  deliver(output);
  if (isRunning() && isIdle()) {
    destination_.reset();
    latestPoint_ = event.location;
    inspectLatest();
  }
  return !output.suppressOriginal;
}

bool RightClickFocusFeature::isEligible(const InputEvent& event) const {
  return !busy_ && candidate_ && candidate_->point == event.location &&
         !candidate_->hasKeyboardFocus && candidate_->isProcessAlive(services_.workspace);
}

void RightClickFocusFeature::observe(EventType type, const InputEvent& event) {
  if (!isRunning()) return;
  // Queued before the right-button event the machine is working on.
  if (!isIdle() && event.timestamp < lastRightTimestamp_) return;
  if (type != EventType::mouseMoved) {
    invalidatePreflight();
    cancelPending(RightClickDiagnostic::cancelledByInput);
    return;
  }
  latestPoint_ = event.location;
  if (candidate_ && !(candidate_->point == event.location)) candidate_.reset();
  if (dwell_.moved(services_.clock.uptime())) scheduleDwell(kDwellDelay);
}

void RightClickFocusFeature::activated(const std::shared_ptr<RunningApplication>& application) {
  invalidatePreflight();
  const int processID = application ? application->processIdentifier() : 0;
  if (destination_ ? processID != destination_->processID : application != nullptr) {
    cancelPending(RightClickDiagnostic::cancelledByActivation);
  }
  inspectLatest();
}

void RightClickFocusFeature::focus(const RightClickWindowTarget& target,
                                   const Uuid& transactionID) {
  token_ = std::make_shared<RightClickCancellation>();
  busy_ = true;
  deadlineTimer_ = handoff_.postAfter(
      services_.mainLoop, kFocusDeadline, [this, generation = generation_, transactionID] {
        const auto state = buffer_.state();
        if (generation == generation_ && state.phase == Phase::awaitingFocus &&
            state.transactionID == transactionID) {
          cancelPending(RightClickDiagnostic::cancelledByDeadline);
        }
      });
  handoff_.async(*queue_, [this, target, token = token_, transactionID, generation = generation_] {
    const bool ok =
        driver_.focusAndVerify(target, target.point, [token] { return token->isCancelled(); });
    handoff_.post(services_.mainLoop, [this, target, token, transactionID, generation, ok] {
      busy_ = false;
      if (!isRunning()) return;
      if (generation != generation_) {
        inspectLatest();
        return;
      }
      tell(ok ? RightClickDiagnostic::focusConfirmed : RightClickDiagnostic::focusUnconfirmed);
      const bool confirmed =
          ok && !token->isCancelled() && target.isProcessAlive(services_.workspace);
      deliver(buffer_.resolve(transactionID, confirmed));
      if (isRunning() && isIdle()) {
        destination_.reset();
        inspectLatest();
      }
    });
  });
}

void RightClickFocusFeature::deliver(const RightClickBufferedOutput& output) {
  if (output.copyFailed) {
    failRun(RightClickDiagnostic::copyFailed);
    return;
  }
  if (output.replays.empty()) return;
  if (!destination_ || !destination_->isProcessAlive(services_.workspace)) {
    failRun(RightClickDiagnostic::destinationLost);
    return;
  }
  for (const InputEvent& replay : output.replays) {
    services_.events.postToProcess(destination_->processID, replay);
    tell(replay.type == EventType::rightMouseDown ? RightClickDiagnostic::downPosted
         : replay.type == EventType::rightMouseUp ? RightClickDiagnostic::upPosted
                                                  : RightClickDiagnostic::dragPosted);
  }
}

void RightClickFocusFeature::failRun(RightClickDiagnostic reason) {
  tell(reason);
  const auto run = runID();
  stop();
  if (run) reportFailure(*run);
}

void RightClickFocusFeature::invalidatePreflight() {
  candidate_.reset();
  preflight_.invalidate();
  preflightTimer_.reset();
}

void RightClickFocusFeature::cancelPending(RightClickDiagnostic reason) {
  if (buffer_.state().phase == Phase::awaitingFocus) tell(reason);
  if (token_) token_->cancel();
  token_.reset();
  buffer_.cancel();
}

void RightClickFocusFeature::inspectLatest() {
  if (!isRunning() || !isIdle() || !latestPoint_) return;
  runPreflight(preflight_.request(services_.clock.uptime(), busy_), latestPoint_);
}

void RightClickFocusFeature::runPreflight(const RightClickPreflightGate::Action& action,
                                          std::optional<ScreenPoint> point) {
  std::visit(Overloaded{[](const RightClickPreflightGate::None&) {},
                        [this](const RightClickPreflightGate::Schedule& wait) {
                          // A millisecond more: a timer that fires a hair early would find the gate
                          // still closed and wait again for nothing.
                          preflightTimer_ =
                              handoff_.postAfter(services_.mainLoop, wait.seconds + 0.001, [this] {
                                preflightTimer_.reset();
                                if (isRunning() && !busy_ && isIdle() && latestPoint_) {
                                  runPreflight(preflight_.scheduled(services_.clock.uptime()),
                                               latestPoint_);
                                } else {
                                  preflight_.invalidate();
                                }
                              });
                        },
                        [this, point](const RightClickPreflightGate::Start& start) {
                          const auto at = point ? point : latestPoint_;
                          if (isRunning() && !busy_ && isIdle() && at) {
                            startInspection(*at, start.revision);
                          } else {
                            preflight_.invalidate();
                          }
                        }},
             action);
}

void RightClickFocusFeature::startInspection(ScreenPoint point, std::uint64_t revision) {
  busy_ = true;
  handoff_.async(*queue_, [this, point, revision, generation = generation_] {
    const auto self = services_.workspace.currentApplication();
    auto target = driver_.inspect(point, self ? self->processIdentifier() : 0);
    handoff_.post(services_.mainLoop,
                  [this, point, revision, generation, target = std::move(target)]() mutable {
                    busy_ = false;
                    const auto action = preflight_.completed(services_.clock.uptime());
                    if (!isRunning()) return;
                    if (generation == generation_ && preflight_.isCurrent(revision) &&
                        latestPoint_ && *latestPoint_ == point) {
                      candidate_ = std::move(target);
                    }
                    runPreflight(action, latestPoint_);
                  });
  });
}

void RightClickFocusFeature::scheduleDwell(double seconds) {
  dwellTimer_ = handoff_.postAfter(services_.mainLoop, seconds, [this, generation = generation_] {
    if (!isRunning() || generation != generation_) return;
    if (const auto remaining = dwell_.check(services_.clock.uptime())) {
      scheduleDwell(*remaining + kTimerSlack);
    } else {
      inspectLatest();
    }
  });
}

}  // namespace mirlet
