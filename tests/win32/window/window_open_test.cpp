// Opening and closing windows against the real user32: styles, geometry,
// class, properties, accelerators, the gadget list and the failure path.
#include <stdio.h>
#include <string.h>

#include "harness/case_env.h"
#include "harness/text1252.h"
#include "window_test_support.h"

namespace {

// Bits the system adds on its own: every shown window is WS_VISIBLE and
// every overlapped (non-popup) top-level window gets WS_CLIPSIBLINGS;
// windows with a caption or a frame get WS_EX_WINDOWEDGE.
constexpr DWORD SystemStyleBits = WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD SystemExStyleBits = WS_EX_WINDOWEDGE;

// Styles are 32-bit words on both processors.
DWORD StyleOf(HWND window) {
  return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}
DWORD ExStyleOf(HWND window) {
  return static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
}

RECT WindowRectOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRectOf(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return rect;
}

std::string ClassNameOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// Fails creation of every window while it is installed.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

int LiveWindowCount(void) {
  ObjectTable *table = WindowLibrary->windowTable;
  ObjectTableRewind(table);
  intptr_t number;
  int count = 0;
  while (ObjectTableNext(table, &number)) count++;
  return count;
}

using WindowOpenTest = WindowTest;

TEST_F(WindowOpenTest, ClockWindow) {
  intptr_t result = WindowOpen(0, 600, 600, 115, 55, "Tamrix", 0xCA0001);
  HWND window = WindowHandle(0);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(result, reinterpret_cast<intptr_t>(window));
  EXPECT_EQ(StyleOf(window) & ~SystemStyleBits, 0x00CA0000);
  EXPECT_TRUE(StyleOf(window) & WS_VISIBLE);
  EXPECT_TRUE(StyleOf(window) & WS_CLIPSIBLINGS);
  EXPECT_EQ(ExStyleOf(window) & ~SystemExStyleBits, 0);
  EXPECT_TRUE(ExStyleOf(window) & WS_EX_WINDOWEDGE);
  RECT client = ClientRectOf(window);
  EXPECT_EQ(client.right, 115);
  EXPECT_EQ(client.bottom, 55);
  RECT outer = WindowRectOf(window);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  EXPECT_GT(width, 115);  // a frame around the client area
  EXPECT_GT(height, 55 + GetSystemMetrics(SM_CYCAPTION) - 1);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  EXPECT_FALSE(IsIconic(window));
  EXPECT_FALSE(IsZoomed(window));
  char title[32] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Tamrix");
  EXPECT_EQ(ClassNameOf(window), "WindowClass_0");
  EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), CS_DBLCLKS);
  EXPECT_EQ(GetClassLongPtrW(window, GCLP_WNDPROC), reinterpret_cast<LONG_PTR>(WindowProc));
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HCURSOR), reinterpret_cast<LONG_PTR>(LoadCursorA(nullptr, IDC_ARROW)));
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HMODULE), reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)));
  EXPECT_EQ(GetPropA(window, "ZX_WindowID"), reinterpret_cast<HANDLE>(1));
  EXPECT_EQ(GadgetListSelect(nullptr), window);
  WindowRecord *record = WindowLookup(0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->sizedFlag, 0);
  EXPECT_EQ(record->painter, nullptr);
}

TEST_F(WindowOpenTest, ClockWindowWithAlarmLine) {
  WindowOpen(0, 600, 600, 115, 72, "Tamrix", 0xCA0001);
  RECT client = ClientRectOf(WindowHandle(0));
  EXPECT_EQ(client.right, 115);
  EXPECT_EQ(client.bottom, 72);
}

