#include "app/ui/FeatureRow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "ClipboardHistory/ui/ClipboardHistorySettingsView.h"
#include "ClipboardHistory/ui/ClipboardHistoryViews.h"
#include "app/AppTexts.h"
#include "app/ui/ToggleSwitch.h"
#include "widgets/PanelSymbols.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::label;
using ui::text;
using ui::TextStyle;

QString detailsHtml(const std::string& details) {
  QString html;
  const QStringList paragraphs = text(details).split(QStringLiteral("\n\n"));
  for (const QString& paragraph : paragraphs) {
    QStringList lines = paragraph.split(QLatin1Char('\n'));
    const bool hasHeading = lines.size() > 1;
    html += QStringLiteral("<p>");
    for (int i = 0; i < lines.size(); ++i) {
      const QString escaped = lines[i].toHtmlEscaped();
      if (i == 0 && hasHeading) {
        html += QStringLiteral("<b>") + escaped + QStringLiteral("</b><br>");
      } else {
        html += escaped + (i + 1 < lines.size() ? QStringLiteral("<br>") : QString());
      }
    }
    html += QStringLiteral("</p>");
  }
  return html;
}

FeatureRow::FeatureRow(AppModel& model, FeaturePresentation feature,
                       const ClipboardHistoryViews* clipboardHistory, QWidget* parent)
    : QFrame(parent),
      model_(model),
      feature_(std::move(feature)),
      clipboardHistory_(clipboardHistory) {
  setObjectName(text("row-" + feature_.id));
  setProperty("card", true);
  setStyleSheet(QStringLiteral(
      "QFrame[card=\"true\"] { background: palette(base); border: 1px solid palette(midlight);"
      " border-radius: 10px; }"
      "QFrame[card=\"true\"] QLabel, QFrame[card=\"true\"] QToolButton"
      " { background: transparent; border: none; }"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 14, 16, 12);
  layout->setSpacing(6);

  auto* header = new QHBoxLayout;
  header->setSpacing(12);
  auto* icon = new QLabel;
  icon->setPixmap(ui::symbolIcon(feature_.symbol).pixmap(24, 24));
  icon->setFixedSize(32, 32);
  icon->setAlignment(Qt::AlignCenter);
  icon->setStyleSheet(QStringLiteral("background: palette(alternate-base); border-radius: 8px;"));
  header->addWidget(icon, 0, Qt::AlignTop);
  auto* titles = new QVBoxLayout;
  titles->addWidget(label(text(feature_.title), TextStyle::heading));
  titles->addWidget(label(text(feature_.summary)));
  header->addLayout(titles, 1);
  toggle_ = new ToggleSwitch;
  toggle_->setObjectName(QStringLiteral("featureSwitch"));
  toggle_->setAccessibleName(text(feature_.title));
  header->addWidget(toggle_, 0, Qt::AlignTop);
  layout->addLayout(header);

  if (feature_.permissionNote) {
    layout->addWidget(label(text(*feature_.permissionNote), TextStyle::secondary));
  }

  auto* disclosure = new QToolButton;
  disclosure->setText(QStringLiteral("Más información: "));
  disclosure->setCheckable(true);
  disclosure->setArrowType(Qt::RightArrow);
  disclosure->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  disclosure->setAutoRaise(true);
  auto* details = label(detailsHtml(feature_.details));
  details->setTextFormat(Qt::RichText);
  details->setVisible(false);
  connect(disclosure, &QToolButton::toggled, this, [disclosure, details](bool open) {
    disclosure->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    details->setVisible(open);
  });
  layout->addWidget(disclosure, 0, Qt::AlignLeft);
  layout->addWidget(details);

  if (feature_.id == FeatureIds::finderKeys) addFinderKeyOptions(layout);
  if (feature_.id == FeatureIds::finderCut) addFinderCutStatus(layout);
  if (feature_.id == FeatureIds::clipboardHistory) addClipboardHistorySettings(layout);

  auto* statusLine = new QHBoxLayout;
  status_ = label({}, TextStyle::secondary);
  status_->setObjectName(QStringLiteral("featureStatus"));
  statusLine->addWidget(status_, 1);
  grantButton_ = new QPushButton(QStringLiteral("Dar permiso…"));
  retryButton_ = new QPushButton(QStringLiteral("Volver a intentar"));
  statusLine->addWidget(grantButton_);
  statusLine->addWidget(retryButton_);
  layout->addLayout(statusLine);

  connect(toggle_, &QAbstractButton::clicked, this, [this](bool on) {
    model_.setFeatureEnabled(on, feature_.id);
    refreshState();
  });
  connect(grantButton_, &QPushButton::clicked, this, [this] { model_.grantAccessibility(); });
  connect(retryButton_, &QPushButton::clicked, this,
          [this] { model_.setFeatureEnabled(true, feature_.id); });

  subscriptions_.push_back(
      model_.featureStates().subscribe([this](const auto&) { refreshState(); }));
  subscriptions_.push_back(
      model_.finderKeys().subscribe([this](const auto&) { refreshOptions(); }));
  subscriptions_.push_back(
      model_.finderCutActivity().subscribe([this](const auto&) { refreshOptions(); }));
  refreshState();
  refreshOptions();
}

void FeatureRow::addFinderKeyOptions(QVBoxLayout* layout) {
  const std::pair<FinderKey, const char*> keys[] = {
      {FinderKey::enter, "Enter abre"},
      {FinderKey::f2, "F2 renombra"},
      {FinderKey::delete_, "Supr manda a la Papelera"},
  };
  for (const auto& [key, title] : keys) {
    auto* box = new QCheckBox(QString::fromUtf8(title));
    connect(box, &QCheckBox::clicked, this,
            [this, key = key](bool checked) { model_.setKeyEnabled(checked, key); });
    layout->addWidget(box);
    keyBoxes_.emplace_back(key, box);
  }
}

void FeatureRow::addFinderCutStatus(QVBoxLayout* layout) {
  auto* line = new QHBoxLayout;
  cutStatus_ = label({}, TextStyle::secondary);
  cancelCut_ = new QPushButton(QStringLiteral("Cancelar movimiento"));
  connect(cancelCut_, &QPushButton::clicked, this, [this] { model_.cancelFinderCut(); });
  line->addWidget(cutStatus_, 1);
  line->addWidget(cancelCut_);
  layout->addLayout(line);
}

void FeatureRow::addClipboardHistorySettings(QVBoxLayout* layout) {
  if (!clipboardHistory_) return;
  clipboardSettings_ = clipboardHistory_->makeSettingsView(
      ClipboardHistorySettingsActions{model_.texts(),
                                      [this] { return state() == FeatureState::running; },
                                      {},
                                      [this] { model_.grantAccessibility(); },
                                      [this] {
                                        model_.openHistory();
                                      }},
      this);
  layout->addWidget(clipboardSettings_);
}

FeatureState FeatureRow::state() const {
  const auto& states = model_.featureStates().get();
  const auto found = states.find(feature_.id);
  return found == states.end() ? FeatureState::disabled : found->second;
}

void FeatureRow::refreshState() {
  toggle_->setChecked(model_.preferences().isEnabled(feature_.id));
  const FeatureState state = this->state();
  status_->setText(text(AppTexts::featureStatus(state)));
  grantButton_->setVisible(state == FeatureState::requiresAccessibility);
  retryButton_->setVisible(state == FeatureState::failed);
  if (clipboardSettings_) clipboardSettings_->refresh();
}

void FeatureRow::refreshOptions() {
  for (auto& [key, box] : keyBoxes_) box->setChecked(model_.finderKeys().get().contains(key));
  if (cutStatus_) {
    const FinderCutActivity activity = model_.finderCutActivity().get();
    cutStatus_->setText(
        activity == FinderCutActivity::preparing ? QStringLiteral("Preparando movimiento…")
        : activity == FinderCutActivity::ready   ? QStringLiteral("Movimiento preparado")
                                                 : QString());
    cutStatus_->setVisible(activity != FinderCutActivity::idle);
    cancelCut_->setVisible(activity != FinderCutActivity::idle);
  }
}

}  // namespace mirlet
