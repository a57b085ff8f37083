#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "ClipboardHistory/service/KeyProvider.h"
#include "host/Keychain.h"

namespace mirlet {

// The history's key as a generic password in the keychain (service: the bundle
// identifier + ".clipboard-history", account "history-key"), made on first need
// and kept for the life of the provider. A key is only ever added when the
// keychain says there is none; another process adding one first wins, and an
// item that cannot be read as a key is never replaced.
class KeychainKeyProvider : public KeyProvider {
 public:
  static constexpr const char* kAccount = "history-key";

  KeychainKeyProvider(Keychain& keychain, const std::string& bundleIdentifier);

  std::optional<SymmetricKey> key(bool creatingIfMissing) override;

  const std::string& service() const { return service_; }

 private:
  enum class Read { found, missing, failed };
  Read read();

  Keychain& keychain_;
  const std::string service_;
  std::mutex mutex_;
  std::optional<SymmetricKey> cached_;
};

}  // namespace mirlet