// Read back with GetWindowTextW, a title is its cp1252 bytes as Windows' own
// 1252 table maps them. Also run under another ANSI code page (the locale
// cases, registered with TAMRIX_CODE_PAGE).
TEST_F(WindowOpenTest, TitleTexts) {
  ASSERT_TRUE(InCaseCodePage()) << "the locale did not reach Wine: ANSI code page " << GetACP();
  const std::string upperHalf = UpperHalf1252();
  struct Case {
    const char *title;
    const char *expected;
  } cases[] = {{nullptr, ""}, {"", ""}, {"Tamrix", "Tamrix"}, {"Gr\xFC\xDF" "e", "Gr\xFC\xDF" "e"},
               {upperHalf.c_str(), upperHalf.c_str()}};  // every byte from 0x80 to 0xFF
  for (const Case &c : cases) {
    SCOPED_TRACE(c.expected);
    ASSERT_NE(WindowOpen(0, 10, 10, 150, 50, c.title, 0), 0);
    WCHAR text[256] = {L'?'};
    GetWindowTextW(WindowHandle(0), text, 256);
    EXPECT_EQ(std::wstring(text), WideFrom1252(c.expected));
  }
}

TEST_F(WindowOpenTest, ClassIconIsIconResourceOne) {
  if (!FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */))
    GTEST_SKIP() << "skipped: this program carries no icon resource 1 (resources/tamrix.ico not made yet)";
  WindowOpen(0, 0, 0, 50, 50, "icon", 0);
  HICON expected = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(GetClassLongPtrA(WindowHandle(0), GCLP_HICON), reinterpret_cast<LONG_PTR>(expected));
}

TEST_F(WindowOpenTest, Accelerators) {
  WindowOpen(0, 0, 0, 50, 50, "keys", 0);
  WindowRecord *record = WindowLookup(0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->accelCount, 2);
  ACCEL entries[4] = {};
  ASSERT_EQ(CopyAcceleratorTableA(record->accelTable, entries, 4), 2);
  EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FNOINVERT);
  EXPECT_EQ(entries[0].key, VK_TAB);
  EXPECT_EQ(entries[0].cmd, 64001);
  EXPECT_EQ(entries[1].fVirt, FVIRTKEY | FNOINVERT | FSHIFT);
  EXPECT_EQ(entries[1].key, VK_TAB);
  EXPECT_EQ(entries[1].cmd, 64002);
  EXPECT_EQ(memcmp(entries, record->accelEntries, 2 * sizeof(ACCEL)), 0);
  EXPECT_EQ(WindowAccelerators(WindowHandle(0)), record->accelTable);
  EXPECT_EQ(WindowAccelerators(nullptr), nullptr);
  EXPECT_EQ(WindowAccelerators(GetDesktopWindow()), nullptr);
}

struct FlagCase {
  const char *name;
  uint32_t flags;
  DWORD style;    // without SystemStyleBits
  DWORD exStyle;  // without SystemExStyleBits
  bool visible;
  bool zoomed;
  bool iconic;
  int32_t sizedFlag;
  bool becomesList;
};

