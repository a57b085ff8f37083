#pragma once

namespace mirlet {

// The three-valued summary of the accessibility permission.
enum class AccessibilityPermission {
  notRequested,  // not trusted, and the application never asked
  denied,        // not trusted, although the application asked before
  granted,       // trusted
};

constexpr AccessibilityPermission accessibilityPermission(bool isTrusted, bool wasRequested) {
  if (isTrusted) return AccessibilityPermission::granted;
  return wasRequested ? AccessibilityPermission::denied : AccessibilityPermission::notRequested;
}

}  // namespace mirlet
