#pragma once

#include <functional>

#include "core/Signal.h"

namespace mirlet {

// The application's self-updater, where the platform has one.
class Updater {
 public:
  virtual ~Updater() = default;
  virtual bool automaticallyChecksForUpdates() const = 0;
  virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
  // Notified on the main thread after the flag changed, by whomever.
  [[nodiscard]] virtual Subscription observeAutomaticChecks(std::function<void()> changed) = 0;
  // A check started by the user, with the updater's own windows.
  virtual void checkForUpdates() = 0;
};

}  // namespace mirlet
