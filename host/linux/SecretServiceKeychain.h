#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QMap>
#include <QString>
#include <optional>

#include "host/Keychain.h"

namespace mirlet {

// Secrets in the desktop's keyring through the Secret Service (the
// "org.freedesktop.secrets" D-Bus API), found by their service and account
// attributes in the default collection. Every call gives up after the time-out, so
// a keyring that hangs never holds up the program for longer. Only a bus on which
// no keyring can be had reads as `kUnavailable`; a keyring that did not answer in
// time, answered with an error or answered oddly is `kFailed`, which says nothing
// of whether a secret is there; a locked one, which would need the user to unlock
// it, is `kLocked`.
class SecretServiceKeychain : public Keychain {
 public:
  static constexpr int kUnavailable = -25291;
  static constexpr int kLocked = -25308;
  static constexpr int kFailed = -26276;

  explicit SecretServiceKeychain(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 int timeoutMilliseconds = 2000);

  ReadResult read(const std::string& service, const std::string& account) const override;
  int add(const std::string& service, const std::string& account, const Bytes& data) override;

 private:
  // A call's status and, on success, its reply.
  struct Answer {
    int status = kFailed;
    QList<QVariant> arguments;
  };
  struct Found {
    int status = kFailed;
    QList<QDBusObjectPath> unlocked;
    QList<QDBusObjectPath> locked;
  };
  Found search(const std::string& service, const std::string& account) const;
  Answer openSession() const;
  Answer call(const QString& path, const QString& interface, const QString& method,
              const QList<QVariant>& arguments, int replySize) const;

  QDBusConnection bus_;
  int timeout_;
};

// The keyring where there is one, else the key files: what was kept in either is
// found, and new secrets go to the keyring when it can take them. A keyring that
// failed (rather than is missing) fails the read and the write: a key is never
// made, nor written to a file, because a keyring was slow.
class FallbackKeychain : public Keychain {
 public:
  FallbackKeychain(Keychain& preferred, Keychain& fallback)
      : preferred_(preferred), fallback_(fallback) {}

  ReadResult read(const std::string& service, const std::string& account) const override;
  int add(const std::string& service, const std::string& account, const Bytes& data) override;

 private:
  Keychain& preferred_;
  Keychain& fallback_;
};

}  // namespace mirlet
