#pragma once

#include <string>

namespace mirlet {

// What the framework and the user interface know of a feature.
struct FeatureDescriptor {
  std::string id;  // stable; part of the feature's preference keys
  std::string name;
  std::string description;
  bool requiresAccessibility = false;

  friend bool operator==(const FeatureDescriptor&, const FeatureDescriptor&) = default;
};

}  // namespace mirlet
