#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirlet {

// One representation of a pasteboard item: a type identifier and its bytes.
struct PasteboardRepresentation {
  std::string type;
  std::vector<std::uint8_t> data;
  friend bool operator==(const PasteboardRepresentation&,
                         const PasteboardRepresentation&) = default;
};

// A capture: its pasteboard items, each a list of representations.
using CapturedItems = std::vector<std::vector<PasteboardRepresentation>>;

// The identity of a capture's content, by which a repeated copy is recognised.
namespace Fingerprint {

// Leaving out the source marker makes the same content copied from two
// applications one entry.
inline constexpr std::array<std::string_view, 1> ignoredTypes{"org.nspasteboard.source"};

// Lower-case hexadecimal SHA-256 over, per item i: "item:", i, NUL; then per
// representation not ignored: its type, NUL, its byte count, NUL, its bytes.
std::string of(const CapturedItems& items);

}  // namespace Fingerprint
}  // namespace mirlet
