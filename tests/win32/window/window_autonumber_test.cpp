// AutoNumber windows whose numbers need all 64 bits: the address space below
// 4 GiB is reserved before the runtime heap is made, so every record and
// therefore every AutoNumber window number lies above it. Class names,
// properties, lookups and events must keep every bit.
#include <stdio.h>

#include "runtime/platform/program_instance.h"
#include "window_test_support.h"

namespace {

constexpr uintptr_t FourGiB = static_cast<uintptr_t>(1) << 32;

// Reserves every free range below 4 GiB so that later allocations go higher.
void ReserveLowAddressSpace(void) {
  uintptr_t address = 0x10000;
  while (address < FourGiB) {
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(reinterpret_cast<void *>(address), &info, sizeof info)) break;
    uintptr_t base = reinterpret_cast<uintptr_t>(info.BaseAddress);
    uintptr_t end = base + info.RegionSize;
    if (info.State == MEM_FREE) {
      uintptr_t start = (base + 0xFFFF) & ~static_cast<uintptr_t>(0xFFFF);
      uintptr_t stop = end < FourGiB ? end : FourGiB;
      if (stop > start) VirtualAlloc(reinterpret_cast<void *>(start), stop - start, MEM_RESERVE, PAGE_NOACCESS);
    }
    address = end;
  }
}

class AutoNumberTest : public WindowTest {};

TEST_F(AutoNumberTest, NumbersLieAboveFourGiB) {
  intptr_t number = WindowOpen(AutoNumber, 10, 10, 100, 50, "auto", 0);
  ASSERT_NE(number, 0);
  EXPECT_GE(static_cast<uintptr_t>(number), FourGiB);
}

TEST_F(AutoNumberTest, EveryBitIsKept) {
  intptr_t numbers[3];
  for (intptr_t &number : numbers) {
    number = WindowOpen(AutoNumber, 10, 10, 120, 60, "auto", 0);
    ASSERT_NE(number, 0);
  }
  for (intptr_t number : numbers) {
    SCOPED_TRACE(number);
    ASSERT_GE(static_cast<uintptr_t>(number), FourGiB);
    WindowRecord *record = WindowLookup(number);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(record), number);
    HWND window = record->windowHandle;
    char expected[64], name[64] = {};
    snprintf(expected, sizeof expected, "WindowClass_%lld", static_cast<long long>(number));
    GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, expected);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(window, "ZX_WindowID")), number + 1);
    EXPECT_EQ(WindowAccelerators(window), record->accelTable);
    // The number cut to 32 bits, or with its top half changed, names nothing.
    EXPECT_EQ(WindowLookup(static_cast<intptr_t>(static_cast<uint32_t>(number))), nullptr);
    EXPECT_EQ(WindowLookup(number ^ (static_cast<intptr_t>(1) << 40)), nullptr);
    EXPECT_NE(WindowResize(number, 40, 50, 130, 70), 0);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 130);
    DrainAll();
    SendMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WindowWaitEvent(0), EventCloseRequest);
    EXPECT_EQ(WindowEventState()->snapshot.object, number);
    EXPECT_EQ(WindowEventState()->snapshot.window, number);
    SendMessageA(window, WM_SIZE, SIZE_MAXIMIZED, 0);
    ASSERT_EQ(WindowWaitEvent(0), EventMaximized);
    EXPECT_EQ(WindowEventState()->snapshot.window, number);
  }
  WindowClose(numbers[1]);
  EXPECT_EQ(WindowLookup(numbers[1]), nullptr);
  EXPECT_NE(WindowLookup(numbers[0]), nullptr);
  EXPECT_NE(WindowLookup(numbers[2]), nullptr);
  WNDCLASSA info;
  char className[64];
  snprintf(className, sizeof className, "WindowClass_%lld", static_cast<long long>(numbers[1]));
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), className, &info));
}

TEST_F(AutoNumberTest, GadgetListRecordAboveFourGiB) {
  intptr_t number = WindowOpen(AutoNumber, 10, 10, 100, 50, "auto", 0);
  ASSERT_NE(number, 0);
  HWND window = WindowHandle(number);
  char property[64];
  snprintf(property, sizeof property, "ZX_GadgetStack_%lld",
           static_cast<long long>(reinterpret_cast<intptr_t>(GetModuleHandleA(nullptr))));
  GadgetListRecord *record = static_cast<GadgetListRecord *>(GetPropA(window, property));
  ASSERT_NE(record, nullptr);
  EXPECT_GE(reinterpret_cast<uintptr_t>(record), FourGiB);
  EXPECT_EQ(record->window, window);
  EXPECT_EQ(GadgetListSelect(nullptr), window);
}

}  // namespace

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  ReserveLowAddressSpace();
  ProgramInstance = GetModuleHandleA(nullptr);
  RuntimeHeap = PlatformHeapCreate(4096);
  EventQueueInit();
  WindowInit();
  return RUN_ALL_TESTS();
}
