#pragma once

namespace mirlet {

// What the Finder cut shows the user between ⌘X and ⌘V.
enum class FinderCutActivity { idle, preparing, ready };

}  // namespace mirlet
