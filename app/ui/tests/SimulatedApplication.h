#pragma once

#include <memory>

#include "ClipboardHistory/ui/HistoryPanelWindow.h"
#include "app/ui/AppDelegate.h"
#include "app/wiring/testing/SimulatedFeatures.h"
#include "host/sim/DesktopScenario.h"
#include "host/testing/ScriptedSessionEvents.h"
#include "host/testing/ScriptedSystemEnvironment.h"
#include "widgets/testing/UiTestSupport.h"

namespace mirlet::testing {

// The application on the simulated desktop with the real clipboard history
// switched on, launched at login, its panel drawn by Qt.
class SimulatedApplication {
 public:
  SimulatedApplication() {
    Preferences preferences(defaults_);
    preferences.setHasCompletedOnboarding(true);
    preferences.setEnabled(true, FeatureIds::clipboardHistory);
    scenario_.activate(scenario_.textEdit);
    sim::SimDesktop& d = scenario_.desktop;
    delegate_ = std::make_unique<AppDelegate>(
        DesktopHost{defaults_, environment_, d.time, d.time, sessionEvents_,
                    [this, &d] {
                      return std::make_unique<ClipboardHistoryViews>(
                          *features_.clipboard,
                          HistoryPanelControllerServices{d.workspace, d.screens, d.events,
                                                         d.accessibility, d.time, d.time, d.time,
                                                         CalendarSettings{}},
                          d.time, defaults_);
                    }},
        features_.factory(), BundleInfo{"app.mirlet", {{"CFBundleVersion", "42"}}});
    delegate_->applicationDidFinishLaunching(true);
  }
  ~SimulatedApplication() { delegate_->applicationWillTerminate(); }
  SimulatedApplication(const SimulatedApplication&) = delete;
  SimulatedApplication& operator=(const SimulatedApplication&) = delete;

  sim::DesktopScenario& scenario() { return scenario_; }
  AppDelegate& delegate() { return *delegate_; }
  ClipboardHistoryFeature& feature() { return *features_.clipboard; }
  HistoryPanelController& panel() { return *delegate_->historyPanel(); }
  // The panel's window, once the panel has been opened.
  HistoryPanelWindow* window() const {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = dynamic_cast<HistoryPanelWindow*>(widget)) return found;
    }
    return nullptr;
  }
  void copy(std::string_view text) {
    scenario_.copyText(scenario_.textEdit, text);
    scenario_.rest(0.5);
  }
  // The user presses the clipboard history's hot key.
  void pressHotKey() {
    const auto [keyCode, modifiers] = scenario_.desktop.hotKeys.registered().at(0);
    scenario_.desktop.hotKeys.press(keyCode, modifiers);
    scenario_.settle();
    QApplication::processEvents();
  }

 private:
  TemporaryFolder folder_;
  sim::DesktopScenario scenario_;
  MemoryDefaultsStore defaults_;
  ScriptedSystemEnvironment environment_;
  ScriptedSessionEvents sessionEvents_;
  SimulatedFeatures features_{scenario_.desktop, folder_.path()};
  std::unique_ptr<AppDelegate> delegate_;
};

}  // namespace mirlet::testing
