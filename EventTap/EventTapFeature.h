#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "EventTap/EventTapRestartGate.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Handoff.h"
#include "core/MirletFeature.h"
#include "host/AccessibilityTrust.h"
#include "host/EventSystem.h"

namespace mirlet {

// The one way the intercepting features install, run, recover and tear down their
// event taps. A feature derives from it, names its taps and markers, and decides
// per event; this class keeps the run, the taps, the restart gate and the reports.
//
// Start: refuse without accessibility trust, let the feature prepare (it may
// refuse too), install the taps (head inserted,
// filtering or listen-only, the mask of the listed types below 64), enable them,
// then start the feature's own machinery. A tap the platform switches off is
// stopped and restarted under the same run at most once per minute of uptime;
// otherwise, or when switched off by user input, the run is reported failed (a
// feature may handle it otherwise). A feature may keep a tap installed after a
// stop, to finish a gesture it had intercepted.
class EventTapFeature : public MirletFeature {
 public:
  enum class StartFailure { missingTrust, tapUnavailable };

  struct TapSpec {
    std::vector<EventType> eventTypes;
    TapOptions options = TapOptions::filtering;
  };

  EventTapFeature(EventSystem& events, AccessibilityTrust& trust, Clock& clock,
                  FailureCallback onFailure);
  ~EventTapFeature() override;

  bool isRunning() const final { return isRunning_; }
  void start(const Uuid& runID) final;
  void stop() final;

  const std::optional<Uuid>& runID() const { return runID_; }
  const EventTapRestartGate& restartGate() const { return restartGate_; }

  // The event-type mask of a list of types: bits for raw values below 64 only.
  static std::uint64_t mask(const std::vector<EventType>& types);

 protected:
  // The taps to install, in order.
  virtual std::vector<TapSpec> tapSpecs() const = 0;
  // Marker values of the source user-data field whose events pass untouched.
  virtual std::vector<std::int64_t> ownMarkers() const = 0;
  // Decides one event of tap `tapIndex`; true passes it (possibly changed).
  virtual bool handle(std::size_t tapIndex, EventType type, InputEvent& event) = 0;
  // Throws the feature's own error (an `ErrorOf` its error code) for a failed start.
  [[noreturn]] virtual void failStart(StartFailure failure) = 0;
  // Runs after the trust check and before any tap exists; throwing the feature's
  // error refuses the start with nothing installed.
  virtual void prepareStart() {}
  // The feature's machinery besides the taps, started after them and stopped
  // before them.
  virtual void startMachinery() {}
  virtual void stopMachinery() {}

  // The platform switched tap `tapIndex` off (`reason` is the pseudo event type).
  // By default the run is recovered as `recoverTap` does.
  virtual void tapDisabled(std::size_t tapIndex, EventType reason);
  // Whether the tap stays installed when the feature stops; its events then go to
  // `handleWhileStopped` until the feature removes it.
  virtual bool keepsTapWhenStopped(std::size_t) const { return false; }
  // An event of a tap kept after a stop; true passes it.
  virtual bool handleWhileStopped(std::size_t, EventType, const InputEvent&) { return true; }
  // A tap delivered an event after the permission went (the event passes): by
  // default a running feature stops and is reported.
  virtual void permissionWithdrawn() { checkHealth(); }

  // Run at the start of each of the feature's context refreshes: false when the
  // refresh must end (trust lost: stopped and reported; tap missing or switched
  // off: recovered as after a timeout).
  bool checkHealth();
  // Stops the run; after a timeout restarts it under the same run identifier when
  // the restart gate allows, otherwise reports it failed.
  void recoverTap(bool afterTimeout);
  // Whether the gate allows a restart now (and counts it).
  bool allowsRestart();
  bool hasTap(std::size_t tapIndex) const;
  // Switches an installed tap on again.
  void enableTap(std::size_t tapIndex);
  void removeTap(std::size_t tapIndex);
  void reportFailure(const Uuid& runID);

 private:
  std::optional<InputEvent> dispatch(std::size_t tapIndex, EventType type, const InputEvent& event);

  EventSystem& events_;
  AccessibilityTrust& trust_;
  Clock& clock_;
  FailureCallback onFailure_;
  std::vector<std::unique_ptr<EventTap>> taps_;
  std::vector<std::int64_t> markers_;
  std::optional<Uuid> runID_;
  bool isRunning_ = false;
  EventTapRestartGate restartGate_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
