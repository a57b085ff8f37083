#include "app/AppTexts.h"

namespace mirlet::AppTexts {

std::string featureStatus(FeatureState state) {
  switch (state) {
    case FeatureState::disabled:
      return "Desactivado";
    case FeatureState::requiresAccessibility:
      return "En espera del permiso";
    case FeatureState::running:
      return "Activo";
    case FeatureState::failed:
      return "No se pudo activar";
  }
  return {};
}

std::string loginDescription(LoginState state, const HostTexts& host) {
  switch (state) {
    case LoginState::disabled:
      return std::string(host.loginDisabled);
    case LoginState::enabled:
      return std::string(host.loginEnabled);
    case LoginState::requiresApproval:
      return std::string(host.loginRequiresApproval);
    case LoginState::notFound:
      return std::string(host.loginNotFound);
    case LoginState::unavailable:
      return "El inicio automático no está disponible en esta copia de Mirlet.";
  }
  return {};
}

std::string systemSettingsError(SystemSettingsError error, const HostTexts& host) {
  switch (error) {
    case SystemSettingsError::accessibilitySettingsUnavailable:
      return std::string(host.accessibilitySettingsUnavailable);
    case SystemSettingsError::loginUnavailable:
      return "No pudimos activar el inicio automático. Abre Mirlet manualmente.";
    case SystemSettingsError::loginChangeFailed:
      return std::string(host.loginChangeFailed);
  }
  return {};
}

std::string permissionStatus(AccessibilityPermission permission) {
  return permission == AccessibilityPermission::granted ? "Permiso activado"
                                                        : "Mirlet aún no tiene acceso";
}

std::string permissionCheckResult(AccessibilityPermission permission, const HostTexts& host) {
  return permission == AccessibilityPermission::granted
             ? "Comprobación completada. Mirlet tiene acceso."
             : std::string(host.permissionNotGranted);
}

}  // namespace mirlet::AppTexts
