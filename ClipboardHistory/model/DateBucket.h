#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/Date.h"

namespace mirlet {

// The calendar that dates are grouped in: a time zone and the first day of the
// week (1 Sunday, 2 Monday, ... 7 Saturday).
struct CalendarSettings {
  std::string timeZoneID = "UTC";
  int firstWeekday = 2;
  friend bool operator==(const CalendarSettings&, const CalendarSettings&) = default;
};

// The date groups of the history panel, in the order they are shown.
enum class DateBucket { today, yesterday, thisWeek, thisMonth, older };

namespace DateBuckets {

inline constexpr std::array<DateBucket, 5> allCases{DateBucket::today, DateBucket::yesterday,
                                                    DateBucket::thisWeek, DateBucket::thisMonth,
                                                    DateBucket::older};

std::string_view title(DateBucket bucket);

// Same day as now, then the day before, then the same week, then the same month,
// else older.
DateBucket bucket(Date date, Date now, const CalendarSettings& calendar);

}  // namespace DateBuckets

// The boundaries of the groups around one "now", computed once, so that placing
// many dates costs a few comparisons each.
class DateGrouping {
 public:
  DateGrouping(Date now, const CalendarSettings& calendar);
  DateBucket bucket(Date date) const;

 private:
  double today_[2];  // start and end, seconds since 2001
  double yesterday_[2];
  double week_[2];
  double month_[2];
};

}  // namespace mirlet
