#include "ClipboardHistory/model/HotKeyCombo.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace mirlet {
namespace {

constexpr std::array<HotKeyCombo, 9> kReserved{{
    {49, {Modifiers::control}},
    {49, {Modifiers::control | Modifiers::option}},
    {49, {Modifiers::control | Modifiers::command}},
    {20, {Modifiers::control | Modifiers::shift | Modifiers::command}},
    {21, {Modifiers::control | Modifiers::shift | Modifiers::command}},
    {12, {Modifiers::control | Modifiers::command}},
    {12, {Modifiers::option | Modifiers::shift | Modifiers::command}},
    {53, {Modifiers::option | Modifiers::command}},
    {3, {Modifiers::control | Modifiers::command}},
}};

template <class Number>
std::optional<Number> decimal(std::string_view text) {
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string HotKeyCombo::rawValue() const {
  return std::to_string(keyCode) + ":" + std::to_string(modifiers.rawValue);
}

std::optional<HotKeyCombo> HotKeyCombo::fromRawValue(std::string_view raw) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0; start <= raw.size();) {
    const auto colon = std::min(raw.find(':', start), raw.size());
    if (colon > start) pieces.push_back(raw.substr(start, colon - start));
    start = colon + 1;
  }
  if (pieces.size() != 2) return std::nullopt;
  auto keyCode = decimal<std::uint16_t>(pieces[0]);
  auto modifiers = decimal<int>(pieces[1]);
  if (!keyCode || !modifiers || *modifiers < 0 || *modifiers > 15) return std::nullopt;
  return HotKeyCombo{*keyCode, Modifiers{static_cast<unsigned>(*modifiers)}};
}

std::optional<HotKeyCombo::ValidationError> HotKeyCombo::validate() const {
  if (std::find(modifierKeyCodes.begin(), modifierKeyCodes.end(), keyCode) !=
      modifierKeyCodes.end()) {
    return ValidationError::modifierOnly;
  }
  if (!modifiers.contains(Modifiers::control) &&
      !modifiers.contains(Modifiers::command | Modifiers::option)) {
    return ValidationError::needsModifier;
  }
  if (std::find(kReserved.begin(), kReserved.end(), *this) != kReserved.end()) {
    return ValidationError::reserved;
  }
  return std::nullopt;
}

std::string HotKeyCombo::modifierSymbols() const {
  std::string symbols;
  if (modifiers.contains(Modifiers::control)) symbols += "⌃";
  if (modifiers.contains(Modifiers::option)) symbols += "⌥";
  if (modifiers.contains(Modifiers::shift)) symbols += "⇧";
  if (modifiers.contains(Modifiers::command)) symbols += "⌘";
  return symbols;
}

std::string HotKeyCombo::label(std::string_view keyLabel, ShortcutStyle style) const {
  if (style == ShortcutStyle::symbols) return modifierSymbols() + std::string(keyLabel);
  std::string text;
  for (const auto& [bit, name] :
       {std::pair{Modifiers::control, "Ctrl+"}, std::pair{Modifiers::option, "Alt+"},
        std::pair{Modifiers::shift, "Shift+"}, std::pair{Modifiers::command, "Super+"}}) {
    if (modifiers.contains(bit)) text += name;
  }
  return text + std::string(keyLabel);
}

}  // namespace mirlet
