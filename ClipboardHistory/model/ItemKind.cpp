#include "ClipboardHistory/model/ItemKind.h"

#include <algorithm>

namespace mirlet::ItemKinds {
namespace {

struct KindNames {
  std::string_view raw;
  std::string_view title;
  std::string_view symbol;
};

// In the order of the cases.
constexpr std::array<KindNames, 17> kNames{{
    {"text", "Texto", "text.alignleft"},
    {"richText", "Texto con formato", "text.alignleft"},
    {"link", "Enlace", "link"},
    {"email", "Correo", "envelope"},
    {"color", "Color", "paintpalette"},
    {"code", "Código", "chevron.left.forwardslash.chevron.right"},
    {"table", "Tabla", "tablecells"},
    {"image", "Imagen", "photo"},
    {"screenshot", "Captura de pantalla", "camera.viewfinder"},
    {"file", "Archivo", "doc"},
    {"files", "Archivos", "doc.on.doc"},
    {"folder", "Carpeta", "folder"},
    {"audio", "Audio", "waveform"},
    {"video", "Video", "film"},
    {"calendarEvent", "Evento de calendario", "calendar"},
    {"appContent", "Contenido de otra app", "shippingbox"},
    {"other", "Otro", "questionmark.square.dashed"},
}};

}  // namespace

std::string_view symbol(ItemKind kind) { return kNames[static_cast<std::size_t>(kind)].symbol; }

std::string_view rawValue(ItemKind kind) { return kNames[static_cast<std::size_t>(kind)].raw; }

std::string_view title(ItemKind kind) { return kNames[static_cast<std::size_t>(kind)].title; }

std::optional<ItemKind> fromRawValue(std::string_view raw) {
  auto found = std::find_if(kNames.begin(), kNames.end(),
                            [&](const KindNames& names) { return names.raw == raw; });
  if (found == kNames.end()) return std::nullopt;
  return allCases[static_cast<std::size_t>(found - kNames.begin())];
}

}  // namespace mirlet::ItemKinds
