#include "ClipboardHistory/model/DateBucket.h"

#include <gtest/gtest.h>

namespace mirlet {
namespace {

// 2026-03-02 is a Monday. Times are UTC unless the calendar says otherwise.
constexpr double kMonday20260302 = 1772409600;  // 00:00 UTC
constexpr double kDay = 86400;

Date at(double unixSeconds) { return Date::fromUnixSeconds(unixSeconds); }

struct BucketCase {
  const char* name;
  double date;
  double now;
  CalendarSettings calendar;
  DateBucket expected;
};

class DateBucketTest : public ::testing::TestWithParam<BucketCase> {};

TEST_P(DateBucketTest, Groups) {
  const BucketCase& c = GetParam();
  EXPECT_EQ(DateBuckets::bucket(at(c.date), at(c.now), c.calendar), c.expected);
}

const CalendarSettings kMondayWeeks{"UTC", 2};
const CalendarSettings kSundayWeeks{"UTC", 1};
const double kNoonMonday = kMonday20260302 + 12 * 3600;

INSTANTIATE_TEST_SUITE_P(
    Dates, DateBucketTest,
    ::testing::Values(
        BucketCase{"EarlierToday", kMonday20260302 + 60, kNoonMonday, kMondayWeeks,
                   DateBucket::today},
        BucketCase{"LaterToday", kNoonMonday + 3600, kNoonMonday, kMondayWeeks, DateBucket::today},
        BucketCase{"SundayBeforeAMondayIsYesterday", kMonday20260302 - 60, kNoonMonday,
                   kMondayWeeks, DateBucket::yesterday},
        BucketCase{"SaturdayInTheSameMonthIsThisMonth", kNoonMonday + 5 * kDay,
                   kNoonMonday + 7 * kDay, kMondayWeeks, DateBucket::thisMonth},
        BucketCase{"SaturdayInTheMonthBeforeIsOlder", kMonday20260302 - kDay - 60, kNoonMonday,
                   kMondayWeeks, DateBucket::older},
        BucketCase{"SundayStartsTheWeekWhenTheCalendarSaysSo", kNoonMonday + 6 * kDay,
                   kNoonMonday + 8 * kDay, kSundayWeeks, DateBucket::thisWeek},
        BucketCase{"SundayEndsTheWeekOtherwise", kNoonMonday + 6 * kDay, kNoonMonday + 8 * kDay,
                   kMondayWeeks, DateBucket::thisMonth},
        // Wednesday 2026-04-01 (not a week's first day): March 31 is yesterday, Monday
        // March 30 is this week (week test before month test).
        BucketCase{"LastDayOfPreviousMonthIsYesterday", kMonday20260302 + 29 * kDay + 3600,
                   kMonday20260302 + 30 * kDay + 3600, kMondayWeeks, DateBucket::yesterday},
        BucketCase{"EarlierThisWeekAcrossTheMonth", kMonday20260302 + 28 * kDay + 3600,
                   kMonday20260302 + 30 * kDay + 3600, kMondayWeeks, DateBucket::thisWeek},
        BucketCase{"LaterThisMonthIsThisMonth", kNoonMonday + 7 * kDay, kNoonMonday, kMondayWeeks,
                   DateBucket::thisMonth},
        BucketCase{"LastYearIsOlder", kNoonMonday - 365 * kDay, kNoonMonday, kMondayWeeks,
                   DateBucket::older}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(DateBucketTimeZoneTest, DaysFollowTheCalendarsTimeZone) {
  // 23:30 UTC on Monday is already Tuesday in Madrid (UTC+1 in March).
  const Date lateMonday = at(kMonday20260302 + 23.5 * 3600);
  const Date earlyMonday = at(kMonday20260302 + 0.5 * 3600);
  EXPECT_EQ(DateBuckets::bucket(earlyMonday, lateMonday, {"UTC", 2}), DateBucket::today);
  EXPECT_EQ(DateBuckets::bucket(earlyMonday, lateMonday, {"Europe/Madrid", 2}),
            DateBucket::yesterday);
}

TEST(DateBucketTitleTest, SpanishTitlesInOrder) {
  std::vector<std::string_view> titles;
  for (DateBucket bucket : DateBuckets::allCases) titles.push_back(DateBuckets::title(bucket));
  EXPECT_EQ(titles, (std::vector<std::string_view>{"Hoy", "Ayer", "Esta semana", "Este mes",
                                                   "Anteriores"}));
}

}  // namespace
}  // namespace mirlet
