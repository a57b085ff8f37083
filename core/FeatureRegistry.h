#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/FeatureRegistryError.h"
#include "core/MirletFeature.h"

namespace mirlet {

// The ordered, validated list of features. Registration order is the order of
// every iteration over features.
class FeatureRegistry {
 public:
  using Features = std::vector<std::shared_ptr<MirletFeature>>;

  // Throws FeatureRegistryError: invalidID for an id that is blank once trimmed,
  // duplicateID for an id (compared untrimmed) seen before. The first failing
  // feature stops construction; an empty list is valid.
  explicit FeatureRegistry(Features features);

  const Features& features() const { return features_; }
  // The first feature whose id equals `id` exactly, or null.
  MirletFeature* feature(const std::string& id) const;

 private:
  Features features_;
};

}  // namespace mirlet
