#include "FinderCut/service/FinderCutFeature.h"

#include "FinderCut/machine/FinderCutRuntimePolicy.h"
#include "core/Overloaded.h"

namespace mirlet {

namespace {

using FinderCutRuntimePolicy::KeyAction;

}  // namespace

FinderCutFeature::FinderCutFeature(FinderCutServices services, ActivityCallback onActivity,
                                   FailureCallback onFailure)
    : EventTapFeature(services.events, services.accessibility, services.clock,
                      std::move(onFailure)),
      services_(services),
      onActivity_(std::move(onActivity)),
      queue_(services.queues.makeQueue(kQueueLabel)) {}

FinderCutFeature::~FinderCutFeature() {
  handoff_.revoke();  // no queued operation may outlive what it touches
  stop();
}

const FeatureDescriptor& FinderCutFeature::descriptor() const {
  static const FeatureDescriptor descriptor{
      FeatureIds::finderCut, "Cortar archivos con ⌘X",
      "Corta y mueve archivos en Finder sin reemplazar los comandos de otras apps.", true};
  return descriptor;
}

bool FinderCutFeature::hasPendingCut() const {
  return std::holds_alternative<FinderCutStates::Armed>(machine_.state());
}

std::vector<EventTapFeature::TapSpec> FinderCutFeature::tapSpecs() const {
  return {{{EventType::keyDown, EventType::keyUp, EventType::leftMouseDown,
            EventType::rightMouseDown, EventType::otherMouseDown, EventType::scrollWheel},
           TapOptions::filtering}};
}

std::vector<std::int64_t> FinderCutFeature::ownMarkers() const {
  return {kMarker, FinderCutRuntimePolicy::kClipboardHistoryMarker};
}

void FinderCutFeature::failStart(StartFailure failure) {
  throw FinderCutError(failure == StartFailure::missingTrust ? FinderCutErrorCode::permission
                                                             : FinderCutErrorCode::eventTap);
}

void FinderCutFeature::prepareStart() { names_ = FinderCommandNames::installed(services_.bundles); }

void FinderCutFeature::startMachinery() {
  adapter_ = std::make_shared<FinderAXAdapter>(
      FinderAXAdapter::Services{services_.accessibility, services_.workspace, services_.clock,
                                services_.pasteboard, services_.fileURLs},
      names_);
  monitor().start();
}

void FinderCutFeature::stopMachinery() {
  refreshPending_ = false;
  if (monitor_) monitor_->stop();
  invalidate(true);
  adapter_.reset();
  suppressedKeys_.clear();
}

FinderContextMonitor& FinderCutFeature::monitor() {
  if (!monitor_) {
    monitor_ = std::make_unique<FinderContextMonitor>(
        services_.workspace, services_.accessibility, services_.mainLoop,
        FinderContextMonitor::Callbacks{handoff_.bind([this] { refresh(); }), handoff_.bind([this] {
                                          // An armed cut survives leaving Finder.
                                          dropContext();
                                          publishActivity();
                                        }),
                                        handoff_.bind([this] { invalidate(true); })});
  }
  return *monitor_;
}

bool FinderCutFeature::handle(std::size_t, EventType type, InputEvent& event) {
  if (type == EventType::keyUp) return suppressedKeys_.erase(event.keyCode()) == 0;
  if (type != EventType::keyDown) {
    // A click or scroll: whatever is in flight is abandoned; the cut is kept.
    dropContext();
    publishActivity();
    return true;
  }
  if (suppressedKeys_.contains(event.keyCode())) {
    if (event.integerField(EventField::autorepeat) != 0) return false;  // a repeat
    // A fresh press: the key-up of the one swallowed never came.
    suppressedKeys_.erase(event.keyCode());
  }
  return keyDown(event);
}

bool FinderCutFeature::keyDown(const InputEvent& event) {
  const auto front = services_.workspace.frontmostApplication();
  const bool keyTargetIsFinder =
      front && front->bundleIdentifier() == FinderBundle::identifier &&
      front->processIdentifier() == event.integerField(EventField::targetProcessID);
  const KeyAction action = FinderCutRuntimePolicy::keyAction(
      event.keyCode(), event.flags, monitor().finderFrontmost(), keyTargetIsFinder);
  switch (action) {
    case KeyAction::pass:
      return true;
    case KeyAction::cancelIntent:
      invalidate(true);
      return true;
    case KeyAction::clearContext:
      dropContext();
      publishActivity();
      return true;
    case KeyAction::cut:
    case KeyAction::paste:
      // Only a first press acts: a repeat of a ⌘X or ⌘V whose press reached Finder
      // must reach it too, or Finder would never see that key released.
      if (event.integerField(EventField::autorepeat) != 0) return true;
      break;
  }
  if (!preconditionsHold()) {
    disarm();
    publishActivity();
    return true;
  }
  FinderCutEffect effect = FinderCutEffects::PassThrough{};
  Uuid selectionIdentity;
  FinderCutEnvironment environment;
  if (action == KeyAction::cut) {
    if (cached_->files.empty()) return true;
    selectionIdentity = Uuid::random();
    environment = {FinderCutContexts::FileSelection{*finder_, selectionIdentity}, boardCount_, true,
                   true};
    effect = machine_.cut(environment);
  } else {
    const std::int64_t now = services_.pasteboard.changeCount();
    const auto* armed = std::get_if<FinderCutStates::Armed>(&machine_.state());
    if (!armed || !copied_ ||
        !FinderCutRuntimePolicy::canAdmitPaste(armed->copy.changeCount, now)) {
      invalidate(true);
      return true;
    }
    environment = {FinderCutContexts::Destination{*finder_}, now, true, true};
    effect = machine_.paste(environment, armed->copy);
  }
  publishActivity();
  if (std::holds_alternative<FinderCutEffects::PassThrough>(effect)) {
    copied_.reset();
    return true;
  }
  suppressedKeys_.insert(event.keyCode());
  Operation operation{replaceToken(),    effect,      cached_, std::nullopt, *runID(), *finder_,
                      selectionIdentity, environment, event};
  cached_.reset();
  busy_ = true;
  isInspecting_ = false;
  // A move takes the copy with it: the arm is consumed whatever happens.
  if (std::holds_alternative<FinderCutEffects::MoveInFinder>(effect)) {
    operation.copied = std::move(copied_);
    copied_.reset();
  }
  perform(std::move(operation));
  return false;
}

bool FinderCutFeature::preconditionsHold() {
  const auto front = services_.workspace.frontmostApplication();
  if (!front || front->bundleIdentifier() != FinderBundle::identifier) {
    return false;
  }
  return cached_ && cached_->processID == front->processIdentifier() &&
         FinderCutRuntimePolicy::snapshotIsFresh(cached_->capturedAt, cachedRevision_,
                                                 services_.clock.uptime(), monitor().revision()) &&
         !(busy_ && !isInspecting_) && adapter_ && finder_ && runID();
}

void FinderCutFeature::perform(Operation operation) {
  handoff_.async(*queue_, [this, adapter = adapter_, operation = std::move(operation)] {
    std::optional<FinderClipboardSnapshot> proof;
    bool moved = false;
    if (operation.token->isValid()) {
      const auto token = operation.token;
      const FinderAXAdapter::Permission isAllowed = [token] {
        return token->isValid();
      };
      std::visit(Overloaded{[&](const FinderCutEffects::CopyInFinder&) {
                              proof = adapter->copy(*operation.snapshot, isAllowed);
                            },
                            [&](const FinderCutEffects::MoveInFinder&) {
                              moved =
                                  operation.copied &&
                                  adapter->move(*operation.snapshot, *operation.copied, isAllowed);
                            },
                            [](const FinderCutEffects::PassThrough&) {
                            }},
                 operation.effect);
      // Finder was typing (a name, a search) before its notification was heard:
      // the key is the text field's own.
      if (!proof && !moved && operation.token->isValid() &&
          adapter->isEditingText(operation.finder.processID)) {
        for (const bool down : {true, false}) {
          InputEvent key =
              InputEvent::keyboard(operation.pressed.keyCode(), down, operation.pressed.flags);
          key.setIntegerField(EventField::sourceUserData, kMarker);
          services_.events.postToProcess(operation.finder.processID, key);
        }
      }
    }
    handoff_.post(services_.mainLoop,
                  [this, operation, proof, moved] { complete(operation, proof, moved); });
  });
}

void FinderCutFeature::complete(const Operation& operation,
                                const std::optional<FinderClipboardSnapshot>& proof, bool moved) {
  if (token_ != operation.token) return;  // a newer operation or inspection owns the feature
  busy_ = false;
  if (runID() != operation.run || !isRunning()) return;
  if (!operation.token->isValid()) {
    disarm();
    ++cancelledOperations_;
    publishActivity();
    return;
  }
  if (const auto* copy = std::get_if<FinderCutEffects::CopyInFinder>(&operation.effect)) {
    const std::int64_t now = services_.pasteboard.changeCount();
    std::optional<VerifiedFinderCopy> verified;
    if (proof && proof->count == now) {
      verified = VerifiedFinderCopy{operation.finder, operation.selectionIdentity, Uuid::random(),
                                    proof->count};
    }
    machine_.confirmCopy(
        copy->request, verified,
        {operation.environment.context, now, true, services_.accessibility.isProcessTrusted()});
    if (hasPendingCut()) {
      copied_ = proof;
      boardCount_ = proof->count;
    } else {
      copied_.reset();
      ++cancelledOperations_;
    }
  } else if (!moved) {
    ++cancelledOperations_;
  }
  publishActivity();
  refresh();
}

void FinderCutFeature::refresh() {
  if (!isRunning() || !runID()) return;
  if (!checkHealth()) return;
  const auto front = services_.workspace.frontmostApplication();
  if (!front || front->bundleIdentifier() != FinderBundle::identifier) {
    monitor().leave();
    return;
  }
  // Anything copied anywhere since the cut ends it.
  const std::int64_t count = services_.pasteboard.changeCount();
  if (hasPendingCut() && boardCount_ != count) {
    disarm();
    publishActivity();
  }
  boardCount_ = count;
  const int processID = front->processIdentifier();
  monitor().observe(processID);
  if (busy_) {
    refreshPending_ = true;
    return;
  }
  if (!adapter_) return;
  if (!finder_ || finder_->processID != processID)
    finder_ = FinderInstance{processID, Uuid::random()};
  const auto token = replaceToken();
  busy_ = true;
  isInspecting_ = true;
  handoff_.async(*queue_, [this, adapter = adapter_, token, processID,
                           revision = monitor().revision(), run = *runID()] {
    std::optional<FinderAXSnapshot> snapshot;
    bool editing = false;
    if (token->isValid()) snapshot = adapter->inspect(processID);
    if (token->isValid() && !snapshot) editing = adapter->isEditingText(processID);
    handoff_.post(services_.mainLoop, [this, token, snapshot = std::move(snapshot), editing,
                                       revision, run]() mutable {
      if (token_ != token) return;
      busy_ = false;
      isInspecting_ = false;
      if (runID() != run) return;
      if (token->isValid() && isRunning()) {
        cached_ =
            snapshot ? std::make_shared<const FinderAXSnapshot>(std::move(*snapshot)) : nullptr;
        cachedRevision_ = revision;
        if (editing) {
          disarm();
          publishActivity();
        }
      }
      if (refreshPending_) {
        refreshPending_ = false;
        refresh();
      }
    });
  });
}

std::shared_ptr<FinderOperationToken> FinderCutFeature::replaceToken() {
  if (token_) token_->invalidate();
  token_ = std::make_shared<FinderOperationToken>();
  return token_;
}

void FinderCutFeature::dropContext() {
  cached_.reset();
  if (token_) token_->invalidate();
}

void FinderCutFeature::disarm() {
  machine_.invalidate();
  copied_.reset();
}

void FinderCutFeature::invalidate(bool all) {
  dropContext();
  if (all) {
    disarm();
    finder_.reset();
  }
  publishActivity();
}

void FinderCutFeature::publishActivity() {
  const FinderCutActivity now = std::visit(
      Overloaded{[](const FinderCutStates::AwaitingCopy&) { return FinderCutActivity::preparing; },
                 [](const FinderCutStates::Armed&) { return FinderCutActivity::ready; },
                 [](const FinderCutStates::Idle&) {
                   return FinderCutActivity::idle;
                 }},
      machine_.state());
  if (now == activity_) return;
  activity_ = now;
  if (onActivity_) onActivity_(now);
}

}  // namespace mirlet
