#pragma once

#include <cstdint>
#include <optional>

namespace mirlet::KeyPositions {

// Hot keys are stored with the Mac's ANSI key codes, which name a key by its place
// on the keyboard. An X server numbers the same places with its key codes (the
// kernel's plus 8). The Super keys stand where the Command keys do.
std::optional<std::uint16_t> macKeyCode(std::uint32_t xKeyCode);
std::optional<std::uint32_t> xKeyCode(std::uint16_t macKeyCode);

}  // namespace mirlet::KeyPositions
