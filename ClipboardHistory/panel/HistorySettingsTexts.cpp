#include "ClipboardHistory/panel/HistorySettingsTexts.h"

namespace mirlet::HistorySettingsTexts {
namespace {

constexpr const char* kOccupied =
    "Otra app ya usa este atajo. Elige otro. El panel sigue disponible desde el menú de la barra.";

// A count with a full stop before each group of three digits: "10.000".
std::string grouped(std::int64_t value) {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string text = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += '.';
    text += digits[i];
  }
  return text;
}

}  // namespace

std::string limit(const HistoryLimit& limit) {
  if (limit.unit == HistoryLimit::Unit::count) return grouped(limit.value) + " elementos";
  switch (limit.value) {
    case 1:
      return "1 día";
    case 7:
      return "1 semana";
    case 30:
      return "1 mes";
    case 90:
      return "3 meses";
    case 180:
      return "6 meses";
    case 365:
      return "1 año";
    default:
      return std::to_string(limit.value) + " días";
  }
}

std::string resetAfter(const std::optional<int>& minutes) {
  if (!minutes) return "Nunca";
  if (*minutes == 0) return "Siempre";
  if (*minutes == 1) return "1 minuto";
  return std::to_string(*minutes) + " minutos";
}

std::optional<std::string> recorderMessage(const HotKeyStatus& status, const HostTexts& host) {
  switch (status.kind) {
    case HotKeyStatus::Kind::none:
    case HotKeyStatus::Kind::registered:
      return std::nullopt;
    case HotKeyStatus::Kind::occupied:
      return kOccupied;
    case HotKeyStatus::Kind::unavailable:
      return std::string(host.hotKeyUnavailable);
    case HotKeyStatus::Kind::invalid:
      break;
  }
  switch (status.invalidBecause.value_or(HotKeyCombo::ValidationError::needsModifier)) {
    case HotKeyCombo::ValidationError::modifierOnly:
      return "Pulsa también una tecla; los modificadores solos no bastan.";
    case HotKeyCombo::ValidationError::needsModifier:
      return "Incluye ⌃, o ⌥ junto con ⌘, además de una tecla. Así no choca con los atajos de las "
             "apps ni con los caracteres que escribes.";
    case HotKeyCombo::ValidationError::reserved:
      return std::string(host.hotKeyReserved);
  }
  return std::nullopt;
}

std::optional<std::string> registrationWarning(const HotKeyStatus& status, const HostTexts& host) {
  if (status.kind == HotKeyStatus::Kind::occupied) return kOccupied;
  if (status.kind == HotKeyStatus::Kind::unavailable) return std::string(host.hotKeyUnavailable);
  return std::nullopt;
}

std::string tryIt(const std::optional<std::string>& hotKeyLabel) {
  if (!hotKeyLabel) return "Pruébalo: copia algo y abre el historial.";
  return "Pruébalo: copia algo y pulsa " + *hotKeyLabel + ".";
}

}  // namespace mirlet::HistorySettingsTexts
