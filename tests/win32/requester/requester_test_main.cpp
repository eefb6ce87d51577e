// The test program starts the libraries the way the clock does. Started with
// --foreground-window it is instead the other program whose window holds the
// foreground.
#include <gtest/gtest.h>
#include <string.h>

#include "requester_test_support.h"
#include "runtime/platform/program_instance.h"
#include "runtime/objects/objects.h"
#include "runtime/requester/requester_internal.h"
#include "runtime/strings/strings.h"

int main(int argc, char **argv) {
  if (argc == 4 && strcmp(argv[1], "--foreground-window") == 0)
    return RunForegroundWindowProcess(argv[2], argv[3]);
  ProgramInstance = GetModuleHandleA(nullptr);
  RuntimeHeap = PlatformHeapCreate(4096);
  StrInit();
  RequestInit();
  MainThreadId = GetCurrentThreadId();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
