// The clock window as another program sees it: class, title, styles, size,
// position, properties, the text gadget, the time it shows, and the red bold
// Arial of its text on the screen.
#include <gtest/gtest.h>

#include <stdint.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "clock_driver.h"
#include "harness/gdi_count.h"

using namespace driver;

namespace {

// Opens the four-line clock with an alarm that does not come during the test.
ClockWindows StartAlarmClock(ClockProcess &clock, const char *entry) {
  if (!clock.Start()) return {};
  DialogParts parts;
  if (!clock.WaitDialog(TimeTitle, &parts)) return {};
  TypeText(parts.edit, entry);
  PressKey(parts.edit, VK_RETURN);
  if (!clock.WaitDialog(NameTitle, &parts)) return {};
  PressKey(parts.edit, VK_RETURN);
  return WaitClock(clock);
}

// An alarm twelve hours ahead, written HH.MM as many users write it: the
// alarm line shows it as HH:MM:00, and it does not ring during the test.
struct AlarmAhead {
  char entry[8];
  char alarm[16];
  AlarmAhead() {
    SYSTEMTIME t = FromMilliseconds(LocalNowMs() + 12 * 3600 * 1000LL);
    snprintf(entry, sizeof entry, "%02u.%02u", t.wHour, t.wMinute);
    snprintf(alarm, sizeof alarm, "%02u:%02u:00", t.wHour, t.wMinute);
  }
};

struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> data;  // 0x00RRGGBB, top-down
  uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

Pixels Capture(HDC source, int x, int y, int width, int height) {
  Pixels p;
  p.width = width;
  p.height = height;
  p.data.resize(static_cast<size_t>(width) * height);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  memcpy(p.data.data(), bits, p.data.size() * 4);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return p;
}

bool IsRedInk(uint32_t pixel) {
  int r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
  return r > 150 && g < 110 && b < 110;
}

bool IsDarkInk(uint32_t pixel) {
  int r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
  return r < 100 && g < 100 && b < 100;
}

int CountInk(const Pixels &p, int margin, bool (*ink)(uint32_t)) {
  int n = 0;
  for (int y = margin; y < p.height - margin; y++)
    for (int x = margin; x < p.width - margin; x++) n += ink(p.At(x, y)) ? 1 : 0;
  return n;
}

// How much red text covers, in pixels: red on the background leaves red
// as it is and lowers green and blue by the share the text covers, so
// anti-aliased edges count by their share.
double RedCoverage(const Pixels &p, int margin, uint32_t background) {
  double green = (background >> 8) & 255, total = 0;
  for (int y = margin; y < p.height - margin; y++)
    for (int x = margin; x < p.width - margin; x++) {
      uint32_t pixel = p.At(x, y);
      int r = (pixel >> 16) & 255, g = (pixel >> 8) & 255;
      if (r + 20 < g) continue;  // not on the way from background to red
      double share = 1.0 - g / green;
      if (share > 0) total += share;
    }
  return total;
}

// Red coverage of the lines drawn in our own Arial 10 point of the given
// weight on the given background.
double ReferenceRedCoverage(const std::string &text, int weight, uint32_t background) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 300;
  info.bmiHeader.biHeight = -120;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 255, (background >> 8) & 255, background & 255));
  RECT all = {0, 0, 300, 120};
  FillRect(memory, &all, brush);
  HFONT font = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  HGDIOBJ oldFont = SelectObject(memory, font);
  SetTextColor(memory, RGB(255, 0, 0));
  SetBkMode(memory, TRANSPARENT);
  TEXTMETRICA metrics;
  GetTextMetricsA(memory, &metrics);
  int y = 0;
  for (const std::string &line : SplitLines(text)) {
    TextOutA(memory, 4, y, line.c_str(), static_cast<int>(line.size()));
    y += metrics.tmHeight;
  }
  GdiFlush();
  Pixels p;
  p.width = 300;
  p.height = 120;
  p.data.assign(static_cast<uint32_t *>(bits), static_cast<uint32_t *>(bits) + 300 * 120);
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(font);
  DeleteObject(brush);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return RedCoverage(p, 0, background);
}

}  // namespace

