#pragma once

#include <string_view>

#include "core/Error.h"

namespace mirlet {

// Thrown by the registry and the controller. Carries no user-facing text.
enum class FeatureRegistryErrorCode {
  duplicateID,  // the detail is the repeated id
  unknownID,    // the detail is the id asked for
  invalidID,    // a blank id; no detail
};

constexpr std::string_view errorName(FeatureRegistryErrorCode code) {
  switch (code) {
    case FeatureRegistryErrorCode::duplicateID:
      return "feature registry: duplicate id";
    case FeatureRegistryErrorCode::unknownID:
      return "feature registry: unknown id";
    case FeatureRegistryErrorCode::invalidID:
      return "feature registry: invalid id";
  }
  return "feature registry";
}

using FeatureRegistryError = ErrorOf<FeatureRegistryErrorCode>;

}  // namespace mirlet
