#include <stdio.h>

#include "gadget_env.h"
#include "runtime/platform/program_instance.h"
#include "harness/gdi_count.h"

namespace gadgettest {
namespace {

int64_t ThreadWindows() {
  return harness::WindowCountOfThread(GetCurrentThreadId());
}

// The counters must see objects come and go, or a leak check proves nothing.
TEST(LeakCounterTest, CountersSeeObjectsComeAndGo) {
  if constexpr (harness::GdiCounts) {
    int64_t gdi = harness::GdiObjectCountOfThisProcess();
    ASSERT_GE(gdi, 0) << "the GDI handle table is readable";
    HBRUSH brushes[10];
    for (HBRUSH &brush : brushes) brush = CreateSolidBrush(0x00102030);
    HFONT font = CreateFontA(-13, 0, 0, 0, 700, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    EXPECT_EQ(harness::GdiObjectCountOfThisProcess(), gdi + 11);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    DeleteObject(font);
    EXPECT_EQ(harness::GdiObjectCountOfThisProcess(), gdi);
  }

  // While the thread has a top-level window the system keeps a helper window
  // (the default IME window) for it; keep one open so that it stays.
  HWND keeper = CreateWindowExA(0, "Static", "keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ProgramInstance, nullptr);
  ASSERT_NE(keeper, nullptr);
  int64_t windows = ThreadWindows();
  HWND top = CreateWindowExA(0, "Static", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, ProgramInstance, nullptr);
  HWND child = CreateWindowExA(0, "Static", "child", WS_CHILD, 0, 0, 5, 5, top, nullptr, ProgramInstance, nullptr);
  ASSERT_TRUE(top && child);
  EXPECT_EQ(ThreadWindows(), windows + 2);
  EXPECT_GE(harness::WindowCountOfProcess(GetCurrentProcessId()), windows + 2);
  DestroyWindow(top);
  EXPECT_EQ(ThreadWindows(), windows);
  DestroyWindow(keeper);
}

struct Counts {
  int64_t gdi, windows, heapBlocks;
};

Counts Measure() {
  PlatformHeapStats stats;
  PlatformHeapGetStats(RuntimeHeap, &stats);
  return {harness::GdiObjectCountOfThisProcess(), ThreadWindows(), stats.liveBlocks};
}

// What the clock does on every pass of its loop.
void ClockPass(int i) {
  char text[64];
  snprintf(text, sizeof text, "Dienstag\r08.12.2026\r%02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
  GadgetSetText(1, text);
  WindowResize(0, IgnoreValue, IgnoreValue, IgnoreValue, IgnoreValue);
  PumpMessages();
}

TEST(GadgetLeakTest, TenThousandClockPassesLeakNothing) {
  ASSERT_NE(WindowOpen(0, 600, 600, 115, 55, "Tamrix", 0xCA0001), 0);
  ASSERT_NE(GadgetCreateText(1, 2, 2, 110, 52, "-.-.-", 0x20001), 0);
  GadgetSetColor(1, ColorFront, 255);
  GadgetSetFont(1, FontHandle(FontLoad(AutoNumber, "Arial", 10, FontStyleBold)));
  WindowSetFlickerFree(0, 1);
  WindowSetTopmost(0, 1);
  // Caches of the display driver fill during the first paints.
  for (int i = 0; i < 200; i++) ClockPass(i);

  Counts before = Measure();
  for (int i = 0; i < 10000; i++) ClockPass(i);
  Counts after = Measure();
  printf("GDI objects %lld -> %lld, windows %lld -> %lld, heap blocks %lld -> %lld\n",
         static_cast<long long>(before.gdi), static_cast<long long>(after.gdi), static_cast<long long>(before.windows),
         static_cast<long long>(after.windows), static_cast<long long>(before.heapBlocks),
         static_cast<long long>(after.heapBlocks));
  if constexpr (harness::GdiCounts) {
    ASSERT_GE(before.gdi, 0);
    EXPECT_LE(after.gdi, before.gdi);
  }
  EXPECT_LE(after.windows, before.windows);
  EXPECT_LE(after.heapBlocks, before.heapBlocks);

  GadgetEnd();
  WindowEnd();
  FontEnd();
  PumpMessages();
}

// Under Wine the monitor cannot change: the window is told it did, as
// Windows tells it, with the rectangle the system suggests. 96 -> 144 -> 96:
// the rectangle taken, the gadget laid out and its font made for each DPI,
// and no GDI object left over.
TEST(GadgetLeakTest, DpiChangeLaysTheClockOutAgainAndLeavesNothing) {
  ASSERT_NE(WindowOpen(0, 600, 600, 115, 72, "Tamrix", 0xCA0001), 0);
  ASSERT_NE(GadgetCreateText(1, 2, 2, 110, 69, "Dienstag\r08.12.2026\r12:00:00\r *07:30:00*", 0x20001), 0);
  GadgetSetFont(1, FontHandle(FontLoad(AutoNumber, "Arial", 10, FontStyleBold)));
  PumpMessages();
  HWND window = WindowHandle(0), gadget = GadgetHandle(1);
  RECT at96;
  GetWindowRect(window, &at96);
  const RECT at144 = {at96.left - 30, at96.top - 20, at96.left - 30 + 209, at96.top - 20 + 144};
  int64_t gdi = harness::GdiObjectCountOfThisProcess();
  const struct {
    int dpi;
    RECT suggested;
    int64_t gdiMore;  // the gadget's own copy of the font
  } steps[] = {{144, at144, 1}, {96, at96, 0}};
  for (const auto &step : steps) {
    SCOPED_TRACE(step.dpi);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(step.dpi, step.dpi), reinterpret_cast<LPARAM>(&step.suggested));
    PumpMessages();
    RECT outer, place = ChildRect(gadget);
    GetWindowRect(window, &outer);
    EXPECT_TRUE(EqualRect(&outer, &step.suggested));
    EXPECT_EQ(place.left, MulDiv(2, step.dpi, 96));
    EXPECT_EQ(place.top, MulDiv(2, step.dpi, 96));
    EXPECT_EQ(place.right - place.left, MulDiv(110, step.dpi, 96));
    EXPECT_EQ(place.bottom - place.top, MulDiv(69, step.dpi, 96));
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageW(gadget, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(10, step.dpi, 72));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    if constexpr (harness::GdiCounts) {
      EXPECT_EQ(harness::GdiObjectCountOfThisProcess(), gdi + step.gdiMore);
    }
  }

  GadgetEnd();
  WindowEnd();
  FontEnd();
  PumpMessages();
}

}  // namespace
}  // namespace gadgettest
