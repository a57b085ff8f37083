#include "app/ui/SettingsWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>

#include "app/testing/FakeDesktop.h"
#include "app/ui/FeatureRow.h"
#include "app/ui/ToggleSwitch.h"
#include "host/testing/ScriptedSessionEvents.h"
#include "widgets/testing/UiTestSupport.h"

namespace mirlet {
namespace {

using ::testing::Contains;
using ::testing::Not;
using testing::visibleButton;
using testing::visibleTexts;
using Behaviour = testing::FakeFeature::StartBehaviour;

class SettingsWindowTest : public ::testing::Test {
 protected:
  SettingsWindow& window() {
    if (!window_) {
      model_ = std::make_unique<AppModel>(desktop_.services(), desktop_.factory());
      window_ = std::make_unique<SettingsWindow>(*model_, updates_, bundle_);
      window_->show();
    }
    return *window_;
  }
  void onboarded() { Preferences(desktop_.store).setHasCompletedOnboarding(true); }
  void enable(const std::string& id) { Preferences(desktop_.store).setEnabled(true, id); }
  void click(const char* text) {
    QAbstractButton* button = visibleButton(&window(), QString::fromUtf8(text));
    ASSERT_NE(button, nullptr) << text;
    button->click();
  }
  FeatureRow* row(const std::string& id) {
    return window().findChild<FeatureRow*>(QString::fromStdString("row-" + id));
  }
  std::vector<std::string> rowTexts(const std::string& id) { return visibleTexts(row(id)); }

  testing::FakeDesktop desktop_;
  UpdateSettings updates_;
  BundleInfo bundle_{"app.mirlet",
                     {{"CFBundleShortVersionString", "1.2"}, {"CFBundleVersion", "45"}}};
  std::unique_ptr<AppModel> model_;
  std::unique_ptr<SettingsWindow> window_;
};

TEST_F(SettingsWindowTest, HasTheTitleAndSizes) {
  EXPECT_EQ(window().windowTitle(), "Mirlet");
  EXPECT_EQ(window().size(), QSize(780, 500));
  EXPECT_EQ(window().minimumSize(), QSize(700, 420));
}

TEST_F(SettingsWindowTest, CloseCommandOnlyHidesTheWindow) {
  QAction* close = window().actions().value(0);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), "Cerrar ventana");
  close->trigger();
  EXPECT_FALSE(window().isVisible());
  window().show();
  EXPECT_THAT(visibleTexts(&window()), Contains("Bienvenido a Mirlet"));
}

TEST_F(SettingsWindowTest, WelcomeFlowStepsForwardAndBack) {
  EXPECT_THAT(visibleTexts(&window()), Contains("Bienvenido a Mirlet"));
  EXPECT_THAT(visibleTexts(&window()), Contains("Pequeños ajustes. Un Mac más cómodo."));
  click("Empezar");
  EXPECT_THAT(visibleTexts(&window()), Contains("Elige tus mirlets"));
  EXPECT_THAT(
      visibleTexts(&window()),
      Contains("Puedes cerrar esta ventana. Mirlet seguirá funcionando en la barra de menú."));
  click("Atrás");
  EXPECT_THAT(visibleTexts(&window()), Contains("Bienvenido a Mirlet"));
  click("Empezar");
  click("Ver mis mirlets");
  EXPECT_THAT(visibleTexts(&window()), Not(Contains("Elige tus mirlets")));
  EXPECT_THAT(visibleTexts(&window()), Contains("Mis mirlets"));
  EXPECT_TRUE(Preferences(desktop_.store).hasCompletedOnboarding());
}

TEST_F(SettingsWindowTest, DisabledRowOffersItsSwitchOnly) {
  onboarded();
  auto texts = rowTexts(FeatureIds::finderCut);
  EXPECT_THAT(texts, Contains("Cortar y pegar en Finder"));
  EXPECT_THAT(texts, Contains("Desactivado"));
  EXPECT_THAT(texts, Contains("Más información: "));
  EXPECT_THAT(texts, Not(Contains("Dar permiso…")));
  EXPECT_THAT(texts, Not(Contains("Volver a intentar")));
}

