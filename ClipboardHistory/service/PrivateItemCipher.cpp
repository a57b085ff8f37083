#include "ClipboardHistory/service/PrivateItemCipher.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/kdf.h>
#include <openssl/rand.h>

#include <memory>

namespace mirlet {
namespace {

constexpr std::size_t kNonceSize = 12;
constexpr std::size_t kTagSize = 16;
constexpr std::string_view kFingerprintInfo = "mirlet.clipboard-history.fingerprint";

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

CipherContext newContext() { return CipherContext(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free); }

[[noreturn]] void fail(CipherErrorCode code) { throw CipherError(code); }

SymmetricKey requireKey(KeyProvider& keys, bool create) {
  auto key = keys.key(create);
  if (!key) fail(CipherErrorCode::keyUnavailable);
  return *key;
}

int length(std::size_t size) {
  if (size > static_cast<std::size_t>(INT32_MAX)) fail(CipherErrorCode::corrupt);
  return static_cast<int>(size);
}

}  // namespace

std::string_view errorName(CipherErrorCode code) {
  return code == CipherErrorCode::keyUnavailable ? "cipher: key unavailable" : "cipher: corrupt";
}

SymmetricKey::~SymmetricKey() { OPENSSL_cleanse(bytes_.data(), bytes_.size()); }

SymmetricKey SymmetricKey::random() {
  Bytes bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
    throw CipherError(CipherErrorCode::keyUnavailable, "no random bytes");
  }
  SymmetricKey key(bytes);
  OPENSSL_cleanse(bytes.data(), bytes.size());
  return key;
}

Bytes PrivateItemCipher::seal(const Bytes& data) const {
  const SymmetricKey key = requireKey(*keys_, true);
  Bytes sealed(kNonceSize + data.size() + kTagSize);
  if (RAND_bytes(sealed.data(), kNonceSize) != 1) fail(CipherErrorCode::corrupt);
  auto context = newContext();
  int written = 0;
  int finished = 0;
  if (!context ||
      EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key.bytes().data(),
                         sealed.data()) != 1 ||
      EVP_EncryptUpdate(context.get(), sealed.data() + kNonceSize, &written, data.data(),
                        length(data.size())) != 1 ||
      EVP_EncryptFinal_ex(context.get(), sealed.data() + kNonceSize + written, &finished) != 1 ||
      EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kTagSize,
                          sealed.data() + kNonceSize + data.size()) != 1) {
    fail(CipherErrorCode::corrupt);
  }
  return sealed;
}

Bytes PrivateItemCipher::open(const Bytes& sealed) const {
  const SymmetricKey key = requireKey(*keys_, false);
  if (sealed.size() < kNonceSize + kTagSize) fail(CipherErrorCode::corrupt);
  const std::size_t size = sealed.size() - kNonceSize - kTagSize;
  Bytes plain(size);
  Bytes tag(sealed.end() - kTagSize, sealed.end());
  auto context = newContext();
  int written = 0;
  int finished = 0;
  if (!context ||
      EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key.bytes().data(),
                         sealed.data()) != 1 ||
      EVP_DecryptUpdate(context.get(), plain.data(), &written, sealed.data() + kNonceSize,
                        length(size)) != 1 ||
      EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) != 1 ||
      EVP_DecryptFinal_ex(context.get(), plain.data() + written, &finished) != 1) {
    OPENSSL_cleanse(plain.data(), plain.size());
    fail(CipherErrorCode::corrupt);
  }
  return plain;
}

std::string PrivateItemCipher::keyedFingerprint(std::string_view fingerprint) const {
  const SymmetricKey key = requireKey(*keys_, true);
  std::array<std::uint8_t, 32> subKey{};
  std::size_t subKeyLength = subKey.size();
  std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> derivation(
      EVP_PKEY_CTX_new_id(EVP_PKEY_HKDF, nullptr), &EVP_PKEY_CTX_free);
  // No salt: HKDF then uses a block of zeros, as RFC 5869 says.
  if (!derivation || EVP_PKEY_derive_init(derivation.get()) != 1 ||
      EVP_PKEY_CTX_set_hkdf_md(derivation.get(), EVP_sha256()) != 1 ||
      EVP_PKEY_CTX_set1_hkdf_key(derivation.get(), key.bytes().data(),
                                 static_cast<int>(key.bytes().size())) != 1 ||
      EVP_PKEY_CTX_add1_hkdf_info(derivation.get(),
                                  reinterpret_cast<const unsigned char*>(kFingerprintInfo.data()),
                                  static_cast<int>(kFingerprintInfo.size())) != 1 ||
      EVP_PKEY_derive(derivation.get(), subKey.data(), &subKeyLength) != 1) {
    fail(CipherErrorCode::corrupt);
  }
  std::array<std::uint8_t, 32> mac{};
  unsigned int macLength = 0;
  const bool macOK = HMAC(EVP_sha256(), subKey.data(), static_cast<int>(subKeyLength),
                          reinterpret_cast<const unsigned char*>(fingerprint.data()),
                          fingerprint.size(), mac.data(), &macLength) != nullptr;
  OPENSSL_cleanse(subKey.data(), subKey.size());
  if (!macOK) fail(CipherErrorCode::corrupt);
  constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(macLength * 2);
  for (unsigned int i = 0; i < macLength; ++i) {
    hex += kHex[mac[i] >> 4];
    hex += kHex[mac[i] & 0x0F];
  }
  return hex;
}

bool PrivateItemCipher::isKeyAvailable() const { return keys_->key(false).has_value(); }

}  // namespace mirlet
