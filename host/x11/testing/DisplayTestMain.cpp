// The tests of the host against a real X server, run under xvfb-run: a window
// manager (openbox, where installed) manages the display as on a desktop, and the
// user's folders are temporary.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <cstdlib>

#include "host/testing/TemporaryFolder.h"
#include "host/x11/XcbConnection.h"

namespace {

// Until the window manager announces itself on the root window, or two seconds.
void waitForWindowManager(mirlet::XcbConnection& connection) {
  xcb_connection_t* c = connection.get();
  const xcb_atom_t check = connection.atom("_NET_SUPPORTING_WM_CHECK");
  for (int attempt = 0; attempt < 200; ++attempt) {
    const auto reply = mirlet::xcbReply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, connection.root(), check, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (reply && xcb_get_property_value_length(reply.get()) >= 4) return;
    QThread::msleep(10);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  const mirlet::testing::TemporaryFolder home;
  ::setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
  // Keys go to files in the temporary home, never to the user's keyring.
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication application(argc, argv);
  // The server starts over when its last client leaves, refusing connections
  // meanwhile: one stays for the whole run.
  mirlet::XcbConnection keepAlive;
  QProcess windowManager;
  const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
  if (!openbox.isEmpty()) {
    windowManager.start(openbox, {QStringLiteral("--sm-disable")});
    waitForWindowManager(keepAlive);
  }
  const int result = RUN_ALL_TESTS();
  windowManager.kill();
  windowManager.waitForFinished(2000);
  return result;
}
