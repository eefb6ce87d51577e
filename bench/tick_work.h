// One pass of the tick loop's portable work, twice: through the clock's own
// code (ClockTextBuild, ClockAlarmDue) on the runtime libraries, and as a
// straightforward baseline with std::string, gmtime_r and strftime. Both read
// the same fixed clock: Monday 7 December 2026, 09:13:02, alarm 12:30:00.
#pragma once
#include <stdint.h>
#include <time.h>

#include <string>

#include "app/clock_state.h"

// Starts the runtime (heap, strings, fixed clock) and sets an armed alarm.
void TamrixTickSetUp(ClockState *state);
// Rebuilds clockText and compares the time with the alarm; returns ClockAlarmDue.
int TamrixTickPass(ClockState *state);

struct BaselineState {
  time_t now;
  std::string clockText;
  std::string alarmTime;
  int weekday;
};

void BaselineTickSetUp(BaselineState *state);
int BaselineTickPass(BaselineState *state);

// Heap calls and live blocks/bytes of the runtime heap and the string heap together.
struct HeapTotals {
  int64_t calls;
  int64_t liveBlocks;
  int64_t liveBytes;
};
HeapTotals TamrixHeapTotals(void);
