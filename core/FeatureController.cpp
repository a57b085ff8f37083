#include "core/FeatureController.h"

#include <exception>
#include <string>

namespace mirlet {

namespace {

// What the exception being handled says: its message where it carries one.
std::string thrownText() {
  try {
    throw;
  } catch (const std::exception& error) {
    return error.what();
  } catch (const std::string& text) {
    return text;
  } catch (const char* text) {
    return text ? text : "";
  } catch (...) {  // part of startRun's boundary: anything else says nothing
    return "an exception that carries no message";
  }
}

FeatureController::States initialStates(const FeatureRegistry& registry) {
  FeatureController::States states;
  for (const auto& feature : registry.features()) {
    states.emplace(feature->descriptor().id, FeatureState::disabled);
  }
  return states;
}

}  // namespace

FeatureController::FeatureController(FeatureRegistry registry, Preferences& preferences)
    : registry_(std::move(registry)),
      preferences_(preferences),
      states_(initialStates(registry_)) {}

std::optional<FeatureState> FeatureController::state(const std::string& id) const {
  auto it = states_.get().find(id);
  if (it == states_.get().end()) return std::nullopt;
  return it->second;
}

void FeatureController::setState(const std::string& id, FeatureState state) {
  if (states_.get().at(id) == state) return;
  States changed = states_.get();
  changed[id] = state;
  states_.set(std::move(changed));
}

void FeatureController::setEnabled(bool enabled, const std::string& id,
                                   AccessibilityPermission permission) {
  MirletFeature& feature = require(id);
  preferences_.setEnabled(enabled, id);
  // Switching a failed feature, either way, is how it gets a new attempt.
  if (state(id) == FeatureState::failed) {
    setState(id, FeatureState::disabled);
    startFailures_.erase(id);
  }
  reconcileOne(feature, permission);
}

void FeatureController::reconcile(AccessibilityPermission permission) {
  for (const auto& feature : registry_.features()) reconcileOne(*feature, permission);
}

void FeatureController::reportFailure(const std::string& id, const Uuid& runID) {
  MirletFeature& feature = require(id);
  auto run = activeRunIDs_.find(id);
  if (run == activeRunIDs_.end() || run->second != runID) return;
  stopWith(feature, FeatureState::failed);
}

void FeatureController::stopAll() {
  for (const auto& feature : registry_.features()) stopWith(*feature, FeatureState::disabled);
}

void FeatureController::reconcileOne(MirletFeature& feature, AccessibilityPermission permission) {
  const std::string& id = feature.descriptor().id;
  const bool failed = state(id) == FeatureState::failed;
  if (!preferences_.isEnabled(id)) {
    stopWith(feature, FeatureState::disabled);
  } else if (feature.descriptor().requiresAccessibility &&
             permission != AccessibilityPermission::granted) {
    stopWith(feature, failed ? FeatureState::failed : FeatureState::requiresAccessibility);
  } else if (failed) {
    // Reconciliation never retries a failed feature; only setEnabled clears it.
  } else if (feature.isRunning()) {
    setState(id, FeatureState::running);
  } else {
    startRun(feature);
  }
}

void FeatureController::startRun(MirletFeature& feature) {
  const std::string id = feature.descriptor().id;
  const Uuid runID = Uuid::random();
  activeRunIDs_[id] = runID;
  auto isCurrent = [&] {
    auto run = activeRunIDs_.find(id);
    return run != activeRunIDs_.end() && run->second == runID;
  };
  try {
    feature.start(runID);
  } catch (...) {
    // The one boundary that absorbs whatever a feature's start throws, whether or
    // not it derives from the error base: the feature ends failed. The user sees the
    // state, never the error; its text stays for diagnosis.
    if (isCurrent()) {
      startFailures_[id] = thrownText();
      stopWith(feature, FeatureState::failed);
    }
    return;
  }
  // A run superseded or reported failed during start is left as it is.
  if (!isCurrent()) return;
  if (feature.isRunning()) {
    setState(id, FeatureState::running);
  } else {
    stopWith(feature, FeatureState::failed);
  }
}

std::optional<std::string> FeatureController::startFailure(const std::string& id) const {
  auto it = startFailures_.find(id);
  if (it == startFailures_.end()) return std::nullopt;
  return it->second;
}

void FeatureController::stopWith(MirletFeature& feature, FeatureState state) {
  const std::string id = feature.descriptor().id;
  activeRunIDs_.erase(id);
  feature.stop();
  setState(id, state);
}

MirletFeature& FeatureController::require(const std::string& id) const {
  MirletFeature* feature = registry_.feature(id);
  if (!feature) throw FeatureRegistryError(FeatureRegistryErrorCode::unknownID, id);
  return *feature;
}

}  // namespace mirlet
