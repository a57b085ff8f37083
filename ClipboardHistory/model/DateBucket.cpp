#include "ClipboardHistory/model/DateBucket.h"

#include <unicode/calendar.h>
#include <unicode/timezone.h>

#include <memory>

namespace mirlet {
namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

UDate toUDate(Date date) { return date.unixSeconds() * kMillisecondsPerSecond; }
double fromUDate(UDate date) {
  return Date::fromUnixSeconds(date / kMillisecondsPerSecond).secondsSinceReferenceDate;
}

std::unique_ptr<icu::Calendar> makeCalendar(const CalendarSettings& settings) {
  UErrorCode status = U_ZERO_ERROR;
  icu::TimeZone* zone =
      icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(settings.timeZoneID));
  std::unique_ptr<icu::Calendar> calendar(
      icu::Calendar::createInstance(zone, icu::Locale("es"), status));  // adopts the zone
  if (U_FAILURE(status)) return nullptr;
  if (settings.firstWeekday >= 1 && settings.firstWeekday <= 7) {
    calendar->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(settings.firstWeekday));
  }
  return calendar;
}

// Midnight of the day that holds the calendar's current time.
void startOfDay(icu::Calendar& calendar) {
  calendar.set(UCAL_HOUR_OF_DAY, 0);
  calendar.set(UCAL_MINUTE, 0);
  calendar.set(UCAL_SECOND, 0);
  calendar.set(UCAL_MILLISECOND, 0);
}

double timeOf(icu::Calendar& calendar) {
  UErrorCode status = U_ZERO_ERROR;
  return fromUDate(calendar.getTime(status));
}

void add(icu::Calendar& calendar, UCalendarDateFields field, int32_t amount) {
  UErrorCode status = U_ZERO_ERROR;
  calendar.add(field, amount, status);
}

bool within(const double (&range)[2], double seconds) {
  return seconds >= range[0] && seconds < range[1];
}

}  // namespace

std::string_view DateBuckets::title(DateBucket bucket) {
  switch (bucket) {
    case DateBucket::today:
      return "Hoy";
    case DateBucket::yesterday:
      return "Ayer";
    case DateBucket::thisWeek:
      return "Esta semana";
    case DateBucket::thisMonth:
      return "Este mes";
    case DateBucket::older:
      return "Anteriores";
  }
  return {};
}

DateBucket DateBuckets::bucket(Date date, Date now, const CalendarSettings& calendar) {
  return DateGrouping(now, calendar).bucket(date);
}

DateGrouping::DateGrouping(Date now, const CalendarSettings& settings)
    : today_{0, 0}, yesterday_{0, 0}, week_{0, 0}, month_{0, 0} {
  auto calendar = makeCalendar(settings);
  if (!calendar) return;
  UErrorCode status = U_ZERO_ERROR;
  auto reset = [&] {
    calendar->setTime(toUDate(now), status);
    startOfDay(*calendar);
  };

  reset();
  today_[0] = timeOf(*calendar);
  add(*calendar, UCAL_DATE, 1);
  today_[1] = timeOf(*calendar);

  reset();
  add(*calendar, UCAL_DATE, -1);
  yesterday_[0] = timeOf(*calendar);
  yesterday_[1] = today_[0];

  reset();
  const int32_t weekday = calendar->get(UCAL_DAY_OF_WEEK, status);
  const int32_t daysIntoWeek = (weekday - calendar->getFirstDayOfWeek() + 7) % 7;
  add(*calendar, UCAL_DATE, -daysIntoWeek);
  week_[0] = timeOf(*calendar);
  add(*calendar, UCAL_DATE, 7);
  week_[1] = timeOf(*calendar);

  reset();
  calendar->set(UCAL_DATE, 1);
  month_[0] = timeOf(*calendar);
  add(*calendar, UCAL_MONTH, 1);
  month_[1] = timeOf(*calendar);
}

DateBucket DateGrouping::bucket(Date date) const {
  const double seconds = date.secondsSinceReferenceDate;
  if (within(today_, seconds)) return DateBucket::today;
  if (within(yesterday_, seconds)) return DateBucket::yesterday;
  if (within(week_, seconds)) return DateBucket::thisWeek;
  if (within(month_, seconds)) return DateBucket::thisMonth;
  return DateBucket::older;
}

}  // namespace mirlet
