// The process entry: a tray (menu-bar) utility without a window of its own until
// the user opens one.

#include <malloc.h>
#include <QApplication>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "app/BundleInfo.h"
#include "app/CommandLine.h"
#include "app/ui/AppDelegate.h"
#include "app/wiring/CommandLineRequests.h"
#include "app/wiring/DesktopCommands.h"
#include "app/wiring/DesktopFeatures.h"
#include "host/FileDefaultsStore.h"
#include "host/SystemClock.h"
#include "host/linux/DBusSingleInstance.h"
#include "host/linux/LogindSessionEvents.h"
#include "host/linux/QtMainLoop.h"
#include "host/x11/X11SystemEnvironment.h"

namespace {

std::optional<std::filesystem::path> executablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::nullopt;
  return path;
}

}  // namespace

int main(int argc, char* argv[]) {
  // A peer that closes a connection early (a web server, the session bus) must
  // make a write fail, never end the program.
  std::signal(SIGPIPE, SIG_IGN);

  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const auto parsed = mirlet::CommandLine::parse(arguments);
  if (const auto* refusal = std::get_if<std::string>(&parsed)) {
    std::cerr << *refusal << "\n";
    return static_cast<int>(mirlet::CommandStatus::usage);
  }
  const auto& request = std::get<mirlet::CommandRequest>(parsed);
  if (request.action != mirlet::CommandRequest::Action::run) {
    // Answered here or by the running copy: no display needed, nothing started.
    QCoreApplication core(argc, argv);
    return static_cast<int>(
        mirlet::perform(request, mirlet::DBusInstanceClient(), std::cout, std::cerr));
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mirlet"));
  QApplication::setDesktopFileName(QStringLiteral("app.mirlet"));
  QApplication::setQuitOnLastWindowClosed(false);
  const bool launchedAsLoginItem = QApplication::arguments().contains(
      QString::fromLatin1(mirlet::XdgAutostart::kLoginItemArgument));

  mirlet::DBusSingleInstance instance;
  if (!instance.claim()) return 0;

  mirlet::PosixFileSystem files;
  mirlet::FileDefaultsStore defaults(files, mirlet::FileDefaultsStore::defaultPath());
  mirlet::X11SystemEnvironment environment(
      mirlet::XdgAutostart(files, mirlet::XdgAutostart::defaultFolder(), executablePath()));
  mirlet::QtMainLoop mainLoop;
  mirlet::SystemClock clock;
  mirlet::LogindSessionEvents sessionEvents;

  const mirlet::BundleInfo bundle = mirlet::BundleInfo::current();
  const std::string identifier = bundle.identifier.value_or("app.mirlet");
  mirlet::X11Desktop desktop(mainLoop, identifier);
  mirlet::X11HistoryServices history(desktop, mainLoop, clock, identifier);
  mirlet::DesktopFeatures features(desktop, history, mainLoop, clock, defaults, identifier);
  mirlet::AppDelegate delegate({defaults, environment, mainLoop, clock, sessionEvents,
                                features.clipboardHistoryViews(), mirlet::HostTexts::linuxDesktop},
                               features.factory(), bundle);
  const mirlet::Subscription reopen =
      instance.observeReopen([&delegate] { delegate.openWindow(); });
  mirlet::DesktopCommands commands(delegate, features, desktop.workspace);
  instance.serve(&commands);
  QObject::connect(&application, &QCoreApplication::aboutToQuit,
                   [&delegate] { delegate.applicationWillTerminate(); });
  QObject::connect(&application, &QGuiApplication::applicationStateChanged,
                   [&delegate](Qt::ApplicationState state) {
                     if (state == Qt::ApplicationActive) delegate.applicationDidBecomeActive();
                   });
  QTimer::singleShot(0, &application, [&delegate, launchedAsLoginItem] {
    delegate.applicationDidFinishLaunching(launchedAsLoginItem);
    // Loading the history leaves freed memory that the allocator would keep.
    ::malloc_trim(0);
  });
  const int status = QApplication::exec();
  instance.serve(nullptr);
  return status;
}
