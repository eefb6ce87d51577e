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

// Leap years from year 1 up to and including the given one: every fourth,
// but of the centuries only every fourth.
constexpr uint32_t LeapYearsThrough(uint32_t year) {
  uint32_t centuries = year / 100;
  return year / 4 - centuries + centuries / 4;
}

}  // namespace

void DateSplit(int64_t date, DateFields *fields) {
  uint32_t days, rest;
  if (!DateSplitDays(date, &days, &rest)) {
    *fields = DateFields{};
    return;
  }
  fields->hour = static_cast<int32_t>(rest / 3600);
  fields->minute = static_cast<int32_t>(rest / 60 % 60);
  fields->second = static_cast<int32_t>(rest % 60);
  fields->weekday = static_cast<int32_t>((days + 4) % 7);  // 1970-01-01 was a Thursday
  DateSplitCalendar(days, fields);
}

namespace {

// DateFromFields, inlined into DateNow as well: a pass of the clock reads
// the time several times.
[[gnu::always_inline]] inline int64_t FromFields(int32_t year, int32_t month, int32_t day, int32_t hour,
                                                 int32_t minute, int32_t second) {
  // Every failed check gives -1, so they are made in the cheapest order. A
  // year outside 1970..9999 never fits a date value (nor does a year of 0 or
  // below).
  uint32_t y = static_cast<uint32_t>(year);
  uint32_t m = static_cast<uint32_t>(month);
  uint32_t d = static_cast<uint32_t>(day);
  uint32_t h = static_cast<uint32_t>(hour), mi = static_cast<uint32_t>(minute), s = static_cast<uint32_t>(second);
  if (y - 1970u > 9999u - 1970u || m - 1 > 11 || d - 1 > 30 || h > 23 || mi > 59 || s > 59) return -1;
  // Divisible by 4; a century only when divisible by 400.
  uint32_t leap = ((y % 100 == 0 ? y / 100 : y) & 3) == 0 ? 1 : 0;
  // Day 31 of a 30-day month, day 30 or 31 of February, 29 February outside a
  // leap year.
  if (d > DaysInMonth[m] + (m == 2 ? leap : 0)) return -1;
  uint32_t days = (y - 1970) * 365 + LeapYearsThrough(y - 1) - LeapYearsThrough(1969) + DaysBeforeMonth[m] +
                  (m > 2 ? leap : 0) + d - 1;
  return static_cast<int64_t>(days) * 86400 + (h * 3600 + mi * 60 + s);
}

}  // namespace

int64_t DateFromFields(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  return FromFields(year, month, day, hour, minute, second);
}

int64_t DateNow(void) {
  PlatformTime now;
  PlatformLocalTime(&now);
  return FromFields(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

int32_t DateYear(int64_t date) {
  DateFields f;
  DateSplit(date, &f);
  return f.year;
}

int32_t DateMonth(int64_t date) {
  DateFields f;
  DateSplit(date, &f);
  return f.month;
}

int32_t DateDay(int64_t date) {
  DateFields f;
  DateSplit(date, &f);
  return f.day;
}

int32_t DateSecondOfDay(int64_t date) {
  uint32_t days, rest;
  DateSplitDays(date, &days, &rest);
  return static_cast<int32_t>(rest);
}

int32_t DateHour(int64_t date) {
  return DateSecondOfDay(date) / 3600;
}

int32_t DateMinute(int64_t date) {
  return DateSecondOfDay(date) / 60 % 60;
}

int32_t DateSecond(int64_t date) {
  return DateSecondOfDay(date) % 60;
}

int32_t DateDayOfWeek(int64_t date) {
  uint32_t days, rest;
  return DateSplitDays(date, &days, &rest) ? static_cast<int32_t>((days + 4) % 7) : 0;
}
