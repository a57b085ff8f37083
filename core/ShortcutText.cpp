#include "core/ShortcutText.h"

#include <array>
#include <utility>

namespace mirlet {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kNames{{
    {"⌘", "Ctrl"},
    {"⌥", "Alt"},
    {"⇧", "Mayús"},
    {"⌃", "Super"},
}};

// The modifier symbol that begins `text` and its name; nothing for anything else.
const std::pair<std::string_view, std::string_view>* modifierAt(std::string_view text) {
  for (const auto& modifier : kNames) {
    if (text.starts_with(modifier.first)) return &modifier;
  }
  return nullptr;
}

// What a symbol joins with "+": another modifier or a key, never the end of a
// phrase.
bool joinsNext(std::string_view rest) {
  if (rest.empty()) return false;
  if (modifierAt(rest) || rest.starts_with("−")) return true;
  const char next = rest.front();
  return next != ' ' && next != '.' && next != ',' && next != ';' && next != ':' && next != ')' &&
         next != '\n';
}

}  // namespace

std::string shortcutText(std::string_view text, ShortcutStyle style) {
  if (style == ShortcutStyle::symbols) return std::string(text);
  std::string result;
  while (!text.empty()) {
    const auto* modifier = modifierAt(text);
    if (!modifier) {
      result += text.front();
      text.remove_prefix(1);
      continue;
    }
    text.remove_prefix(modifier->first.size());
    result += modifier->second;
    if (joinsNext(text)) result += '+';
  }
  return result;
}

}  // namespace mirlet