TEST_F(WindowOpenTest, FlagWords) {
  const FlagCase cases[] = {
      {"no flags: caption added", 0, WS_CAPTION, 0, true, false, false, 0, true},
      {"bit 3 alone: caption, list unchanged", 0x8, WS_CAPTION, 0, true, false, false, 0, false},
      {"bit 28: hidden, caption", 0x10000000, WS_CAPTION, 0, false, false, false, 0, true},
      {"bits 28 and 3", 0x10000008, WS_CAPTION, 0, false, false, false, 0, false},
      {"bit 0 alone keeps the default caption", 0x1, WS_CAPTION, 0, true, false, false, 0, true},
      {"bits 0 and 1", 0x3, WS_CAPTION, 0, true, false, false, 0, true},
      {"clock flags", 0xCA0001, 0xCA0000, 0, true, false, false, 0, true},
      {"bit 2 alone: tool window with caption", 0x4, WS_CAPTION, WS_EX_TOOLWINDOW, true, false, false, 0, true},
      {"bit 2 strips the boxes", 0x4 | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_CAPTION | WS_SYSMENU,
       WS_EX_TOOLWINDOW, true, false, false, 0, true},
      {"bit 2 strips minimise and maximise", 0x4 | WS_POPUP | WS_MINIMIZE | WS_MAXIMIZE, WS_POPUP | WS_CAPTION,
       WS_EX_TOOLWINDOW, true, false, false, 0, true},
      {"popup with border: no caption added", WS_POPUP | WS_BORDER, WS_POPUP | WS_BORDER, 0, true, false, false, 0,
       true},
      {"maximised", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MAXIMIZE,
       WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MAXIMIZE, 0, true, true, false, 1, true},
      {"minimised", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MINIMIZE,
       WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MINIMIZE, 0, true, false, true, 1, true},
      {"hidden maximise style: not shown", 0x10000000 | WS_CAPTION | WS_MAXIMIZE, WS_CAPTION | WS_MAXIMIZE, 0, false,
       true, false, 1, true},
  };
  for (const FlagCase &c : cases) {
    SCOPED_TRACE(c.name);
    HWND before = GadgetListSelect(nullptr);
    intptr_t result = WindowOpen(1, 100, 100, 120, 80, "flags", c.flags);
    HWND window = WindowHandle(1);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(result, reinterpret_cast<intptr_t>(window));
    EXPECT_EQ(StyleOf(window) & ~SystemStyleBits, c.style);
    EXPECT_EQ(ExStyleOf(window) & ~SystemExStyleBits, c.exStyle);
    EXPECT_EQ(IsWindowVisible(window) != 0, c.visible);
    EXPECT_EQ(IsZoomed(window) != 0, c.zoomed);
    EXPECT_EQ(IsIconic(window) != 0, c.iconic);
    EXPECT_EQ(WindowLookup(1)->sizedFlag, c.sizedFlag);
    EXPECT_EQ(GadgetListSelect(nullptr), c.becomesList ? window : before);
    if (!c.zoomed && !c.iconic && !(c.flags & 0x3)) {
      RECT client = ClientRectOf(window), outer = WindowRectOf(window);
      EXPECT_EQ(client.right, 120);
      EXPECT_EQ(client.bottom, 80);
      EXPECT_EQ(outer.left, 100);
      EXPECT_EQ(outer.top, 100);
    }
    WindowClose(1);
  }
}

TEST_F(WindowOpenTest, OuterSizeFollowsTheStyles) {
  // The client area is the asked size whatever frame the styles bring, and
  // below the system's minimum tracking size where the user cannot resize.
  struct Case {
    uint32_t flags;
    int32_t width, height;
  } cases[] = {{0, 160, 90}, {0x4, 160, 90}, {WS_POPUP, 160, 90}, {WS_POPUP | WS_BORDER, 160, 90},
               {WS_CAPTION | WS_THICKFRAME, 160, 90}, {WS_CAPTION | WS_SYSMENU | WS_DLGFRAME, 160, 90},
               {0x4 | WS_THICKFRAME, 160, 90}, {0, 30, 10}, {0xCA0000, 30, 10}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.flags << " " << c.width << "x" << c.height);
    WindowOpen(2, 30, 40, c.width, c.height, "size", c.flags);
    HWND window = WindowHandle(2);
    ASSERT_NE(window, nullptr);
    RECT client = ClientRectOf(window);
    EXPECT_EQ(client.right, c.width);
    EXPECT_EQ(client.bottom, c.height);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT outer = WindowRectOf(window);
    EXPECT_EQ(outer.left, 30);
    EXPECT_EQ(outer.top, 40);
    EXPECT_GE(origin.x, outer.left);
    EXPECT_GE(origin.y, outer.top);
  }
}

