#pragma once

#include <string>
#include <string_view>

#include "core/Error.h"
#include "core/PropertyValue.h"

namespace mirlet {

enum class PropertyListJsonErrorCode {
  malformed,       // not JSON at all
  notADictionary,  // JSON, but the top level is not an object
};

constexpr std::string_view errorName(PropertyListJsonErrorCode code) {
  return code == PropertyListJsonErrorCode::malformed ? "preferences text: malformed"
                                                      : "preferences text: not a dictionary";
}

using PropertyListJsonError = ErrorOf<PropertyListJsonErrorCode>;

// The text form of a defaults store: one JSON object. Integers stay integers and
// reals stay reals across a round trip.
namespace PropertyListJson {

std::string encode(const PropertyDictionary& values);

// Decodes a whole store; throws PropertyListJsonError. A value that has no
// property-list form (null, or nested deeper than 64 levels) drops only its own key.
PropertyDictionary decode(std::string_view text);

}  // namespace PropertyListJson
}  // namespace mirlet
