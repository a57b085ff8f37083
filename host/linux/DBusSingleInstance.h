#pragma once

#include <QDBusContext>
#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "core/Signal.h"
#include "host/linux/InstanceCommands.h"

namespace mirlet {

// Keeps one copy of the program per user session: the first copy owns the name
// "app.mirlet" on the session bus; a later copy asks it to reopen its window and
// then leaves. Without a session bus every copy runs. The running copy also
// answers the command line's requests (`InstanceCommands`) on the same object.
class DBusSingleInstance : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "app.mirlet.Application")

 public:
  static constexpr const char* kService = "app.mirlet";
  static constexpr const char* kPath = "/app/mirlet";
  static constexpr const char* kInterface = "app.mirlet.Application";

  explicit DBusSingleInstance(QObject* parent = nullptr);

  // True when this copy should run; false after handing over to the running copy.
  bool claim();
  // Told when another copy asks this one to reopen.
  [[nodiscard]] Subscription observeReopen(std::function<void()> observer) {
    return reopen_.connect([observer = std::move(observer)] { observer(); });
  }
  // Who answers the command line from now on, borrowed until `serve(nullptr)`;
  // until then every request fails.
  void serve(InstanceCommands* commands) { commands_ = commands; }

 public Q_SLOTS:
  Q_SCRIPTABLE void Reopen();
  Q_SCRIPTABLE int TogglePanel();
  Q_SCRIPTABLE int ShowSettings();
  Q_SCRIPTABLE QString FindHistory(const QString& query, qulonglong limit, bool json, int& status);
  Q_SCRIPTABLE int Choose(const QString& id, bool paste);
  Q_SCRIPTABLE int ClearHistory();

 private:
  Signal<> reopen_;
  InstanceCommands* commands_ = nullptr;
};

// The command line's side: asks the running copy, and starts nothing.
class DBusInstanceClient {
 public:
  // Whether a copy of Mirlet runs in this session.
  bool isRunning() const;
  // The statuses of `InstanceCommands`; 1 when the running copy did not answer.
  int togglePanel() const;
  int showSettings() const;
  std::pair<int, std::string> findHistory(const std::string& query, std::uint64_t limit,
                                          bool json) const;
  int choose(const std::string& id, bool paste) const;
  int clearHistory() const;
};

}  // namespace mirlet