TEST_F(WindowOpenTest, CentredOnScreenIsCutToTheScreen) {
  int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  struct Case {
    int width, height;
    bool cut;
  } cases[] = {{115, 55, false}, {screenWidth * 2, 100, true}, {150, screenHeight * 2, true}, {3000, 3000, true}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.width * 10000 + c.height);
    WindowOpen(0, 600, 600, c.width, c.height, "big", 0xCA0001);
    HWND window = WindowHandle(0);
    ASSERT_NE(window, nullptr);
    RECT outer = WindowRectOf(window);
    int width = outer.right - outer.left, height = outer.bottom - outer.top;
    EXPECT_LE(width, screenWidth);
    EXPECT_LE(height, screenHeight);
    EXPECT_EQ(outer.left, (screenWidth - width) / 2);
    EXPECT_EQ(outer.top, (screenHeight - height) / 2);
    if (c.cut) {
      EXPECT_TRUE(outer.left == 0 || outer.top == 0);
    }
    if (c.width >= screenWidth) {
      EXPECT_EQ(outer.left, 0);
    }
    if (c.height >= screenHeight) {
      EXPECT_EQ(outer.top, 0);
    }
  }
}

TEST_F(WindowOpenTest, IgnoreValueLetsTheSystemPlace) {
  // The system's placement does not depend on the coordinate that was given.
  struct Case {
    int x, y;
  } cases[] = {{IgnoreValue, 300}, {IgnoreValue, IgnoreValue}, {250, IgnoreValue}};
  HWND reference = CreateWindowExA(0, "STATIC", "reference", WS_OVERLAPPED | WS_CAPTION, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(reference, nullptr);
  RECT system = WindowRectOf(reference);
  DestroyWindow(reference);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.x * 100000 + c.y);
    WindowOpen(0, c.x, c.y, 100, 60, "placed", 0);
    RECT outer = WindowRectOf(WindowHandle(0));
    EXPECT_NE(outer.left, IgnoreValue);
    EXPECT_NE(outer.top, IgnoreValue);
    if (c.x != IgnoreValue) {
      EXPECT_NE(outer.left, c.x);
    }
    if (c.y != IgnoreValue) {
      EXPECT_NE(outer.top, c.y);
    }
    EXPECT_GE(outer.left, system.left - 200);
    EXPECT_LE(outer.left, system.left + 200);
  }
}

TEST_F(WindowOpenTest, CentredOnTheActiveWindow) {
  WindowOpen(0, 200, 150, 400, 300, "owner", 0);
  HWND active = WindowHandle(0);
  SetActiveWindow(active);
  ASSERT_EQ(GetActiveWindow(), active);
  RECT around = WindowRectOf(active);
  // Wider than the system's minimum tracking width, which would widen the window after placement.
  WindowOpen(1, 5, 5, 150, 50, "centred", 0x2);
  RECT outer = WindowRectOf(WindowHandle(1));
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  EXPECT_EQ(outer.left, around.left + ((around.right - around.left) - width) / 2);
  EXPECT_EQ(outer.top, around.top + ((around.bottom - around.top) - height) / 2);

  // A larger window would start left of and above the screen: raised to 0.
  WindowOpen(2, 0, 0, 40, 30, "small", 0);
  SetActiveWindow(WindowHandle(2));
  ASSERT_EQ(GetActiveWindow(), WindowHandle(2));
  WindowOpen(3, 5, 5, 600, 500, "larger", 0x2);
  outer = WindowRectOf(WindowHandle(3));
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
  RECT client = ClientRectOf(WindowHandle(3));
  EXPECT_EQ(client.right, 600);  // not cut
  EXPECT_EQ(client.bottom, 500);
}

