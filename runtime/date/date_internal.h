// Calendar arithmetic shared by the date values and the formatter.
#pragma once
#include <stdint.h>

struct DateFields {
  int32_t year, month, day, hour, minute, second, weekday;
};

// Splits a date value by UTC calendar rules; every field of a negative value
// is 0.
void DateSplit(int32_t date, DateFields *fields);
// Only year, month and day (the other fields are left as they are); inline,
// since formatting needs it on every pass of the clock.
inline void DateSplitCalendar(int32_t date, DateFields *fields) {
  if (date < 0) {
    fields->year = fields->month = fields->day = 0;
    return;
  }
  // Unsigned from here: every quantity is non-negative.
  uint32_t days = static_cast<uint32_t>(date) / 86400;
  // Date values end in 2038, so every fourth year from 1968 is a leap year:
  // count in blocks of four years that start with one.
  uint32_t sinceLeap = days + 731;  // days since 1968-01-01
  uint32_t block = sinceLeap / 1461;
  uint32_t inBlock = sinceLeap % 1461;
  uint32_t yearInBlock = inBlock < 366 ? 0 : (inBlock - 1) / 365;
  uint32_t dayOfYear = inBlock < 366 ? inBlock : (inBlock - 1) % 365;
  fields->year = static_cast<int32_t>(1968 + block * 4 + yearInBlock);
  // Months from March on follow a pattern of 153 days per five months.
  uint32_t march = yearInBlock == 0 ? 60 : 59;
  if (dayOfYear >= march) {
    uint32_t sinceMarch = dayOfYear - march;
    uint32_t monthIndex = (5 * sinceMarch + 2) / 153;
    fields->month = static_cast<int32_t>(monthIndex + 3);
    fields->day = static_cast<int32_t>(sinceMarch - (153 * monthIndex + 2) / 5 + 1);
  } else {
    fields->month = dayOfYear < 31 ? 1 : 2;
    fields->day = static_cast<int32_t>(dayOfYear < 31 ? dayOfYear + 1 : dayOfYear - 30);
  }
}

