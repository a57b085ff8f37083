#pragma once

#include <QObject>
#include <memory>
#include <optional>

#include "ClipboardHistory/ui/ClipboardHistoryViews.h"
#include "app/AppModel.h"
#include "app/BundleInfo.h"
#include "app/StatusMenu.h"
#include "app/UpdateSettings.h"
#include "host/SessionEvents.h"

namespace mirlet {

class AboutDialog;
class SettingsWindow;
class StatusMenuController;

// What the application is built over: the host's store, system, loop, clock and
// session events, all borrowed for the life of the delegate, and the maker of the
// clipboard history's views where the host runs the clipboard history.
struct DesktopHost {
  DefaultsStore& defaults;
  SystemEnvironment& environment;
  MainLoop& mainLoop;
  Clock& clock;
  SessionEvents& sessionEvents;
  ClipboardHistoryViewsMaker clipboardHistory;
  const HostTexts& texts = HostTexts::mac;
};

// The application's spine: builds the model, owns the status item and the
// settings window, and carries the application's lifecycle to the model.
class AppDelegate : public QObject {
 public:
  AppDelegate(DesktopHost host, const FeatureFactory& features, BundleInfo bundle);
  ~AppDelegate() override;

  // Installs the status item, observes the session and, as the launch policy
  // decides, opens the window or only refreshes.
  void applicationDidFinishLaunching(bool launchedAsLoginItem);
  void applicationDidBecomeActive();
  void applicationWillTerminate();

  // Menu actions.
  void openWindow();
  void openSettings();
  void about();
  void quit();
  void openHistory();
  void toggleHistoryPause();
  // Opens the history's panel, or closes it when open; false without a panel.
  bool toggleHistoryPanel();

  AppModel& model() { return *model_; }
  SettingsWindow* window() const { return window_.get(); }
  StatusMenuController* statusMenu() const { return statusMenu_.get(); }
  HistoryPanelController* historyPanel() const {
    return clipboardHistory_ ? clipboardHistory_->panel() : nullptr;
  }

 private:
  void perform(StatusMenuItem::Action action);
  void makeHistoryPanel();

  DesktopHost host_;
  BundleInfo bundle_;
  UpdateSettings updateSettings_;
  std::unique_ptr<AppModel> model_;
  std::unique_ptr<StatusMenuController> statusMenu_;
  std::unique_ptr<SettingsWindow> window_;
  std::unique_ptr<AboutDialog> aboutDialog_;
  std::unique_ptr<ClipboardHistoryViews> clipboardHistory_;
  Subscription sessionSubscription_;
  Subscription hotKeySubscription_;
  Subscription historyStateSubscription_;
};

}  // namespace mirlet
