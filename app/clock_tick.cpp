#include "app/clock_tick.h"

#include "runtime/date/date.h"

namespace {

// Past the second's start, so that a timer that rounds does not wake the
// loop just before it.
constexpr int32_t TickMargin = 2;
constexpr int32_t TickLongest = 1000 + TickMargin;

}  // namespace

void ClockAlarmArm(ClockState *s, int64_t reading) {
  if (reading < 0) {
    s->alarmDue = -1;  // armed by the first valid reading
    return;
  }
  int32_t ahead = s->hourValue * 3600 + s->minuteValue * 60 + s->secondValue - DateSecondOfDay(reading);
  s->alarmDue = reading + (ahead < 0 ? ahead + 86400 : ahead);
  s->lastReading = reading;
}

int ClockAlarmDueAt(ClockState *s, int64_t reading) {
  if (s->inputError != 0 || s->alarmWanted != 1 || reading < 0) return 0;
  if (s->alarmDue < 0 || reading < s->lastReading) ClockAlarmArm(s, reading);
  s->lastReading = reading;
  return reading >= s->alarmDue;
}

int ClockAlarmDue(ClockState *s) {
  return ClockAlarmDueAt(s, DateNow());
}

int32_t ClockTickWait(int32_t millisecond) {
  int32_t wait = 1000 + TickMargin - millisecond;
  return wait < 1 ? 1 : wait > TickLongest ? TickLongest : wait;
}
