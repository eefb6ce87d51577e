// The clock routine: start-up, the two alarm dialogs, the clock window, the
// tick loop, firing the alarm and shutdown. The entry point calls it and ends
// the process with its result; test programs call it to drive it in-process.
#pragma once
#include "app/clock_state.h"

// The program's variables, valid while ClockRun runs.
extern ClockState Clock;

// Runs the clock until its window is closed or the alarm has fired and was
// confirmed, and releases everything the libraries hold. Returns the exit
// code, which is 0 on every path.
int ClockRun(void);
