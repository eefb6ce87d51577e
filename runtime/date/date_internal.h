// Calendar arithmetic shared by the date values and the formatter.
#pragma once
#include <stdint.h>

struct DateFields {
  int32_t year, month, day, hour, minute, second, weekday;
};

// Splits a date value by UTC calendar rules; every field of a negative value
// is 0.
void DateSplit(int32_t date, DateFields *fields);
