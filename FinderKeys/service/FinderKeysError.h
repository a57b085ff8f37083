#pragma once

#include <string_view>

#include "core/Error.h"

namespace mirlet {

// Why the Finder keys feature could not start.
enum class FinderKeysErrorCode {
  permission,  // not trusted for accessibility
  eventTap,    // the system gave no event tap
};

inline std::string_view errorName(FinderKeysErrorCode code) {
  return code == FinderKeysErrorCode::permission ? "finder keys: permission"
                                                 : "finder keys: event tap";
}

using FinderKeysError = ErrorOf<FinderKeysErrorCode>;

}  // namespace mirlet
