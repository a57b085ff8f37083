#include "ClipboardHistory/ui/ClipboardHistorySettingsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "ClipboardHistory/panel/HistorySettingsTexts.h"
#include "ClipboardHistory/ui/HotKeyRecorder.h"
#include "core/ShortcutText.h"
#include "widgets/PanelSymbols.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::label;
using ui::text;
using ui::TextStyle;
using ChooseAction = ClipboardHistorySettings::ChooseAction;

namespace {

// A check box whose help text sits under it.
QCheckBox* checkBox(QVBoxLayout* layout, const QString& title, const QString& help = {}) {
  auto* box = new QCheckBox(title);
  layout->addWidget(box);
  if (!help.isEmpty()) {
    QLabel* note = label(help, TextStyle::secondary);
    note->setContentsMargins(24, 0, 0, 4);
    layout->addWidget(note);
  }
  return box;
}

}  // namespace

ClipboardHistorySettingsView::ClipboardHistorySettingsView(ClipboardHistoryFeature& feature,
                                                           ClipboardHistorySettingsActions actions,
                                                           QWidget* parent)
    : QWidget(parent), feature_(feature), actions_(std::move(actions)) {
  setObjectName(QStringLiteral("clipboardHistorySettings"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 8, 0, 0);
  layout->setSpacing(10);

  layout->addWidget(makeTryIt());
  recorder_ = new HotKeyRecorder(feature_, actions_.texts);
  layout->addWidget(recorder_);

  auto* choose = new QHBoxLayout;
  choose->addWidget(label(QStringLiteral("Al elegir un elemento")), 1);
  chooseAction_ = new QComboBox;
  chooseAction_->setObjectName(QStringLiteral("chooseAction"));
  chooseAction_->addItem(QStringLiteral("Pegarlo donde estaba escribiendo"),
                         static_cast<int>(ChooseAction::paste));
  chooseAction_->addItem(QStringLiteral("Solo copiarlo"), static_cast<int>(ChooseAction::copy));
  connect(chooseAction_, &QComboBox::activated, this, [this](int index) {
    const auto action = static_cast<ChooseAction>(chooseAction_->itemData(index).toInt());
    feature_.update([action](ClipboardHistorySettings& s) { s.chooseAction = action; });
  });
  choose->addWidget(chooseAction_);
  layout->addLayout(choose);

  auto* note = new QWidget;
  auto* noteRow = new QHBoxLayout(note);
  noteRow->setContentsMargins(0, 0, 0, 0);
  noteRow->addWidget(
      label(QStringLiteral("Sin el permiso de Accesibilidad, al elegir un elemento solo se copia."),
            TextStyle::secondary),
      1);
  auto* grant = new QPushButton(QStringLiteral("Permitir que pegue por mí…"));
  grant->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(grant, &QPushButton::clicked, this, [this] { actions_.grantAccessibility(); });
  noteRow->addWidget(grant);
  accessibilityNote_ = note;
  layout->addWidget(accessibilityNote_);

  moreToggle_ = new QToolButton;
  moreToggle_->setObjectName(QStringLiteral("moreOptions"));
  moreToggle_->setText(QStringLiteral("Más opciones"));
  moreToggle_->setCheckable(true);
  moreToggle_->setArrowType(Qt::RightArrow);
  moreToggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  moreToggle_->setAutoRaise(true);
  layout->addWidget(moreToggle_, 0, Qt::AlignLeft);
  more_ = makeMoreOptions();
  more_->setVisible(false);
  layout->addWidget(more_);
  connect(moreToggle_, &QToolButton::toggled, this, [this](bool open) {
    moreToggle_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    more_->setVisible(open);
  });

  auto* clear = new QPushButton(QStringLiteral("Vaciar historial…"));
  clear->setObjectName(QStringLiteral("clearHistory"));
  connect(clear, &QPushButton::clicked, this, [this] { confirmClear(); });
  layout->addWidget(clear, 0, Qt::AlignLeft);
  clearFailed_ = ui::symbolRow(
      "exclamationmark.triangle",
      label(QStringLiteral("No se pudo vaciar el historial. Vuelve a intentarlo; si sigue "
                           "fallando, desactiva y activa la utilidad.")));
  clearFailed_->setObjectName(QStringLiteral("clearFailed"));
  clearFailed_->setVisible(false);
  layout->addWidget(clearFailed_);

  const auto redraw = [this](const auto&) {
    refresh();
  };
  subscriptions_.push_back(feature_.settings().subscribe(redraw));
  subscriptions_.push_back(feature_.hasOpenedPanel().subscribe(redraw));
  refresh();
}

QWidget* ClipboardHistorySettingsView::makeTryIt() {
  tryIt_ = new QFrame;
  tryIt_->setObjectName(QStringLiteral("tryIt"));
  tryIt_->setStyleSheet(
      QStringLiteral("#tryIt { background: palette(alternate-base); border-radius: 8px; }"));
  auto* row = new QHBoxLayout(tryIt_);
  row->setContentsMargins(10, 10, 10, 10);
  tryItText_ = label({});
  row->addWidget(ui::symbolRow("hand.point.right", tryItText_), 1);
  tryItOpen_ = new QPushButton(QStringLiteral("Abrir historial"));
  connect(tryItOpen_, &QPushButton::clicked, this, [this] { actions_.openHistory(); });
  row->addWidget(tryItOpen_);
  return tryIt_;
}

QWidget* ClipboardHistorySettingsView::makeMoreOptions() {
  auto* more = new QWidget;
  auto* layout = new QVBoxLayout(more);
  layout->setContentsMargins(18, 0, 0, 0);
  auto* pickers = new QFormLayout;
  limit_ = new QComboBox;
  limit_->setObjectName(QStringLiteral("limit"));
  for (const HistoryLimit& limit : HistoryLimits::presets) {
    limit_->addItem(text(HistorySettingsTexts::limit(limit)), text(limit.rawValue()));
  }
  connect(limit_, &QComboBox::activated, this, [this](int index) {
    if (const auto limit =
            HistoryLimit::fromRawValue(limit_->itemData(index).toString().toStdString())) {
      feature_.update([limit](ClipboardHistorySettings& s) { s.limit = *limit; });
    }
  });
  pickers->addRow(QStringLiteral("Guardar"), limit_);
  resetAfter_ = new QComboBox;
  resetAfter_->setObjectName(QStringLiteral("resetAfter"));
  for (const auto& minutes : ClipboardHistorySettings::resetChoices) {
    resetAfter_->addItem(text(HistorySettingsTexts::resetAfter(minutes)), minutes.value_or(-1));
  }
  connect(resetAfter_, &QComboBox::activated, this, [this](int index) {
    const int minutes = resetAfter_->itemData(index).toInt();
    feature_.update([minutes](ClipboardHistorySettings& s) {
      s.resetAfterMinutes = minutes < 0 ? std::nullopt : std::optional(minutes);
    });
  });
  pickers->addRow(QStringLiteral("Reiniciar búsqueda"), resetAfter_);
  layout->addLayout(pickers);

  promoteOnUse_ = checkBox(layout, QStringLiteral("Mover al principio lo que vuelvo a usar"));
  playSound_ = checkBox(layout, QStringLiteral("Sonido al copiar"));
  fetchLinkTitles_ = checkBox(
      layout, QStringLiteral("Obtener título de enlaces"),
      QStringLiteral("Consulta cada enlace https en su sitio web para mostrar su título y su "
                     "icono. Está desactivado de fábrica."));
  storePrivate_ = checkBox(
      layout, QStringLiteral("Guardar contraseñas y contenido privado (cifrado)"),
      QString::fromStdString(shortcutText(
          "Desactivado, no se guarda lo que los gestores de contraseñas marcan como oculto. "
          "Activado, se guarda cifrado y se muestra oculto hasta que mantienes ⌥.",
          feature_.shortcutStyle())));
  const auto bind = [this](QCheckBox* box, auto write) {
    connect(box, &QCheckBox::clicked, this, [this, write](bool on) {
      feature_.update([&](ClipboardHistorySettings& s) { write(s, on); });
    });
  };
  bind(promoteOnUse_, [](ClipboardHistorySettings& s, bool on) { s.promoteOnUse = on; });
  bind(playSound_, [](ClipboardHistorySettings& s, bool on) { s.playSound = on; });
  bind(fetchLinkTitles_, [](ClipboardHistorySettings& s, bool on) { s.fetchLinkTitles = on; });
  bind(storePrivate_, [](ClipboardHistorySettings& s, bool on) { s.ignorePrivate = !on; });
  return more;
}

void ClipboardHistorySettingsView::refresh() {
  const ClipboardHistorySettings& settings = feature_.settings().get();
  const bool showsHint = actions_.isRunning() && !feature_.hasOpenedPanel().get();
  tryIt_->setVisible(showsHint);
  const auto hotKeyLabel =
      settings.hotKey ? std::optional(feature_.label(*settings.hotKey)) : std::nullopt;
  tryItText_->setText(text(HistorySettingsTexts::tryIt(hotKeyLabel)));
  tryItOpen_->setVisible(!hotKeyLabel);

  chooseAction_->setCurrentIndex(chooseAction_->findData(static_cast<int>(settings.chooseAction)));
  accessibilityNote_->setVisible(settings.chooseAction == ChooseAction::paste &&
                                 !actions_.accessibilityGranted());
  limit_->setCurrentIndex(limit_->findData(text(settings.limit.rawValue())));
  resetAfter_->setCurrentIndex(resetAfter_->findData(settings.resetAfterMinutes.value_or(-1)));
  promoteOnUse_->setChecked(settings.promoteOnUse);
  playSound_->setChecked(settings.playSound);
  fetchLinkTitles_->setChecked(settings.fetchLinkTitles);
  storePrivate_->setChecked(!settings.ignorePrivate);
}

void ClipboardHistorySettingsView::confirmClear() {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("¿Vaciar el historial?"),
                  QStringLiteral("¿Vaciar el historial?"), QMessageBox::NoButton, this);
  box.setObjectName(QStringLiteral("clearConfirmation"));
  box.setInformativeText(QStringLiteral(
      "Se borran los elementos que no están en Favoritos ni en una lista. No se puede deshacer."));
  QPushButton* clear = box.addButton(QStringLiteral("Vaciar"), QMessageBox::DestructiveRole);
  box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
  box.exec();
  if (box.clickedButton() == clear) this->clear();
}

void ClipboardHistorySettingsView::clear() { clearFailed_->setVisible(!feature_.clearHistory()); }

}  // namespace mirlet
