#include "Finder/FinderContextMonitor.h"

#include <array>

namespace mirlet {

namespace {

constexpr std::array<const char*, 5> kNotifications{
    "AXFocusedUIElementChanged", "AXFocusedWindowChanged", "AXSelectedChildrenChanged",
    "AXSelectedRowsChanged", "AXTitleChanged"};

}  // namespace

FinderContextMonitor::FinderContextMonitor(Workspace& workspace, Accessibility& accessibility,
                                           MainLoop& mainLoop, Callbacks callbacks)
    : workspace_(workspace),
      accessibility_(accessibility),
      mainLoop_(mainLoop),
      callbacks_(std::move(callbacks)) {}

void FinderContextMonitor::start() {
  if (isActive_) return;
  isActive_ = true;
  activations_ = workspace_.observeActivation(
      handoff_.bind([this](const std::shared_ptr<RunningApplication>&) { synchronise(); }));
  terminations_ = workspace_.observeTermination(
      handoff_.bind([this](const std::shared_ptr<RunningApplication>& application) {
        if (application) terminated(*application);
      }));
  synchronise();
}

void FinderContextMonitor::stop() {
  isActive_ = false;
  finderFrontmost_ = false;
  timer_.reset();
  detachObserver();
  activations_.reset();
  terminations_.reset();
}

void FinderContextMonitor::synchronise() {
  const auto front = workspace_.frontmostApplication();
  if (isActive_ && front && front->bundleIdentifier() == FinderBundle::identifier) {
    finderFrontmost_ = true;
    if (!timer_) {
      timer_ = mainLoop_.scheduleRepeating(kPollInterval, 0,
                                           handoff_.bind([this] { callbacks_.refresh(); }));
    }
    callbacks_.refresh();
  } else {
    leave();
  }
}

void FinderContextMonitor::leave() {
  finderFrontmost_ = false;
  timer_.reset();
  callbacks_.leave();
}

void FinderContextMonitor::observe(int processID) {
  if (observer_ && observedProcessID_ == processID) return;
  detachObserver();
  auto observer = accessibility_.createObserver(
      processID, handoff_.bind([this](const AXElement&, const std::string&) { notified(); }));
  if (!observer) return;
  const AXElement application = accessibility_.application(processID);
  accessibility_.setMessagingTimeout(application, kMessagingTimeout);
  // A notification the application cannot give is simply not heard.
  for (const char* notification : kNotifications) {
    observer->addNotification(application, notification);
  }
  observer_ = std::move(observer);
  observedProcessID_ = processID;
}

void FinderContextMonitor::notified() {
  if (!isActive_ || !finderFrontmost_) return;
  ++revision_;
  callbacks_.refresh();
}

void FinderContextMonitor::terminated(const RunningApplication& application) {
  const bool isFinder =
      application.bundleIdentifier() == FinderBundle::identifier ||
      (observedProcessID_ && application.processIdentifier() == *observedProcessID_);
  if (!isFinder) return;
  // Whether Finder is in front is left as it was: the next activation says.
  timer_.reset();
  detachObserver();
  callbacks_.termination();
}

void FinderContextMonitor::detachObserver() {
  observer_.reset();
  observedProcessID_.reset();
}

}  // namespace mirlet
