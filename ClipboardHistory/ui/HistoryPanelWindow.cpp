#include "ClipboardHistory/ui/HistoryPanelWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindow>

#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/PanelSearchBox.h"
#include "ClipboardHistory/ui/PreviewWindow.h"
#include "ClipboardHistory/ui/QtKeys.h"

namespace mirlet {
namespace {

// The keys the panel's keymap numbers, by the Mac's key codes.
std::uint16_t keyCode(int key) {
  switch (key) {
    case Qt::Key_Return:
      return 36;
    case Qt::Key_Enter:
      return 76;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 48;
    case Qt::Key_Space:
      return 49;
    case Qt::Key_Backspace:
      return 51;
    case Qt::Key_Escape:
      return 53;
    case Qt::Key_Home:
      return 115;
    case Qt::Key_PageUp:
      return 116;
    case Qt::Key_Delete:
      return 117;
    case Qt::Key_End:
      return 119;
    case Qt::Key_PageDown:
      return 121;
    case Qt::Key_Left:
      return 123;
    case Qt::Key_Right:
      return 124;
    case Qt::Key_Down:
      return 125;
    case Qt::Key_Up:
      return 126;
    default:
      return 0;
  }
}

unsigned modifierBits(Qt::KeyboardModifiers modifiers) {
  unsigned bits = 0;
  if (modifiers & Qt::ControlModifier) bits |= Modifiers::command;
  if (modifiers & Qt::AltModifier) bits |= Modifiers::option;
  if (modifiers & Qt::MetaModifier) bits |= Modifiers::control;
  if (modifiers & Qt::ShiftModifier) bits |= Modifiers::shift;
  return bits;
}

// What the key types without modifiers: the event's text holds control
// characters while Control is held, so letters and digits come from the key.
std::string unmodifiedCharacters(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    const char letter = static_cast<char>('a' + (key - Qt::Key_A));
    return std::string(1, letter);
  }
  if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
    return std::string(1, static_cast<char>(key));
  const QString text = event.text();
  if (text.isEmpty() || text.front().unicode() < 0x20) return {};
  return text.toStdString();
}

}  // namespace

PanelKeyEvent panelKeyEvent(const QKeyEvent& event) {
  PanelKeyEvent panelEvent;
  if (event.key() == Qt::Key_AltGr) {
    // AltGr picks characters; it reveals nothing, whatever Alt the platform adds.
    panelEvent.type = PanelKeyEvent::Type::modifiersChanged;
    panelEvent.modifiers = Modifiers{modifierBits(event.modifiers() & ~Qt::AltModifier)};
    return panelEvent;
  }
  const Qt::KeyboardModifier own = ui::modifierOfKey(event.key());
  if (own != Qt::NoModifier) {
    panelEvent.type = PanelKeyEvent::Type::modifiersChanged;
    // Whether the event's modifiers count its own key differs by platform; the
    // press and the release say which way it went.
    Qt::KeyboardModifiers modifiers = event.modifiers();
    modifiers.setFlag(own, event.type() == QEvent::KeyPress);
    panelEvent.modifiers = Modifiers{modifierBits(modifiers)};
    return panelEvent;
  }
  panelEvent.keyCode = keyCode(event.key());
  Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
  // A character typed with AltGr: the Alt some platforms report with it is AltGr's.
  if (held & Qt::GroupSwitchModifier) held &= ~Qt::AltModifier;
  panelEvent.modifiers = Modifiers{modifierBits(held)};
  if (event.key() == Qt::Key_Backtab) panelEvent.modifiers.rawValue |= Modifiers::shift;
  panelEvent.characters = panelEvent.keyCode == 0 ? unmodifiedCharacters(event) : std::string();
  return panelEvent;
}

HistoryPanelWindow::HistoryPanelWindow(HistoryPanelModel& model, HistoryPanelController& controller,
                                       ClipboardHistoryFeature& feature, Clock& clock,
                                       DefaultsStore& defaults)
    : QWidget(nullptr, Qt::Tool), controller_(controller), defaults_(defaults) {
  setObjectName(QStringLiteral("historyPanelWindow"));
  setWindowTitle(QString::fromUtf8(HistoryPanelController::kTitle));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(static_cast<int>(HistoryPanelController::kMinimumWidth),
                 static_cast<int>(HistoryPanelController::kMinimumHeight));
  resize(static_cast<int>(HistoryPanelController::kWidth),
         static_cast<int>(HistoryPanelController::kHeight));
  view_ = new HistoryPanelView(model, feature, clock, this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);

  if (const auto saved = defaults_.object(frameKey())) {
    if (const auto* array = std::get_if<PropertyArray>(&saved->storage);
        array && array->size() == 4) {
      std::array<int, 4> values{};
      bool valid = true;
      for (std::size_t i = 0; i < 4; ++i) {
        const auto* number = std::get_if<std::int64_t>(&(*array)[i].storage);
        valid = valid && number;
        if (number) values[i] = static_cast<int>(*number);
      }
      if (valid && values[2] > 0 && values[3] > 0) {
        setGeometry(values[0], values[1], values[2], values[3]);
        hasSavedFrame_ = true;
      }
    }
  }
  qApp->installEventFilter(this);
}

