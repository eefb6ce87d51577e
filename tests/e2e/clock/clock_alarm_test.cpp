// The alarm firing: the message after the sound and the two-second pause,
// at once without a sound device, its exact text, and the exit code.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "clock_driver.h"
#include "harness/captured_sound.h"
#include "harness/case_env.h"

using namespace driver;

namespace {

struct AlarmRun {
  std::string alarm;       // the entered (already normalised) alarm time
  int64_t alarmStartMs = 0;  // local time at which the alarm second begins
  int64_t shownMs = 0;       // local time at which the message was seen
  std::string title, text;
  std::string clockWhileShown, clockAfterWait;  // clock text during the message
  DWORD exitCode = STILL_ACTIVE;
  bool otherInFront = false;  // set by the caller: another program is in front when the alarm comes
  bool boxAboveClock = false;  // the message stood above the clock in the Z order
};

// A window of another program, on a thread of its own that answers its
// messages, as the program the user went back to after setting the alarm.
struct OtherProgram {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND window = nullptr;
  DWORD threadId = 0;
  HANDLE thread = nullptr;

  static DWORD WINAPI Run(void *parameter) {
    OtherProgram *other = static_cast<OtherProgram *>(parameter);
    other->window = CreateWindowExA(0, "STATIC", "Anderes Programm", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600,
                                    400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetEvent(other->ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    if (other->window) DestroyWindow(other->window);
    return 0;
  }
  // Brings the window up and into the foreground; false when it is not there.
  bool Start() {
    thread = CreateThread(nullptr, 0, Run, this, 0, &threadId);
    if (!thread || WaitForSingleObject(ready, 5000) != WAIT_OBJECT_0 || !window) return false;
    for (int attempt = 0; attempt < 50 && GetForegroundWindow() != window; attempt++) {
      SetForegroundWindow(window);
      Sleep(20);
    }
    return GetForegroundWindow() == window;
  }
  ~OtherProgram() {
    if (thread) {
      PostThreadMessageA(threadId, WM_QUIT, 0, 0);
      WaitForSingleObject(thread, 5000);
      CloseHandle(thread);
    }
    CloseHandle(ready);
  }
};

// Position in the Z order of the top-level windows, -1 when not found. Read
// by walking them, not with WindowFromPoint, which on Windows skips disabled
// windows such as the blocked clock.
int ZPosition(HWND window) {
  int position = 0;
  for (HWND walk = GetTopWindow(nullptr); walk; walk = GetWindow(walk, GW_HWNDNEXT), position++)
    if (walk == window) return position;
  return -1;
}

// Enters an alarm 3 seconds ahead and the name (an empty name empties the
// field), waits for the alarm message, confirms it and collects the exit code.
void RunAlarm(const std::vector<std::string> &env, const std::string &name, AlarmRun *run) {
  ClockProcess clock;
  ASSERT_TRUE(clock.Start(env));
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr);
  HWND timeEdit = parts.edit;
  // Whole seconds: the alarm second begins 3 to 4 seconds from now.
  int64_t now = LocalNowMs();
  run->alarmStartMs = now - now % 1000 + 3000;
  run->alarm = FormatTime(FromMilliseconds(run->alarmStartMs));
  TypeText(timeEdit, run->alarm);
  PressKey(timeEdit, VK_RETURN);

  ASSERT_NE(clock.WaitDialog(NameTitle, &parts), nullptr);
  HWND nameEdit = parts.edit;
  SelectAll(nameEdit);
  if (name.empty()) {
    TypeText(nameEdit, "\b");
  } else {
    TypeText(nameEdit, name);
  }
  PressKey(nameEdit, VK_RETURN);

  ClockWindows w = WaitClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  OtherProgram other;
  if (run->otherInFront) {
    ASSERT_TRUE(other.Start()) << "no other program's window in front of the clock";
  }
  ASSERT_LT(LocalNowMs(), run->alarmStartMs) << "the clock came up after the alarm time; the machine is too slow";

  HWND box = clock.WaitMessageBox(nullptr, 15000);
  ASSERT_NE(box, nullptr) << "the alarm did not fire";
  run->shownMs = LocalNowMs();
  int boxAt = ZPosition(box), clockAt = ZPosition(w.window);
  run->boxAboveClock = boxAt >= 0 && clockAt >= 0 && boxAt < clockAt;
  if (!run->boxAboveClock)
    ADD_FAILURE() << "the alarm message is at " << boxAt << " in the Z order, the clock at " << clockAt
                  << " (message extended style 0x" << std::hex << GetWindowLongA(box, GWL_EXSTYLE) << ")";
  run->title = WindowText(box);
  run->text = MessageBoxText(box);
  run->clockWhileShown = WindowText(w.gadget);
  Sleep(1200);
  run->clockAfterWait = WindowText(w.gadget);
  ConfirmMessage(box);
  run->exitCode = clock.WaitExit();
}

}  // namespace

// Run with the sound captured into the case folder (scripts/wine-run), whose
// length is measured once the clock has ended.
TEST(Scripted, AlarmWithSoundShowsMessageTwoSecondsLater) {
  if (!getenv("TAMRIX_CAPTURE_WIN")) GTEST_SKIP() << "needs the sound captured (scripts/wine-run)";
  AlarmRun run;
  RunAlarm({}, "Tee ist fertig", &run);
  if (HasFatalFailure()) return;
  EXPECT_EQ(run.title, AlarmTitle);
  EXPECT_EQ(run.text, run.alarm + "\r\rTee ist fertig") << Printable(run.text);
  // The sound starts in the alarm second; the message follows the pause.
  EXPECT_GE(run.shownMs - run.alarmStartMs, 2000) << "message " << run.shownMs - run.alarmStartMs
                                                   << " ms after the alarm second began";
  EXPECT_EQ(run.exitCode, 0u);
  std::string why;
  double seconds = harness::CapturedSoundSeconds(&why);
  printf("captured sound: %.3f s non-silent\n", seconds);
  ASSERT_GE(seconds, 0) << why;
  EXPECT_GE(seconds, harness::ChimeShortestSeconds);
  EXPECT_LE(seconds, harness::ChimeLongestSeconds());
}

// Run with DSOUND.DLL made unloadable (WINEDLLOVERRIDES=dsound=d), and again
// with a HOME whose default ALSA device does not exist (TAMRIX_AUDIO=none). (Wine takes HOME and WINE*
// variables of a new process from the Unix side, so the driver cannot set
// them for the program itself.)
TEST(Scripted, AlarmWithoutSoundDeviceShowsMessageAtOnce) {
  if (!DsoundDisabled() && !AudioAbsent()) GTEST_SKIP() << "needs WINEDLLOVERRIDES=dsound=d or TAMRIX_AUDIO=none";
  AlarmRun run;
  RunAlarm({}, "Pizza", &run);
  if (HasFatalFailure()) return;
  EXPECT_EQ(run.title, AlarmTitle);
  EXPECT_EQ(run.text, run.alarm + "\r\rPizza") << Printable(run.text);
  EXPECT_GE(run.shownMs - run.alarmStartMs, 0);
  EXPECT_LT(run.shownMs - run.alarmStartMs, 1000) << "no pause without sound";
  EXPECT_EQ(run.clockWhileShown, run.clockAfterWait) << "the clock went on while the alarm message was open";
  EXPECT_EQ(run.exitCode, 0u);
}

// The name as typed ends the message, also under another ANSI code page
// (the locale cases). The emptied name comes while another program is in
// front, the usual case: the message must come above everything, the
// topmost clock included.
TEST(ClockAlarm, TypedNameEndsTheMessage) {
  ASSERT_TRUE(InCaseCodePage()) << "the locale did not reach Wine: ANSI code page " << GetACP();
  struct Row {
    const char *typed;
    bool otherInFront;
    const char *why;
  };
  const Row rows[] = {
      {"", true, "emptied: the message ends with an empty line; another program in front"},
      {"M\xFCll", false, "a letter beyond ASCII"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.why);
    AlarmRun run;
    run.otherInFront = row.otherInFront;
    RunAlarm({}, row.typed, &run);
    if (HasFatalFailure()) return;
    EXPECT_EQ(run.title, AlarmTitle);
    EXPECT_EQ(run.text, run.alarm + "\r\r" + row.typed) << Printable(run.text);
    EXPECT_EQ(run.exitCode, 0u);
  }
}
