#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace mirlet {

// Platform modifier bits of a hot-key registration.
namespace HotKeyModifiers {
inline constexpr std::uint32_t command = 0x100;
inline constexpr std::uint32_t shift = 0x200;
inline constexpr std::uint32_t option = 0x800;
inline constexpr std::uint32_t control = 0x1000;
}  // namespace HotKeyModifiers

// A registered system-wide key combination. Destroying it unregisters it.
class HotKeyRegistration {
 public:
  virtual ~HotKeyRegistration() = default;
};

// System-wide hot keys, held exclusively.
class HotKeys {
 public:
  enum class Status { registered, occupied, unavailable };
  struct Result {
    Status status;
    std::unique_ptr<HotKeyRegistration> registration;  // set when registered
  };

  virtual ~HotKeys() = default;
  // `pressed` is called on the main thread for each press while registered.
  virtual Result registerHotKey(std::uint16_t keyCode, std::uint32_t modifiers,
                                std::function<void()> pressed) = 0;
};

}  // namespace mirlet
