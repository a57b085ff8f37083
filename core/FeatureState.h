#pragma once

namespace mirlet {

// What the user sees of a feature.
enum class FeatureState {
  disabled,
  requiresAccessibility,  // enabled, waiting for the accessibility permission
  running,
  failed,
};

}  // namespace mirlet
