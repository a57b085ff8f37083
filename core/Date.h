#pragma once

#include <compare>

namespace mirlet {

// A wall-clock date: seconds since 2001-01-01 00:00:00 UTC, as a double. This is
// the form dates are stored in, so a stored date reads back exactly.
struct Date {
  // Seconds from 1970-01-01 (the Unix epoch) to 2001-01-01.
  static constexpr double kUnixEpochOffset = 978307200.0;

  double secondsSinceReferenceDate = 0;

  static constexpr Date fromUnixSeconds(double seconds) { return Date{seconds - kUnixEpochOffset}; }
  constexpr double unixSeconds() const { return secondsSinceReferenceDate + kUnixEpochOffset; }
  constexpr Date adding(double seconds) const { return Date{secondsSinceReferenceDate + seconds}; }
  // Seconds from `earlier` to this date.
  constexpr double operator-(const Date& earlier) const {
    return secondsSinceReferenceDate - earlier.secondsSinceReferenceDate;
  }

  friend constexpr auto operator<=>(const Date&, const Date&) = default;
};

}  // namespace mirlet
