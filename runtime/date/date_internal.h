// Calendar arithmetic shared by the date values and the formatter.
#pragma once
#include <stdint.h>

#include "runtime/date/date.h"

struct DateFields {
  int32_t year, month, day, hour, minute, second, weekday;
};

// Days since 1970-01-01 and the second of that day, by 32-bit operations
// only: a 64-bit division would call a helper that the i686 program cannot
// link. 86400 = 2^7 * 675, and a valid value stays below 2^38, so the shifted
// value fits 32 bits and both results are exact. Returns 0, with both 0, for
// a value outside 0 .. DateLast.
inline int DateSplitDays(int64_t date, uint32_t *days, uint32_t *secondOfDay) {
  if (static_cast<uint64_t>(date) > DateLast) {  // negative values too
    *days = *secondOfDay = 0;
    return 0;
  }
  *days = static_cast<uint32_t>(date >> 7) / 675;
  *secondOfDay = static_cast<uint32_t>(date) - *days * 86400;  // modulo 2^32, exact
  return 1;
}

// Splits a date value by UTC calendar rules; every field of a value outside
// 0 .. DateLast is 0.
void DateSplit(int64_t date, DateFields *fields);

// Only year, month and day of a day count since 1970-01-01 (the other fields
// are left as they are); inline, since formatting needs it on every pass of
// the clock.
inline void DateSplitCalendar(uint32_t days, DateFields *fields) {
  // Gregorian years in 400-year eras of 146097 days, each year counted from
  // March, so that the leap day ends it. 719468 days lie between 0000-03-01
  // and 1970-01-01.
  uint32_t sinceMarch0 = days + 719468;
  uint32_t era = sinceMarch0 / 146097;
  uint32_t dayOfEra = sinceMarch0 - era * 146097;
  uint32_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  uint32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  // Months from March on follow a pattern of 153 days per five months.
  uint32_t monthIndex = (5 * dayOfYear + 2) / 153;
  uint32_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  fields->year = static_cast<int32_t>(era * 400 + yearOfEra + (month <= 2 ? 1 : 0));
  fields->month = static_cast<int32_t>(month);
  fields->day = static_cast<int32_t>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
}
