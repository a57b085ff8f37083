#include "FinderKeys/FinderKey.h"

namespace mirlet {
namespace FinderKeys {

std::string_view rawValue(FinderKey key) {
  switch (key) {
    case FinderKey::enter:
      return "enter";
    case FinderKey::f2:
      return "f2";
    case FinderKey::delete_:
      return "delete";
  }
  return {};
}

std::optional<FinderKey> fromRawValue(std::string_view raw) {
  for (FinderKey key : {FinderKey::enter, FinderKey::f2, FinderKey::delete_}) {
    if (rawValue(key) == raw) return key;
  }
  return std::nullopt;
}

std::optional<FinderKey> fromKeyCode(std::int64_t keyCode) {
  switch (keyCode) {
    case 36:
    case 76:
      return FinderKey::enter;
    case 120:
      return FinderKey::f2;
    case 117:
      return FinderKey::delete_;
    default:
      return std::nullopt;
  }
}

}  // namespace FinderKeys
}  // namespace mirlet
