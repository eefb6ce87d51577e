// The alarm firing: the message after the sound and the two-second pause,
// at once without a sound device, its exact text, and the exit code.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "clock_driver.h"
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
};

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
  ASSERT_LT(LocalNowMs(), run->alarmStartMs) << "the clock came up after the alarm time; the machine is too slow";

  HWND box = clock.WaitMessageBox(nullptr, 15000);
  ASSERT_NE(box, nullptr) << "the alarm did not fire";
  run->shownMs = LocalNowMs();
  run->title = WindowText(box);
  run->text = MessageBoxText(box);
  run->clockWhileShown = WindowText(w.gadget);
  Sleep(1200);
  run->clockAfterWait = WindowText(w.gadget);
  ConfirmMessage(box);
  run->exitCode = clock.WaitExit();
}

}  // namespace

// Run with the sound captured (run-case --sound-length), which then measures
// what was played.
TEST(Scripted, AlarmWithSoundShowsMessageTwoSecondsLater) {
  if (!InCaseEnvironment("capture")) GTEST_SKIP() << "needs run-case --sound-length";
  AlarmRun run;
  RunAlarm({}, "Tee ist fertig", &run);
  if (HasFatalFailure()) return;
  EXPECT_EQ(run.title, AlarmTitle);
  EXPECT_EQ(run.text, run.alarm + "\r\rTee ist fertig") << Printable(run.text);
  // The sound starts in the alarm second; the message follows the pause.
  EXPECT_GE(run.shownMs - run.alarmStartMs, 2000) << "message " << run.shownMs - run.alarmStartMs
                                                   << " ms after the alarm second began";
  EXPECT_EQ(run.exitCode, 0u);
}

// Run with DSOUND.DLL made unloadable (run-case --no-dsound), and again with
// a HOME whose default ALSA device does not exist (--no-audio). (Wine takes HOME and WINE*
// variables of a new process from the Unix side, so the driver cannot set
// them for the program itself.)
TEST(Scripted, AlarmWithoutSoundDeviceShowsMessageAtOnce) {
  if (!InCaseEnvironment("no-dsound") && !InCaseEnvironment("no-audio"))
    GTEST_SKIP() << "needs run-case --no-dsound or --no-audio";
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

// The name as typed ends the message. Also run under another ANSI code page
// (run-case --locale, which checks the code page printed here).
TEST(ClockAlarm, TypedNameEndsTheMessage) {
  printf("ANSI code page %u\n", GetACP());
  struct Row {
    const char *typed;
    const char *why;
  };
  const Row rows[] = {
      {"", "emptied: the message ends with an empty line"},
      {"M\xFCll", "a letter beyond ASCII"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.why);
    AlarmRun run;
    RunAlarm({}, row.typed, &run);
    if (HasFatalFailure()) return;
    EXPECT_EQ(run.title, AlarmTitle);
    EXPECT_EQ(run.text, run.alarm + "\r\r" + row.typed) << Printable(run.text);
    EXPECT_EQ(run.exitCode, 0u);
  }
}
