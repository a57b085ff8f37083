#pragma once

#include <QObject>
#include <optional>
#include <string>

#include "platform/host/SessionEvents.h"

namespace mirlet {

// Session notifications from systemd-logind on the system bus: the machine going
// to sleep and waking, and the session being locked and unlocked. Without a system
// bus (a container, a headless machine) no notification ever arrives.
class LogindSessionEvents : public QObject, public SessionEvents {
  Q_OBJECT

 public:
  explicit LogindSessionEvents(QObject* parent = nullptr);

  Subscription observe(Observer observer) override;

  // The notification a logind signal stands for.
  static std::string notificationForSleep(bool goingToSleep);
  static std::string notificationForLock(bool locked);

 private Q_SLOTS:
  void prepareForSleep(bool goingToSleep);
  void lock();
  void unlock();

 private:
  Signal<std::string> notifications_;
};

}  // namespace mirlet
