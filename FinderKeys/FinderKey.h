#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirlet {

// The Finder keys that the user can switch on one by one.
enum class FinderKey {
  enter,   // Return or keypad Enter: opens
  f2,      // renames
  delete_  // forward delete ("Supr"): moves to the Trash
};

namespace FinderKeys {

// "enter", "f2", "delete": the persisted names.
std::string_view rawValue(FinderKey key);
std::optional<FinderKey> fromRawValue(std::string_view raw);
// Return (36) and keypad Enter (76), F2 (120), forward delete (117).
std::optional<FinderKey> fromKeyCode(std::int64_t keyCode);

}  // namespace FinderKeys
}  // namespace mirlet