TEST_F(WindowOpenTest, CentredOnNoActiveWindowKeepsThePosition) {
  WindowOpen(0, 70, 80, 100, 50, "hidden", 0x10000000);
  SetActiveWindow(nullptr);
  ASSERT_EQ(GetActiveWindow(), nullptr);
  WindowOpen(1, 120, 90, 100, 50, "centred", 0x2 | 0x10000000);
  RECT outer = WindowRectOf(WindowHandle(1));
  EXPECT_EQ(outer.left, 120);
  EXPECT_EQ(outer.top, 90);
  // IgnoreValue with nothing to centre on is not taken as a coordinate.
  const int32_t positions[][2] = {{IgnoreValue, 90}, {120, IgnoreValue}, {IgnoreValue, IgnoreValue}};
  for (const auto &position : positions) {
    SCOPED_TRACE(position[0] * 100000 + position[1]);
    WindowOpen(2, position[0], position[1], 100, 50, "ignored", 0x2 | 0x10000000);
    outer = WindowRectOf(WindowHandle(2));
    EXPECT_GE(outer.left, 0);
    EXPECT_GE(outer.top, 0);
    EXPECT_LT(outer.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LT(outer.top, GetSystemMetrics(SM_CYSCREEN));
  }
}

TEST_F(WindowOpenTest, IgnoreValueWithCentringIsCentred) {
  const uint32_t flagWords[] = {0x1, 0x3};
  for (uint32_t flags : flagWords) {
    SCOPED_TRACE(flags);
    WindowOpen(0, IgnoreValue, IgnoreValue, 150, 60, "centred", flags);
    RECT outer = WindowRectOf(WindowHandle(0));
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
  }
}

TEST_F(WindowOpenTest, ToolWindowMinimumTrackWidth) {
  WindowOpen(0, 10, 10, 100, 50, "tool", 0x4);
  WindowOpen(1, 10, 10, 100, 50, "plain", 0);
  struct Case {
    intptr_t number;
    bool one;
  } cases[] = {{0, true}, {1, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.number);
    MINMAXINFO info = {};
    info.ptMinTrackSize.x = 77;
    info.ptMinTrackSize.y = 66;
    SendMessageA(WindowHandle(c.number), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (c.one) {
      EXPECT_EQ(info.ptMinTrackSize.x, 1);
    } else {
      EXPECT_NE(info.ptMinTrackSize.x, 1);
    }
    EXPECT_NE(info.ptMinTrackSize.y, 1);
  }
}

TEST_F(WindowOpenTest, ReopeningANumberClosesTheEarlierWindowFirst) {
  WindowOpen(4, 10, 10, 100, 50, "first", 0);
  HWND first = WindowHandle(4);
  ASSERT_NE(first, nullptr);
  WindowRecord before = *WindowLookup(4);
  WindowOpen(4, 20, 20, 110, 60, "second", 0);
  HWND second = WindowHandle(4);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_NE(second, first);
  EXPECT_EQ(ClassNameOf(second), "WindowClass_4");
  EXPECT_EQ(GetPropA(second, "ZX_WindowID"), reinterpret_cast<HANDLE>(5));
  EXPECT_EQ(CopyAcceleratorTableA(before.accelTable, nullptr, 0), 0);  // the earlier table is gone
  EXPECT_EQ(LiveWindowCount(), 1);
}

WNDPROC beforeWatch;
HANDLE idAtDestroy;
LRESULT CALLBACK WatchDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) idAtDestroy = GetPropA(window, "ZX_WindowID");
  return CallWindowProcA(beforeWatch, window, message, wParam, lParam);
}

TEST_F(WindowOpenTest, CloseDestroysWindowClassAndAccelerators) {
  // Closing needs no memory: without any, everything goes all the same.
  for (bool noMemory : {false, true}) {
    SCOPED_TRACE(noMemory ? "no memory" : "memory");
    WindowOpen(3, 10, 10, 100, 50, "close", 0);
    HWND window = WindowHandle(3);
    // The number is gone before destruction starts: its messages belong to no window.
    beforeWatch = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchDestroy)));
    idAtDestroy = reinterpret_cast<HANDLE>(-1);
    HACCEL table = WindowLookup(3)->accelTable;
    WNDCLASSA info;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_3", &info));
    PlatformHeap heap = RuntimeHeap;
    if (noMemory) RuntimeHeap = nullptr;  // every allocation from it fails
    WindowClose(3);
    RuntimeHeap = heap;
    EXPECT_EQ(idAtDestroy, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_3", &info));
    EXPECT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 0);
    EXPECT_EQ(WindowLookup(3), nullptr);
    EXPECT_EQ(GadgetListSelect(nullptr), nullptr);  // it was the current list
  }
  WindowClose(3);   // closing again does nothing
  WindowClose(999);
  WindowClose(-7);
}

