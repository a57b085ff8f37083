#include "ClipboardHistory/model/PanelKeymap.h"

#include <array>
#include <charconv>

#include "core/UnicodeText.h"

namespace mirlet::PanelKeymap {
namespace {

using Action = PanelCommand::Action;
using Special = PanelKey::Special;

constexpr unsigned kCommand = Modifiers::command;
constexpr unsigned kShift = Modifiers::shift;
constexpr unsigned kOption = Modifiers::option;
constexpr unsigned kControl = Modifiers::control;

struct CharacterRow {
  unsigned modifiers;
  std::string_view characters;
  Action action;
};

constexpr std::array<CharacterRow, 20> kCharacterRows{{
    {kCommand, "c", Action::copy},
    {kCommand, "x", Action::cut},
    {kCommand, "z", Action::undo},
    {kCommand, "a", Action::selectAll},
    {kCommand, "f", Action::focusSearch},
    {kCommand, "d", Action::toggleFavorite},
    {kCommand, "o", Action::open},
    {kCommand, "r", Action::revealInFinder},
    {kCommand, "+", Action::largerTiles},
    {kCommand, "=", Action::largerTiles},
    {kCommand, "-", Action::smallerTiles},
    {kCommand, ",", Action::openSettings},
    {kCommand, "w", Action::close},
    {kCommand | kShift, "z", Action::redo},
    {kCommand | kShift, "n", Action::newList},
    {kCommand | kShift, "+", Action::largerTiles},
    {kCommand | kShift, "=", Action::largerTiles},
    {kCommand | kOption, "c", Action::copyPlain},
    {kCommand | kOption, "k", Action::toggleKeepOnTop},
    {kCommand | kOption, "p", Action::togglePause},
}};

std::optional<PanelDirection> direction(Special key) {
  switch (key) {
    case Special::up:
      return PanelDirection::up;
    case Special::down:
      return PanelDirection::down;
    case Special::left:
      return PanelDirection::left;
    case Special::right:
      return PanelDirection::right;
    case Special::home:
      return PanelDirection::first;
    case Special::end:
      return PanelDirection::last;
    case Special::pageUp:
      return PanelDirection::pageUp;
    case Special::pageDown:
      return PanelDirection::pageDown;
    default:
      return std::nullopt;
  }
}

std::optional<PanelCommand> special(Special key, unsigned modifiers, ShortcutStyle style) {
  if (auto towards = direction(key)) {
    if (modifiers == 0) return PanelCommand{Action::move, 0, *towards};
    if (modifiers == kShift) return PanelCommand{Action::extend, 0, *towards};
    return std::nullopt;
  }
  switch (key) {
    case Special::returnKey:
      if (modifiers == 0) return PanelCommand{Action::choose};
      if (modifiers == kCommand) return PanelCommand{Action::chooseAlternate};
      if (modifiers == kOption) return PanelCommand{Action::choosePlain};
      return std::nullopt;
    case Special::escape:
      return modifiers == 0 ? std::optional(PanelCommand{Action::close}) : std::nullopt;
    case Special::space:
      return modifiers == 0 ? std::optional(PanelCommand{Action::quickLook}) : std::nullopt;
    case Special::deleteForward:
      // PC desktops remove what is selected with Supr alone.
      if (style == ShortcutStyle::names && modifiers == 0) return PanelCommand{Action::delete_};
      [[fallthrough]];
    case Special::deleteBackward:
      return modifiers == kCommand ? std::optional(PanelCommand{Action::delete_}) : std::nullopt;
    default:
      return std::nullopt;  // tab, with any modifiers
  }
}

std::optional<PanelCommand> characters(const std::string& typed, unsigned modifiers) {
  // The table holds only ASCII characters, so ASCII lower-casing is enough.
  const std::string text = UnicodeText::asciiLowercased(typed);
  if (modifiers == kCommand) {
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size() && number >= 1 && number <= 9) {
      return PanelCommand{Action::chooseIndex, number};
    }
  }
  if (modifiers == (kCommand | kControl) && text == "s") return PanelCommand{Action::toggleSidebar};
  for (const CharacterRow& row : kCharacterRows) {
    if (row.modifiers == modifiers && row.characters == text) return PanelCommand{row.action};
  }
  return std::nullopt;
}

}  // namespace

std::optional<PanelCommand> command(const PanelKey& key, Modifiers modifiers, ShortcutStyle style) {
  if (const auto* specialKey = std::get_if<Special>(&key.value)) {
    return special(*specialKey, modifiers.rawValue, style);
  }
  return characters(std::get<std::string>(key.value), modifiers.rawValue);
}

}  // namespace mirlet::PanelKeymap
