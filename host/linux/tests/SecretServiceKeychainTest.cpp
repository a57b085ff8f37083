#include "host/linux/SecretServiceKeychain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <mutex>
#include <thread>

#include "host/linux/FileKeychain.h"
#include "host/linux/SecretServiceTypes.h"
#include "host/testing/FaultyFileSystem.h"
#include "host/testing/KeychainContract.h"
#include "host/testing/TemporaryFolder.h"

namespace mirlet {
namespace {

// What the fake keyring holds, shared by its two objects.
struct FakeKeyring {
  struct Item {
    SecretServiceAttributes attributes;
    QByteArray value;
    QDBusObjectPath path;
  };
  std::mutex mutex;
  std::vector<Item> items;
  bool locked = false;
  // How long the keyring takes to answer a search, as one started on demand does,
  // and how many searches it answered (late ones too).
  std::atomic<int> searchDelayMilliseconds = 0;
  std::atomic<int> searchesAnswered = 0;
};

// Stands in for the keyring's service object on a private bus.
class FakeSecretService : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Secret.Service")

 public:
  explicit FakeSecretService(FakeKeyring& keyring) : keyring_(keyring) {}

 public Q_SLOTS:
  QList<QDBusObjectPath> SearchItems(const QMap<QString, QString>& attributes,
                                     QList<QDBusObjectPath>& locked) {
    QThread::msleep(static_cast<unsigned long>(keyring_.searchDelayMilliseconds.load()));
    std::lock_guard lock(keyring_.mutex);
    QList<QDBusObjectPath> unlocked;
    for (const auto& item : keyring_.items) {
      if (item.attributes != attributes) continue;
      (keyring_.locked ? locked : unlocked).append(item.path);
    }
    ++keyring_.searchesAnswered;
    return unlocked;
  }
  QDBusVariant OpenSession(const QString&, const QDBusVariant&, QDBusObjectPath& result) {
    result = QDBusObjectPath(QStringLiteral("/org/freedesktop/secrets/session/1"));
    return QDBusVariant(QString());
  }
  SecretServiceSecrets GetSecrets(const QList<QDBusObjectPath>& paths,
                                  const QDBusObjectPath& session) {
    std::lock_guard lock(keyring_.mutex);
    SecretServiceSecrets secrets;
    for (const auto& item : keyring_.items) {
      if (paths.contains(item.path)) {
        secrets.insert(item.path, {session, {}, item.value, QStringLiteral("text/plain")});
      }
    }
    return secrets;
  }

 private:
  FakeKeyring& keyring_;
};

class FakeCollection : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Secret.Collection")

 public:
  explicit FakeCollection(FakeKeyring& keyring) : keyring_(keyring) {}

 public Q_SLOTS:
  QDBusObjectPath CreateItem(const QVariantMap& properties, const SecretServiceSecret& secret, bool,
                             QDBusObjectPath& prompt) {
    std::lock_guard lock(keyring_.mutex);
    if (keyring_.locked) {
      prompt = QDBusObjectPath(QStringLiteral("/org/freedesktop/secrets/prompt/1"));
      return QDBusObjectPath(QStringLiteral("/"));
    }
    prompt = QDBusObjectPath(QStringLiteral("/"));
    const QDBusObjectPath path(QStringLiteral("/org/freedesktop/secrets/collection/login/%1")
                                   .arg(keyring_.items.size() + 1));
    keyring_.items.push_back({qdbus_cast<SecretServiceAttributes>(properties.value(
                                  QStringLiteral("org.freedesktop.Secret.Item.Attributes"))),
                              secret.value, path});
    return path;
  }

 private:
  FakeKeyring& keyring_;
};