TEST_F(WindowOpenTest, WindowDestroyedBehindTheLibraryNamesNothing) {
  const intptr_t numbers[] = {4, AutoNumber};
  for (intptr_t asked : numbers) {
    SCOPED_TRACE(asked);
    intptr_t result = WindowOpen(asked, 10, 10, 100, 50, "gone", 0);
    intptr_t number = asked == AutoNumber ? result : asked;
    HWND window = WindowHandle(number);
    ASSERT_NE(window, nullptr);
    int before = LiveWindowCount();
    DestroyWindow(window);
    EXPECT_EQ(WindowLookup(number), nullptr);
    EXPECT_EQ(WindowHandle(number), nullptr);
    EXPECT_EQ(LiveWindowCount(), before - 1);
    EXPECT_EQ(WindowResize(number, IgnoreValue, IgnoreValue, IgnoreValue, IgnoreValue), 0);
    WindowClose(number);  // nothing left to close
  }
  // The number opens again, although its class could not go with the window.
  EXPECT_NE(WindowOpen(4, 10, 10, 100, 50, "again", 0), 0);
  WindowClose(4);
  WNDCLASSA info;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_4", &info));
}

TEST_F(WindowOpenTest, CloseActivatesTheOwner) {
  WindowOpen(0, 10, 10, 100, 50, "owner", 0);
  WindowOpen(1, 40, 40, 100, 50, "owned", 0);
  HWND owner = WindowHandle(0), owned = WindowHandle(1);
  SetWindowLongPtrA(owned, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  ASSERT_EQ(GetWindow(owned, GW_OWNER), owner);
  WindowOpen(2, 80, 80, 100, 50, "other", 0);
  SetActiveWindow(owned);
  ASSERT_EQ(GetActiveWindow(), owned);
  WindowClose(1);
  EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(WindowOpenTest, FailedCreationLeavesNothing) {
  HWND current = GadgetListSelect(nullptr);
  int before = LiveWindowCount();
  HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  intptr_t fixed = WindowOpen(6, 10, 10, 100, 50, "refused", 0);
  intptr_t automatic = WindowOpen(AutoNumber, 10, 10, 100, 50, "refused", 0);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(fixed, 0);
  EXPECT_EQ(automatic, 0);
  EXPECT_EQ(WindowLookup(6), nullptr);
  EXPECT_EQ(LiveWindowCount(), before);
  EXPECT_EQ(WindowLibrary->windowTable->autoList, nullptr);
  WNDCLASSA info;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_6", &info));
  EXPECT_EQ(GadgetListSelect(nullptr), current);
  // The number is free for a later window.
  EXPECT_NE(WindowOpen(6, 10, 10, 100, 50, "accepted", 0), 0);
}

TEST_F(WindowOpenTest, NumbersThatNameNoWindow) {
  WindowOpen(0, 10, 10, 100, 50, "zero", 0);
  const intptr_t numbers[] = {1, 15, 16, 1000, -2, -65535, reinterpret_cast<intptr_t>(WindowHandle(0)),
                              reinterpret_cast<intptr_t>(WindowLookup(0))};
  for (intptr_t number : numbers) {
    SCOPED_TRACE(number);
    EXPECT_EQ(WindowLookup(number), nullptr);
    EXPECT_EQ(WindowHandle(number), nullptr);
    EXPECT_EQ(WindowResize(number, 1, 1, 10, 10), 0);
    WindowSetTopmost(number, 1);
    WindowSetFlickerFree(number, 1);
    WindowClose(number);
  }
  EXPECT_NE(WindowHandle(0), nullptr);
  EXPECT_EQ(LiveWindowCount(), 1);
  EXPECT_EQ(WindowOpen(-2, 10, 10, 100, 50, "negative", 0), 0);
}

TEST_F(WindowOpenTest, EndClosesEveryWindow) {
  WindowOpen(0, 10, 10, 100, 50, "zero", 0);
  WindowOpen(5, 10, 10, 100, 50, "five", 0);
  intptr_t automatic = WindowOpen(AutoNumber, 10, 10, 100, 50, "auto", 0);
  HWND windows[] = {WindowHandle(0), WindowHandle(5), WindowHandle(automatic)};
  for (HWND window : windows) ASSERT_TRUE(IsWindow(window));
  WindowEnd();
  for (HWND window : windows) EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(LiveWindowCount(), 0);
  EXPECT_EQ(WindowLibrary->windowTable->autoList, nullptr);
}

TEST_F(WindowOpenTest, AutoNumberWindowsUseTheirWholeHandle) {
  intptr_t first = WindowOpen(AutoNumber, 10, 10, 100, 50, "auto 1", 0);
  intptr_t second = WindowOpen(AutoNumber, 20, 20, 100, 50, "auto 2", 0x8);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  EXPECT_NE(first, second);
  for (intptr_t number : {first, second}) {
    SCOPED_TRACE(number);
    WindowRecord *record = WindowLookup(number);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(record), number);  // the handle is the record's address
    HWND window = record->windowHandle;
    char expected[48];
    snprintf(expected, sizeof expected, "WindowClass_%lld", static_cast<long long>(number));
    EXPECT_EQ(ClassNameOf(window), expected);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(window, "ZX_WindowID")), number + 1);
    EXPECT_EQ(WindowAccelerators(window), record->accelTable);
    EventPost(1, 0, 0, 0);  // something to separate the moves
    EXPECT_NE(WindowResize(number, 33, 44, 120, 70), 0);
    RECT outer = WindowRectOf(window);
    EXPECT_EQ(outer.left, 33);
    EXPECT_EQ(outer.top, 44);
  }