HistoryPanelWindow::~HistoryPanelWindow() { qApp->removeEventFilter(this); }

std::string HistoryPanelWindow::frameKey() const {
  return std::string(kFrameKeyPrefix) + HistoryPanelController::kFrameName;
}

void HistoryPanelWindow::saveFrame() {
  if (!QWidget::isVisible()) return;
  const QRect g = geometry();
  defaults_.set(frameKey(), PropertyArray{g.x(), g.y(), g.width(), g.height()});
}

ScreenRect HistoryPanelWindow::frame() const {
  const QRect g = geometry();
  return {static_cast<double>(g.x()), static_cast<double>(g.y()), static_cast<double>(g.width()),
          static_cast<double>(g.height())};
}

void HistoryPanelWindow::setFrame(const ScreenRect& frame) {
  setGeometry(QRectF(frame.x, frame.y, frame.width, frame.height).toRect());
}

void HistoryPanelWindow::setFloating(bool floating) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == floating) return;
  QWindow* shown = QWidget::isVisible() ? windowHandle() : nullptr;
  if (!shown) return setWindowFlag(Qt::WindowStaysOnTopHint, floating);
  // On the shown window itself: the widget's own setter would hide it and show it
  // again, taking the activation and the focus away (and with them the panel).
  Qt::WindowFlags flags = windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, floating);
  overrideWindowFlags(flags);
  shown->setFlags(flags);
}

void HistoryPanelWindow::present() {
  QWidget::show();
  raise();
  activateWindow();
  setFocus(Qt::OtherFocusReason);
}

void HistoryPanelWindow::orderOut() {
  saveFrame();
  isClosing_ = true;
  hide();
  isClosing_ = false;
}

PanelWindow::Focus HistoryPanelWindow::focus() const {
  QWidget* focused = QApplication::focusWidget();
  if (!focused || focused->window() != this) return Focus::none;
  if (focused == &view_->searchBox()) return Focus::searchField;
  if (qobject_cast<QLineEdit*>(focused) || qobject_cast<QTextEdit*>(focused) ||
      qobject_cast<QPlainTextEdit*>(focused)) {
    return Focus::otherEditor;
  }
  return Focus::none;
}

bool HistoryPanelWindow::searchFieldHasText() const { return !view_->searchBox().text().isEmpty(); }

bool HistoryPanelWindow::searchFieldHasSelection() const {
  return view_->searchBox().hasSelectedText();
}

bool HistoryPanelWindow::isPreviewVisible() const { return preview_ && preview_->isVisible(); }

void HistoryPanelWindow::showPreview(const std::vector<std::filesystem::path>& files) {
  if (!preview_) {
    preview_ = std::make_unique<PreviewWindow>([this] { controller_.previewEnded(); });
  }
  const QRect panel = frameGeometry();
  preview_->move(panel.right() + 12, panel.top());
  preview_->show(files);
}

void HistoryPanelWindow::closePreview() {
  if (preview_) preview_->hide();
}

void HistoryPanelWindow::beep() { QApplication::beep(); }

bool HistoryPanelWindow::handleKey(QObject* watched, QEvent* event) {
  // A key goes to the focused widget first, then up through its parents: take it
  // once, at its first stop inside this window.
  QWidget* target = QApplication::focusWidget();
  if (!target) target = this;
  if (watched != target || target->window() != this) return false;
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  // A button reached with Tab presses itself with Space or Return.
  const int key = keyEvent->key();
  if (qobject_cast<QAbstractButton*>(target) &&
      (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
    if (key != Qt::Key_Space && event->type() == QEvent::KeyPress) {
      static_cast<QAbstractButton*>(target)->click();
      return true;
    }
    return false;
  }
  const PanelKeyEvent panelEvent = panelKeyEvent(*keyEvent);
  if (event->type() == QEvent::KeyRelease &&
      panelEvent.type != PanelKeyEvent::Type::modifiersChanged) {
    return false;
  }
  if (controller_.handleKey(panelEvent)) return true;
  // A letter typed on the grid moved the focus to the search field: the key is
  // the search's first character.
  QWidget* focused = QApplication::focusWidget();
  if (event->type() == QEvent::KeyPress && focused && focused != target &&
      focused->window() == this) {
    QApplication::sendEvent(focused, keyEvent);
    return true;
  }
  return false;
}

bool HistoryPanelWindow::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  return (type == QEvent::KeyPress || type == QEvent::KeyRelease) && handleKey(watched, event);
}

void HistoryPanelWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !QWidget::isVisible()) return;
  if (!isActiveWindow()) return controller_.windowDidResignKey();
  // Modifiers pressed or let go elsewhere were not seen here: ask what is held now.
  PanelKeyEvent held;
  held.type = PanelKeyEvent::Type::modifiersChanged;
  held.modifiers = Modifiers{modifierBits(QGuiApplication::queryKeyboardModifiers())};
  controller_.handleKey(held);
}

void HistoryPanelWindow::closeEvent(QCloseEvent* event) {
  saveFrame();
  event->ignore();  // the window is kept and reused
  if (!isClosing_) controller_.windowWillClose();
}

}  // namespace mirlet
