// Entry point of Tamrix.exe. The program takes no arguments and ends with
// ExitProcess, so it starts here directly, without the C run-time start-up.
#include <windows.h>

#include "app/clock_main.h"

extern "C" [[noreturn]] void TamrixEntry(void) {
  ExitProcess(static_cast<UINT>(ClockRun()));
}
