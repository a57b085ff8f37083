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

std::string loginDescription(LoginState state) {
  switch (state) {
    case LoginState::disabled:
      return "Abre Mirlet automáticamente cuando entres a tu Mac.";
    case LoginState::enabled:
      return "Mirlet se abrirá automáticamente cuando entres a tu Mac.";
    case LoginState::requiresApproval:
      return "Falta aprobación en Ajustes del Sistema.";
    case LoginState::notFound:
      return "macOS aún no confirma el registro. Activa la opción para intentarlo.";
    case LoginState::unavailable:
      return "El inicio automático no está disponible en esta copia de Mirlet.";
  }
  return {};
}

std::string systemSettingsError(SystemSettingsError error) {
  switch (error) {
    case SystemSettingsError::accessibilitySettingsUnavailable:
      return "No se pudieron abrir los ajustes. Abre Ajustes del Sistema, Privacidad y "
             "seguridad, Accesibilidad.";
    case SystemSettingsError::loginUnavailable:
      return "No pudimos activar el inicio automático. Abre Mirlet manualmente.";
    case SystemSettingsError::loginChangeFailed:
      return "No se pudo cambiar el inicio automático. Comprueba el estado en Ajustes del "
             "Sistema e inténtalo de nuevo.";
  }
  return {};
}

std::string permissionStatus(AccessibilityPermission permission) {
  return permission == AccessibilityPermission::granted ? "Permiso activado"
                                                        : "Mirlet aún no tiene acceso";
}

std::string permissionCheckResult(AccessibilityPermission permission) {
  return permission == AccessibilityPermission::granted
             ? "Comprobación completada. Mirlet tiene acceso."
             : "Comprobación completada. macOS aún no le da acceso a Mirlet.";
}

}  // namespace mirlet::AppTexts
