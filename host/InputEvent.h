#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "core/ModifierFlags.h"

namespace mirlet {

// Event types with the platform's raw values, including the two pseudo types a
// tap receives when the platform switches it off.
enum class EventType : std::uint32_t {
  null = 0,
  leftMouseDown = 1,
  leftMouseUp = 2,
  rightMouseDown = 3,
  rightMouseUp = 4,
  mouseMoved = 5,
  leftMouseDragged = 6,
  rightMouseDragged = 7,
  keyDown = 10,
  keyUp = 11,
  flagsChanged = 12,
  scrollWheel = 22,
  otherMouseDown = 25,
  otherMouseUp = 26,
  otherMouseDragged = 27,
  tapDisabledByTimeout = 0xFFFFFFFE,
  tapDisabledByUserInput = 0xFFFFFFFF,
};

// Modifier flags of an event, with the platform's bit values. Hardware events also
// carry the always-set bit and one side-specific bit per modifier held.
namespace EventFlags {
inline constexpr std::uint64_t leftControl = 0x1;
inline constexpr std::uint64_t leftShift = 0x2;
inline constexpr std::uint64_t rightShift = 0x4;
inline constexpr std::uint64_t leftCommand = 0x8;
inline constexpr std::uint64_t rightCommand = 0x10;
inline constexpr std::uint64_t leftOption = 0x20;
inline constexpr std::uint64_t rightOption = 0x40;
inline constexpr std::uint64_t nonCoalesced = 0x100;
inline constexpr std::uint64_t rightControl = 0x2000;
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = ModifierFlags::shift;
inline constexpr std::uint64_t control = ModifierFlags::control;
inline constexpr std::uint64_t option = ModifierFlags::option;
inline constexpr std::uint64_t command = ModifierFlags::command;
inline constexpr std::uint64_t numericPad = 0x200000;
inline constexpr std::uint64_t function = 0x800000;
// The four modifiers a shortcut is made of.
inline constexpr std::uint64_t modifiers = ModifierFlags::all;
}  // namespace EventFlags

// The integer and double fields the system reads and writes, by the platform's
// field numbers.
namespace EventField {
inline constexpr int clickState = 1;
inline constexpr int pressure = 2;  // double
inline constexpr int autorepeat = 8;
inline constexpr int keyCode = 9;
inline constexpr int targetProcessID = 40;
inline constexpr int sourceUserData = 42;
}  // namespace EventField

struct ScreenPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// An input event as a plain value: copying it is taking a snapshot of it, and a
// snapshot replays as the event it was.
struct InputEvent {
  EventType type = EventType::null;
  std::uint64_t flags = 0;
  ScreenPoint location;
  std::uint64_t timestamp = 0;  // nanoseconds of uptime
  std::map<int, std::int64_t> integerFields;
  std::map<int, double> doubleFields;

  std::int64_t integerField(int field) const {
    auto found = integerFields.find(field);
    return found == integerFields.end() ? 0 : found->second;
  }
  void setIntegerField(int field, std::int64_t value) { integerFields[field] = value; }
  double doubleField(int field) const {
    auto found = doubleFields.find(field);
    return found == doubleFields.end() ? 0 : found->second;
  }
  void setDoubleField(int field, double value) { doubleFields[field] = value; }

  std::uint16_t keyCode() const {
    return static_cast<std::uint16_t>(integerField(EventField::keyCode));
  }
  std::int64_t sourceUserData() const { return integerField(EventField::sourceUserData); }

  // A key event with no source, as the system makes its synthetic keys.
  static InputEvent keyboard(std::uint16_t keyCode, bool down, std::uint64_t flags = 0) {
    InputEvent event;
    event.type = down ? EventType::keyDown : EventType::keyUp;
    event.flags = flags;
    event.setIntegerField(EventField::keyCode, keyCode);
    return event;
  }

  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

// The mask bit of an event type, for types whose raw value is below 64; larger
// raw values have none.
constexpr std::uint64_t eventMaskBit(EventType type) {
  const auto raw = static_cast<std::uint32_t>(type);
  return raw < 64 ? (std::uint64_t{1} << raw) : 0;
}

}  // namespace mirlet