TEST_F(SettingsWindowTest, SwitchStartsTheFeature) {
  onboarded();
  auto* toggle = row(FeatureIds::clipboardHistory)->findChild<ToggleSwitch*>("featureSwitch");
  toggle->click();
  EXPECT_TRUE(toggle->isChecked());
  EXPECT_THAT(rowTexts(FeatureIds::clipboardHistory), Contains("Activo"));
  EXPECT_TRUE(desktop_.clipboard->isRunning());
}

TEST_F(SettingsWindowTest, WaitingRowOffersThePermissionAndTheBannerShows) {
  onboarded();
  enable(FeatureIds::rightClickFocus);
  EXPECT_THAT(rowTexts(FeatureIds::rightClickFocus), Contains("En espera del permiso"));
  EXPECT_THAT(visibleTexts(&window()), Contains("Falta un permiso"));
  EXPECT_THAT(visibleTexts(&window()), Not(Contains("Esperando el permiso. Actívalo en Ajustes "
                                                    "del Sistema y Mirlet lo detectará solo.")));
  click("Dar permiso…");
  EXPECT_THAT(visibleTexts(&window()), Contains("Esperando el permiso. Actívalo en Ajustes del "
                                                "Sistema y Mirlet lo detectará solo."));
  desktop_.environment.trusted = true;
  desktop_.scheduler.advance(1);
  EXPECT_THAT(rowTexts(FeatureIds::rightClickFocus), Contains("Activo"));
  EXPECT_THAT(visibleTexts(&window()), Not(Contains("Falta un permiso")));
}

TEST_F(SettingsWindowTest, FailedRowOffersARetry) {
  onboarded();
  enable(FeatureIds::clipboardHistory);
  desktop_.clipboard->behaviour = Behaviour::throws;
  EXPECT_THAT(rowTexts(FeatureIds::clipboardHistory), Contains("No se pudo activar"));
  desktop_.clipboard->behaviour = Behaviour::runs;
  click("Volver a intentar");
  EXPECT_THAT(rowTexts(FeatureIds::clipboardHistory), Contains("Activo"));
}

TEST_F(SettingsWindowTest, FinderKeyBoxesFollowAndChangeTheOptions) {
  onboarded();
  Preferences(desktop_.store).setOptionEnabled(false, "f2", FeatureIds::finderKeys);
  auto boxes = row(FeatureIds::finderKeys)->findChildren<QCheckBox*>();
  ASSERT_EQ(boxes.size(), 3);
  EXPECT_EQ(boxes[0]->text(), "Enter abre");
  EXPECT_TRUE(boxes[0]->isChecked());
  EXPECT_EQ(boxes[1]->text(), "F2 renombra");
  EXPECT_FALSE(boxes[1]->isChecked());
  EXPECT_EQ(boxes[2]->text(), "Supr manda a la Papelera");
  boxes[2]->click();
  EXPECT_FALSE(Preferences(desktop_.store).isOptionEnabled("delete", FeatureIds::finderKeys));
}

TEST_F(SettingsWindowTest, SidebarShowsCategoriesAndSettings) {
  onboarded();
  auto* sidebar = window().findChild<QListWidget*>("sidebar");
  ASSERT_EQ(sidebar->count(), 5);
  EXPECT_EQ(sidebar->item(0)->text(), "Todas las utilidades");
  EXPECT_EQ(sidebar->item(2)->text(), "Archivos");
  EXPECT_EQ(sidebar->item(4)->text(), "Ajustes");

  sidebar->setCurrentRow(2);
  EXPECT_EQ(model_->page().get(), AppModel::Page(AppModel::CategoryPage{"files"}));
  EXPECT_NE(row(FeatureIds::finderKeys), nullptr);
  EXPECT_EQ(row(FeatureIds::clipboardHistory), nullptr);

  model_->showPage(AppModel::SettingsPage{});
  EXPECT_EQ(sidebar->currentRow(), 4);
  EXPECT_THAT(visibleTexts(&window()), Contains("Permiso de Accesibilidad"));
}

