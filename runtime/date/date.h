// Date library: the current local date and time, date values built from and
// split into fields, the weekday, and formatting by mask. A date value counts
// the seconds since 1970-01-01 00:00:00 of the local wall-clock time as if it
// were UTC, so splitting by UTC rules gives back the local fields. Range
// 0 (1970-01-01 00:00:00) .. DateLast (9999-12-31 23:59:59), Gregorian
// calendar; -1 is invalid.
//
// Portable; stands on the platform (local time), the string library
// (DateFormat writes into the temporary area) and the objects library (a mask
// that may move is copied into the runtime heap).
#pragma once
#include <stdint.h>

inline constexpr int64_t DateLast = 253402300799;  // 9999-12-31 23:59:59

int64_t DateNow(void);
int64_t DateFromFields(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second);

// Field extractors; every field of a value outside 0 .. DateLast is 0.
int32_t DateYear(int64_t date);
int32_t DateMonth(int64_t date);
int32_t DateDay(int64_t date);
int32_t DateHour(int64_t date);
int32_t DateMinute(int64_t date);
int32_t DateSecond(int64_t date);
int32_t DateDayOfWeek(int64_t date);  // 0 = Sunday
int32_t DateSecondOfDay(int64_t date);  // 0 .. 86399 since midnight

// Formats by mask (%yyyy %yy %mm %dd %hh %ii %ss, any case) into the
// temporary area at position at; returns base + at.
char *DateFormat(const char *mask, int64_t date, int32_t at);
