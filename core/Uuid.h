#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirlet {

// A random (version 4) UUID: the identifier of items, lists, runs and generations.
// Its text form is the canonical 8-4-4-4-12 upper-case hexadecimal one.
class Uuid {
 public:
  using Bytes = std::array<std::uint8_t, 16>;

  // The nil UUID (all zero).
  constexpr Uuid() = default;
  explicit constexpr Uuid(const Bytes& bytes) : bytes_(bytes) {}

  // A fresh random UUID from the operating system's entropy source.
  static Uuid random();

  // Parses the canonical text form, in either case; anything else is nothing.
  static std::optional<Uuid> parse(std::string_view text);

  const Bytes& bytes() const { return bytes_; }
  std::string toString() const;

  friend auto operator<=>(const Uuid&, const Uuid&) = default;

 private:
  Bytes bytes_{};
};

}  // namespace mirlet

// Random UUIDs are uniformly distributed: their first bytes are a good hash.
template <>
struct std::hash<mirlet::Uuid> {
  std::size_t operator()(const mirlet::Uuid& id) const noexcept {
    std::size_t value = 0;
    for (std::size_t i = 0; i < sizeof value; ++i) value = (value << 8) | id.bytes()[i];
    return value;
  }
};
