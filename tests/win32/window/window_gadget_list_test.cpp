// Gadget lists: which window receives new gadgets, the list state kept with
// each window in its "ZX_GadgetStack_<instance>" record, the subclass that
// drops the record on destruction.
#include <stdio.h>

#include "window_test_support.h"

namespace {

std::string PropertyName(void) {
  char name[64];
  snprintf(name, sizeof name, "ZX_GadgetStack_%lld", static_cast<long long>(reinterpret_cast<intptr_t>(GetModuleHandleA(nullptr))));
  return name;
}

GadgetListRecord *RecordOf(HWND window) {
  return static_cast<GadgetListRecord *>(GetPropA(window, PropertyName().c_str()));
}

int64_t LiveBlocks(void) {
  PlatformHeapStats stats;
  PlatformHeapGetStats(RuntimeHeap, &stats);
  return stats.liveBlocks;
}

using GadgetListTest = WindowTest;

TEST_F(GadgetListTest, StateHasItsStackFromTheStart) {
  ASSERT_NE(WindowLibrary, nullptr);
  GadgetListState *state = &WindowLibrary->lists;
  ASSERT_NE(state->listStack, nullptr);
  EXPECT_EQ(state->listCapacity, 10);
  EXPECT_EQ(state->listDepth, 0);
  for (int i = 0; i < 10; i++) EXPECT_EQ(state->listStack[i], nullptr);
}

TEST_F(GadgetListTest, FirstWindowKeepsTheStartArray) {
  GadgetListState *state = &WindowLibrary->lists;
  ASSERT_EQ(GadgetListSelect(nullptr), nullptr);
  HWND *array = state->listStack;
  ASSERT_NE(WindowOpen(0, 10, 10, 100, 50, "first", 0), 0);
  HWND window = WindowHandle(0);
  EXPECT_EQ(state->listParent, window);
  EXPECT_EQ(state->listStack, array);
  EXPECT_EQ(state->listDepth, 0);
  EXPECT_EQ(state->listCapacity, 10);
  GadgetListRecord *record = RecordOf(window);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->window, window);
  EXPECT_EQ(record->savedStack, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(GadgetListProc));
  EXPECT_NE(record->previousProc, nullptr);
  // A control created in the current list lands in the window.
  HWND control = CreateChild(GadgetListSelect(nullptr), "STATIC", WS_VISIBLE, 2, 2, 50, 20, 1);
  EXPECT_EQ(GetParent(control), window);
}

TEST_F(GadgetListTest, SwitchingBetweenTwoWindows) {
  GadgetListState *state = &WindowLibrary->lists;
  WindowOpen(0, 10, 10, 100, 50, "first", 0);
  HWND first = WindowHandle(0);
  HWND *firstArray = state->listStack;
  firstArray[0] = reinterpret_cast<HWND>(static_cast<intptr_t>(0x111));  // marks the first window's array
  WindowOpen(1, 30, 30, 100, 50, "second", 0);
  HWND second = WindowHandle(1);
  struct Step {
    const char *name;
    HWND select;
    HWND returned;
    HWND parent;
    bool firstArrayCurrent;
  } steps[] = {
      {"after opening the second", nullptr, second, second, false},
      {"back to the first", first, second, first, true},
      {"the same window again", first, first, first, true},
      {"none", nullptr, first, first, true},
      {"the second again", second, first, second, false},
      {"and back", first, second, first, true},
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.name);
    EXPECT_EQ(GadgetListSelect(step.select), step.returned);
    EXPECT_EQ(state->listParent, step.parent);
    ASSERT_NE(state->listStack, nullptr);
    EXPECT_EQ(state->listStack == firstArray, step.firstArrayCurrent);
    EXPECT_EQ(state->listCapacity, 10);
    EXPECT_EQ(state->listDepth, 0);
    // The window that is not current holds its own array in its record.
    GadgetListRecord *other = RecordOf(step.parent == first ? second : first);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other->savedStack, nullptr);
    EXPECT_NE(other->savedStack, state->listStack);
    EXPECT_EQ(other->savedParent, step.parent == first ? second : first);
    EXPECT_EQ(RecordOf(step.parent)->savedStack, nullptr);
  }
  EXPECT_EQ(firstArray[0], reinterpret_cast<HWND>(static_cast<intptr_t>(0x111)));
  firstArray[0] = nullptr;
}

