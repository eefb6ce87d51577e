// DateFormat of DateNow, then the weekday, against the local time the host's
// date(1) gives for the same instant and zone (TAMRIX_HOST_LOCAL_TIME, set by
// scripts/wine-run for a case with TZ and TAMRIX_FROZEN_AT). Exit code 1 when
// they differ.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "runtime/platform/program_instance.h"
#include "runtime/date/date.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"

int main() {
  const char *host = getenv("TAMRIX_HOST_LOCAL_TIME");
  if (!host) {
    printf("TAMRIX_HOST_LOCAL_TIME is not set (scripts/wine-run sets it with TAMRIX_AT or TAMRIX_FROZEN_AT)\n");
    return 1;
  }
  const char *expected = host;

  ProgramInstance = GetModuleHandleA(nullptr);
  RuntimeHeap = PlatformHeapCreate(4096);
  StrInit();
  int64_t now = DateNow();
  char actual[64];
  snprintf(actual, sizeof actual, "%s %d", DateFormat("%yyyy-%mm-%dd %hh:%ii:%ss", now, StrTempTop()),
           static_cast<int>(DateDayOfWeek(now)));
  PlatformHeapDestroy(RuntimeHeap);
  bool same = strcmp(actual, expected) == 0;
  printf("%s: expected '%s', got '%s'\n", same ? "ok" : "FAILED", expected, actual);
  return same ? 0 : 1;
}
