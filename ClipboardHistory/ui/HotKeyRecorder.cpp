#include "ClipboardHistory/ui/HotKeyRecorder.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClipboardHistory/panel/HistorySettingsTexts.h"
#include "widgets/PanelSymbols.h"
#include "widgets/Widgets.h"

namespace mirlet {

using ui::label;
using ui::text;
using ui::TextStyle;

namespace {

constexpr std::uint16_t kDeleteKey = 51;
constexpr std::uint16_t kEscapeKey = 53;

}  // namespace

HotKeyRecorder::HotKeyRecorder(ClipboardHistoryFeature& feature, const HostTexts& texts,
                               QWidget* parent)
    : QWidget(parent), feature_(feature), texts_(texts) {
  setObjectName(QStringLiteral("hotKeyRecorder"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  row->addWidget(label(QStringLiteral("Atajo para abrir el historial")), 1);
  button_ = new QPushButton;
  button_->setObjectName(QStringLiteral("recordButton"));
  button_->setMinimumWidth(140);
  connect(button_, &QPushButton::clicked, this,
          [this] { isRecording() ? stopRecording() : startRecording(); });
  row->addWidget(button_);
  layout->addLayout(row);
  layout->addWidget(
      label(QStringLiteral("Pulsa para grabar un atajo nuevo. Esc cancela y ⌫ lo borra."),
            TextStyle::secondary));
  warning_ = label({}, TextStyle::secondary);
  warning_->setObjectName(QStringLiteral("hotKeyWarning"));
  warningRow_ = ui::symbolRow("exclamationmark.triangle", warning_);
  layout->addWidget(warningRow_);
  messageLabel_ = label({}, TextStyle::secondary);
  messageLabel_->setObjectName(QStringLiteral("hotKeyMessage"));
  layout->addWidget(messageLabel_);

  const auto redraw = [this](const auto&) {
    refresh();
  };
  subscriptions_.push_back(feature_.settings().subscribe(redraw));
  subscriptions_.push_back(feature_.hotKeyStatus().subscribe(redraw));
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive) stopRecording();
          });
  refresh();
}

void HotKeyRecorder::startRecording() {
  message_.reset();
  recording_ = ShortcutRecording();
  capture_.start([this](const QKeyEvent& event) { return handle(event); });
  refresh();
}

void HotKeyRecorder::stopRecording() {
  capture_.stop();
  refresh();
}

void HotKeyRecorder::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  stopRecording();
}

bool HotKeyRecorder::handle(const QKeyEvent& event) {
  const bool press = event.type() == QEvent::KeyPress;
  if (const unsigned modifier = modifierBit(event.key())) {
    if (press) {
      recording_.modifierPressed(modifier);
    } else if (recording_.modifierReleased(modifier)) {
      capture_.stop();
      message_ = HistorySettingsTexts::recorderMessage(
          HotKeyStatus::invalid(HotKeyCombo::ValidationError::modifierOnly), texts_);
      refresh();
    }
    return true;
  }
  // AltGr chooses characters, and a release decides nothing.
  if (!press || event.key() == Qt::Key_AltGr) return true;
  const HotKeyCombo combo =
      recording_.keyPressed(hotKeyCombo(event).keyCode, modifierBits(event.modifiers()));
  capture_.stop();
  if (combo.keyCode == kDeleteKey) {
    feature_.setHotKey(std::nullopt);
  } else if (combo.keyCode != kEscapeKey) {
    message_ = HistorySettingsTexts::recorderMessage(feature_.setHotKey(combo), texts_);
  }
  refresh();
  return true;
}

void HotKeyRecorder::refresh() {
  const auto& hotKey = feature_.settings().get().hotKey;
  button_->setText(isRecording() ? QStringLiteral("Pulsa el atajo…")
                   : hotKey      ? text(feature_.label(*hotKey))
                                 : QStringLiteral("Sin atajo"));
  const auto warning =
      HistorySettingsTexts::registrationWarning(feature_.hotKeyStatus().get(), texts_);
  warning_->setText(warning ? text(*warning) : QString());
  warningRow_->setVisible(warning.has_value());
  // The lasting warning already says what the message would.
  const bool showsMessage = message_ && message_ != warning;
  messageLabel_->setText(showsMessage ? text(*message_) : QString());
  messageLabel_->setVisible(showsMessage);
}

}  // namespace mirlet
