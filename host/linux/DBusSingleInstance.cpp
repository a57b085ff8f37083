#include "host/linux/DBusSingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>

namespace mirlet {
namespace {

const QString kServiceName = QStringLiteral("app.mirlet");
const QString kObjectPath = QStringLiteral("/app/mirlet");

}  // namespace

DBusSingleInstance::DBusSingleInstance(QObject* parent) : QObject(parent) {}

bool DBusSingleInstance::claim() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return true;
  if (bus.registerService(kServiceName)) {
    bus.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots);
    return true;
  }
  QDBusInterface running(kServiceName, kObjectPath, QStringLiteral("app.mirlet.Application"), bus);
  running.call(QStringLiteral("Reopen"));
  return false;
}

void DBusSingleInstance::Reopen() { reopen_.emit(); }

}  // namespace mirlet
