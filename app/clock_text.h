// The clock text of each pass and the alarm message.
#pragma once
#include "app/clock_state.h"

// A reading of the current date value; DateNow in the program, a fixed or
// stepping clock in tests.
typedef int64_t (*ClockReading)(void);

inline constexpr const char *const WeekdayNames[7] = {
    "Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag",
};

// Sets weekday and weekdayName and stores into clockText the weekday, the
// date line " DD.MM.YYYY", the time line (with a leading blank only when an
// alarm is set) and, with an alarm, " *alarmTime*", separated by lone "\r".
// The clock is read anew for the weekday, the date and the time line.
void ClockTextBuild(ClockState *state);
void ClockTextBuildWith(ClockState *state, ClockReading now);

// alarmTime + "\r\r" + alarmName, as a temporary written at position at;
// returns its address.
char *ClockAlarmMessage(const ClockState *state, int32_t at);
