#pragma once

#include <optional>

namespace mirlet::testing {

// The error of type `E` that `action` throws, or nothing when it returns. Other
// exceptions pass through, so a test that expects one error fails on another.
template <class E, class Action>
std::optional<E> thrown(Action&& action) {
  try {
    action();
  } catch (const E& error) {
    return error;
  }
  return std::nullopt;
}

}  // namespace mirlet::testing
