// When the tick loop wakes and when the alarm rings. Readings are local
// wall-clock date values, as the clock shows them.
#pragma once
#include "app/clock_state.h"

// When the alarm time is accepted: the alarm is due at the first moment at
// or after the reading whose time of day is the alarm's (hourValue,
// minuteValue, secondValue): today while that is ahead or now, else
// tomorrow. An invalid reading (-1) arms nothing: the first valid reading
// of a pass arms the alarm from itself.
void ClockAlarmArm(ClockState *state, int64_t reading);

// A pass's reading: 1 when an alarm is set (inputError 0, alarmWanted 1) and
// the reading is at or after the due moment, so a second that no pass saw
// (the name dialog still open, a stalled loop, sleep, the clock put forward)
// still rings, late. A reading earlier than the previous one (the clock put
// back, the autumn hour repeated) arms the alarm again from it first. An
// invalid reading rings nothing and arms nothing.
int ClockAlarmDueAt(ClockState *state, int64_t reading);
int ClockAlarmDue(ClockState *state);  // at DateNow

// The tick loop's wait, from the millisecond of the current second: until
// just after the next second starts, 1 to 1002 ms. Nothing new shows in
// between, and events wake the loop by themselves, so the loop wakes once
// a second.
int32_t ClockTickWait(int32_t millisecond);
