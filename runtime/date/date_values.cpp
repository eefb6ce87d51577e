// Date values: conversion from calendar fields, the current local date and
// time, and field extraction, all by calendar arithmetic. The C library's
// localtime/mktime/gmtime are not used: msvcrt misreads zone names in TZ, and
// the wall-clock count needs no zone at all.
#include "runtime/date/date.h"
#include "runtime/date/date_internal.h"
#include "runtime/platform/platform.h"

namespace {

// Days in each month of a common year, and days before its first.
constexpr uint32_t DaysInMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr uint32_t DaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

}  // namespace

void DateSplit(int32_t date, DateFields *fields) {
  if (date < 0) {
    *fields = DateFields{};
    return;
  }
  int32_t days = date / 86400;
  int32_t rest = date % 86400;
  fields->hour = rest / 3600;
  fields->minute = rest / 60 % 60;
  fields->second = rest % 60;
  fields->weekday = (days + 4) % 7;  // 1970-01-01 was a Thursday
  DateSplitCalendar(date, fields);
}

namespace {

// DateFromFields, inlined into DateNow as well: a pass of the clock reads
// the time several times.
[[gnu::always_inline]] inline int32_t FromFields(int32_t year, int32_t month, int32_t day, int32_t hour,
                                                 int32_t minute, int32_t second) {
  // Every failed check gives -1, so they are made in the cheapest order. A
  // year outside 1970..2038 never fits a date value (nor does a year of 0 or
  // below); inside that span every fourth year is a leap year, 2000 included.
  uint32_t y = static_cast<uint32_t>(year) - 1970u;
  uint32_t m = static_cast<uint32_t>(month);
  uint32_t d = static_cast<uint32_t>(day);
  uint32_t h = static_cast<uint32_t>(hour), mi = static_cast<uint32_t>(minute), s = static_cast<uint32_t>(second);
  if (y > 2038u - 1970u || m - 1 > 11 || d - 1 > 30 || h > 23 || mi > 59 || s > 59) return -1;
  uint32_t leap = (year & 3) == 0 ? 1 : 0;
  // Day 31 of a 30-day month, day 30 or 31 of February, 29 February outside a
  // leap year.
  if (d > DaysInMonth[m] + (m == 2 ? leap : 0)) return -1;
  // At most 24855 days: the count below stays under 2^32.
  uint32_t days = y * 365 + (y + 1) / 4 + DaysBeforeMonth[m] + (m > 2 ? leap : 0) + d - 1;
  uint32_t value = days * 86400 + h * 3600 + mi * 60 + s;
  if (value > INT32_MAX) return -1;  // after 2038-01-19 03:14:07
  return static_cast<int32_t>(value);
}

}  // namespace

int32_t DateFromFields(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  return FromFields(year, month, day, hour, minute, second);
}

int32_t DateNow(void) {
  PlatformTime now;
  PlatformLocalTime(&now);
  return FromFields(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

int32_t DateYear(int32_t date) {
  DateFields f;
  DateSplit(date, &f);
  return f.year;
}

int32_t DateMonth(int32_t date) {
  DateFields f;
  DateSplit(date, &f);
  return f.month;
}

int32_t DateDay(int32_t date) {
  DateFields f;
  DateSplit(date, &f);
  return f.day;
}

int32_t DateHour(int32_t date) {
  return date < 0 ? 0 : date % 86400 / 3600;
}

int32_t DateMinute(int32_t date) {
  return date < 0 ? 0 : date % 3600 / 60;
}

int32_t DateSecond(int32_t date) {
  return date < 0 ? 0 : date % 60;
}

int32_t DateDayOfWeek(int32_t date) {
  return date < 0 ? 0 : static_cast<int32_t>((static_cast<uint32_t>(date) / 86400 + 4) % 7);
}
