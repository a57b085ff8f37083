#pragma once

#include <string>
#include <string_view>

#include "ClipboardHistory/service/KeyProvider.h"
#include "core/Error.h"
#include "host/Pasteboard.h"

namespace mirlet {

enum class CipherErrorCode {
  keyUnavailable,  // no key could be had
  corrupt,         // sealing gave no output, or the sealed bytes do not open
};

std::string_view errorName(CipherErrorCode code);

using CipherError = ErrorOf<CipherErrorCode>;

// Seals and opens the payloads of private items with AES-256-GCM, and gives them
// keyed fingerprints, so a repeat is recognised without keeping a plain digest.
// Sealed bytes are the combined form: a fresh 12-byte nonce, the ciphertext (as
// long as the plain data), then the 16-byte tag; no additional data.
class PrivateItemCipher {
 public:
  explicit PrivateItemCipher(KeyProvider& keys) : keys_(&keys) {}

  // Creates the key if there is none. Throws CipherError.
  Bytes seal(const Bytes& data) const;
  // Never creates a key. Throws CipherError.
  Bytes open(const Bytes& sealed) const;
  // HMAC-SHA-256 of the plain fingerprint under a sub-key derived with HKDF-SHA-256
  // (no salt, info "mirlet.clipboard-history.fingerprint"), as 64 lower-case hex
  // digits. Creates the key if there is none. Throws CipherError.
  std::string keyedFingerprint(std::string_view fingerprint) const;
  // Whether a key exists, without creating one.
  bool isKeyAvailable() const;

 private:
  KeyProvider* keys_;
};

}  // namespace mirlet
