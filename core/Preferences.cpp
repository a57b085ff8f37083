#include "core/Preferences.h"

namespace mirlet {
namespace {

const std::string kFeaturePrefix = "mirlet.features.";
const std::string kOnboardingCompleted = "mirlet.onboarding.completed";
const std::string kAccessibilityRequested = "mirlet.accessibility.requested";

// Ids and names are used as given: no escaping, no trimming.
std::string featureKey(const std::string& id, const std::string& name) {
  return kFeaturePrefix + id + "." + name;
}

}  // namespace

bool Preferences::isEnabled(const std::string& id) const {
  return defaults_.boolean(featureKey(id, "enabled")).value_or(false);
}

void Preferences::setEnabled(bool enabled, const std::string& id) {
  defaults_.set(featureKey(id, "enabled"), enabled);
}

bool Preferences::isOptionEnabled(const std::string& option, const std::string& id) const {
  return defaults_.boolean(featureKey(id, option + ".enabled")).value_or(true);
}

void Preferences::setOptionEnabled(bool enabled, const std::string& option, const std::string& id) {
  defaults_.set(featureKey(id, option + ".enabled"), enabled);
}

std::optional<std::string> Preferences::string(const std::string& name,
                                               const std::string& id) const {
  return defaults_.string(featureKey(id, name));
}

void Preferences::setString(const std::optional<std::string>& value, const std::string& name,
                            const std::string& id) {
  if (value) {
    defaults_.set(featureKey(id, name), *value);
  } else {
    defaults_.remove(featureKey(id, name));
  }
}

bool Preferences::hasCompletedOnboarding() const {
  return defaults_.boolean(kOnboardingCompleted).value_or(false);
}

void Preferences::setHasCompletedOnboarding(bool completed) {
  defaults_.set(kOnboardingCompleted, completed);
}

bool Preferences::hasRequestedAccessibility() const {
  return defaults_.boolean(kAccessibilityRequested).value_or(false);
}

void Preferences::setHasRequestedAccessibility(bool requested) {
  defaults_.set(kAccessibilityRequested, requested);
}

}  // namespace mirlet
