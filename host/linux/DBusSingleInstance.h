#pragma once

#include <QObject>
#include <functional>

#include "core/Signal.h"

namespace mirlet {

// Keeps one copy of the program per user session: the first copy owns the name
// "app.mirlet" on the session bus; a later copy asks it to reopen its window and
// then leaves. Without a session bus every copy runs.
class DBusSingleInstance : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "app.mirlet.Application")

 public:
  explicit DBusSingleInstance(QObject* parent = nullptr);

  // True when this copy should run; false after handing over to the running copy.
  bool claim();
  // Told when another copy asks this one to reopen.
  [[nodiscard]] Subscription observeReopen(std::function<void()> observer) {
    return reopen_.connect([observer = std::move(observer)] { observer(); });
  }

 public Q_SLOTS:
  Q_SCRIPTABLE void Reopen();

 private:
  Signal<> reopen_;
};

}  // namespace mirlet