// A private bus with, when asked, the fake keyring on its own thread (calls to the
// keyring block until it answers).
class PrivateBus {
 public:
  explicit PrivateBus(bool withKeyring) {
    static int argc = 1;
    static char name[] = "x11_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    registerSecretServiceTypes();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted(5000) || !daemon_.waitForReadyRead(5000)) return;
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (!withKeyring) return;
    thread_.start();
    service_.moveToThread(&thread_);
    collection_.moveToThread(&thread_);
    QDBusConnection bus = QDBusConnection::connectToBus(address_, QStringLiteral("keyring"));
    bus.registerService(QStringLiteral("org.freedesktop.secrets"));
    bus.registerObject(QStringLiteral("/org/freedesktop/secrets"), &service_,
                       QDBusConnection::ExportAllSlots);
    bus.registerObject(QStringLiteral("/org/freedesktop/secrets/aliases/default"), &collection_,
                       QDBusConnection::ExportAllSlots);
  }
  ~PrivateBus() {
    QDBusConnection::disconnectFromBus(QStringLiteral("keyring"));
    QDBusConnection::disconnectFromBus(QStringLiteral("mirlet"));
    thread_.quit();
    thread_.wait();
    daemon_.kill();
    daemon_.waitForFinished(5000);
  }
  bool isRunning() const { return !address_.isEmpty(); }
  QDBusConnection client() const {
    return QDBusConnection::connectToBus(address_, QStringLiteral("mirlet"));
  }

  FakeKeyring keyring;

 private:
  QProcess daemon_;
  QString address_;
  QThread thread_;
  FakeSecretService service_{keyring};
  FakeCollection collection_{keyring};
};

// The keychain over a private bus with the fake keyring.
class FakeKeyringKeychain : public Keychain {
 public:
  ReadResult read(const std::string& service, const std::string& account) const override {
    return keychain_.read(service, account);
  }
  int add(const std::string& service, const std::string& account, const Bytes& data) override {
    return keychain_.add(service, account, data);
  }

 private:
  PrivateBus bus_{true};
  SecretServiceKeychain keychain_{bus_.client(), 2000};
};

// What the keychain below is built over, made before it.
struct KeychainFolder {
  testing::TemporaryFolder folder;
  PosixFileSystem files;
};

// A key file keychain in a folder of its own, gone with it.
class TemporaryFileKeychain : private KeychainFolder, public FileKeychain {
 public:
  TemporaryFileKeychain() : FileKeychain(files, folder / "keys") {}
};

// Both keychains of this host against the contract (one file may instantiate it).
using contract::KeychainContract;
INSTANTIATE_TEST_SUITE_P(File, KeychainContract, ::testing::Values([] {
                           return std::unique_ptr<Keychain>(
                               std::make_unique<TemporaryFileKeychain>());
                         }));
INSTANTIATE_TEST_SUITE_P(SecretService, KeychainContract, ::testing::Values([] {
                           return std::unique_ptr<Keychain>(
                               std::make_unique<FakeKeyringKeychain>());
                         }));

TEST(SecretServiceKeychainTest, ALockedKeyringNeedsTheUser) {
  PrivateBus bus(true);
  ASSERT_TRUE(bus.isRunning());
  SecretServiceKeychain keychain(bus.client());
  ASSERT_EQ(keychain.add("app.mirlet", "clave", Bytes{1, 2}), Keychain::success);
  bus.keyring.locked = true;
  EXPECT_EQ(keychain.read("app.mirlet", "clave").status, SecretServiceKeychain::kLocked);
  EXPECT_EQ(keychain.add("app.mirlet", "otra", Bytes{3}), SecretServiceKeychain::kLocked);
}

TEST(SecretServiceKeychainTest, WithoutAKeyringTheKeyFilesServe) {
  PrivateBus bus(false);
  ASSERT_TRUE(bus.isRunning());
  SecretServiceKeychain keyring(bus.client(), 500);
  testing::TemporaryFolder folder;
  PosixFileSystem files;
  FileKeychain keyFiles(files, folder / "keys");
  FallbackKeychain keychain(keyring, keyFiles);

  EXPECT_EQ(keyring.read("app.mirlet", "clave").status, SecretServiceKeychain::kUnavailable);
  EXPECT_EQ(keychain.read("app.mirlet", "clave").status, Keychain::itemNotFound);
  ASSERT_EQ(keychain.add("app.mirlet", "clave", Bytes{7}), Keychain::success);
  EXPECT_EQ(keyFiles.read("app.mirlet", "clave").data, Bytes{7});
  EXPECT_EQ(keychain.read("app.mirlet", "clave").data, Bytes{7});
}

