#include "bench/tick_work.h"

#include "app/clock_text.h"
#include "app/clock_tick.h"
#include "runtime/date/date.h"
#include "runtime/objects/objects.h"
#include "runtime/platform/platform.h"
#include "runtime/strings/strings.h"
#include "runtime/strings/strings.h"

namespace {

constexpr PlatformTime FixedTime = {2026, 12, 7, 9, 13, 2, 0};
constexpr time_t FixedTimeT = 1796634782;  // the same instant, as UTC

const char *const BaselineWeekdays[7] = {
    "Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag",
};

}  // namespace

void TamrixTickSetUp(ClockState *state) {
  RuntimeHeap = PlatformHeapCreate(4096);
  StrInit();
  PlatformSetLocalTime(&FixedTime);
  *state = ClockState{};
  ClockStateSetDefaults(state);
  StrAssign(&state->alarmTime, "12:30:00");
  state->hourValue = 12;
  state->minuteValue = 30;
  ClockAlarmArm(state, DateNow());
}

int TamrixTickPass(ClockState *state) {
  ClockTextBuild(state);
  return ClockAlarmDue(state);
}

void BaselineTickSetUp(BaselineState *state) {
  state->now = FixedTimeT;
  state->clockText = "-.-.-";
  state->alarmTime = "12:30:00";
  state->weekday = 0;
}

int BaselineTickPass(BaselineState *s) {
  // Three readings of the clock, as the pass takes them.
  struct tm fields;
  time_t t = s->now;
  gmtime_r(&t, &fields);
  s->weekday = fields.tm_wday;
  std::string text = BaselineWeekdays[s->weekday];
  char date[32];
  t = s->now;
  gmtime_r(&t, &fields);
  strftime(date, sizeof date, " %d.%m.%Y", &fields);
  char time[32];
  t = s->now;
  gmtime_r(&t, &fields);
  strftime(time, sizeof time, " %H:%M:%S", &fields);
  s->clockText = text + "\r" + date + "\r" + time + "\r *" + s->alarmTime + "*";
  t = s->now;
  gmtime_r(&t, &fields);
  strftime(time, sizeof time, "%H:%M:%S", &fields);
  return s->alarmTime == time;
}

HeapTotals TamrixHeapTotals(void) {
  HeapTotals totals{};
  PlatformHeap heaps[2] = {RuntimeHeap, StrLibrary.heap};
  for (PlatformHeap heap : heaps) {
    PlatformHeapStats stats;
    PlatformHeapGetStats(heap, &stats);
    totals.calls += stats.allocCalls + stats.reallocCalls + stats.freeCalls;
    totals.liveBlocks += stats.liveBlocks;
    totals.liveBytes += stats.liveBytes;
  }
  return totals;
}
