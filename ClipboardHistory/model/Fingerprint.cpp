#include "ClipboardHistory/model/Fingerprint.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

namespace mirlet::Fingerprint {
namespace {

class Sha256 {
 public:
  Sha256() : context_(EVP_MD_CTX_new(), &EVP_MD_CTX_free) {
    EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr);
  }
  void update(const void* data, std::size_t size) {
    if (size > 0) EVP_DigestUpdate(context_.get(), data, size);
  }
  void update(std::string_view text) { update(text.data(), text.size()); }
  void nul() { update("\0", 1); }

  std::string hexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_.get(), digest, &length);
    constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
      hex += kHex[digest[i] >> 4];
      hex += kHex[digest[i] & 0x0F];
    }
    return hex;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context_;
};

}  // namespace

std::string of(const CapturedItems& items) {
  Sha256 sha;
  for (std::size_t i = 0; i < items.size(); ++i) {
    sha.update("item:");
    sha.update(std::to_string(i));
    sha.nul();
    for (const PasteboardRepresentation& representation : items[i]) {
      if (std::find(ignoredTypes.begin(), ignoredTypes.end(), representation.type) !=
          ignoredTypes.end()) {
        continue;
      }
      sha.update(representation.type);
      sha.nul();
      sha.update(std::to_string(representation.data.size()));
      sha.nul();
      sha.update(representation.data.data(), representation.data.size());
    }
  }
  return sha.hexDigest();
}

}  // namespace mirlet::Fingerprint
