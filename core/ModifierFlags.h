#pragma once

#include <cstdint>

namespace mirlet {

// The four modifier bits of the platform's event flags that shortcuts are made
// of, for the modules that decide on keys without knowing the platform.
namespace ModifierFlags {
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t all = shift | control | option | command;
}  // namespace ModifierFlags

}  // namespace mirlet
