#include "app/ui/FeaturesPage.h"

#include <QVBoxLayout>
#include <memory>

#include "app/ui/FeatureRow.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::label;
using ui::text;
using ui::TextStyle;

FeaturesPage::FeaturesPage(AppModel& model, const ClipboardHistoryViews* clipboardHistory,
                           QWidget* parent)
    : QWidget(parent), model_(model), clipboardHistory_(clipboardHistory) {
  QVBoxLayout* layout = ui::scrollingContent(this);
  layout->setSpacing(12);
  title_ = label({}, TextStyle::title);
  layout->addWidget(title_);

  permissionBanner_ = new QFrame;
  permissionBanner_->setObjectName(QStringLiteral("permissionBanner"));
  permissionBanner_->setStyleSheet(QStringLiteral(
      "#permissionBanner { background: #FFF4D6; border: 1px solid #F0D48A; border-radius: 10px; }"
      "#permissionBanner QLabel { background: transparent; color: #4A3B10; }"));
  auto* banner = new QVBoxLayout(permissionBanner_);
  banner->setContentsMargins(16, 12, 16, 12);
  banner->addWidget(label(QStringLiteral("Falta un permiso"), TextStyle::heading));
  banner->addWidget(
      label(QStringLiteral("Hay utilidades activadas que esperan el permiso de Accesibilidad.")));
  watchingText_ =
      label(text(std::string(model_.texts().waitingForPermission)), TextStyle::secondary);
  banner->addWidget(watchingText_);
  layout->addWidget(permissionBanner_);

  changeFailed_ =
      label(QStringLiteral("No pudimos cambiar esta opción. Sal de Mirlet y vuelve a abrirlo."));
  changeFailed_->setObjectName(QStringLiteral("changeFailed"));
  layout->addWidget(changeFailed_);

  rows_ = new QVBoxLayout;
  rows_->setSpacing(12);
  layout->addLayout(rows_);
  layout->addStretch(1);

  auto refresh = [this](const auto&) {
    refreshBanners();
  };
  subscriptions_.push_back(model_.featureStates().subscribe(refresh));
  subscriptions_.push_back(model_.featureChangeFailed().subscribe(refresh));
  subscriptions_.push_back(model_.systemSettings().isWatchingAccessibility().subscribe(refresh));
  rebuild();
}

void FeaturesPage::rebuild() {
  while (auto item = std::unique_ptr<QLayoutItem>(rows_->takeAt(0))) {
    std::unique_ptr<QWidget> row(item->widget());
  }
  title_->setText(text(model_.pageTitle()));
  const auto features = model_.visibleFeatures();
  if (features.empty()) {
    rows_->addWidget(label(QStringLiteral("No hay utilidades disponibles en esta categoría."),
                           TextStyle::secondary));
  }
  for (const auto& feature : features)
    rows_->addWidget(new FeatureRow(model_, feature, clipboardHistory_));
  refreshBanners();
}

void FeaturesPage::refreshBanners() {
  permissionBanner_->setVisible(model_.hasFeatureAwaitingPermission());
  watchingText_->setVisible(model_.systemSettings().isWatchingAccessibility().get());
  changeFailed_->setVisible(model_.featureChangeFailed().get());
}

}  // namespace mirlet
