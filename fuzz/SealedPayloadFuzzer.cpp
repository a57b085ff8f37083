// Any bytes as a private item's sealed payload: opening never crashes and either
// authenticates (only what was sealed with the key) or fails as corrupt; whatever
// is sealed opens back to itself.

#include <cstdint>
#include <optional>

#include "ClipboardHistory/service/PrivateItemCipher.h"
#include "fuzz/FuzzCheck.h"

namespace {

struct FixedKey : mirlet::KeyProvider {
  std::optional<mirlet::SymmetricKey> key(bool) override {
    return mirlet::SymmetricKey(mirlet::SymmetricKey::Bytes{7, 1, 2, 3});
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FixedKey keys;
  const mirlet::PrivateItemCipher cipher(keys);
  const mirlet::Bytes bytes(data, data + size);
  try {
    cipher.open(bytes);
  } catch (const mirlet::CipherError& error) {
    FUZZ_CHECK(error.code() == mirlet::CipherErrorCode::corrupt);
  }
  FUZZ_CHECK(cipher.open(cipher.seal(bytes)) == bytes);
  return 0;
}
