#pragma once

#include <array>
#include <cstdint>

namespace mirlet {

// 256 bits of secret key material. Every copy wipes its bytes when it goes, so
// the key does not linger in freed memory.
class SymmetricKey {
 public:
  using Bytes = std::array<std::uint8_t, 32>;

  explicit SymmetricKey(const Bytes& bytes) : bytes_(bytes) {}
  SymmetricKey(const SymmetricKey&) = default;
  SymmetricKey& operator=(const SymmetricKey&) = default;
  ~SymmetricKey();

  // A new key from the system's cryptographic random source.
  static SymmetricKey random();

  const Bytes& bytes() const { return bytes_; }
  friend bool operator==(const SymmetricKey&, const SymmetricKey&) = default;

 private:
  Bytes bytes_;
};

}  // namespace mirlet
