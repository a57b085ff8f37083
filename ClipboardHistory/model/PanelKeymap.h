#pragma once

#include <optional>
#include <string>
#include <variant>

#include "ClipboardHistory/model/HotKeyCombo.h"
#include "core/ShortcutStyle.h"

namespace mirlet {

// A key pressed in the history panel.
struct PanelKey {
  enum class Special {
    returnKey,
    escape,
    space,
    tab,
    deleteBackward,
    deleteForward,
    up,
    down,
    left,
    right,
    home,
    end,
    pageUp,
    pageDown
  };
  std::variant<std::string, Special> value;  // the characters produced, or a special key

  static PanelKey characters(std::string text) { return {std::move(text)}; }
  static PanelKey special(Special key) { return {key}; }
  friend bool operator==(const PanelKey&, const PanelKey&) = default;
};

// Where a move goes: a step each way, the first or last item, a page up or down.
enum class PanelDirection { up, down, left, right, first, last, pageUp, pageDown };

// What the panel does for a key.
struct PanelCommand {
  enum class Action {
    chooseIndex,
    move,
    extend,
    choose,
    choosePlain,
    chooseAlternate,
    copy,
    copyPlain,
    cut,
    delete_,
    undo,
    redo,
    selectAll,
    focusSearch,
    quickLook,
    toggleFavorite,
    newList,
    open,
    revealInFinder,
    toggleSidebar,
    largerTiles,
    smallerTiles,
    toggleKeepOnTop,
    togglePause,
    openSettings,
    close
  };
  Action action;
  int index = 0;                                  // chooseIndex: 1...9
  PanelDirection direction = PanelDirection::up;  // move, extend

  friend bool operator==(const PanelCommand&, const PanelCommand&) = default;
};

// The panel's fixed table from keys and exact modifier sets to commands. Desktops
// that name their modifiers (PC keyboards) add what their users expect: Supr alone
// removes the selection.
namespace PanelKeymap {
std::optional<PanelCommand> command(const PanelKey& key, Modifiers modifiers,
                                    ShortcutStyle style = ShortcutStyle::symbols);
}

}  // namespace mirlet
