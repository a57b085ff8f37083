#pragma once

namespace mirlet {

// The state of the application's login item.
enum class LoginState {
  disabled,
  enabled,
  requiresApproval,
  notFound,
  unavailable,
};

// The platform's login-item status 0 to 3 in order; anything else is unavailable.
constexpr LoginState loginStateFromServiceStatus(int status) {
  switch (status) {
    case 0:
      return LoginState::disabled;
    case 1:
      return LoginState::enabled;
    case 2:
      return LoginState::requiresApproval;
    case 3:
      return LoginState::notFound;
    default:
      return LoginState::unavailable;
  }
}

}  // namespace mirlet
