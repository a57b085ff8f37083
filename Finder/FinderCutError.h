#pragma once

#include <string_view>

#include "core/Error.h"

namespace mirlet {

// Why the Finder cut could not start.
enum class FinderCutErrorCode {
  unavailable,  // Finder's command titles could not be loaded
  permission,   // not trusted for accessibility
  eventTap,     // the system gave no event tap
};

inline std::string_view errorName(FinderCutErrorCode code) {
  switch (code) {
    case FinderCutErrorCode::unavailable:
      return "finder cut: unavailable";
    case FinderCutErrorCode::permission:
      return "finder cut: permission";
    case FinderCutErrorCode::eventTap:
      return "finder cut: event tap";
  }
  return "finder cut";
}

using FinderCutError = ErrorOf<FinderCutErrorCode>;

}  // namespace mirlet