TEST(SecretServiceKeychainTest, AKeyKeptInAFileBeforeTheKeyringCameIsStillFound) {
  PrivateBus bus(true);
  ASSERT_TRUE(bus.isRunning());
  SecretServiceKeychain keyring(bus.client());
  testing::TemporaryFolder folder;
  PosixFileSystem files;
  FileKeychain keyFiles(files, folder / "keys");
  ASSERT_EQ(keyFiles.add("app.mirlet", "clave", Bytes{9}), Keychain::success);
  FallbackKeychain keychain(keyring, keyFiles);
  EXPECT_EQ(keychain.read("app.mirlet", "clave").data, Bytes{9});
  // New secrets go to the keyring.
  ASSERT_EQ(keychain.add("app.mirlet", "nueva", Bytes{5}), Keychain::success);
  EXPECT_EQ(keyring.read("app.mirlet", "nueva").data, Bytes{5});
  EXPECT_EQ(keyFiles.read("app.mirlet", "nueva").status, Keychain::itemNotFound);
}

// A keyring started on demand may miss the first time-out: that is no absence of
// the keyring, so neither the read nor the write falls to the key files.
TEST(SecretServiceKeychainTest, AKeyringThatAnswersLateIsAFailureNotAnAbsence) {
  PrivateBus bus(true);
  ASSERT_TRUE(bus.isRunning());
  SecretServiceKeychain keyring(bus.client(), 300);
  ASSERT_EQ(keyring.add("app.mirlet", "clave", Bytes{4}), Keychain::success);
  testing::TemporaryFolder folder;
  PosixFileSystem files;
  FileKeychain keyFiles(files, folder / "keys");
  FallbackKeychain keychain(keyring, keyFiles);

  bus.keyring.searchDelayMilliseconds = 1000;
  EXPECT_EQ(keyring.read("app.mirlet", "clave").status, SecretServiceKeychain::kFailed);
  EXPECT_EQ(keychain.read("app.mirlet", "clave").status, SecretServiceKeychain::kFailed);
  EXPECT_EQ(keychain.add("app.mirlet", "nueva", Bytes{5}), SecretServiceKeychain::kFailed);
  EXPECT_EQ(keyFiles.read("app.mirlet", "nueva").status, Keychain::itemNotFound);

  // Once the keyring has caught up with the searches it was late for (the add's
  // and the three that timed out), it answers again and the key is there.
  bus.keyring.searchDelayMilliseconds = 0;
  for (int waited = 0; bus.keyring.searchesAnswered < 4 && waited < 1500; ++waited) {
    QThread::msleep(10);
  }
  EXPECT_EQ(keychain.read("app.mirlet", "clave").data, Bytes{4});
}

// The history asks its keyring from a queue of its own, never from the main thread.
TEST(SecretServiceKeychainTest, TheKeyringIsAskedFromAnotherThreadWhileTheMainOneRuns) {
  PrivateBus bus(true);
  ASSERT_TRUE(bus.isRunning());
  SecretServiceKeychain keyring(bus.client(), 2000);
  bus.keyring.searchDelayMilliseconds = 200;
  std::atomic<bool> done = false;
  int added = 0;
  Keychain::ReadResult read;
  std::thread asker([&] {
    added = keyring.add("app.mirlet", "clave", Bytes{7});
    read = keyring.read("app.mirlet", "clave");
    done = true;
  });
  int turns = 0;
  while (!done) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ++turns;
  }
  asker.join();
  EXPECT_EQ(added, Keychain::success);
  EXPECT_EQ(read.data, Bytes{7});
  EXPECT_GT(turns, 1);
}

// With the keyring and the key files both in doubt, the key is in doubt: a read
// that cannot tell never reads as "no key".
TEST(SecretServiceKeychainTest, AnUnreadableKeyFileIsNeverTakenForNoKey) {
  PrivateBus bus(true);
  ASSERT_TRUE(bus.isRunning());
  SecretServiceKeychain keyring(bus.client());
  testing::TemporaryFolder folder;
  testing::FaultyFileSystem files;
  FileKeychain keyFiles(files, folder / "keys");
  ASSERT_EQ(keyFiles.add("app.mirlet", "clave", Bytes{9}), Keychain::success);
  FallbackKeychain keychain(keyring, keyFiles);
  files.fail(testing::FaultyFileSystem::Fault::read);
  EXPECT_EQ(keychain.read("app.mirlet", "clave").status, FileKeychain::kCannotRead);
}

}  // namespace
}  // namespace mirlet

#include "SecretServiceKeychainTest.moc"
