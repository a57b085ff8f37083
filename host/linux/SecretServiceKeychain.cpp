#include "host/linux/SecretServiceKeychain.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

#include "host/linux/SecretServiceTypes.h"

QDBusArgument& operator<<(QDBusArgument& argument, const SecretServiceSecret& secret) {
  argument.beginStructure();
  argument << secret.session << secret.parameters << secret.value << secret.contentType;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SecretServiceSecret& secret) {
  argument.beginStructure();
  argument >> secret.session >> secret.parameters >> secret.value >> secret.contentType;
  argument.endStructure();
  return argument;
}

namespace mirlet {
namespace {

const QString kService = QStringLiteral("org.freedesktop.secrets");
const QString kServicePath = QStringLiteral("/org/freedesktop/secrets");
const QString kServiceInterface = QStringLiteral("org.freedesktop.Secret.Service");
const QString kDefaultCollection = QStringLiteral("/org/freedesktop/secrets/aliases/default");
const QString kCollectionInterface = QStringLiteral("org.freedesktop.Secret.Collection");
const QString kNoPrompt = QStringLiteral("/");

SecretServiceAttributes attributes(const std::string& service, const std::string& account) {
  return {{QStringLiteral("service"), QString::fromStdString(service)},
          {QStringLiteral("account"), QString::fromStdString(account)}};
}

}  // namespace

void registerSecretServiceTypes() {
  qDBusRegisterMetaType<SecretServiceSecret>();
  qDBusRegisterMetaType<SecretServiceSecrets>();
  qDBusRegisterMetaType<SecretServiceAttributes>();
}

SecretServiceKeychain::SecretServiceKeychain(QDBusConnection bus, int timeoutMilliseconds)
    : bus_(std::move(bus)), timeout_(timeoutMilliseconds) {
  registerSecretServiceTypes();
}

SecretServiceKeychain::Answer SecretServiceKeychain::call(const QString& path,
                                                          const QString& interface,
                                                          const QString& method,
                                                          const QList<QVariant>& arguments,
                                                          int replySize) const {
  if (!bus_.isConnected()) return {kUnavailable, {}};
  QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
  message.setArguments(arguments);
  const QDBusMessage reply = bus_.call(message, QDBus::Block, timeout_);
  if (reply.type() == QDBusMessage::ReplyMessage) {
    if (reply.arguments().size() != replySize) return {kFailed, {}};
    return {success, reply.arguments()};
  }
  // Only a bus where nobody owns the keyring's name, nor can start it, has none; a
  // time-out or another error says nothing of what the keyring holds.
  const QString error = reply.errorName();
  if (error == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown") ||
      error == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner")) {
    return {kUnavailable, {}};
  }
  return {kFailed, {}};
}

SecretServiceKeychain::Found SecretServiceKeychain::search(const std::string& service,
                                                           const std::string& account) const {
  const Answer reply = call(kServicePath, kServiceInterface, QStringLiteral("SearchItems"),
                            {QVariant::fromValue(attributes(service, account))}, 2);
  if (reply.status != success) return {reply.status, {}, {}};
  return {success, qdbus_cast<QList<QDBusObjectPath>>(reply.arguments.at(0)),
          qdbus_cast<QList<QDBusObjectPath>>(reply.arguments.at(1))};
}

// A session that carries secrets as they are: the bus is this user's own. Its path
// is the reply's second argument.
SecretServiceKeychain::Answer SecretServiceKeychain::openSession() const {
  return call(kServicePath, kServiceInterface, QStringLiteral("OpenSession"),
              {QStringLiteral("plain"), QVariant::fromValue(QDBusVariant(QString()))}, 2);
}

Keychain::ReadResult SecretServiceKeychain::read(const std::string& service,
                                                 const std::string& account) const {
  const Found found = search(service, account);
  if (found.status != success) return {found.status, {}};
  if (found.unlocked.isEmpty()) return {found.locked.isEmpty() ? itemNotFound : kLocked, {}};
  const Answer session = openSession();
  if (session.status != success) return {session.status, {}};
  const Answer reply =
      call(kServicePath, kServiceInterface, QStringLiteral("GetSecrets"),
           {QVariant::fromValue(QList<QDBusObjectPath>{found.unlocked.front()}),
            QVariant::fromValue(qdbus_cast<QDBusObjectPath>(session.arguments.at(1)))},
           1);
  if (reply.status != success) return {reply.status, {}};
  const auto secrets = qdbus_cast<SecretServiceSecrets>(reply.arguments.at(0));
  const auto secret = secrets.find(found.unlocked.front());
  if (secret == secrets.end()) return {kLocked, {}};
  return {success, Bytes(secret->value.begin(), secret->value.end())};
}

int SecretServiceKeychain::add(const std::string& service, const std::string& account,
                               const Bytes& data) {
  const Found found = search(service, account);
  if (found.status != success) return found.status;
  if (!found.unlocked.isEmpty() || !found.locked.isEmpty()) return duplicateItem;
  const Answer session = openSession();
  if (session.status != success) return session.status;
  const QVariantMap properties{{QStringLiteral("org.freedesktop.Secret.Item.Label"),
                                QStringLiteral("Mirlet: ") + QString::fromStdString(service)},
                               {QStringLiteral("org.freedesktop.Secret.Item.Attributes"),
                                QVariant::fromValue(attributes(service, account))}};
  const SecretServiceSecret secret{
      qdbus_cast<QDBusObjectPath>(session.arguments.at(1)),
      {},
      QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size())),
      QStringLiteral("application/octet-stream")};
  const Answer reply = call(kDefaultCollection, kCollectionInterface, QStringLiteral("CreateItem"),
                            {properties, QVariant::fromValue(secret), false}, 2);
  if (reply.status != success) return reply.status;
  // A prompt means the collection is locked: the user would have to unlock it.
  if (qdbus_cast<QDBusObjectPath>(reply.arguments.at(1)).path() != kNoPrompt) return kLocked;
  return success;
}

Keychain::ReadResult FallbackKeychain::read(const std::string& service,
                                            const std::string& account) const {
  ReadResult preferred = preferred_.read(service, account);
  if (preferred.status == success) return preferred;
  ReadResult fallback = fallback_.read(service, account);
  if (fallback.status == success) return fallback;
  // A key file that could not be read may hold the only copy of the key.
  if (fallback.status != itemNotFound) return fallback;
  // Nothing in either: new secrets go where `add` puts them.
  return preferred.status == SecretServiceKeychain::kUnavailable ? fallback : preferred;
}

int FallbackKeychain::add(const std::string& service, const std::string& account,
                          const Bytes& data) {
  const int status = preferred_.add(service, account, data);
  if (status != SecretServiceKeychain::kUnavailable) return status;
  return fallback_.add(service, account, data);
}

}  // namespace mirlet