TEST_F(GadgetListTest, DestroyingWindows) {
  GadgetListState *state = &WindowLibrary->lists;
  WindowOpen(0, 10, 10, 100, 50, "first", 0);
  WindowOpen(1, 30, 30, 100, 50, "second", 0);
  HWND first = WindowHandle(0);
  GadgetListSelect(first);
  HWND *current = state->listStack;
  // Another window's destruction frees only its own record and array.
  WindowClose(1);
  EXPECT_EQ(state->listParent, first);
  EXPECT_EQ(state->listStack, current);
  EXPECT_EQ(GadgetListSelect(nullptr), first);
  // The current window's destruction leaves no current list; the array stays.
  WindowClose(0);
  EXPECT_EQ(state->listParent, nullptr);
  EXPECT_EQ(state->listDepth, 0);
  EXPECT_EQ(state->listStack, current);
  EXPECT_EQ(GadgetListSelect(nullptr), nullptr);
  // The next window takes the array over.
  WindowOpen(2, 10, 10, 100, 50, "third", 0);
  EXPECT_EQ(state->listParent, WindowHandle(2));
  EXPECT_EQ(state->listStack, current);
}

TEST_F(GadgetListTest, NoRecordsOrArraysAreLeft) {
  DrainAll();
  int64_t before = LiveBlocks();
  for (int round = 0; round < 3; round++) {
    WindowOpen(0, 10, 10, 100, 50, "first", 0);
    WindowOpen(1, 30, 30, 100, 50, "second", 0);
    WindowOpen(2, 50, 50, 100, 50, "third", 0x8);
    GadgetListSelect(WindowHandle(0));
    GadgetListSelect(WindowHandle(2));
    GadgetListSelect(WindowHandle(1));
    WindowClose(0);
    WindowClose(1);
    WindowClose(2);
    DrainAll();
  }
  EXPECT_EQ(LiveBlocks(), before);
}

TEST_F(GadgetListTest, BitThreeWindowIsNotSubclassedUntilSelected) {
  WindowOpen(0, 10, 10, 100, 50, "list", 0);
  WindowOpen(1, 30, 30, 100, 50, "no list", 0x8);
  HWND quiet = WindowHandle(1);
  EXPECT_EQ(RecordOf(quiet), nullptr);
  EXPECT_NE(GetWindowLongPtrW(quiet, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(GadgetListProc));
  EXPECT_EQ(GadgetListSelect(nullptr), WindowHandle(0));
  EXPECT_EQ(GadgetListSelect(quiet), WindowHandle(0));
  EXPECT_NE(RecordOf(quiet), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(quiet, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(GadgetListProc));
  // Its messages still reach the window procedure behind the subclass.
  DrainAll();
  SendMessageA(quiet, WM_CLOSE, 0, 0);
  EXPECT_EQ(EventTake(), EventCloseRequest);
  EXPECT_EQ(WindowEventState()->current.object, 1);
}

TEST_F(GadgetListTest, AnyWindowCanBeAList) {
  HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  LONG_PTR staticProc = GetWindowLongPtrW(plain, GWLP_WNDPROC);
  EXPECT_EQ(GadgetListSelect(plain), nullptr);
  GadgetListRecord *record = RecordOf(plain);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(record->previousProc), staticProc);
  // Messages pass through to the control's own procedure.
  SetWindowTextA(plain, "changed");
  char text[16] = {};
  GetWindowTextA(plain, text, sizeof text);
  EXPECT_STREQ(text, "changed");
  DestroyWindow(plain);
  EXPECT_EQ(GadgetListSelect(nullptr), nullptr);
}

TEST_F(GadgetListTest, NestedListsUseTheFirstStackEntry) {
  WindowOpen(0, 10, 10, 100, 50, "outer", 0);
  GadgetListState *state = &WindowLibrary->lists;
  HWND inner = CreateChild(WindowHandle(0), "STATIC", WS_VISIBLE, 0, 0, 50, 50, 1);
  state->listStack[0] = inner;
  state->listDepth = 1;
  EXPECT_EQ(GadgetListSelect(nullptr), inner);
  state->listStack[0] = nullptr;
  state->listDepth = 0;
  EXPECT_EQ(GadgetListSelect(nullptr), WindowHandle(0));
}

TEST_F(GadgetListTest, ProcedureWithoutARecordIsTheDefault) {
  HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(GadgetListProc(plain, WM_GETTEXTLENGTH, 0, 0), DefWindowProcA(plain, WM_GETTEXTLENGTH, 0, 0));
  DestroyWindow(plain);
}

TEST_F(GadgetListTest, PropertyNameCarriesTheWholeInstance) {
  WindowOpen(0, 10, 10, 100, 50, "named", 0);
  EXPECT_NE(GetPropA(WindowHandle(0), PropertyName().c_str()), nullptr);
  char truncated[64];
  snprintf(truncated, sizeof truncated, "ZX_GadgetStack_%d", static_cast<int>(reinterpret_cast<intptr_t>(GetModuleHandleA(nullptr))));
  if (PropertyName() != truncated) {
    EXPECT_EQ(GetPropA(WindowHandle(0), truncated), nullptr);
  }
}

}  // namespace
