#pragma once

#include <optional>
#include <string>

#include "core/DefaultsStore.h"

namespace mirlet {

// The one typed gateway to the persisted settings: every key of the "mirlet."
// namespace is built here. It caches nothing; every read goes to the store.
class Preferences {
 public:
  explicit Preferences(DefaultsStore& defaults) : defaults_(defaults) {}

  // "mirlet.features.<id>.enabled"; absent (or not a bool) reads as false.
  bool isEnabled(const std::string& id) const;
  void setEnabled(bool enabled, const std::string& id);

  // "mirlet.features.<id>.<option>.enabled"; absent or not a bool reads as true.
  bool isOptionEnabled(const std::string& option, const std::string& id) const;
  void setOptionEnabled(bool enabled, const std::string& option, const std::string& id);

  // "mirlet.features.<id>.<name>"; a non-string value reads as nothing. Storing
  // nothing removes the key.
  std::optional<std::string> string(const std::string& name, const std::string& id) const;
  void setString(const std::optional<std::string>& value, const std::string& name,
                 const std::string& id);

  // "mirlet.onboarding.completed"
  bool hasCompletedOnboarding() const;
  void setHasCompletedOnboarding(bool completed);

  // "mirlet.accessibility.requested"
  bool hasRequestedAccessibility() const;
  void setHasRequestedAccessibility(bool requested);

  DefaultsStore& defaults() const { return defaults_; }

 private:
  DefaultsStore& defaults_;
};

}  // namespace mirlet
