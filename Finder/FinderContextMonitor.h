#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/Signal.h"
#include "host/Accessibility.h"
#include "host/FinderBundle.h"
#include "host/Workspace.h"

namespace mirlet {

// Tells a Finder feature when its picture of Finder may have gone stale: Finder
// came to the front, its focus, window, selection or title changed, a second went
// by with Finder in front (`refresh`); Finder left the front (`leave`); Finder
// quit (`termination`). `revision` grows with every accessibility notification
// heard while Finder is in front, so that a feature can tell a cached read from
// before the last change. It never reads Finder's contents. Main thread only.
class FinderContextMonitor {
 public:
  struct Callbacks {
    std::function<void()> refresh;
    std::function<void()> leave;
    std::function<void()> termination;
  };

  static constexpr double kPollInterval = 1.0;
  static constexpr double kMessagingTimeout = 0.05;

  FinderContextMonitor(Workspace& workspace, Accessibility& accessibility, MainLoop& mainLoop,
                       Callbacks callbacks);

  // Watches activations and terminations and synchronises once; nothing when active.
  void start();
  void stop();
  // Hears the five notifications of this Finder process (once per process).
  void observe(int processID);
  // Finder is no longer in front, as a synchronisation that finds so.
  void leave();

  bool isActive() const { return isActive_; }
  bool finderFrontmost() const { return finderFrontmost_; }
  std::uint64_t revision() const { return revision_; }

 private:
  void synchronise();
  void notified();
  void terminated(const RunningApplication& application);
  void detachObserver();

  Workspace& workspace_;
  Accessibility& accessibility_;
  MainLoop& mainLoop_;
  Callbacks callbacks_;
  bool isActive_ = false;
  bool finderFrontmost_ = false;
  std::uint64_t revision_ = 0;
  TimerHandle timer_;
  Subscription activations_;
  Subscription terminations_;
  std::unique_ptr<AXObserver> observer_;
  std::optional<int> observedProcessID_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
