#include "ClipboardHistory/ui/HistoryPanelView.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "ClipboardHistory/panel/PanelStatus.h"
#include "ClipboardHistory/ui/HistorySidebar.h"
#include "ClipboardHistory/ui/PanelSearchBox.h"
#include "ClipboardHistory/ui/TileGridView.h"
#include "core/ShortcutText.h"
#include "widgets/AccessibleRole.h"
#include "widgets/PanelSymbols.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::text;
using TileSize = ClipboardHistorySettings::TileSize;

namespace {

QToolButton* toolButton(std::string_view symbol, const QString& help) {
  auto* button = new QToolButton;
  button->setIcon(ui::symbolIcon(symbol));
  button->setIconSize(QSize(18, 18));
  button->setAutoRaise(true);
  // Reached with Tab, never taken by a click: the mouse leaves the keyboard where it is.
  button->setFocusPolicy(Qt::TabFocus);
  button->setToolTip(help);
  button->setAccessibleName(help);
  return button;
}

QFrame* separator(Qt::Orientation orientation) {
  auto* line = new QFrame;
  line->setFrameShape(orientation == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
  line->setFrameShadow(QFrame::Plain);
  line->setForegroundRole(QPalette::Mid);
  return line;
}

}  // namespace

HistoryPanelView::HistoryPanelView(HistoryPanelModel& model, ClipboardHistoryFeature& feature,
                                   Clock& clock, QWidget* parent)
    : QWidget(parent), model_(model), feature_(feature) {
  setObjectName(QStringLiteral("historyPanel"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(makeToolbar());
  layout->addWidget(separator(Qt::Horizontal));

  status_ = new QWidget;
  status_->setObjectName(QStringLiteral("statusArea"));
  statusRows_ = new QVBoxLayout(status_);
  statusRows_->setContentsMargins(12, 8, 12, 8);
  statusRows_->setSpacing(6);
  layout->addWidget(status_);

  auto* body = new QHBoxLayout;
  body->setSpacing(0);
  sidebar_ = new HistorySidebar(model_);
  body->addWidget(sidebar_);
  auto* divider = separator(Qt::Vertical);
  body->addWidget(divider);
  grid_ = new TileGridView(model_, feature_, clock);
  body->addWidget(grid_, 1);
  layout->addLayout(body, 1);

  subscriptions_.push_back(model_.showSidebar().subscribe([this, divider](bool shown) {
    sidebar_->setVisible(shown);
    divider->setVisible(shown);
    const QString help =
        shown ? QStringLiteral("Ocultar barra lateral") : QStringLiteral("Mostrar barra lateral");
    sidebarToggle_->setToolTip(help);
    sidebarToggle_->setAccessibleName(help);
  }));
  const auto status = [this](const auto&) {
    refreshStatus();
  };
  subscriptions_.push_back(feature_.paused().subscribe(status));
  subscriptions_.push_back(model_.message().subscribe(status));
  subscriptions_.push_back(feature_.hotKeyStatus().subscribe(status));
  subscriptions_.push_back(feature_.privateItemsAvailable().subscribe(status));
  subscriptions_.push_back(feature_.settings().subscribe([this](const auto& settings) {
    keepOnTop_->setChecked(settings.keepOnTop);
    refreshStatus();
  }));
  keepOnTop_->setChecked(feature_.settings().get().keepOnTop);
  refreshStatus();
}

QWidget* HistoryPanelView::makeToolbar() {
  auto* toolbar = new QWidget;
  toolbar->setObjectName(QStringLiteral("toolbar"));
  auto* row = new QHBoxLayout(toolbar);
  row->setContentsMargins(10, 8, 10, 8);
  row->setSpacing(6);

  sidebarToggle_ = toolButton("sidebar.left", QStringLiteral("Ocultar barra lateral"));
  sidebarToggle_->setObjectName(QStringLiteral("sidebarToggle"));
  connect(sidebarToggle_, &QToolButton::clicked, this,
          [this] { model_.perform(PanelCommand{PanelCommand::Action::toggleSidebar}); });
  row->addWidget(sidebarToggle_);

  searchBox_ = new PanelSearchBox(model_);
  row->addWidget(searchBox_, 1);

  keepOnTop_ = toolButton("pin.fill", QStringLiteral("Mantener encima"));
  keepOnTop_->setObjectName(QStringLiteral("keepOnTop"));
  keepOnTop_->setCheckable(true);
  connect(keepOnTop_, &QToolButton::toggled, this, [this](bool on) {
    if (feature_.settings().get().keepOnTop != on) {
      feature_.update([on](ClipboardHistorySettings& settings) { settings.keepOnTop = on; });
    }
  });
  row->addWidget(keepOnTop_);
  row->addWidget(makeViewOptions());
  return toolbar;
}

QToolButton* HistoryPanelView::makeViewOptions() {
  auto* button = toolButton("slider.horizontal.3", QStringLiteral("Opciones de vista"));
  button->setObjectName(QStringLiteral("viewOptions"));
  button->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(button);
  menu->addSection(QStringLiteral("Tamaño de los elementos"));
  auto* sizes = new QActionGroup(menu);
  const std::pair<TileSize, const char*> choices[] = {{TileSize::small, "Pequeño (⌘−)"},
                                                      {TileSize::medium, "Mediano"},
                                                      {TileSize::large, "Grande (⌘+)"}};
  std::vector<std::pair<TileSize, QAction*>> sizeActions;
  for (const auto& [size, title] : choices) {
    QAction* action =
        menu->addAction(QString::fromStdString(shortcutText(title, feature_.shortcutStyle())));
    action->setCheckable(true);
    sizes->addAction(action);
    sizeActions.emplace_back(size, action);
    connect(action, &QAction::triggered, this, [this, size] {
      feature_.update([size](ClipboardHistorySettings& settings) { settings.tileSize = size; });
    });
  }
  menu->addSeparator();
  QAction* alwaysInfo = menu->addAction(QStringLiteral("Mostrar siempre la información"));
  alwaysInfo->setCheckable(true);
  connect(alwaysInfo, &QAction::toggled, this, [this](bool on) {
    if (feature_.settings().get().alwaysShowInfo != on) {
      feature_.update([on](ClipboardHistorySettings& settings) { settings.alwaysShowInfo = on; });
    }
  });
  const auto check = [sizeActions, alwaysInfo](const ClipboardHistorySettings& s) {
    for (const auto& [size, action] : sizeActions) action->setChecked(size == s.tileSize);
    alwaysInfo->setChecked(s.alwaysShowInfo);
  };
  check(feature_.settings().get());
  subscriptions_.push_back(feature_.settings().subscribe(check));
  button->setMenu(menu);
  return button;
}

void HistoryPanelView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The banners' style sheets took their colours from the palette when made.
  if (event->type() == QEvent::PaletteChange) refreshStatus();
}

void HistoryPanelView::refreshStatus() {
  // A banner's button may be what changed the state: its row goes after the click.
  QStringList shown;
  while (std::unique_ptr<QLayoutItem> item{statusRows_->takeAt(0)}) {
    if (QWidget* banner = item->widget()) {
      shown.append(banner->accessibleName());
      banner->hide();
      banner->deleteLater();
    }
  }
  const auto& hotKey = feature_.settings().get().hotKey;
  const std::vector<PanelStatusRow> rows = panelStatusRows(
      {feature_.paused().get(), model_.message().get(), feature_.hotKeyStatus().get(),
       hotKey ? std::optional(feature_.label(*hotKey)) : std::nullopt,
       feature_.privateItemsAvailable().get()});
  std::vector<QWidget*> fresh;
  for (const PanelStatusRow& row : rows) {
    auto* banner = new QFrame;
    banner->setObjectName(QStringLiteral("statusRow"));
    ui::setAccessibleRole(banner, QAccessible::AlertMessage);
    banner->setAccessibleName(text(row.text));
    banner->setStyleSheet(
        QStringLiteral("#statusRow { background: palette(alternate-base); border-radius: 8px; }"));
    auto* line = new QHBoxLayout(banner);
    line->setContentsMargins(10, 6, 8, 6);
    line->addWidget(ui::symbolRow(row.symbol, ui::label(text(row.text))), 1);
    if (row.button) {
      auto* button = new QPushButton(text(std::string(panelStatusButtonTitle(*row.button))));
      button->setFocusPolicy(Qt::TabFocus);
      connect(button, &QPushButton::clicked, this, [this, action = *row.button] {
        switch (action) {
          case PanelStatusRow::Button::resume:
            feature_.setPaused(false);
            break;
          case PanelStatusRow::Button::grantAccessibility:
            model_.grantAccessibility();
            break;
          case PanelStatusRow::Button::openSettings:
            model_.perform(PanelCommand{PanelCommand::Action::openSettings});
            break;
        }
      });
      line->addWidget(button, 0, Qt::AlignVCenter);
    }
    statusRows_->addWidget(banner);
    if (!shown.contains(banner->accessibleName())) fresh.push_back(banner);
  }
  status_->setVisible(!rows.empty());
  // Screen readers speak what is new; a banner rebuilt as it was stays quiet.
  for (QWidget* banner : fresh) ui::announceAlert(banner);
}

}  // namespace mirlet
