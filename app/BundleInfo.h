#pragma once

#include <optional>
#include <string>

#include "core/PropertyValue.h"

namespace mirlet {

// What the application knows of its own build: its identifier and its
// information dictionary ("CFBundleShortVersionString", "CFBundleVersion", and the
// updater's "SUFeedURL" and "SUPublicEDKey" where the build has them).
struct BundleInfo {
  std::optional<std::string> identifier;
  PropertyDictionary info;

  // The values this build was configured with.
  static BundleInfo current();

  std::optional<std::string> build() const;
};

}  // namespace mirlet