TEST_F(SettingsWindowTest, DetailsOpenWithTheirHeadings) {
  onboarded();
  EXPECT_THAT(rowTexts(FeatureIds::finderCut),
              Not(Contains(::testing::HasSubstr("<b>En macOS</b>"))));
  auto* disclosure = visibleButton(row(FeatureIds::finderCut), "Más información: ");
  disclosure->click();
  EXPECT_THAT(rowTexts(FeatureIds::finderCut), Contains(::testing::HasSubstr("<b>En macOS</b>")));
}

class SettingsPageTest : public SettingsWindowTest {
 protected:
  void SetUp() override { onboarded(); }
  std::vector<std::string> settingsTexts() {
    window();
    model_->showPage(AppModel::SettingsPage{});
    return visibleTexts(&window());
  }
};

TEST_F(SettingsPageTest, ShowsItsSectionsAndTheVersion) {
  auto texts = settingsTexts();
  for (const char* expected :
       {"General", "Actualizaciones", "Permiso de Accesibilidad", "Contactar soporte…",
        "No necesitas una cuenta. Tus ajustes se guardan en este Mac.", "Versión 1.2 (45)",
        "Las actualizaciones no están disponibles en esta copia de Mirlet.",
        "Mirlet aún no tiene acceso", "Abrir Ajustes del Sistema…", "Comprobar permiso",
        "Abre Mirlet automáticamente cuando entres a tu Mac."}) {
    EXPECT_THAT(texts, Contains(expected));
  }
  EXPECT_FALSE(window().findChild<ToggleSwitch*>("updatesSwitch")->isEnabled());
}

TEST_F(SettingsPageTest, LoginItemTextsFollowTheState) {
  desktop_.environment.login = LoginState::requiresApproval;
  auto texts = settingsTexts();
  EXPECT_THAT(texts, Contains("Falta aprobación en Ajustes del Sistema."));
  EXPECT_THAT(texts, Contains("Abrir ajustes de inicio…"));
  click("Cancelar solicitud de inicio");
  EXPECT_THAT(visibleTexts(&window()),
              Contains("Abre Mirlet automáticamente cuando entres a tu Mac."));
  EXPECT_THAT(visibleTexts(&window()), Not(Contains("Abrir ajustes de inicio…")));

  window().findChild<ToggleSwitch*>("loginSwitch")->click();
  EXPECT_THAT(visibleTexts(&window()),
              Contains("Mirlet se abrirá automáticamente cuando entres a tu Mac."));
}

TEST_F(SettingsPageTest, RefusedLoginChangeShowsItsError) {
  desktop_.environment.login = LoginState::unavailable;
  settingsTexts();
  window().findChild<ToggleSwitch*>("loginSwitch")->click();
  EXPECT_THAT(visibleTexts(&window()),
              Contains("No pudimos activar el inicio automático. Abre Mirlet manualmente."));
  EXPECT_THAT(visibleTexts(&window()),
              Contains("El inicio automático no está disponible en esta copia de Mirlet."));
}

TEST_F(SettingsPageTest, PermissionCheckShowsItsResultAndTime) {
  settingsTexts();
  click("Comprobar permiso");
  EXPECT_THAT(visibleTexts(&window()),
              Contains("Comprobación completada. macOS aún no le da acceso a Mirlet."));
  EXPECT_THAT(visibleTexts(&window()), Contains(::testing::StartsWith("Última comprobación: ")));
  desktop_.environment.trusted = true;
  click("Comprobar permiso");
  EXPECT_THAT(visibleTexts(&window()), Contains("Comprobación completada. Mirlet tiene acceso."));
  EXPECT_THAT(visibleTexts(&window()), Contains("Permiso activado"));
}

TEST(FeatureRowDetailsTest, HeadingsAreBoldAndTextIsEscaped) {
  EXPECT_EQ(detailsHtml("En macOS\nUno <b>\n\nSolo"),
            QStringLiteral("<p><b>En macOS</b><br>Uno &lt;b&gt;</p><p>Solo</p>"));
}

}  // namespace
}  // namespace mirlet
