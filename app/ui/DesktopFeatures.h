#pragma once

#include "app/AppModel.h"

namespace mirlet {

// The features of the Linux desktop host, in registration order: right-click
// focus, Finder cut, Finder keys, clipboard history. Each is added here, at its
// place in that order, once the host can run it; none can yet.
FeatureRegistry::Features makeDesktopFeatures(const FeatureSinks& sinks, Preferences& preferences);

}  // namespace mirlet
