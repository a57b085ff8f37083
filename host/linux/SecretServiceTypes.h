#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QMap>
#include <QMetaType>
#include <QString>

// The Secret Service's secret: the session it is encoded for, the algorithm's
// parameters, the value and its content type ("(oayays)" on the bus).
struct SecretServiceSecret {
  QDBusObjectPath session;
  QByteArray parameters;
  QByteArray value;
  QString contentType;
};

using SecretServiceAttributes = QMap<QString, QString>;
using SecretServiceSecrets = QMap<QDBusObjectPath, SecretServiceSecret>;

Q_DECLARE_METATYPE(SecretServiceSecret)
Q_DECLARE_METATYPE(SecretServiceSecrets)

QDBusArgument& operator<<(QDBusArgument& argument, const SecretServiceSecret& secret);
const QDBusArgument& operator>>(const QDBusArgument& argument, SecretServiceSecret& secret);

namespace mirlet {
// Tells Qt's D-Bus how to carry these types; safe to call more than once.
void registerSecretServiceTypes();
}  // namespace mirlet
