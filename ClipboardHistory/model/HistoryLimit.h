#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirlet {

// How much unprotected history to keep: at most a number of items, or the items
// used within a number of days.
struct HistoryLimit {
  enum class Unit { count, days };
  Unit unit = Unit::count;
  std::int64_t value = 1000;

  static constexpr HistoryLimit count(std::int64_t n) { return {Unit::count, n}; }
  static constexpr HistoryLimit days(std::int64_t n) { return {Unit::days, n}; }

  // "count:1000", "days:7".
  std::string rawValue() const;
  // Only the raw value of a preset.
  static std::optional<HistoryLimit> fromRawValue(std::string_view raw);

  friend bool operator==(const HistoryLimit&, const HistoryLimit&) = default;
};

namespace HistoryLimits {
inline constexpr HistoryLimit defaultLimit = HistoryLimit::count(1000);
inline constexpr std::int64_t hardCap = 10000;
inline constexpr std::array<HistoryLimit, 14> presets{
    HistoryLimit::count(20),   HistoryLimit::count(50),    HistoryLimit::count(100),
    HistoryLimit::count(200),  HistoryLimit::count(500),   HistoryLimit::count(1000),
    HistoryLimit::count(5000), HistoryLimit::count(10000), HistoryLimit::days(1),
    HistoryLimit::days(7),     HistoryLimit::days(30),     HistoryLimit::days(90),
    HistoryLimit::days(180),   HistoryLimit::days(365)};
}  // namespace HistoryLimits

}  // namespace mirlet
