#include "app/ui/StatusMenuController.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "widgets/Widgets.h"

namespace mirlet {
namespace {

// The status item's icon: a rounded badge with the initial, drawn rather than
// shipped so that it follows the palette.
QIcon statusIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(0x2E, 0x5E, 0xAA));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(4, 4, 56, 56), 14, 14);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(40);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, QStringLiteral("M"));
  return QIcon(pixmap);
}

}  // namespace

StatusMenuController::StatusMenuController(bool hasUpdater, ClipboardStateSource clipboardState,
                                           ActionHandler onAction)
    : items_(StatusMenu::baseItems(hasUpdater)),
      clipboardState_(std::move(clipboardState)),
      onAction_(std::move(onAction)),
      menu_(std::make_unique<QMenu>()) {
  connect(menu_.get(), &QMenu::aboutToShow, this, [this] { refreshItems(); });
  rebuildMenu();
}

StatusMenuController::~StatusMenuController() = default;

void StatusMenuController::showStatusItem() {
  if (statusItem_) return;
  statusItem_ = std::make_unique<QSystemTrayIcon>(statusIcon());
  statusItem_->setToolTip(QStringLiteral("Mirlet"));
  statusItem_->setContextMenu(menu_.get());
  // A click opens the menu, as the status item of a menu-bar utility does.
  connect(statusItem_.get(), &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
          });
  statusItem_->show();
}

void StatusMenuController::removeStatusItem() { statusItem_.reset(); }

const std::vector<StatusMenuItem>& StatusMenuController::refreshItems() {
  StatusMenu::updateClipboardItems(items_, clipboardState_());
  rebuildMenu();
  return items_;
}

void StatusMenuController::rebuildMenu() {
  menu_->clear();
  for (const StatusMenuItem& item : items_) {
    if (item.isSeparator()) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = menu_->addAction(ui::text(item.title));
    action->setEnabled(item.enabled);
    if (!item.keyEquivalent.empty()) {
      action->setShortcut(QKeySequence(QStringLiteral("Ctrl+") + ui::text(item.keyEquivalent)));
    }
    if (item.action != StatusMenuItem::Action::none) {
      connect(action, &QAction::triggered, this, [this, kind = item.action] { onAction_(kind); });
    }
  }
}

}  // namespace mirlet
