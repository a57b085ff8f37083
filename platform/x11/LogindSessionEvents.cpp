#include "platform/x11/LogindSessionEvents.h"

#include <QDBusConnection>

namespace mirlet {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");

}  // namespace

LogindSessionEvents::LogindSessionEvents(QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  bus.connect(kService, QStringLiteral("/org/freedesktop/login1"),
              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
              this, SLOT(prepareForSleep(bool)));
  const QString session = QStringLiteral("/org/freedesktop/login1/session/auto");
  const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
  bus.connect(kService, session, sessionInterface, QStringLiteral("Lock"), this, SLOT(lock()));
  bus.connect(kService, session, sessionInterface, QStringLiteral("Unlock"), this, SLOT(unlock()));
}

Subscription LogindSessionEvents::observe(Observer observer) {
  return notifications_.connect(std::move(observer));
}

std::string LogindSessionEvents::notificationForSleep(bool goingToSleep) {
  return goingToSleep ? SessionNotification::willSleep : SessionNotification::didWake;
}

std::string LogindSessionEvents::notificationForLock(bool locked) {
  return locked ? SessionNotification::sessionDidResignActive
                : SessionNotification::sessionDidBecomeActive;
}

void LogindSessionEvents::prepareForSleep(bool goingToSleep) {
  notifications_.emit(notificationForSleep(goingToSleep));
}

void LogindSessionEvents::lock() { notifications_.emit(notificationForLock(true)); }

void LogindSessionEvents::unlock() { notifications_.emit(notificationForLock(false)); }

}  // namespace mirlet
