#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mirlet {

// What a history entry holds, as the classifier decided.
enum class ItemKind {
  text,
  richText,
  link,
  email,
  color,
  code,
  table,
  image,
  screenshot,
  file,
  files,
  folder,
  audio,
  video,
  calendarEvent,
  appContent,
  other,
};

namespace ItemKinds {

inline constexpr std::array<ItemKind, 17> allCases{
    ItemKind::text,       ItemKind::richText, ItemKind::link,          ItemKind::email,
    ItemKind::color,      ItemKind::code,     ItemKind::table,         ItemKind::image,
    ItemKind::screenshot, ItemKind::file,     ItemKind::files,         ItemKind::folder,
    ItemKind::audio,      ItemKind::video,    ItemKind::calendarEvent, ItemKind::appContent,
    ItemKind::other};

// The case name ("richText").
std::string_view rawValue(ItemKind kind);
// Exactly the case names, case-sensitive.
std::optional<ItemKind> fromRawValue(std::string_view raw);
// The title the panel shows ("Texto con formato").
std::string_view title(ItemKind kind);
// The name of the symbol that stands for the kind ("doc.on.doc").
std::string_view symbol(ItemKind kind);

}  // namespace ItemKinds
}  // namespace mirlet
