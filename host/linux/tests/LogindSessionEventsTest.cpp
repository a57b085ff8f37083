#include "host/linux/LogindSessionEvents.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QProcess>
#include <vector>

namespace mirlet {
namespace {

const QString kSession = QStringLiteral("/org/freedesktop/login1/session/_31");

// Stands in for logind on a private bus: answers the session lookup and sends the
// signals a test asks for.
class FakeLogind : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  std::vector<quint32> askedPids;

 public Q_SLOTS:
  QDBusObjectPath GetSessionByPID(quint32 pid) {
    askedPids.push_back(pid);
    return QDBusObjectPath(kSession);
  }
};

// A private D-Bus daemon for the test, with logind's name taken by the fake.
class LogindSessionEventsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "x11_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }

  void SetUp() override {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000)) {
      GTEST_SKIP() << "no dbus-daemon";
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    service_ = QDBusConnection::connectToBus(address_, QStringLiteral("logind"));
    ASSERT_TRUE(service_.isConnected());
    ASSERT_TRUE(service_.registerService(QStringLiteral("org.freedesktop.login1")));
    ASSERT_TRUE(service_.registerObject(QStringLiteral("/org/freedesktop/login1"), &logind_,
                                        QDBusConnection::ExportAllSlots));
  }

  void TearDown() override {
    QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
    QDBusConnection::disconnectFromBus(QStringLiteral("mirlet"));
    daemon_.kill();
    daemon_.waitForFinished(5000);
  }

  QDBusConnection client() {
    return QDBusConnection::connectToBus(address_, QStringLiteral("mirlet"));
  }

  void emitSignal(const QString& path, const QString& interface, const QString& name,
                  const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createSignal(path, interface, name);
    message.setArguments(arguments);
    service_.send(message);
  }

  template <class Predicate>
  static void spinUntil(Predicate done) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  }
  static void spinFor(int milliseconds) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < milliseconds) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  }

  QProcess daemon_;
  QString address_;
  QDBusConnection service_{QStringLiteral("unset")};
  FakeLogind logind_;
};

TEST_F(LogindSessionEventsTest, LockSignalsComeFromTheSessionsOwnObject) {
  LogindSessionEvents events(client());
  std::vector<SessionEvent> seen;
  const Subscription watching = events.observe([&](SessionEvent event) { seen.push_back(event); });
  spinUntil([&] { return !logind_.askedPids.empty(); });
  ASSERT_EQ(logind_.askedPids,
            std::vector<quint32>{static_cast<quint32>(QCoreApplication::applicationPid())});
  // The session's signals are listened for once the lookup's answer arrived.
  const QString session = QStringLiteral("org.freedesktop.login1.Session");
  spinUntil([&] {
    emitSignal(kSession, session, "Lock");
    spinFor(20);
    return !seen.empty();
  });
  spinFor(100);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), SessionEvent::sessionDidResignActive);
  seen.clear();

  emitSignal(QStringLiteral("/org/freedesktop/login1/session/auto"), session, "Lock");
  emitSignal(QStringLiteral("/org/freedesktop/login1/session/_99"), session, "Lock");
  emitSignal(kSession, session, "Unlock");
  emitSignal(QStringLiteral("/org/freedesktop/login1"),
             QStringLiteral("org.freedesktop.login1.Manager"), "PrepareForSleep", {true});
  spinUntil([&] { return seen.size() >= 2; });
  spinFor(50);
  EXPECT_EQ(seen, (std::vector<SessionEvent>{SessionEvent::sessionDidBecomeActive,
                                             SessionEvent::willSleep}));
}

}  // namespace
}  // namespace mirlet

#include "LogindSessionEventsTest.moc"
