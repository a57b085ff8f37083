#include "app/ui/SettingsWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QListWidget>
#include <QStackedLayout>
#include <QStackedWidget>

#include "app/ui/FeaturesPage.h"
#include "app/ui/SettingsPage.h"
#include "app/ui/WelcomeView.h"
#include "widgets/PanelSymbols.h"
#include "widgets/Widgets.h"

namespace mirlet {

SettingsWindow::SettingsWindow(AppModel& model, UpdateSettings& updates, const BundleInfo& bundle,
                               const ClipboardHistoryViews* clipboardHistory, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), clipboardHistory_(clipboardHistory) {
  setWindowTitle(QStringLiteral("Mirlet"));
  resize(kSize);
  setMinimumSize(kMinimumSize);

  // The window's own commands: "Cerrar ventana" and "Minimizar".
  auto* close = new QAction(QStringLiteral("Cerrar ventana"), this);
  close->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
  connect(close, &QAction::triggered, this, &QWidget::close);
  auto* minimize = new QAction(QStringLiteral("Minimizar"), this);
  minimize->setShortcut(QKeySequence(QStringLiteral("Ctrl+M")));
  connect(minimize, &QAction::triggered, this, &QWidget::showMinimized);
  addActions({close, minimize});

  flow_ = new QStackedLayout(this);
  flow_->addWidget(new WelcomeView(model_));
  flow_->addWidget(mainView(updates, bundle));
  auto showFlow = [this](AppModel::WelcomeStep step) {
    flow_->setCurrentIndex(step == AppModel::WelcomeStep::completed ? 1 : 0);
  };
  subscriptions_.push_back(model_.welcomeStep().subscribe(showFlow));
  subscriptions_.push_back(model_.page().subscribe([this](const auto& page) { showPage(page); }));
  showFlow(model_.welcomeStep().get());
  showPage(model_.page().get());
}

QWidget* SettingsWindow::mainView(UpdateSettings& updates, const BundleInfo& bundle) {
  auto* view = new QWidget;
  auto* layout = new QHBoxLayout(view);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  sidebar_ = new QListWidget;
  sidebar_->setObjectName(QStringLiteral("sidebar"));
  sidebar_->setFixedWidth(210);
  sidebar_->setFrameShape(QFrame::NoFrame);
  sidebar_->setIconSize(QSize(16, 16));
  sidebar_->setStyleSheet(QStringLiteral(
      "QListWidget#sidebar { background: palette(window); padding: 10px 8px; outline: none; }"
      "QListWidget#sidebar::item { padding: 6px 8px; border-radius: 6px; margin: 1px 0; }"
      "QListWidget#sidebar::item:hover { background: palette(midlight); }"
      "QListWidget#sidebar::item:selected { background: palette(highlight);"
      " color: palette(highlighted-text); }"));
  sidebar_->addItem(new QListWidgetItem(ui::symbolIcon("square.grid.2x2"),
                                        QStringLiteral("Todas las utilidades")));
  sidebarPages_.push_back(AppModel::FeaturesPage{});
  for (const auto& category : model_.categories()) {
    sidebar_->addItem(
        new QListWidgetItem(ui::symbolIcon(category.symbol), ui::text(category.title)));
    sidebarPages_.push_back(AppModel::CategoryPage{category.id});
  }
  sidebar_->addItem(new QListWidgetItem(ui::symbolIcon("gearshape"), QStringLiteral("Ajustes")));
  sidebarPages_.push_back(AppModel::SettingsPage{});
  connect(sidebar_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= sidebarPages_.size()) return;
    if (!(sidebarPages_[static_cast<std::size_t>(row)] == model_.page().get())) {
      model_.showPage(sidebarPages_[static_cast<std::size_t>(row)]);
    }
  });
  layout->addWidget(sidebar_);
  auto* divider = new QFrame;
  divider->setFrameShape(QFrame::VLine);
  divider->setFrameShadow(QFrame::Plain);
  divider->setForegroundRole(QPalette::Mid);
  layout->addWidget(divider);

  pages_ = new QStackedWidget;
  featuresPage_ = new FeaturesPage(model_, clipboardHistory_);
  settingsPage_ = new SettingsPage(model_, updates, bundle);
  pages_->addWidget(featuresPage_);
  pages_->addWidget(settingsPage_);
  layout->addWidget(pages_, 1);
  return view;
}

void SettingsWindow::showPage(const AppModel::Page& page) {
  auto row = std::find(sidebarPages_.begin(), sidebarPages_.end(), page);
  if (row != sidebarPages_.end()) {
    const QSignalBlocker blocker(sidebar_);
    sidebar_->setCurrentRow(static_cast<int>(row - sidebarPages_.begin()));
  }
  if (std::holds_alternative<AppModel::SettingsPage>(page)) {
    pages_->setCurrentWidget(settingsPage_);
  } else {
    featuresPage_->rebuild();
    pages_->setCurrentWidget(featuresPage_);
  }
}

}  // namespace mirlet