TEST(ClockWindow, ClassTitleStylesSizeAndPosition) {
  ClockProcess clock;
  AlarmAhead ahead;
  ClockWindows w = StartAlarmClock(clock, ahead.entry);
  ASSERT_NE(w.window, nullptr);
  EXPECT_EQ(WindowText(w.window), "Tamrix");
  LONG style = GetWindowLongA(w.window, GWL_STYLE);
  LONG exStyle = GetWindowLongA(w.window, GWL_EXSTYLE);
  // Caption, system menu and minimise box; no maximise box, no sizing frame.
  EXPECT_EQ(style & 0x00CF0000, 0x00CA0000) << std::hex << style;
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST) << std::hex << exStyle;
  EXPECT_EQ(GetPropA(w.window, "ZX_WindowID"), reinterpret_cast<HANDLE>(1));

  // Sizes of 96 dpi, scaled to the screen's DPI (PREFIX dpi-N).
  RECT client, outer;
  GetClientRect(w.window, &client);
  GetWindowRect(w.window, &outer);
  EXPECT_EQ(client.right - client.left, Scaled(115));
  EXPECT_EQ(client.bottom - client.top, Scaled(72));
  int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2) << "centred horizontally";
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2) << "centred vertically";

  ASSERT_NE(w.gadget, nullptr);
  EXPECT_EQ(ClassOf(w.gadget), "Static");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w.gadget, GWL_STYLE)), 0x50020001u);
  EXPECT_TRUE(GetWindowLongA(w.gadget, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(GetDlgCtrlID(w.gadget), 1);
  EXPECT_EQ(GetPropA(w.gadget, "ZX_ID"), reinterpret_cast<HANDLE>(1));
  RECT gadget;
  GetWindowRect(w.gadget, &gadget);
  MapWindowPoints(nullptr, w.window, reinterpret_cast<POINT *>(&gadget), 2);
  EXPECT_EQ(gadget.left, Scaled(2));
  EXPECT_EQ(gadget.top, Scaled(2));
  EXPECT_EQ(gadget.right - gadget.left, Scaled(110));
  EXPECT_EQ(gadget.bottom - gadget.top, Scaled(69));

  // All four lines fit inside the sunken edge in the clock's font.
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontA(-MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, 0, 0, 0,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  ReleaseDC(nullptr, screen);
  std::string text = WindowText(w.gadget);
  SIZE needed = TextBlockSize(text, font);
  DeleteObject(font);
  RECT inside;
  GetClientRect(w.gadget, &inside);
  EXPECT_EQ(SplitLines(text).size(), 4u) << Printable(text);
  EXPECT_LE(needed.cx, inside.right) << Printable(text);
  EXPECT_LE(needed.cy, inside.bottom) << Printable(text);

  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

TEST(ClockWindow, ShowsLocalTimeChangingEverySecond) {
  ClockProcess clock;
  AlarmAhead ahead;
  ClockWindows w = StartAlarmClock(clock, ahead.entry);
  ASSERT_NE(w.gadget, nullptr);
  std::string text;
  ASSERT_TRUE(ClockShowsTime(w.gadget, ahead.alarm, &text)) << Printable(text);
  std::vector<std::string> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], std::string(" *") + ahead.alarm + "*");

  // Three different seconds in a row, each the time of its reading.
  std::vector<std::string> times = {lines[2]};
  DWORD start = GetTickCount();
  while (times.size() < 3 && GetTickCount() - start < 4000) {
    Sleep(100);
    ASSERT_TRUE(ClockShowsTime(w.gadget, ahead.alarm, &text)) << Printable(text);
    std::string time = SplitLines(text)[2];
    if (time != times.back()) times.push_back(time);
  }
  EXPECT_EQ(times.size(), 3u) << "the time line did not change every second";

  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

TEST(ClockWindow, TextIsRedBoldArial) {
  ClockProcess clock;
  ClockWindows w = StartPlainClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  SetForegroundWindow(w.window);
  RECT r;
  GetWindowRect(w.gadget, &r);
  HDC screen = GetDC(nullptr);
  Pixels shot;
  std::string text;
  // The text must not change while it is captured.
  for (int attempt = 0; attempt < 10; attempt++) {
    std::string before = WindowText(w.gadget);
    Sleep(50);
    shot = Capture(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    text = WindowText(w.gadget);
    if (text == before) break;
  }
  ReleaseDC(nullptr, screen);
  const int edge = 3;  // the sunken frame and one pixel more
  uint32_t background = shot.At(edge, edge);
  int red = CountInk(shot, edge, IsRedInk);
  int dark = CountInk(shot, edge, IsDarkInk);
  double coverage = RedCoverage(shot, edge, background);
  double bold = ReferenceRedCoverage(text, FW_BOLD, background);
  double regular = ReferenceRedCoverage(text, FW_NORMAL, background);
  RecordProperty("red_pixels", red);
  RecordProperty("coverage", static_cast<int>(coverage));
  RecordProperty("bold_reference", static_cast<int>(bold));
  RecordProperty("regular_reference", static_cast<int>(regular));
  EXPECT_GT(red, 100) << "hardly any red text on the screen";
  EXPECT_EQ(dark, 0) << "text in the default colour";
  ASSERT_GT(bold, regular * 1.1) << "our own bold and regular Arial cannot be told apart";
  EXPECT_LT(fabs(coverage - bold), fabs(coverage - regular))
      << "red coverage " << coverage << ", Arial 10 bold would give " << bold << ", regular " << regular;

  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

// Under Wine the monitor cannot change: the clock is told, as Windows tells
// it, that its window moved to a monitor of 144 dpi, with the suggested
// rectangle in the clock's own memory. Its four lines then show in red inside
// the gadget, in the 144-dpi font (its layout: the win32 tier).
TEST(ClockWindow, FourRedLinesInsideTheGadgetAfterAMoveTo144Dpi) {
  ClockProcess clock;
  AlarmAhead ahead;
  ClockWindows w = StartAlarmClock(clock, ahead.entry);
  ASSERT_NE(w.gadget, nullptr);
  RECT r;
  GetWindowRect(w.window, &r);
  r.right = r.left + 3 * (r.right - r.left) / 2;
  r.bottom = r.top + 3 * (r.bottom - r.top) / 2;
  void *remote = VirtualAllocEx(clock.Process(), nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(remote && WriteProcessMemory(clock.Process(), remote, &r, sizeof r, nullptr));
  ASSERT_TRUE(SendMessageTimeoutA(w.window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(remote),
                                  SMTO_ABORTIFHUNG, 5000, nullptr));
  Sleep(1200);  // a pass draws the text again
  SetForegroundWindow(w.window);
  RECT inside;
  GetClientRect(w.gadget, &inside);
  MapWindowPoints(w.gadget, nullptr, reinterpret_cast<POINT *>(&inside), 2);
  HDC screen = GetDC(nullptr);
  Pixels shot = Capture(screen, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top);
  ReleaseDC(nullptr, screen);
  // The rows with red ink make one band per line, and no ink touches the edge.
  int bands = 0, first = -1, last = -2;
  for (int y = 0; y < shot.height; y++) {
    bool red = false;
    for (int x = 0; x < shot.width; x++) red = red || IsRedInk(shot.At(x, y));
    if (!red) continue;
    bands += last != y - 1;
    if (first < 0) first = y;
    last = y;
  }
  EXPECT_EQ(bands, 4);
  EXPECT_EQ(CountInk(shot, 1, IsRedInk), CountInk(shot, 0, IsRedInk)) << "red on the gadget's edge";
  // Four lines of Arial 10 bold span less than 4 x 15 rows at 96 dpi.
  EXPECT_GT(last - first, 60) << "the text is not in the 144-dpi font";

  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

// Every pass rebuilds and sets the text and re-applies the window; none of
// that may leave GDI objects or windows behind.
TEST(ClockWindow, PassesLeaveNoGdiObjectsOrWindows) {
  ClockProcess clock;
  AlarmAhead ahead;
  ClockWindows w = StartAlarmClock(clock, ahead.entry);
  ASSERT_NE(w.gadget, nullptr);
  auto windows = [&] {
    size_t n = 0;
    for (const SeenWindow &s : clock.Seen()) n += IsWindow(s.window) ? 1 + Children(s.window).size() : 0;
    return n;
  };
  // The first passes make the cached objects that stay (brush, DC caches).
  Sleep(1500);
  int64_t gdiBefore = harness::GdiObjectCount(clock.Process());
  if constexpr (harness::GdiCounts) {
    ASSERT_GE(gdiBefore, 0) << "the GDI handle table of the program cannot be read";
  }
  size_t windowsBefore = windows();
  Sleep(3000);
  int64_t gdiAfter = harness::GdiObjectCount(clock.Process());
  if constexpr (harness::GdiCounts) {
    EXPECT_EQ(gdiAfter, gdiBefore) << "GDI objects after three more passes";
  }
  EXPECT_EQ(windows(), windowsBefore);
  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}
