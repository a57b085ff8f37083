#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mirlet {

// One entry of the status-bar menu, independent of any toolkit.
struct StatusMenuItem {
  enum class Action {
    none,
    openWindow,
    openSettings,
    about,
    checkForUpdates,
    quit,
    openHistory,
    toggleHistoryPause
  };

  std::string title;  // empty for a separator
  Action action = Action::none;
  std::string keyEquivalent;
  bool enabled = true;
  int tag = 0;

  bool isSeparator() const { return title.empty(); }
  friend bool operator==(const StatusMenuItem&, const StatusMenuItem&) = default;
};

namespace StatusMenu {

// Tags the items that depend on the clipboard history, rebuilt on every opening.
constexpr int kClipboardItemTag = 7301;

// What the menu shows of a running clipboard history.
struct ClipboardState {
  bool isPaused = false;
  std::optional<std::string> hotKeyLabel;
};

// The fixed items, in order; the update item is disabled without an updater.
std::vector<StatusMenuItem> baseItems(bool hasUpdater);

// Removes the clipboard items, then, when the history runs, inserts "Abrir
// historial", the pause item and a separator right after the first separator.
void updateClipboardItems(std::vector<StatusMenuItem>& items,
                          const std::optional<ClipboardState>& runningClipboard);

}  // namespace StatusMenu
}  // namespace mirlet
