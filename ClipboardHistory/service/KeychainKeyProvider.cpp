#include "ClipboardHistory/service/KeychainKeyProvider.h"

#include <openssl/crypto.h>

#include <algorithm>

namespace mirlet {

KeychainKeyProvider::KeychainKeyProvider(Keychain& keychain, const std::string& bundleIdentifier)
    : keychain_(keychain), service_(bundleIdentifier + ".clipboard-history") {}

KeychainKeyProvider::Read KeychainKeyProvider::read() {
  Keychain::ReadResult result = keychain_.read(service_, kAccount);
  if (result.status == Keychain::itemNotFound) return Read::missing;
  Read outcome = Read::failed;
  if (result.status == Keychain::success && result.data.size() == SymmetricKey::Bytes().size()) {
    SymmetricKey::Bytes bytes{};
    std::copy(result.data.begin(), result.data.end(), bytes.begin());
    cached_.emplace(bytes);
    OPENSSL_cleanse(bytes.data(), bytes.size());
    outcome = Read::found;
  }
  OPENSSL_cleanse(result.data.data(), result.data.size());
  return outcome;
}

std::optional<SymmetricKey> KeychainKeyProvider::key(bool creatingIfMissing) {
  std::lock_guard lock(mutex_);
  if (cached_) return cached_;
  const Read first = read();
  if (first == Read::found) return cached_;
  if (first == Read::failed || !creatingIfMissing) return std::nullopt;

  const SymmetricKey created = SymmetricKey::random();
  Bytes bytes(created.bytes().begin(), created.bytes().end());
  const int status = keychain_.add(service_, kAccount, bytes);
  OPENSSL_cleanse(bytes.data(), bytes.size());
  if (status == Keychain::success) {
    cached_ = created;
    return cached_;
  }
  // Another process stored a key first: that one is the key.
  if (status == Keychain::duplicateItem && read() == Read::found) return cached_;
  return std::nullopt;
}

}  // namespace mirlet
