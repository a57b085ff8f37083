#pragma once

#include <QDBusConnection>
#include <QObject>

#include "host/SessionEvents.h"

class QDBusPendingCallWatcher;

namespace mirlet {

// Session events from systemd-logind on the system bus: the machine going to sleep
// and waking, and this process's session being locked and unlocked. logind sends
// the lock signals from the session's own object, so the session is looked up
// first (by this process's pid). Without a bus or a session (a container, a
// headless machine) those events never arrive.
class LogindSessionEvents : public QObject, public SessionEvents {
  Q_OBJECT

 public:
  explicit LogindSessionEvents(QDBusConnection bus = QDBusConnection::systemBus(),
                               QObject* parent = nullptr);

  Subscription observe(Observer observer) override;

 private Q_SLOTS:
  void prepareForSleep(bool goingToSleep);
  void lock();
  void unlock();

 private:
  void sessionFound(QDBusPendingCallWatcher* call);

  QDBusConnection bus_;
  Signal<SessionEvent> events_;
};

}  // namespace mirlet
