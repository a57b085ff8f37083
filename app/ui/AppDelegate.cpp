#include "app/ui/AppDelegate.h"

#include <QApplication>
#include <QScreen>

#include "ClipboardHistory/ClipboardHistoryControl.h"
#include "ClipboardHistory/ui/HistoryPanelWindow.h"
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
  auto* clipboard = model_->featureControl<ClipboardHistoryFeature>(FeatureIds::clipboardHistory);
  if (clipboard && host_.historyPanel) makeHistoryPanel(*clipboard, *host_.historyPanel);
}

void AppDelegate::makeHistoryPanel(ClipboardHistoryFeature& feature,
                                   const HistoryPanelControllerServices& environment) {
  historyPanel_ = std::make_unique<HistoryPanelController>(
      feature, environment,
      [this, &feature](HistoryPanelModel& model, HistoryPanelController& controller) {
        return std::make_unique<HistoryPanelWindow>(model, controller, feature, host_.clock,
                                                    host_.defaults);
      },
      HistoryPanelRequests{[this] { openSettings(); },
                           [this] {
                             model_->grantAccessibility();
                           }});
  model_->setHistoryOpener([this] { historyPanel_->show(); });
  hotKeySubscription_ = feature.observeHotKey([this] { toggleHistoryPanel(); });
  historyStateSubscription_ =
      model_->featureStates().subscribe([this](const FeatureController::States& states) {
        const auto state = states.find(FeatureIds::clipboardHistory);
        if (state == states.end() || state->second != FeatureState::running) historyPanel_->hide();
      });
}

void AppDelegate::toggleHistoryPanel() {
  if (historyPanel_->isOpen()) {
    historyPanel_->hide();
  } else {
    historyPanel_->show();
  }
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
  if (historyPanel_) historyPanel_->hide();
  model_->prepareForTermination();
  sessionSubscription_.reset();
  if (statusMenu_) statusMenu_->removeStatusItem();
}

void AppDelegate::openWindow() {
  if (!window_) {
    window_ = std::make_unique<SettingsWindow>(*model_, updateSettings_, bundle_);
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
  if (historyPanel_) historyPanel_->show();
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
