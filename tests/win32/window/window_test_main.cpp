// Start-up of the window library's test programs, in the program's order:
// module instance, runtime heap, event queue, window library.
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/platform/program_instance.h"
#include "runtime/window/window_internal.h"

namespace {

class WindowEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    ProgramInstance = GetModuleHandleA(nullptr);
    RuntimeHeap = PlatformHeapCreate(4096);
    EventQueueInit();
    WindowInit();
  }
};

}  // namespace

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new WindowEnvironment);
  return RUN_ALL_TESTS();
}
