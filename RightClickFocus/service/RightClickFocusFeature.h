#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "EventTap/EventTapFeature.h"
#include "RightClickFocus/machine/RightClickPreflightGate.h"
#include "RightClickFocus/service/RightClickEventBuffer.h"
#include "RightClickFocus/service/RightClickWindowDriver.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"
#include "core/Signal.h"

namespace mirlet {

enum class RightClickFocusErrorCode { permission, eventTap, finishingGesture };

inline std::string_view errorName(RightClickFocusErrorCode code) {
  switch (code) {
    case RightClickFocusErrorCode::permission:
      return "right-click focus: permission";
    case RightClickFocusErrorCode::eventTap:
      return "right-click focus: event tap";
    case RightClickFocusErrorCode::finishingGesture:
      return "right-click focus: finishing a gesture";
  }
  return "right-click focus";
}

using RightClickFocusError = ErrorOf<RightClickFocusErrorCode>;

// The notable steps of the feature, for whoever wants to log them.
enum class RightClickDiagnostic {
  started,
  stopped,
  downPassed,
  downCaptured,
  focusConfirmed,
  focusUnconfirmed,
  cancelledByInput,
  cancelledByActivation,
  cancelledByDeadline,
  cancelledByStop,
  cancelledByGesture,
  tapDisabled,
  permissionLost,
  copyFailed,
  destinationLost,
  downPosted,
  dragPosted,
  upPosted,
  emergencyUpPosted,
};

// The cancellation flag of a focusing job, read by the background queue.
class RightClickCancellation {
 public:
  void cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  bool isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
  }

 private:
  mutable std::mutex mutex_;
  bool cancelled_ = false;
};

struct RightClickFocusServices {
  Accessibility& accessibility;
  Workspace& workspace;
  EventSystem& events;
  Clock& clock;
  MainLoop& mainLoop;
  SerialQueueFactory& queues;
};

// A right click on a window without the keyboard focus focuses that window first,
// then delivers the same click to it, so that its context menu opens there.
//
// When the pointer rests (0.05 s), the window under it is inspected ahead on the
// feature's queue, at most 30 times a second; at a right press exactly there, a
// window that needs focusing has its press swallowed, is raised, made main and
// activated on the queue, and once verified focused receives the press again
// (with the drags and the release held meanwhile), tagged "MIRL". Any other
// input, another application coming forward, a refusal or 0.2 s without focus
// cancels: the click is lost rather than delivered to the wrong window, and the
// rest of a held gesture is swallowed. A stop while the button is held after a
// replayed press releases it in the target and swallows the physical release.
class RightClickFocusFeature final : public EventTapFeature {
 public:
  static constexpr const char* kQueueLabel = "app.mirlet.right-click-focus";
  static constexpr double kDwellDelay = 0.05;
  static constexpr double kPreflightsPerSecond = 30;
  static constexpr double kFocusDeadline = 0.2;

  using DiagnosticCallback = std::function<void(RightClickDiagnostic)>;

  RightClickFocusFeature(RightClickFocusServices services, DiagnosticCallback diagnostic,
                         FailureCallback onFailure);
  ~RightClickFocusFeature() override;

  const FeatureDescriptor& descriptor() const override;
  // A gesture interrupted by a stop is being swallowed to its release; a start
  // meanwhile is refused.
  bool isFinishingGesture() const { return drain_.isWaiting; }

 protected:
  std::vector<TapSpec> tapSpecs() const override;
  std::vector<std::int64_t> ownMarkers() const override {
    return {RightClickEventSnapshot::kReplayTag};
  }
  bool handle(std::size_t tapIndex, EventType type, InputEvent& event) override;
  [[noreturn]] void failStart(StartFailure failure) override;
  void prepareStart() override;
  void startMachinery() override;
  void stopMachinery() override;
  void tapDisabled(std::size_t tapIndex, EventType reason) override;
  bool keepsTapWhenStopped(std::size_t tapIndex) const override;
  bool handleWhileStopped(std::size_t tapIndex, EventType type, const InputEvent& event) override;
  void permissionWithdrawn() override;

 private:
  static constexpr std::size_t kActiveTap = 0;
  static constexpr std::size_t kListenTap = 1;
  static constexpr int kRightButton = 1;  // as EventSystem numbers the buttons

  bool handleRightButton(EventType type, const InputEvent& event);
  void observe(EventType type, const InputEvent& event);
  void activated(const std::shared_ptr<RunningApplication>& application);
  bool isEligible(const InputEvent& event) const;
  void focus(const RightClickWindowTarget& target, const Uuid& transactionID);
  void deliver(const RightClickBufferedOutput& output);
  void afterGesture();
  void failRun(RightClickDiagnostic reason);
  void removeActiveTap();
  void invalidatePreflight();
  void cancelPending(RightClickDiagnostic reason);
  void inspectLatest();
  void runPreflight(const RightClickPreflightGate::Action& action,
                    std::optional<ScreenPoint> point);
  void startInspection(ScreenPoint point, std::uint64_t revision);
  void scheduleDwell(double seconds);
  bool isIdle() const;
  void tell(RightClickDiagnostic event) const;

  RightClickFocusServices services_;
  DiagnosticCallback diagnostic_;
  RightClickWindowDriver driver_;
  std::unique_ptr<SerialQueue> queue_;
  std::uint64_t lastRightTimestamp_ = 0;
  PointerDwell dwell_{kDwellDelay};
  Subscription activations_;
  RightClickEventBuffer buffer_;
  std::optional<RightClickWindowTarget> candidate_;
  std::optional<RightClickWindowTarget> destination_;
  std::optional<ScreenPoint> latestPoint_;
  bool busy_ = false;
  RightClickPreflightGate preflight_{kPreflightsPerSecond};
  TimerHandle preflightTimer_;
  TimerHandle dwellTimer_;
  TimerHandle deadlineTimer_;
  // Renewed at every start and stop: later results of an older one are dropped.
  Uuid generation_ = Uuid::random();
  std::shared_ptr<RightClickCancellation> token_;
  RightClickReleaseDrain drain_;
  bool drainRecoveryUsed_ = false;
  bool started_ = false;  // between "started" and "stopped"
  Handoff handoff_;       // last: revoked first
};

}  // namespace mirlet
