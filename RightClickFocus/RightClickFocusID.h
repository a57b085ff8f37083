#pragma once

#include <string>

// What the rest of the program may know of right-click focus: its id. The shell
// asks nothing of it beyond starting and stopping.
namespace mirlet::FeatureIds {

inline const std::string rightClickFocus = "right-click-focus";

}  // namespace mirlet::FeatureIds
