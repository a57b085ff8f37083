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
// a keyring that hangs never holds up the program. A keyring that is not there
// reads as `kUnavailable`; a locked one, which would need the user to unlock it,
// as `kLocked`.
class SecretServiceKeychain : public Keychain {
 public:
  static constexpr int kUnavailable = -25291;
  static constexpr int kLocked = -25308;

  explicit SecretServiceKeychain(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 int timeoutMilliseconds = 2000);

  ReadResult read(const std::string& service, const std::string& account) const override;
  int add(const std::string& service, const std::string& account, const Bytes& data) override;

 private:
  struct Found {
    QList<QDBusObjectPath> unlocked;
    QList<QDBusObjectPath> locked;
  };
  std::optional<Found> search(const std::string& service, const std::string& account) const;
  std::optional<QDBusObjectPath> openSession() const;
  std::optional<QList<QVariant>> call(const QString& path, const QString& interface,
                                      const QString& method,
                                      const QList<QVariant>& arguments) const;

  QDBusConnection bus_;
  int timeout_;
};

// The keyring where one answers, else the key files: what was kept in either is
// found, and new secrets go to the keyring when it can take them.
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
