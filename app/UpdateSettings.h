#pragma once

#include <memory>

#include "app/Updater.h"
#include "core/Signal.h"

namespace mirlet {

// The settings page's view of the updater's automatic-check flag. Without an
// updater the flag reads false and cannot be set. Main thread only.
class UpdateSettings {
 public:
  explicit UpdateSettings(std::shared_ptr<Updater> updater = nullptr);
  UpdateSettings(const UpdateSettings&) = delete;
  UpdateSettings& operator=(const UpdateSettings&) = delete;

  bool hasUpdater() const { return updater_ != nullptr; }
  Updater* updater() const { return updater_.get(); }
  bool automaticallyChecksForUpdates() const;
  void setAutomaticallyChecksForUpdates(bool enabled);

  // Emitted when the flag changes, through this object or the updater's windows.
  Signal<> changed;

 private:
  std::shared_ptr<Updater> updater_;
  Subscription observation_;
};

}  // namespace mirlet
