#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "ClipboardHistory/service/KeyProvider.h"
#include "core/Clock.h"
#include "core/Handoff.h"
#include "core/MainLoop.h"
#include "core/SerialQueue.h"
#include "core/Signal.h"

namespace mirlet {

// A key provider whose keychain answers slowly or not at all (a keyring started on
// demand, a bus that times out): it is asked on a queue of its own, so `key` never
// waits. Until the key has come, `key` gives nothing and starts a fetch if none is
// under way; a fetch that failed is not tried again for `kFailureMemory` seconds,
// unless a key is now to be created where the failed fetch only read. Once found,
// the key is kept.
class BackgroundKeyProvider : public KeyProvider {
 public:
  static constexpr const char* kQueue = "app.mirlet.clipboard-history.key";
  static constexpr double kFailureMemory = 30;

  BackgroundKeyProvider(KeyProvider& keychain, SerialQueueFactory& queues, MainLoop& mainLoop,
                        Clock& clock);

  std::optional<SymmetricKey> key(bool creatingIfMissing) override;
  Subscription observeFetches(std::function<void(bool found)> observer) override {
    return fetched_.connect(std::move(observer));
  }

 private:
  void finish(std::optional<SymmetricKey> key, bool creating);

  KeyProvider& keychain_;
  MainLoop& mainLoop_;
  Clock& clock_;
  std::unique_ptr<SerialQueue> queue_;
  std::mutex mutex_;  // the key is read from any thread
  std::optional<SymmetricKey> key_;
  bool fetching_ = false;
  std::optional<double> failedAt_;  // uptime of the last failure
  bool failedCreating_ = false;
  Signal<bool> fetched_;
  Handoff handoff_;  // last: revoked first
};

}  // namespace mirlet
