#include "app/ui/DesktopFeatures.h"

namespace mirlet {

FeatureRegistry::Features makeDesktopFeatures(const FeatureSinks& /*sinks*/,
                                              Preferences& /*preferences*/) {
  return {};
}

}  // namespace mirlet
