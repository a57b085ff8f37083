#include "app/StatusMenu.h"

#include <algorithm>

namespace mirlet::StatusMenu {

using Action = StatusMenuItem::Action;

std::vector<StatusMenuItem> baseItems(bool hasUpdater) {
  return {
      {"Abrir Mirlet", Action::openWindow, "", true, 0},
      {"Ajustes…", Action::openSettings, ",", true, 0},
      {},
      {"Acerca de Mirlet", Action::about, "", true, 0},
      {"Buscar actualizaciones…", hasUpdater ? Action::checkForUpdates : Action::none, "",
       hasUpdater, 0},
      {},
      {"Salir de Mirlet", Action::quit, "q", true, 0},
  };
}

void updateClipboardItems(std::vector<StatusMenuItem>& items,
                          const std::optional<ClipboardState>& runningClipboard) {
  std::erase_if(items, [](const StatusMenuItem& item) { return item.tag == kClipboardItemTag; });
  if (!runningClipboard) return;

  std::string openTitle = "Abrir historial";
  if (runningClipboard->hotKeyLabel) openTitle += " (" + *runningClipboard->hotKeyLabel + ")";
  const StatusMenuItem added[] = {
      {openTitle, Action::openHistory, "", true, kClipboardItemTag},
      {runningClipboard->isPaused ? "Reanudar historial" : "Pausar historial",
       Action::toggleHistoryPause, "", true, kClipboardItemTag},
      {"", Action::none, "", true, kClipboardItemTag},
  };
  for (std::size_t i = 0; i < std::size(added); ++i) {
    auto position = std::min(items.size(), std::size_t{3} + i);
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(position), added[i]);
  }
}

}  // namespace mirlet::StatusMenu
