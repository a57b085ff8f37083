#pragma once

#include <optional>
#include <string>

#include "core/PropertyValue.h"

namespace mirlet {

// The bundle identifier of the product; only a copy with it may update and shows
// its version number.
inline const std::string kProductBundleIdentifier = "app.mirlet";

namespace AppVersion {

// "1.2 (45)", "1.2" without a build, or empty without a short version.
std::string description(const PropertyDictionary& info);

// The footer of the settings page: "Versión 1.2 (45)", "Versión no disponible",
// or "Versión de desarrollo local" for any other bundle identifier.
std::string settingsDescription(const std::optional<std::string>& bundleIdentifier,
                                const PropertyDictionary& info);

}  // namespace AppVersion
}  // namespace mirlet
