#include <gtest/gtest.h>

#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "ClipboardHistory/testing/SimulatedClipboardHistory.h"
#include "ClipboardHistory/ui/ClipboardHistorySettingsView.h"
#include "ClipboardHistory/ui/HotKeyRecorder.h"
#include "host/sim/DesktopScenario.h"
#include "widgets/testing/UiTestSupport.h"

namespace mirlet {
namespace {

using testing::visibleButton;
using testing::visibleTexts;

bool shows(QWidget& widget, std::string_view text) {
  return std::ranges::count(visibleTexts(&widget), text) > 0;
}

// The settings block of the real clipboard history on the simulated desktop.
class ClipboardHistorySettingsUiTest : public ::testing::Test {
 protected:
  ClipboardHistorySettingsUiTest() {
    view_ = std::make_unique<ClipboardHistorySettingsView>(
        history_.feature(),
        ClipboardHistorySettingsActions{HostTexts::mac, [] { return true; },
                                        [this] { return granted_; }, [this] { ++grants_; },
                                        [this] {
                                          ++opened_;
                                        }});
    view_->show();
    QApplication::processEvents();
  }

  ClipboardHistoryFeature& feature() { return history_.feature(); }
  QAbstractButton& recordButton() {
    return *view_->findChild<QPushButton*>(QStringLiteral("recordButton"));
  }
  // A key press while the recorder listens: it reaches the application first.
  void press(int key, Qt::KeyboardModifiers modifiers, quint32 scanCode = 0) {
    send(QEvent::KeyPress, key, modifiers, scanCode);
  }
  void release(int key, Qt::KeyboardModifiers modifiers) {
    send(QEvent::KeyRelease, key, modifiers, 0);
  }
  void send(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, quint32 scanCode) {
    QKeyEvent event(type, key, modifiers, scanCode, 0, 0);
    QApplication::sendEvent(&recordButton(), &event);
    QApplication::processEvents();
  }

