#pragma once

#include <optional>
#include <string>

#include "core/PropertyValue.h"

namespace mirlet {

namespace UpdateConfiguration {

// Whether this copy may run an updater: only the product's bundle identifier,
// with an https feed address on a public host name (no credentials, query or
// fragment, a valid port) and a canonical Base64 32-byte public key.
bool isEnabled(const std::optional<std::string>& bundleIdentifier, const PropertyDictionary& info);

}  // namespace UpdateConfiguration
}  // namespace mirlet
