#include "host/linux/LogindSessionEvents.h"

#include <unistd.h>

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace mirlet {
namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

}  // namespace

LogindSessionEvents::LogindSessionEvents(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
  if (!bus_.isConnected()) return;
  bus_.connect(kService, kManagerPath, kManagerInterface, QStringLiteral("PrepareForSleep"), this,
               SLOT(prepareForSleep(bool)));
  QDBusMessage lookup = QDBusMessage::createMethodCall(kService, kManagerPath, kManagerInterface,
                                                       QStringLiteral("GetSessionByPID"));
  lookup << static_cast<quint32>(::getpid());
  // Asked without blocking: the answer arrives on the event loop.
  auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(lookup), this);
  connect(call, &QDBusPendingCallWatcher::finished, this,
          [this](QDBusPendingCallWatcher* finished) { sessionFound(finished); });
}

void LogindSessionEvents::sessionFound(QDBusPendingCallWatcher* call) {
  call->deleteLater();
  QDBusPendingReply<QDBusObjectPath> reply = *call;
  if (reply.isError()) return;
  const QString session = reply.value().path();
  bus_.connect(kService, session, kSessionInterface, QStringLiteral("Lock"), this, SLOT(lock()));
  bus_.connect(kService, session, kSessionInterface, QStringLiteral("Unlock"), this,
               SLOT(unlock()));
}

Subscription LogindSessionEvents::observe(Observer observer) {
  return events_.connect(std::move(observer));
}

void LogindSessionEvents::prepareForSleep(bool goingToSleep) {
  events_.emit(goingToSleep ? SessionEvent::willSleep : SessionEvent::didWake);
}

void LogindSessionEvents::lock() { events_.emit(SessionEvent::sessionDidResignActive); }

void LogindSessionEvents::unlock() { events_.emit(SessionEvent::sessionDidBecomeActive); }

}  // namespace mirlet
