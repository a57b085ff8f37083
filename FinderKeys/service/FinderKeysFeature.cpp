#include "FinderKeys/service/FinderKeysFeature.h"

#include <algorithm>

namespace mirlet {

namespace {

constexpr std::uint16_t kDownArrow = 125;
constexpr std::uint16_t kReturn = 36;
constexpr std::uint16_t kDelete = 51;
constexpr std::uint64_t kCommand = EventFlags::command;

bool isKey(EventType type) { return type == EventType::keyDown || type == EventType::keyUp; }

}  // namespace

FinderKeysFeature::FinderKeysFeature(FinderKeysServices environment, FailureCallback onFailure)
    : EventTapFeature(environment.events, environment.accessibility, environment.clock,
                      std::move(onFailure)),
      environment_(environment),
      queue_(environment.queues.makeQueue(kQueueLabel)),
      adapter_({environment.accessibility, environment.workspace, environment.clock,
                environment.pasteboard, environment.fileURLs}) {}

FinderKeysFeature::~FinderKeysFeature() {
  handoff_.revoke();  // no queued read may outlive what it touches
  stop();
}

const FeatureDescriptor& FinderKeysFeature::descriptor() const {
  static const FeatureDescriptor descriptor{
      FeatureIds::finderKeys, "Teclas de Windows en Finder",
      "Enter abre, F2 renombra y Supr manda a la Papelera en Finder.", true};
  return descriptor;
}

std::vector<EventTapFeature::TapSpec> FinderKeysFeature::tapSpecs() const {
  return {{{EventType::keyDown, EventType::keyUp, EventType::leftMouseDown,
            EventType::rightMouseDown, EventType::otherMouseDown},
           TapOptions::filtering}};
}

void FinderKeysFeature::failStart(StartFailure failure) {
  throw FinderKeysError(failure == StartFailure::missingTrust ? FinderKeysErrorCode::permission
                                                              : FinderKeysErrorCode::eventTap);
}

void FinderKeysFeature::startMachinery() { monitor().start(); }

void FinderKeysFeature::stopMachinery() {
  // A check still out sends nothing now; what waited for it goes to Finder.
  if (checkToken_) checkToken_->invalidate();
  checkToken_.reset();
  releaseHeld();
  refreshPending_ = false;
  scheduledRefreshes_.clear();
  if (monitor_) monitor_->stop();
  forgetView();
  cancelPendingTrash();
  interceptor_.reset();
}

FinderContextMonitor& FinderKeysFeature::monitor() {
  if (!monitor_) {
    monitor_ = std::make_unique<FinderContextMonitor>(
        environment_.workspace, environment_.accessibility, environment_.mainLoop,
        FinderContextMonitor::Callbacks{handoff_.bind([this] { refresh(); }),
                                        handoff_.bind([this] { forgetView(); }),
                                        handoff_.bind([this] { forgetView(); })});
  }
  return *monitor_;
}

bool FinderKeysFeature::handle(std::size_t, EventType type, InputEvent& event) {
  if (!isKey(type)) {
    // A click may change the selection or the focus.
    cancelPendingTrash();
    if (monitor().finderFrontmost()) invalidateContext(true);
    return true;
  }
  if (type == EventType::keyUp) {
    if (interceptor_.keyUp(event.keyCode()) != FinderKeyAction::pass) return false;
    if (!checkToken_ || !targetsFinder(event)) return true;
    held_.push_back(event);
    return false;
  }
  return keyDown(event);
}

bool FinderKeysFeature::keyDown(const InputEvent& event) {
  const bool forFinder = targetsFinder(event);
  // While a check is out, the view is not to be trusted: Finder decides.
  const auto view = checkToken_ ? std::nullopt : freshView();
  const FinderKeysContext context{monitor().finderFrontmost(), forFinder, view.has_value(),
                                  view && !view->selection.empty()};
  const FinderKeyAction action =
      interceptor_.keyDown(event.keyCode(), event.flags,
                           event.integerField(EventField::autorepeat) != 0, enabledKeys_, context);
  if (action == FinderKeyAction::suppress) return false;
  cancelPendingTrash();  // a new key abandons a move to the Trash not sent yet
  if (checkToken_ && forFinder) {
    if (action == FinderKeyAction::invalidateContext) invalidateContext(true);
    held_.push_back(event);
    return false;
  }
  switch (action) {
    case FinderKeyAction::pass:
      return true;
    case FinderKeyAction::invalidateContext:
      invalidateContext(true);
      return true;
    case FinderKeyAction::open:
      openOrRename(*view, event, kDownArrow, kCommand);
      break;
    case FinderKeyAction::rename:
      openOrRename(*view, event, kReturn, 0);
      break;
    case FinderKeyAction::moveToTrash:
      moveToTrash(*view, event);
      break;
    case FinderKeyAction::suppress:
      break;
  }
  invalidateContext(true);
  return false;
}

std::optional<FinderFocusedFileView> FinderKeysFeature::freshView() {
  if (!cached_ || !monitor_) return std::nullopt;
  const auto front = environment_.workspace.frontmostApplication();
  const double now = environment_.clock.uptime();
  if (!front || front->processIdentifier() != cached_->processID ||
      cachedRevision_ != monitor_->revision() || cachedAt_ > now || now - cachedAt_ >= kFreshness) {
    return std::nullopt;
  }
  return cached_;
}

void FinderKeysFeature::forgetView() {
  cached_.reset();
  ++epoch_;
}

void FinderKeysFeature::invalidateContext(bool refreshSoon) {
  forgetView();
  if (!refreshSoon) return;
  std::erase_if(scheduledRefreshes_, [](const TimerHandle& timer) { return !timer->isActive(); });
  scheduledRefreshes_.push_back(
      handoff_.postAfter(environment_.mainLoop, kRefreshDelay, [this] { refresh(); }));
}

void FinderKeysFeature::cancelPendingTrash() {
  if (trashToken_) trashToken_->invalidate();
  trashToken_.reset();
}

void FinderKeysFeature::refresh() {
  if (!isRunning() || !runID()) return;
  if (!checkHealth()) return;
  const auto front = environment_.workspace.frontmostApplication();
  if (!front || front->bundleIdentifier() != FinderBundle::identifier) {
    monitor().leave();
    return;
  }
  const int processID = front->processIdentifier();
  monitor().observe(processID);
  if (busy_) {
    refreshPending_ = true;
    return;
  }
  busy_ = true;
  handoff_.async(
      *queue_, [this, processID, revision = monitor().revision(), epoch = epoch_, run = *runID()] {
        const double startedAt = environment_.clock.uptime();
        auto view = adapter_.focusedFileView(processID);
        handoff_.post(environment_.mainLoop,
                      [this, view = std::move(view), startedAt, revision, epoch, run]() mutable {
                        busy_ = false;
                        if (isRunning() && runID() == run && epoch == epoch_) {
                          cached_ = std::move(view);
                          cachedAt_ = startedAt;
                          cachedRevision_ = revision;
                        }
                        if (refreshPending_) {
                          refreshPending_ = false;
                          refresh();
                        }
                      });
      });
}

void FinderKeysFeature::openOrRename(const FinderFocusedFileView& view, const InputEvent& pressed,
                                     std::uint16_t actionKey, std::uint64_t actionFlags) {
  auto token = std::make_shared<FinderOperationToken>();
  checkToken_ = token;
  handoff_.async(*queue_, [this, token, view, pressed, actionKey, actionFlags] {
    // Finder acts on what is selected by now; with nothing to act on, or a text
    // field in focus, the key is Finder's own.
    const auto now = adapter_.focusedFileView(view.processID);
    token->performIfValid([&] {
      if (now && !now->selection.empty()) {
        post(actionKey, actionFlags, view.processID);
      } else {
        post(pressed.keyCode(), pressed.flags, view.processID);
      }
    });
    handoff_.post(environment_.mainLoop, [this, token] {
      if (checkToken_ != token) return;
      checkToken_.reset();
      releaseHeld();
    });
  });
}

void FinderKeysFeature::moveToTrash(const FinderFocusedFileView& view, const InputEvent& pressed) {
  auto token = std::make_shared<FinderOperationToken>();
  trashToken_ = token;
  handoff_.async(*queue_, [this, token, view, pressed, revision = cachedRevision_] {
    if (!token->isValid()) return;
    auto now = adapter_.focusedFileView(view.processID);
    // Decided on the main thread, where Finder's notifications are heard: one since
    // the view was read means its selection may have changed and changed back.
    handoff_.post(
        environment_.mainLoop, [this, token, view, pressed, revision, now = std::move(now)] {
          token->performIfValid([&] {
            if (!now) {
              post(pressed.keyCode(), pressed.flags, view.processID);  // typing in a text field
            } else if (now->isSameSelection(view) && monitor_ && monitor_->revision() == revision) {
              post(kDelete, kCommand, view.processID);
            }
          });
        });
  });
}

void FinderKeysFeature::releaseHeld() {
  for (InputEvent& event : std::exchange(held_, {})) {
    const auto processID = static_cast<int>(event.integerField(EventField::targetProcessID));
    replay(std::move(event), processID);
  }
}

void FinderKeysFeature::replay(InputEvent event, int processID) {
  event.setIntegerField(EventField::sourceUserData, kMarker);
  environment_.events.postToProcess(processID, event);
}

bool FinderKeysFeature::targetsFinder(const InputEvent& event) const {
  const auto front = environment_.workspace.frontmostApplication();
  return front && front->bundleIdentifier() == FinderBundle::identifier &&
         front->processIdentifier() == event.integerField(EventField::targetProcessID);
}

void FinderKeysFeature::post(std::uint16_t keyCode, std::uint64_t flags, int processID) {
  for (const bool down : {true, false})
    replay(InputEvent::keyboard(keyCode, down, flags), processID);
}

}  // namespace mirlet
