// Date values: conversion from calendar fields, the current local date and
// time, and field extraction, all by calendar arithmetic. The C library's
// localtime/mktime/gmtime are not used: msvcrt misreads zone names in TZ, and
// the wall-clock count needs no zone at all.
#include "runtime/date/date.h"
#include "runtime/date/date_internal.h"
#include "runtime/platform/platform.h"

namespace {

constexpr int64_t SecondsPerDay = 86400;

bool IsLeapYear(int32_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days from 1970-01-01 to the given proleptic Gregorian date (month 1..12).
// Eras of 400 years starting 1 March keep the leap day at the end of a year.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  int64_t era = (year >= 0 ? year : year - 399) / 400;
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

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
  // Inverse of DaysFromCivil for non-negative day counts (within one era
  // range starting 2000-03-01 and before).
  int32_t shifted = days + 719468;
  int32_t era = shifted / 146097;
  int32_t dayOfEra = shifted - era * 146097;
  int32_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int32_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
  fields->day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  fields->month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  fields->year = yearOfEra + era * 400 + (fields->month <= 2 ? 1 : 0);
}

int32_t DateFromFields(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) return -1;
  if (month == 2 && (day > 29 || (day == 29 && !IsLeapYear(year)))) return -1;
  if (second > 59 || second < 0 || minute > 59 || minute < 0 || hour > 23 || hour < 0 ||
      day < 1 || day > 31 || month < 1 || month > 12 || year <= 0)
    return -1;
  int64_t value = DaysFromCivil(year, month, day) * SecondsPerDay + hour * 3600 + minute * 60 + second;
  // Dates outside 1970-01-01 00:00:00 .. 2038-01-19 03:14:07 do not fit.
  if (value < 0 || value > INT32_MAX) return -1;
  return static_cast<int32_t>(value);
}

int32_t DateNow(void) {
  PlatformTime now;
  PlatformLocalTime(&now);
  return DateFromFields(now.year, now.month, now.day, now.hour, now.minute, now.second);
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
  return date < 0 ? 0 : (date / 86400 + 4) % 7;
}
