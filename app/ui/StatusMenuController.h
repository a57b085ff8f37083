#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/StatusMenu.h"

class QMenu;
class QSystemTrayIcon;

namespace mirlet {

// The status (tray) item and its menu. The menu is rebuilt from the status-menu
// items each time it opens, so the clipboard items follow the history's state.
class StatusMenuController : public QObject {
 public:
  using ClipboardStateSource = std::function<std::optional<StatusMenu::ClipboardState>()>;
  using ActionHandler = std::function<void(StatusMenuItem::Action)>;

  StatusMenuController(bool hasUpdater, ClipboardStateSource clipboardState,
                       ActionHandler onAction);
  ~StatusMenuController() override;

  QMenu* menu() const { return menu_.get(); }
  // Shows the tray item; without a system tray there is nothing to show.
  void showStatusItem();
  void removeStatusItem();
  // What the menu holds now; refreshed as when the menu opens.
  const std::vector<StatusMenuItem>& refreshItems();

 private:
  void rebuildMenu();

  std::vector<StatusMenuItem> items_;
  ClipboardStateSource clipboardState_;
  ActionHandler onAction_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> statusItem_;
};

}  // namespace mirlet