  sim::DesktopScenario scenario_;
  testing::SimulatedClipboardHistory history_{scenario_.desktop};
  bool granted_ = false;
  int grants_ = 0;
  int opened_ = 0;
  std::unique_ptr<ClipboardHistorySettingsView> view_;
};

TEST_F(ClipboardHistorySettingsUiTest, TheRecorderTakesTheNextKeyPress) {
  EXPECT_EQ(recordButton().text(), QStringLiteral("⌃⌥V"));
  recordButton().click();
  EXPECT_TRUE(view_->recorder().isRecording());
  EXPECT_EQ(recordButton().text(), QStringLiteral("Pulsa el atajo…"));

  press(Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_FALSE(view_->recorder().isRecording());
  EXPECT_EQ(feature().settings().get().hotKey,
            (HotKeyCombo{11, Modifiers{Modifiers::control | Modifiers::option}}));
  EXPECT_EQ(recordButton().text(), QStringLiteral("⌃⌥B"));
  EXPECT_EQ(feature().hotKeyStatus().get(), HotKeyStatus::registered);
}

TEST_F(ClipboardHistorySettingsUiTest, EscapeChangesNothingAndDeleteRemovesTheHotKey) {
  const auto before = feature().settings().get().hotKey;
  recordButton().click();
  press(Qt::Key_Escape, Qt::NoModifier);
  EXPECT_FALSE(view_->recorder().isRecording());
  EXPECT_EQ(feature().settings().get().hotKey, before);

  EXPECT_FALSE(shows(*view_, "Pruébalo: copia algo y abre el historial."));
  recordButton().click();
  press(Qt::Key_Backspace, Qt::NoModifier);
  EXPECT_EQ(feature().settings().get().hotKey, std::nullopt);
  EXPECT_EQ(recordButton().text(), QStringLiteral("Sin atajo"));
  EXPECT_TRUE(shows(*view_, "Pruébalo: copia algo y abre el historial."));
  QAbstractButton* open = visibleButton(view_.get(), QStringLiteral("Abrir historial"));
  ASSERT_NE(open, nullptr);
  open->click();
  EXPECT_EQ(opened_, 1);
}

// As a keyboard sends it: each modifier pressed on its own, then the key.
TEST_F(ClipboardHistorySettingsUiTest, TheRecorderTakesARealKeySequence) {
  recordButton().click();
  press(Qt::Key_Control, Qt::ControlModifier);
  press(Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_TRUE(view_->recorder().isRecording());
  press(Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
  release(Qt::Key_B, Qt::ControlModifier | Qt::AltModifier);
  release(Qt::Key_Alt, Qt::ControlModifier);
  release(Qt::Key_Control, Qt::NoModifier);
  EXPECT_FALSE(view_->recorder().isRecording());
  EXPECT_EQ(feature().settings().get().hotKey,
            (HotKeyCombo{11, Modifiers{Modifiers::control | Modifiers::option}}));
  EXPECT_EQ(view_->recorder().message(), std::nullopt);
}

// AltGr types @ on a Spanish keyboard (AltGr+2): it is no ⌥.
TEST_F(ClipboardHistorySettingsUiTest, AltGrIsNeverTakenForOption) {
  recordButton().click();
  press(Qt::Key_Control, Qt::ControlModifier);
  press(Qt::Key_AltGr, Qt::ControlModifier | Qt::GroupSwitchModifier);
  press(Qt::Key_At, Qt::ControlModifier | Qt::GroupSwitchModifier, 11);  // the key "2"
  EXPECT_EQ(feature().settings().get().hotKey, (HotKeyCombo{19, Modifiers{Modifiers::control}}));
}

TEST_F(ClipboardHistorySettingsUiTest, RefusedCombinationsSayWhy) {
  recordButton().click();
  press(Qt::Key_Control, Qt::ControlModifier);
  press(Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
  release(Qt::Key_Shift, Qt::ControlModifier);
  EXPECT_TRUE(view_->recorder().isRecording());  // Control is still held
  release(Qt::Key_Control, Qt::NoModifier);
  EXPECT_FALSE(view_->recorder().isRecording());
  EXPECT_EQ(view_->recorder().message(),
            "Pulsa también una tecla; los modificadores solos no bastan.");
  EXPECT_TRUE(shows(*view_, "Pulsa también una tecla; los modificadores solos no bastan."));

  // ⌘⌥B, once this program's, then another application's.
  recordButton().click();
  press(Qt::Key_B, Qt::MetaModifier | Qt::AltModifier);
  const auto [keyCode, modifiers] = scenario_.desktop.hotKeys.registered().at(0);
  feature().setHotKey(std::nullopt);
  scenario_.desktop.hotKeys.holdByAnotherApplication(keyCode, modifiers);
  recordButton().click();
  press(Qt::Key_B, Qt::MetaModifier | Qt::AltModifier);
  const std::string occupied =
      "Otra app ya usa este atajo. Elige otro. El panel sigue disponible desde el menú de la "
      "barra.";
  EXPECT_EQ(view_->recorder().message(), occupied);
  EXPECT_TRUE(shows(*view_, occupied));
  EXPECT_EQ(recordButton().text(), QStringLiteral("Sin atajo"));  // nothing was kept
  // Recording stops when the block leaves the screen.
  recordButton().click();
  view_->hide();
  EXPECT_FALSE(view_->recorder().isRecording());
}

TEST_F(ClipboardHistorySettingsUiTest, TheTryItHintNamesTheHotKeyUntilThePanelIsOpened) {
  EXPECT_TRUE(shows(*view_, "Pruébalo: copia algo y pulsa ⌃⌥V."));
  feature().notePanelOpened();
  EXPECT_FALSE(shows(*view_, "Pruébalo: copia algo y pulsa ⌃⌥V."));
}

TEST_F(ClipboardHistorySettingsUiTest, ThePermissionNoteShowsOnlyWhenPastingNeedsIt) {
  const std::string note = "Sin el permiso de Accesibilidad, al elegir un elemento solo se copia.";
  EXPECT_TRUE(shows(*view_, note));
  visibleButton(view_.get(), QStringLiteral("Permitir que pegue por mí…"))->click();
  EXPECT_EQ(grants_, 1);

  auto* choose = view_->findChild<QComboBox*>(QStringLiteral("chooseAction"));
  choose->setCurrentIndex(1);
  Q_EMIT choose->activated(1);
  EXPECT_EQ(feature().settings().get().chooseAction, ClipboardHistorySettings::ChooseAction::copy);
  EXPECT_FALSE(shows(*view_, note));
}

TEST_F(ClipboardHistorySettingsUiTest, MoreOptionsWriteTheSettings) {
  EXPECT_FALSE(shows(*view_, "Sonido al copiar"));
  view_->findChild<QToolButton*>(QStringLiteral("moreOptions"))->click();
  EXPECT_TRUE(shows(*view_, "Sonido al copiar"));
  auto* limit = view_->findChild<QComboBox*>(QStringLiteral("limit"));
  EXPECT_EQ(limit->currentText(), QStringLiteral("1.000 elementos"));
  const int week = limit->findText(QStringLiteral("1 semana"));
  limit->setCurrentIndex(week);
  Q_EMIT limit->activated(week);
  EXPECT_EQ(feature().settings().get().limit, HistoryLimit::days(7));

  auto* store = visibleButton(view_.get(),
                              QStringLiteral("Guardar contraseñas y contenido privado (cifrado)"));
  EXPECT_FALSE(store->isChecked());
  store->click();
  EXPECT_FALSE(feature().settings().get().ignorePrivate);
}

TEST_F(ClipboardHistorySettingsUiTest, ClearingAsksFirst) {
  scenario_.activate(scenario_.textEdit);
  scenario_.copyText(scenario_.textEdit, "borrable");
  scenario_.rest(0.5);
  ASSERT_EQ(feature().store().get().items().size(), 1u);
  const auto answer = [](const QString& button) {
    QTimer::singleShot(0, [button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), QStringLiteral("¿Vaciar el historial?"));
      visibleButton(box, button)->click();
    });
  };
  answer(QStringLiteral("Cancelar"));
  view_->confirmClear();
  EXPECT_EQ(feature().store().get().items().size(), 1u);
  answer(QStringLiteral("Vaciar"));
  view_->confirmClear();
  EXPECT_TRUE(feature().store().get().items().empty());
  EXPECT_FALSE(shows(*view_,
                     "No se pudo vaciar el historial. Vuelve a intentarlo; si sigue "
                     "fallando, desactiva y activa la utilidad."));
}

}  // namespace
}  // namespace mirlet
