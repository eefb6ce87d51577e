// Helpers shared by the fault scenarios and the soak run, on top of the clock
// e2e driver: checks that the clock keeps going, and the last steps of a run
// (close, exit code).
#pragma once
#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "e2e/clock/clock_driver.h"

namespace faults {

// The clock with the alarm time typed into the first dialog and the name
// dialog confirmed as it is: the four-line clock.
driver::ClockWindows StartArmedClock(driver::ClockProcess &clock, const std::string &entry);

// An entry that will fire, but not during a test: an hour from now, HH:MM:SS.
std::string AlarmInAnHour();

// Whether the clock keeps showing the right text and its time line moves on:
// at least two different seconds within about three seconds, each one the
// clock text of the moment it was read. On failure, why says what was seen.
bool ClockTicks(HWND gadget, const char *alarm, std::string *why);

// Closes the clock window as the user would and returns the exit code
// (STILL_ACTIVE when the program did not end).
DWORD CloseClock(driver::ClockProcess &clock, HWND window);

// Windows of the program: its top-level windows and all their descendants.
int64_t WindowCount(const driver::ClockProcess &clock);

// The field text of an input dialog, however long (WM_GETTEXT across processes).
std::string FieldText(HWND edit);

// Puts text on the clipboard as CF_TEXT; false when the clipboard is busy.
bool SetClipboardText(const std::string &text);

// Keyboard input through the system (the foreground window's thread gets it,
// with the real shift state, which posted messages do not carry).
void SendKey(WORD virtualKey, bool shift);

// Makes the window the foreground window, as far as the system allows.
void Activate(HWND window);

}  // namespace faults
