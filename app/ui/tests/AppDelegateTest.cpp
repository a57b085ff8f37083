#include "app/ui/AppDelegate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QMenu>

#include "app/LaunchPolicy.h"
#include "app/testing/FakeDesktop.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/StatusMenuController.h"
#include "host/testing/ScriptedSessionEvents.h"
#include "widgets/testing/UiTestSupport.h"

namespace mirlet {
namespace {

class AppDelegateTest : public ::testing::Test {
 protected:
  AppDelegate& delegate() {
    if (!delegate_) {
      delegate_ = std::make_unique<AppDelegate>(
          DesktopHost{desktop_.store, desktop_.environment, desktop_.scheduler, desktop_.scheduler,
                      sessionEvents_},
          desktop_.factory(), BundleInfo{"app.mirlet", {{"CFBundleVersion", "42"}}});
    }
    return *delegate_;
  }
  std::vector<std::string> menuTitles() {
    delegate().statusMenu()->refreshItems();
    std::vector<std::string> titles;
    for (QAction* action : delegate().statusMenu()->menu()->actions()) {
      titles.push_back(action->isSeparator() ? "---" : action->text().toStdString());
    }
    return titles;
  }
  QAction* menuAction(const QString& title) {
    for (QAction* action : delegate().statusMenu()->menu()->actions()) {
      if (action->text() == title) return action;
    }
    return nullptr;
  }
  void onboarded() { Preferences(desktop_.store).setHasCompletedOnboarding(true); }

  testing::FakeDesktop desktop_;
  testing::ScriptedSessionEvents sessionEvents_;
  std::unique_ptr<AppDelegate> delegate_;
};

TEST_F(AppDelegateTest, FirstLaunchOpensTheWelcomeWithoutStartingAnything) {
  delegate().applicationDidFinishLaunching(false);
  ASSERT_NE(delegate().window(), nullptr);
  EXPECT_TRUE(delegate().window()->isVisible());
  EXPECT_EQ(delegate().model().welcomeStep().get(), AppModel::WelcomeStep::welcome);
  EXPECT_TRUE(desktop_.clipboard->startedRuns.empty());
  EXPECT_EQ(delegate().model().featureStates().get().at(FeatureIds::clipboardHistory),
            FeatureState::disabled);
}

TEST_F(AppDelegateTest, LaunchAtLoginStartsFeaturesWithoutAWindow) {
  onboarded();
  Preferences(desktop_.store).setEnabled(true, FeatureIds::clipboardHistory);
  delegate().applicationDidFinishLaunching(true);
  EXPECT_EQ(delegate().window(), nullptr);
  EXPECT_EQ(desktop_.clipboard->startedRuns.size(), 1u);
  EXPECT_EQ(delegate().model().featureStates().get().at(FeatureIds::clipboardHistory),
            FeatureState::running);
}

TEST_F(AppDelegateTest, RelaunchIntoANewBuildOpensNoWindowAndConsumesTheMarker) {
  onboarded();
  desktop_.store.set(LaunchPolicy::relaunchMarkerKey, "41");
  delegate().applicationDidFinishLaunching(false);
  EXPECT_EQ(delegate().window(), nullptr);
  EXPECT_FALSE(desktop_.store.object(LaunchPolicy::relaunchMarkerKey));
}

TEST_F(AppDelegateTest, StatusMenuHasItsItemsInOrder) {
  delegate().applicationDidFinishLaunching(true);
  EXPECT_EQ(menuTitles(),
            (std::vector<std::string>{"Abrir Mirlet", "Ajustes…", "---", "Acerca de Mirlet",
                                      "Buscar actualizaciones…", "---", "Salir de Mirlet"}));
  EXPECT_FALSE(menuAction("Buscar actualizaciones…")->isEnabled());
}

TEST_F(AppDelegateTest, RunningClipboardAddsItsItemsOnce) {
  Preferences(desktop_.store).setEnabled(true, FeatureIds::clipboardHistory);
  delegate().applicationDidFinishLaunching(true);
  menuTitles();
  EXPECT_EQ(menuTitles(),
            (std::vector<std::string>{"Abrir Mirlet", "Ajustes…", "---", "Abrir historial (⌃⌥V)",
                                      "Pausar historial", "---", "Acerca de Mirlet",
                                      "Buscar actualizaciones…", "---", "Salir de Mirlet"}));
  menuAction("Pausar historial")->trigger();
  EXPECT_TRUE(desktop_.clipboard->paused);
  EXPECT_THAT(menuTitles(), ::testing::Contains("Reanudar historial"));

  delegate().model().setFeatureEnabled(false, FeatureIds::clipboardHistory);
  EXPECT_THAT(menuTitles(), ::testing::Not(::testing::Contains("Reanudar historial")));
}

TEST_F(AppDelegateTest, MenuActionsOpenTheWindowOnItsPages) {
  onboarded();
  delegate().applicationDidFinishLaunching(true);
  menuAction("Ajustes…")->trigger();
  ASSERT_NE(delegate().window(), nullptr);
  EXPECT_TRUE(delegate().window()->isVisible());
  EXPECT_EQ(delegate().model().page().get(), AppModel::Page(AppModel::SettingsPage{}));
}

TEST_F(AppDelegateTest, SleepStopsFeaturesAndWakeRestartsThem) {
  Preferences(desktop_.store).setEnabled(true, FeatureIds::clipboardHistory);
  delegate().applicationDidFinishLaunching(true);
  sessionEvents_.notifications.emit(SessionEvent::screensDidSleep);
  EXPECT_FALSE(desktop_.clipboard->isRunning());
  EXPECT_TRUE(Preferences(desktop_.store).isEnabled(FeatureIds::clipboardHistory));
  sessionEvents_.notifications.emit(SessionEvent::screensDidWake);
  EXPECT_TRUE(desktop_.clipboard->isRunning());
}

TEST_F(AppDelegateTest, TerminationStopsFeaturesAndSessionObservation) {
  Preferences(desktop_.store).setEnabled(true, FeatureIds::clipboardHistory);
  delegate().applicationDidFinishLaunching(true);
  delegate().applicationWillTerminate();
  EXPECT_FALSE(desktop_.clipboard->isRunning());
  EXPECT_FALSE(sessionEvents_.notifications.hasSlots());
}

}  // namespace
}  // namespace mirlet
