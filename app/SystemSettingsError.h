#pragma once

namespace mirlet {

// What went wrong with the last settings action; the window shows a fixed text.
enum class SystemSettingsError {
  accessibilitySettingsUnavailable,
  loginUnavailable,
  loginChangeFailed,
};

}  // namespace mirlet
