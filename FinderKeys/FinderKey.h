#pragma once

namespace mirlet {

// The Finder keys that the user can switch on one by one.
enum class FinderKey {
  enter,   // opens
  f2,      // renames
  delete_  // forward delete: moves to the Trash
};

}  // namespace mirlet
