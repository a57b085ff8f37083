#include "ClipboardHistory/ItemKind.h"

#include <algorithm>

namespace mirlet::ItemKinds {
namespace {

struct KindNames {
  std::string_view raw;
  std::string_view title;
};

// In the order of the cases.
constexpr std::array<KindNames, 17> kNames{{
    {"text", "Texto"},
    {"richText", "Texto con formato"},
    {"link", "Enlace"},
    {"email", "Correo"},
    {"color", "Color"},
    {"code", "Código"},
    {"table", "Tabla"},
    {"image", "Imagen"},
    {"screenshot", "Captura de pantalla"},
    {"file", "Archivo"},
    {"files", "Archivos"},
    {"folder", "Carpeta"},
    {"audio", "Audio"},
    {"video", "Video"},
    {"calendarEvent", "Evento de calendario"},
    {"appContent", "Contenido de otra app"},
    {"other", "Otro"},
}};

}  // namespace

std::string_view rawValue(ItemKind kind) { return kNames[static_cast<std::size_t>(kind)].raw; }

std::string_view title(ItemKind kind) { return kNames[static_cast<std::size_t>(kind)].title; }

std::optional<ItemKind> fromRawValue(std::string_view raw) {
  auto found = std::find_if(kNames.begin(), kNames.end(),
                            [&](const KindNames& names) { return names.raw == raw; });
  if (found == kNames.end()) return std::nullopt;
  return allCases[static_cast<std::size_t>(found - kNames.begin())];
}

}  // namespace mirlet::ItemKinds
