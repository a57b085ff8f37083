#pragma once

#include <string>

namespace mirlet {

// Thrown by the registry and the controller. Carries no user-facing text.
struct FeatureRegistryError {
  enum class Code {
    duplicateID,  // `id` is the repeated id
    unknownID,    // `id` is the id asked for
    invalidID,    // a blank id; `id` is empty
  };
  Code code;
  std::string id;

  static FeatureRegistryError duplicateID(std::string id) { return {Code::duplicateID, id}; }
  static FeatureRegistryError unknownID(std::string id) { return {Code::unknownID, id}; }
  static FeatureRegistryError invalidID() { return {Code::invalidID, {}}; }

  friend bool operator==(const FeatureRegistryError&, const FeatureRegistryError&) = default;
};

}  // namespace mirlet
