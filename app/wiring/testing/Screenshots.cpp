// Writes pictures of the window and the status menu, for a reviewer to look at:
//   mirlet_screenshots OUTDIR
// It runs on Qt's offscreen platform over a demonstration desktop, so it needs no
// display.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPalette>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>

#include "ClipboardHistory/ui/ClipboardHistorySettingsView.h"
#include "ClipboardHistory/ui/HistoryPanelView.h"
#include "ClipboardHistory/ui/HistoryPanelWindow.h"
#include "ClipboardHistory/ui/HotKeyRecorder.h"
#include "ClipboardHistory/ui/PanelSearchBox.h"
#include "ClipboardHistory/ui/testing/DemoHistory.h"
#include "app/testing/FakeDesktop.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/StatusMenuController.h"
#include "host/sim/DesktopScenario.h"
#include "widgets/testing/DarkPalette.h"

namespace {

using namespace mirlet;

bool save(QWidget& widget, const QDir& folder, const char* name) {
  widget.show();
  QApplication::processEvents();
  const QString path = folder.filePath(QString::fromLatin1(name));
  const bool saved = widget.grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

// The history panel over a history of weeks, then searching, then the settings
// block and its hot-key recorder; then as a PC desktop shows it, and in a dark
// theme.
bool savePanel(const QDir& folder) {
  bool ok = true;
  sim::DesktopScenario scenario;
  scenario.activate(scenario.textEdit);
  sim::SimDesktop& d = scenario.desktop;
  demo::DemoHistory history(d, 400);
  demo::DemoPanel panel(d, history.feature());
  HistoryPanelController& controller = panel.controller();
  controller.show();
  d.time.drainQueues();
  HistoryPanelWindow* window = &panel.window();
  ok &= save(*window, folder, "panel.png");

  controller.model().perform(PanelCommand{PanelCommand::Action::move, 0, PanelDirection::right});
  controller.model().perform(PanelCommand{PanelCommand::Action::extend, 0, PanelDirection::right});
  ok &= save(*window, folder, "panel-selection.png");

  window->view().searchBox().setText(QStringLiteral("presupuesto"));
  controller.model().setQuery("presupuesto");
  ok &= save(*window, folder, "panel-search.png");
  controller.model().setQuery("");
  history.feature().setPaused(true);
  controller.model().setSection(HistorySections::Favorites{});
  ok &= save(*window, folder, "panel-paused-favorites.png");
  history.feature().setPaused(false);
  controller.model().setSection(HistorySections::History{});

  controller.hide();

  QWidget page;
  page.setObjectName(QStringLiteral("page"));
  auto* layout = new QVBoxLayout(&page);
  layout->setContentsMargins(24, 24, 24, 24);
  auto* block = new ClipboardHistorySettingsView(
      history.feature(),
      ClipboardHistorySettingsActions{HostTexts::linuxDesktop, [] { return true; },
                                      [] { return false; }, [] {},
                                      [] {
                                      }});
  layout->addWidget(block);
  layout->addStretch(1);
  page.resize(640, 760);
  if (auto* more = page.findChild<QToolButton*>(QStringLiteral("moreOptions"))) more->click();
  ok &= save(page, folder, "clipboard-settings.png");
  block->recorder().startRecording();
  ok &= save(page, folder, "hot-key-recorder.png");
  block->recorder().stopRecording();
  return ok;
}

// The panel as a PC desktop shows it (keys named Ctrl and Alt, a removal's
// message), then opened in a dark theme.
bool savePcPanel(const QDir& folder) {
  bool ok = true;
  sim::DesktopScenario scenario;
  scenario.activate(scenario.textEdit);
  sim::SimDesktop& d = scenario.desktop;
  d.keyboardLayout.style = ShortcutStyle::names;
  demo::DemoHistory history(d, 400);
  {
    demo::DemoPanel panel(d, history.feature());
    panel.controller().show();
    d.time.drainQueues();
    panel.model().perform(PanelCommand{PanelCommand::Action::delete_});
    ok &= save(panel.window(), folder, "panel-linux.png");
    panel.controller().hide();
  }
  const QPalette light = QApplication::palette();
  QApplication::setPalette(testing::darkPalette());
  demo::DemoPanel panel(d, history.feature());
  panel.controller().show();
  d.time.drainQueues();
  ok &= save(panel.window(), folder, "panel-dark.png");
  panel.controller().hide();
  QApplication::setPalette(light);
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  bool ok = true;
  UpdateSettings updates;
  const BundleInfo bundle = BundleInfo::current();

  {
    testing::FakeDesktop desktop;
    AppModel model(desktop.services(), desktop.factory());
    SettingsWindow window(model, updates, bundle);
    ok &= save(window, folder, "welcome.png");
  }

  // A desktop in use: the history runs, Finder cut waits for the permission.
  testing::FakeDesktop desktop;
  Preferences preferences(desktop.store);
  preferences.setHasCompletedOnboarding(true);
  preferences.setEnabled(true, FeatureIds::clipboardHistory);
  preferences.setEnabled(true, FeatureIds::finderCut);
  AppModel model(desktop.services(), desktop.factory());
  SettingsWindow window(model, updates, bundle);
  window.resize(780, 900);
  ok &= save(window, folder, "features.png");
  model.showPage(AppModel::SettingsPage{});
  model.checkPermission();
  ok &= save(window, folder, "settings.png");

  StatusMenuController statusMenu(
      false,
      [] {
        return StatusMenu::ClipboardState{false, "⌃⌥V"};
      },
      [](auto) {});
  statusMenu.refreshItems();
  statusMenu.menu()->adjustSize();
  ok &= save(*statusMenu.menu(), folder, "status-menu.png");
  ok &= savePanel(folder);
  ok &= savePcPanel(folder);
  return ok ? 0 : 1;
}
