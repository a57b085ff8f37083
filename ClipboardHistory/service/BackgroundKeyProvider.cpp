#include "ClipboardHistory/service/BackgroundKeyProvider.h"

namespace mirlet {

BackgroundKeyProvider::BackgroundKeyProvider(KeyProvider& keychain, SerialQueueFactory& queues,
                                             MainLoop& mainLoop, Clock& clock)
    : keychain_(keychain), mainLoop_(mainLoop), clock_(clock), queue_(queues.makeQueue(kQueue)) {}

std::optional<SymmetricKey> BackgroundKeyProvider::key(bool creatingIfMissing) {
  std::lock_guard lock(mutex_);
  if (key_ || fetching_) return key_;
  const bool remembered = failedAt_ && clock_.uptime() - *failedAt_ < kFailureMemory &&
                          (failedCreating_ || !creatingIfMissing);
  if (remembered) return std::nullopt;
  fetching_ = true;
  handoff_.async(*queue_, [this, creatingIfMissing] {
    std::optional<SymmetricKey> key = keychain_.key(creatingIfMissing);
    handoff_.post(mainLoop_, [this, key, creatingIfMissing] { finish(key, creatingIfMissing); });
  });
  return std::nullopt;
}

void BackgroundKeyProvider::finish(std::optional<SymmetricKey> key, bool creating) {
  const bool found = key.has_value();
  {
    std::lock_guard lock(mutex_);
    fetching_ = false;
    if (found) {
      key_ = std::move(key);
      failedAt_.reset();
    } else {
      failedAt_ = clock_.uptime();
      failedCreating_ = creating;
    }
  }
  fetched_.emit(found);
}

}  // namespace mirlet
