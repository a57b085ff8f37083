#include "app/UpdateSettings.h"

namespace mirlet {

UpdateSettings::UpdateSettings(std::shared_ptr<Updater> updater) : updater_(std::move(updater)) {
  if (updater_) {
    // The subscription is a member, so it ends with this object.
    observation_ = updater_->observeAutomaticChecks([this] { changed.emit(); });
  }
}

bool UpdateSettings::automaticallyChecksForUpdates() const {
  return updater_ && updater_->automaticallyChecksForUpdates();
}

void UpdateSettings::setAutomaticallyChecksForUpdates(bool enabled) {
  if (updater_) updater_->setAutomaticallyChecksForUpdates(enabled);
}

}  // namespace mirlet
