// The clock window pushed about while an alarm is armed: minimised, restored,
// moved and activated many times, Tab and Shift+Tab pressed in it. The clock
// must go on showing its four lines, stay where it was last put, keep its
// size and topmost state, make no GDI objects or windows on the way, and
// end with exit code 0 when closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault_support.h"
#include "harness/gdi_count.h"

using namespace driver;

namespace {

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void MoveTo(HWND window, int x, int y) {
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

// One round of what a restless user does to the window.
void Churn(HWND window, int round) {
  ShowWindowAsync(window, SW_MINIMIZE);
  Sleep(25);
  ShowWindowAsync(window, SW_RESTORE);
  Sleep(25);
  MoveTo(window, 40 + (round * 37) % 700, 30 + (round * 53) % 500);
  Sleep(25);
  faults::Activate(window);
  faults::SendKey(VK_TAB, false);
  faults::SendKey(VK_TAB, true);
  Sleep(25);
}

bool WaitFor(bool (*done)(HWND), HWND window, DWORD timeout) {
  DWORD start = GetTickCount();
  while (!done(window)) {
    if (GetTickCount() - start > timeout) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace

TEST(FaultWindow, ChurnWhileArmedKeepsFourLinesPositionAndObjects) {
  std::string alarm = faults::AlarmInAnHour();
  ClockProcess clock;
  ClockWindows w = faults::StartArmedClock(clock, alarm);
  ASSERT_NE(w.gadget, nullptr);
  std::string why;
  ASSERT_TRUE(faults::ClockTicks(w.gadget, alarm.c_str(), &why)) << why;
  RECT firstClient;
  GetClientRect(w.window, &firstClient);

  // The first rounds make what stays cached (DCs, the brush, the caption's
  // objects); only later rounds may not add anything.
  for (int round = 0; round < 5; round++) Churn(w.window, round);
  Sleep(1200);
  int64_t gdiBefore = harness::GdiObjectCount(clock.Process());
  int64_t windowsBefore = faults::WindowCount(clock);
  HWND focusBefore = FocusOf(w.window);

  for (int round = 5; round < 45; round++) Churn(w.window, round);

  // Minimised, the clock goes on ticking.
  ShowWindowAsync(w.window, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([](HWND h) { return IsIconic(h) != 0; }, w.window, 3000));
  EXPECT_TRUE(faults::ClockTicks(w.gadget, alarm.c_str(), &why)) << "while minimised: " << why;
  ShowWindowAsync(w.window, SW_RESTORE);
  ASSERT_TRUE(WaitFor([](HWND h) { return IsIconic(h) == 0; }, w.window, 3000));

  // Put by the user, the window stays: the passes re-apply it in place.
  MoveTo(w.window, 100, 80);
  faults::Activate(w.window);
  faults::SendKey(VK_TAB, false);
  faults::SendKey(VK_TAB, true);
  Sleep(1200);
  RECT outer, client;
  GetWindowRect(w.window, &outer);
  GetClientRect(w.window, &client);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 80);
  EXPECT_EQ(client.right - client.left, firstClient.right - firstClient.left);
  EXPECT_EQ(client.bottom - client.top, firstClient.bottom - firstClient.top);
  EXPECT_TRUE(GetWindowLongA(w.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowEnabled(w.window));
  EXPECT_EQ(GetForegroundWindow(), w.window) << "the clock could not be activated; the keys went elsewhere";
  EXPECT_EQ(FocusOf(w.window), focusBefore) << "Tab or Shift+Tab moved the focus in a window without tab stops";

  std::string text;
  EXPECT_TRUE(faults::ClockTicks(w.gadget, alarm.c_str(), &why)) << why;
  ASSERT_TRUE(ClockShowsTime(w.gadget, alarm.c_str(), &text)) << Printable(text);
  std::vector<std::string> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 4u) << Printable(text);
  EXPECT_EQ(lines[3], " *" + alarm + "*");
  EXPECT_EQ(Children(w.window).size(), 1u);

  int64_t gdiAfter = harness::GdiObjectCount(clock.Process());
  if constexpr (harness::GdiCounts) {
    EXPECT_GE(gdiBefore, 0) << "the GDI handle table of the program cannot be read";
    EXPECT_EQ(gdiAfter, gdiBefore) << "GDI objects after 40 more rounds";
  }
  EXPECT_EQ(faults::WindowCount(clock), windowsBefore);
  RecordProperty("gdi_objects", static_cast<int>(gdiAfter));
  EXPECT_EQ(faults::CloseClock(clock, w.window), 0u);
}

// The alarm coming while the clock is minimised (and still the active
// window): the message must be there for the user to confirm.
TEST(FaultWindow, AlarmWhileMinimisedShowsMessage) {
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr);
  int64_t now = LocalNowMs();
  std::string alarm = FormatTime(FromMilliseconds(now - now % 1000 + 5000));
  TypeText(parts.edit, alarm);
  PressKey(parts.edit, VK_RETURN);
  ASSERT_NE(clock.WaitDialog(NameTitle, &parts), nullptr);
  PressKey(parts.edit, VK_RETURN);
  ClockWindows w = WaitClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  faults::Activate(w.window);
  ShowWindowAsync(w.window, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([](HWND h) { return IsIconic(h) != 0; }, w.window, 3000));
  HWND box = clock.WaitMessageBox(AlarmTitle, 15000);
  if (!box) {
    // Say where it went: a message box of the program that is not visible.
    HWND hidden = nullptr;
    while ((hidden = FindWindowExA(nullptr, hidden, MessageClass, AlarmTitle)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(hidden, &pid);
      if (pid == clock.ProcessId()) break;
    }
    FAIL() << "no visible alarm message"
           << (hidden ? "; it exists but is hidden, owner minimised: " + std::to_string(IsIconic(GetWindow(hidden, GW_OWNER)))
                      : std::string());
  }
  EXPECT_EQ(MessageBoxText(box), alarm + "\r\r" + NameDefault);
  ConfirmMessage(box);
  EXPECT_EQ(clock.WaitExit(), 0u);
}
