#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/AccessibilityPermission.h"
#include "core/FeatureRegistry.h"
#include "core/FeatureState.h"
#include "core/Preferences.h"
#include "core/Signal.h"
#include "core/Uuid.h"

namespace mirlet {

// The only component that starts and stops features. For each feature it derives,
// from the persisted enabled flag, the feature's need for the accessibility
// permission and the permission the caller passes in, whether it must run, and it
// keeps the state the user interface shows. Every start carries a fresh run
// identifier, so a failure report from a run that was since stopped or restarted
// is recognised as stale. Main thread only.
class FeatureController {
 public:
  using States = std::map<std::string, FeatureState>;

  FeatureController(FeatureRegistry registry, Preferences& preferences);

  const FeatureRegistry& registry() const { return registry_; }

  // Nothing for an id that no feature has; `disabled` for one never reconciled.
  std::optional<FeatureState> state(const std::string& id) const;
  // Every feature's state, published again whenever one changes.
  const ObservableView<States>& states() const { return states_; }

  // Persists the flag, clears `failed`, then reconciles that feature. Throws
  // FeatureRegistryError::unknownID, changing nothing, for an unknown id.
  void setEnabled(bool enabled, const std::string& id, AccessibilityPermission permission);

  // Brings every feature, in registry order, to the state its inputs demand. A
  // failed feature is left failed.
  void reconcile(AccessibilityPermission permission);

  // Marks the feature failed and stops it, if `runID` is its current run; a stale
  // report is ignored. Throws FeatureRegistryError::unknownID for an unknown id.
  void reportFailure(const std::string& id, const Uuid& runID);

  // Stops every feature and shows it disabled, leaving the enabled flags alone.
  void stopAll();

  // The `what()` of the error that the feature's last start threw, until the user
  // switches it again.
  std::optional<std::string> startFailure(const std::string& id) const;

 private:
  void reconcileOne(MirletFeature& feature, AccessibilityPermission permission);
  void startRun(MirletFeature& feature);
  void stopWith(MirletFeature& feature, FeatureState state);
  void setState(const std::string& id, FeatureState state);
  MirletFeature& require(const std::string& id) const;

  FeatureRegistry registry_;
  Preferences& preferences_;
  Observable<States> states_;
  std::map<std::string, Uuid> activeRunIDs_;
  std::map<std::string, std::string> startFailures_;
};

}  // namespace mirlet
