// Prints the current local date and time as the date library sees it:
// DateFormat of DateNow, then the weekday. Driven by date_local_time.sh.
#include <stdio.h>

#include "runtime/date/date.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"

int main() {
  ProgramInstance = GetModuleHandleA(nullptr);
  RuntimeHeap = PlatformHeapCreate(4096);
  StrInit();
  int32_t now = DateNow();
  const char *text = DateFormat("%yyyy-%mm-%dd %hh:%ii:%ss", now, StrTempTop());
  printf("%s %d\n", text, static_cast<int>(DateDayOfWeek(now)));
  PlatformHeapDestroy(RuntimeHeap);
  return 0;
}
