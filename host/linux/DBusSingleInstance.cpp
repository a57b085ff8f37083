#include "host/linux/DBusSingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace mirlet {
namespace {

constexpr int kFailed = 1;
// Choosing waits for the paste; a running copy that says nothing for this long
// is taken to have failed.
constexpr int kTimeoutMilliseconds = 10000;

// A call to the running copy, waited for.
QDBusMessage callRunning(const char* method, const QVariantList& arguments = {},
                         int timeoutMilliseconds = -1) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(DBusSingleInstance::kService),
      QString::fromLatin1(DBusSingleInstance::kPath),
      QString::fromLatin1(DBusSingleInstance::kInterface), QString::fromLatin1(method));
  call.setArguments(arguments);
  return QDBusConnection::sessionBus().call(call, QDBus::Block, timeoutMilliseconds);
}

int status(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return kFailed;
  bool ok = false;
  const int value = reply.arguments().constFirst().toInt(&ok);
  return ok ? value : kFailed;
}

}  // namespace

DBusSingleInstance::DBusSingleInstance(QObject* parent) : QObject(parent) {}

bool DBusSingleInstance::claim() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return true;
  if (bus.registerService(QString::fromLatin1(kService))) {
    bus.registerObject(QString::fromLatin1(kPath), this, QDBusConnection::ExportScriptableSlots);
    return true;
  }
  callRunning("Reopen");
  return false;
}

void DBusSingleInstance::Reopen() { reopen_.emit(); }

int DBusSingleInstance::TogglePanel() { return commands_ ? commands_->togglePanel() : kFailed; }

int DBusSingleInstance::ShowSettings() { return commands_ ? commands_->showSettings() : kFailed; }

QString DBusSingleInstance::FindHistory(const QString& query, qulonglong limit, bool json,
                                        int& status) {
  if (!commands_) {
    status = kFailed;
    return {};
  }
  auto [found, text] = commands_->findHistory(query.toStdString(), limit, json);
  status = found;
  return QString::fromStdString(text);
}

int DBusSingleInstance::Choose(const QString& id, bool paste) {
  if (!commands_) return kFailed;
  // The answer waits for the paste, without holding up the loop meanwhile.
  setDelayedReply(true);
  commands_->choose(id.toStdString(), paste,
                    [connection = connection(), request = message()](int outcome) {
                      connection.send(request.createReply(outcome));
                    });
  return 0;
}

int DBusSingleInstance::ClearHistory() { return commands_ ? commands_->clearHistory() : kFailed; }

bool DBusInstanceClient::isRunning() const {
  const QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() &&
         bus.interface()->isServiceRegistered(QString::fromLatin1(DBusSingleInstance::kService));
}

int DBusInstanceClient::togglePanel() const { return status(callRunning("TogglePanel")); }

int DBusInstanceClient::showSettings() const { return status(callRunning("ShowSettings")); }

std::pair<int, std::string> DBusInstanceClient::findHistory(const std::string& query,
                                                            std::uint64_t limit, bool json) const {
  const QDBusMessage reply = callRunning(
      "FindHistory", {QString::fromStdString(query), static_cast<qulonglong>(limit), json});
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
    return {kFailed, {}};
  }
  bool ok = false;
  const int found = reply.arguments().at(1).toInt(&ok);
  return {ok ? found : kFailed, reply.arguments().at(0).toString().toStdString()};
}

int DBusInstanceClient::choose(const std::string& id, bool paste) const {
  return status(callRunning("Choose", {QString::fromStdString(id), paste}, kTimeoutMilliseconds));
}

int DBusInstanceClient::clearHistory() const { return status(callRunning("ClearHistory")); }

}  // namespace mirlet
