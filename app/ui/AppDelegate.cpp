#include "app/ui/AppDelegate.h"

#include <QApplication>
#include <QScreen>

#include "ClipboardHistory/ClipboardHistoryControl.h"
#include "app/LaunchPolicy.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/StatusMenuController.h"

namespace mirlet {

AppDelegate::AppDelegate(DesktopHost host, const FeatureFactory& features, BundleInfo bundle)
    : host_(host), bundle_(std::move(bundle)) {
  model_ = std::make_unique<AppModel>(AppModel::Services{host_.defaults, host_.environment,
                                                         host_.mainLoop, host_.clock, host_.texts},
                                      features);
  if (host_.clipboardHistory) clipboardHistory_ = host_.clipboardHistory();
  if (clipboardHistory_) makeHistoryPanel();
}

void AppDelegate::makeHistoryPanel() {
  HistoryPanelController* panel =
      clipboardHistory_->makePanel(HistoryPanelRequests{[this] { openSettings(); },
                                                        [this] {
                                                          model_->grantAccessibility();
                                                        }});
  if (!panel) return;
  model_->setHistoryOpener([panel] { panel->show(); });
  hotKeySubscription_ = clipboardHistory_->observeHotKey([this] { toggleHistoryPanel(); });
  historyStateSubscription_ =
      model_->featureStates().subscribe([panel](const FeatureController::States& states) {
        const auto state = states.find(FeatureIds::clipboardHistory);
        if (state == states.end() || state->second != FeatureState::running) panel->hide();
      });
}

bool AppDelegate::toggleHistoryPanel() {
  HistoryPanelController* panel = historyPanel();
  if (!panel) return false;
  if (panel->isOpen()) {
    panel->hide();
  } else {
    panel->show();
  }
  return true;
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching(bool launchedAsLoginItem) {
  // No updater exists on this platform: the update item and toggle stay disabled.
  statusMenu_ = std::make_unique<StatusMenuController>(
      updateSettings_.hasUpdater(), [this] { return model_->runningClipboard(); },
      [this](StatusMenuItem::Action action) { perform(action); });
  statusMenu_->showStatusItem();

  sessionSubscription_ =
      host_.sessionEvents.observe([this](SessionEvent event) { model_->sessionChanged(event); });

  if (LaunchPolicy::shouldOpenWindow(model_->preferences().hasCompletedOnboarding(),
                                     launchedAsLoginItem, bundle_.build(), host_.defaults)) {
    openWindow();
  } else {
    model_->systemSettings().refresh();
  }
}

void AppDelegate::applicationDidBecomeActive() { model_->applicationDidBecomeActive(); }

void AppDelegate::applicationWillTerminate() {
  if (HistoryPanelController* panel = historyPanel()) panel->hide();
  model_->prepareForTermination();
  sessionSubscription_.reset();
  if (statusMenu_) statusMenu_->removeStatusItem();
}

void AppDelegate::openWindow() {
  if (!window_) {
    window_ = std::make_unique<SettingsWindow>(*model_, updateSettings_, bundle_,
                                               clipboardHistory_.get());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = window_->frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      window_->move(frame.topLeft());
    }
  }
  model_->systemSettings().refresh();
  window_->showNormal();
  window_->raise();
  window_->activateWindow();
}

void AppDelegate::openSettings() {
  model_->showPage(AppModel::SettingsPage{});
  openWindow();
}

void AppDelegate::about() {
  if (!aboutDialog_) aboutDialog_ = std::make_unique<AboutDialog>(bundle_.info);
  aboutDialog_->show();
  aboutDialog_->raise();
  aboutDialog_->activateWindow();
}

void AppDelegate::quit() { QCoreApplication::quit(); }

void AppDelegate::openHistory() {
  if (HistoryPanelController* panel = historyPanel()) panel->show();
}

void AppDelegate::toggleHistoryPause() {
  if (auto* clipboard =
          model_->featureControl<ClipboardHistoryControl>(FeatureIds::clipboardHistory)) {
    clipboard->setPaused(!clipboard->isPaused());
  }
}

void AppDelegate::perform(StatusMenuItem::Action action) {
  using Action = StatusMenuItem::Action;
  switch (action) {
    case Action::openWindow:
      openWindow();
      break;
    case Action::openSettings:
      openSettings();
      break;
    case Action::about:
      about();
      break;
    case Action::checkForUpdates:
      if (Updater* updater = updateSettings_.updater()) updater->checkForUpdates();
      break;
    case Action::quit:
      quit();
      break;
    case Action::openHistory:
      openHistory();
      break;
    case Action::toggleHistoryPause:
      toggleHistoryPause();
      break;
    case Action::none:
      break;
  }
}

}  // namespace mirlet
