// A quit message posted to the program's main thread (PostThreadMessage, as
// another program or a shutdown helper might): in the time dialog it counts
// as an empty entry, in the name dialog as an emptied name, and while the
// clock runs it is one more message. The dialog always goes away, nothing
// hangs and the program ends with exit code 0.
#include <gtest/gtest.h>

#include <string>

#include "fault_support.h"

using namespace driver;

namespace {

DWORD ThreadOf(HWND window) {
  return GetWindowThreadProcessId(window, nullptr);
}

bool Gone(HWND window, DWORD timeout) {
  DWORD start = GetTickCount();
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (GetTickCount() - start > timeout) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace

TEST(FaultQuit, InTimeDialogGivesErrorMessageThenPlainClock) {
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  DialogParts parts;
  HWND dialog = clock.WaitDialog(TimeTitle, &parts);
  ASSERT_NE(dialog, nullptr);
  TypeText(parts.edit, "12:30");  // typed but never confirmed
  ASSERT_TRUE(PostThreadMessageA(ThreadOf(dialog), WM_QUIT, 0, 0));
  EXPECT_TRUE(Gone(dialog, 5000)) << "the time dialog stayed up after the quit message";
  HWND box = clock.WaitMessageBox(ErrorTitle);
  ASSERT_NE(box, nullptr) << "windows seen: " << testing::PrintToString(clock.SeenSequence());
  EXPECT_EQ(MessageBoxText(box), ErrorText);
  // The message waits for the user: the quit was not handed on to it.
  Sleep(700);
  EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box)) << "the error message went away by itself";
  ConfirmMessage(box);
  ClockWindows w = WaitClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  std::string why;
  EXPECT_TRUE(faults::ClockTicks(w.gadget, nullptr, &why)) << why;
  EXPECT_EQ(clock.SeenSequence().size(), 3u) << testing::PrintToString(clock.SeenSequence());
  EXPECT_EQ(faults::CloseClock(clock, w.window), 0u);
}

// The alarm is due a few seconds ahead so that the message shows the name
// the quit left behind.
TEST(FaultQuit, InNameDialogGivesEmptyNameAndArmedClock) {
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr);
  int64_t now = LocalNowMs();
  std::string alarm = FormatTime(FromMilliseconds(now - now % 1000 + 5000));
  TypeText(parts.edit, alarm);
  PressKey(parts.edit, VK_RETURN);
  HWND dialog = clock.WaitDialog(NameTitle, &parts);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(PostThreadMessageA(ThreadOf(dialog), WM_QUIT, 0, 0));
  EXPECT_TRUE(Gone(dialog, 5000)) << "the name dialog stayed up after the quit message";
  ClockWindows w = WaitClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  std::string text;
  EXPECT_TRUE(ClockShowsTime(w.gadget, alarm.c_str(), &text)) << Printable(text);
  HWND box = clock.WaitMessageBox(AlarmTitle, 15000);
  ASSERT_NE(box, nullptr) << "the alarm did not fire";
  EXPECT_EQ(MessageBoxText(box), alarm + "\r\r") << Printable(MessageBoxText(box));
  ConfirmMessage(box);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

TEST(FaultQuit, WhileClockRunsItGoesOn) {
  ClockProcess clock;
  ClockWindows w = StartPlainClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  for (int i = 0; i < 3; i++) ASSERT_TRUE(PostThreadMessageA(ThreadOf(w.window), WM_QUIT, 0, 0));
  std::string why;
  EXPECT_TRUE(faults::ClockTicks(w.gadget, nullptr, &why)) << why;
  EXPECT_TRUE(clock.Running());
  EXPECT_EQ(faults::CloseClock(clock, w.window), 0u);
}