#ifdef _WIN64
  // Heap addresses on x86_64 may lie above 4 GiB; whatever they are, a
  // number cut to 32 bits must not find the window.
  if (first != static_cast<intptr_t>(static_cast<int32_t>(first))) {
    EXPECT_EQ(WindowLookup(static_cast<intptr_t>(static_cast<int32_t>(first))), nullptr);
  }
#endif
  // Events carry the whole number.
  DrainAll();
  SendMessageA(WindowHandle(first), WM_CLOSE, 0, 0);
  ASSERT_EQ(WindowWaitEvent(0), EventCloseRequest);
  EXPECT_EQ(WindowEventState()->snapshot.object, first);
  EXPECT_EQ(WindowEventState()->snapshot.window, first);
  WindowClose(first);
  EXPECT_EQ(WindowLookup(first), nullptr);
  EXPECT_NE(WindowLookup(second), nullptr);
}

TEST(WindowFormatNameTest, PrintsTheWholeSignedValue) {
  struct Case {
    intptr_t value;
    const char *text;
  } cases[] = {
      {0, "WindowClass_0"},
      {1, "WindowClass_1"},
      {-1, "WindowClass_-1"},
      {2147483647, "WindowClass_2147483647"},
      {-2147483647 - 1, "WindowClass_-2147483648"},
#ifdef _WIN64
      {static_cast<intptr_t>(0x140000000LL), "WindowClass_5368709120"},
      {INTPTR_MAX, "WindowClass_9223372036854775807"},
      {INTPTR_MIN, "WindowClass_-9223372036854775808"},
#endif
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    char name[WindowNameSize];
    WindowClassName(name, c.value);
    EXPECT_STREQ(name, c.text);
  }
}

}  // namespace
