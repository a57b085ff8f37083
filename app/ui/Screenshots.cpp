// Writes pictures of the window and the status menu, for a reviewer to look at:
//   mirlet_screenshots OUTDIR
// It runs on Qt's offscreen platform over a demonstration desktop, so it needs no
// display.

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <cstdio>
#include <memory>

#include "app/testing/FakeDesktop.h"
#include "app/ui/SettingsWindow.h"
#include "app/ui/StatusMenuController.h"

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
  return ok ? 0 : 1;
}
