// Which windows a requester disables and enables again: the thread's
// visible, enabled windows other than the foreground one, each thread only
// its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "requester_test_support.h"
#include "runtime/requester/requester_internal.h"
#include "runtime/strings/strings.h"

namespace {

struct WindowCase {
  const char *name;
  bool visible, enabled, foreground;
  // Enabled while the requester is up (the owner is disabled by the box or
  // the dialog itself, not by the blocking) and afterwards.
  bool duringBlock, duringMessage, duringInput, after;
};

const WindowCase Windows[] = {
    {"visible", true, true, false, false, false, false, true},
    {"second visible", true, true, false, false, false, false, true},
    {"hidden", false, true, false, true, true, true, true},
    {"already disabled", true, false, false, false, false, false, false},
    {"hidden and disabled", false, false, false, false, false, false, false},
    {"foreground", true, true, true, true, false, false, true},
};

std::vector<bool> EnabledStates(const std::vector<HWND> &windows) {
  std::vector<bool> states;
  for (HWND w : windows) states.push_back(IsWindowEnabled(w) != 0);
  return states;
}

// Creates the table's windows on this thread and puts the foreground one in
// front. Returns the foreground window.
HWND MakeTableWindows(WindowSet &set) {
  HWND foreground = nullptr;
  int index = 0;
  for (const WindowCase &c : Windows) {
    HWND w = MakeTestWindow(c.visible, c.enabled, index++);
    set.windows.push_back(w);
    if (c.foreground) foreground = w;
  }
  SetForegroundWindow(foreground);
  return foreground;
}

void ExpectStates(const char *when, const std::vector<bool> &states, bool WindowCase::*column) {
  SCOPED_TRACE(when);
  ASSERT_EQ(states.size(), std::size(Windows));
  for (size_t i = 0; i < states.size(); i++)
    EXPECT_EQ(states[i], Windows[i].*column) << "window: " << Windows[i].name;
}

TEST(RequestBlockOthers, DisablesTheVisibleEnabledWindowsButTheForegroundOne) {
  WindowSet set;
  HWND foreground = MakeTableWindows(set);
  ASSERT_EQ(GetForegroundWindow(), foreground);
  std::vector<bool> visibleBefore;
  for (HWND w : set.windows) visibleBefore.push_back(IsWindowVisible(w) != 0);

  RequestBlockOthers(1);
  ExpectStates("blocked", EnabledStates(set.windows), &WindowCase::duringBlock);
  RequestBlockOthers(0);
  ExpectStates("released", EnabledStates(set.windows), &WindowCase::after);

  // Releasing again finds nothing left to enable.
  EnableWindow(set.windows[0], FALSE);
  RequestBlockOthers(0);
  EXPECT_FALSE(IsWindowEnabled(set.windows[0]));
  for (size_t i = 0; i < set.windows.size(); i++)
    EXPECT_EQ(IsWindowVisible(set.windows[i]) != 0, visibleBefore[i]) << Windows[i].name;
}

TEST(RequestBlockOthers, MessageBoxBlocksAndReleasesTheTable) {
  WindowSet set;
  HWND foreground = MakeTableWindows(set);
  ASSERT_EQ(GetForegroundWindow(), foreground);
  std::vector<bool> during;
  HWND owner = nullptr;
  Driver driver("#32770", [&](HWND box) {
    during = EnabledStates(set.windows);
    owner = GetWindow(box, GW_OWNER);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(RequestMessage("Titel", "Text"), IDOK);
  driver.Join();
  ASSERT_TRUE(driver.found());
  EXPECT_FALSE(driver.forcedClose());
  ExpectStates("box up", during, &WindowCase::duringMessage);
  ExpectStates("box gone", EnabledStates(set.windows), &WindowCase::after);
  EXPECT_EQ(owner, foreground);
}

TEST(RequestBlockOthers, InputDialogBlocksAndReleasesTheTableAndItsOwner) {
  for (int round = 0; round < 2; round++) {
    SCOPED_TRACE(round);
    WindowSet set;
    HWND foreground = MakeTableWindows(set);
    ASSERT_EQ(GetForegroundWindow(), foreground);
    std::vector<bool> during;
    HWND owner = nullptr;
    Driver driver("InputRequester", [&](HWND dialog) {
      WaitUntil([&] { return GetDlgItem(dialog, InputCommandOk) != nullptr; });
      during = EnabledStates(set.windows);
      owner = GetWindow(dialog, GW_OWNER);
      PostMessageA(dialog, WM_COMMAND, InputCommandCancel, 0);
    });
    StrTempSetTop(0);
    RequestInput("Titel", "Eingabe", "", 0);
    driver.Join();
    ASSERT_TRUE(driver.found());
    EXPECT_FALSE(driver.forcedClose());
    ExpectStates("dialog up", during, &WindowCase::duringInput);
    ExpectStates("dialog gone", EnabledStates(set.windows), &WindowCase::after);
    EXPECT_EQ(owner, foreground);
  }
}

// Each thread blocks and releases only its own windows, whatever the order.
TEST(RequestBlockOthers, EntriesBelongToTheirThread) {
  ThreadWorker worker;
  HWND other = nullptr;
  worker.Run([&] { other = MakeTestWindow(true, true, 7); });
  WindowSet set;
  HWND mine = MakeTestWindow(true, true, 8);
  HWND foreground = MakeTestWindow(true, true, 9);
  set.windows = {mine, foreground};
  SetForegroundWindow(foreground);
  ASSERT_EQ(GetForegroundWindow(), foreground);

  struct Step {
    const char *name;
    bool onWorker;
    int32_t block;
    bool mineEnabled, otherEnabled;
  };
  const Step steps[] = {
      {"main blocks", false, 1, false, true},
      {"worker blocks", true, 1, false, false},
      {"main releases", false, 0, true, false},
      {"main releases again", false, 0, true, false},
      {"worker releases", true, 0, true, true},
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.name);
    if (step.onWorker)
      worker.Run([&] { RequestBlockOthers(step.block); });
    else
      RequestBlockOthers(step.block);
    EXPECT_EQ(IsWindowEnabled(mine) != 0, step.mineEnabled);
    EXPECT_EQ(IsWindowEnabled(other) != 0, step.otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(foreground));
  }
  // No entry of either thread is left behind.
  EnableWindow(mine, FALSE);
  RequestBlockOthers(0);
  EXPECT_FALSE(IsWindowEnabled(mine));
  worker.Run([&] {
    EnableWindow(other, FALSE);
    RequestBlockOthers(0);
  });
  EXPECT_FALSE(IsWindowEnabled(other));
  worker.Run([&] { DestroyWindow(other); });
}

// Two threads blocking and releasing at the same time keep the shared list
// whole: every round each finds exactly its own window disabled, then enabled.
TEST(RequestBlockOthers, ThreadsBlockingAtOnceKeepTheirEntries) {
  WindowSet set;
  HWND foreground = MakeTestWindow(true, true, 1);
  set.windows = {foreground};
  ThreadWorker first, second;
  HWND windows[2] = {};
  first.Run([&] { windows[0] = MakeTestWindow(true, true, 2); });
  second.Run([&] { windows[1] = MakeTestWindow(true, true, 3); });
  SetForegroundWindow(foreground);
  ASSERT_EQ(GetForegroundWindow(), foreground);

  int wrong[2] = {};
  auto rounds = [&](int i) {
    for (int round = 0; round < 200; round++) {
      RequestBlockOthers(1);
      if (IsWindowEnabled(windows[i])) wrong[i]++;
      RequestBlockOthers(0);
      if (!IsWindowEnabled(windows[i])) wrong[i]++;
    }
  };
  // The rounds run on the windows' own threads, both at once.
  std::function<void()> firstRounds = [&] { rounds(0); };
  std::function<void()> secondRounds = [&] { rounds(1); };
  first.Start(firstRounds);
  second.Start(secondRounds);
  first.Wait();
  second.Wait();
  for (int i = 0; i < 2; i++) {
    EXPECT_EQ(wrong[i], 0) << "thread " << i;
    EXPECT_TRUE(IsWindowEnabled(windows[i])) << "thread " << i;
  }
  EXPECT_TRUE(IsWindowEnabled(foreground));
  first.Run([&] { DestroyWindow(windows[0]); });
  second.Run([&] { DestroyWindow(windows[1]); });
}

// A window destroyed while blocked is enabled in vain; nothing of it stays.
TEST(RequestBlockOthers, WindowDestroyedWhileBlocked) {
  WindowSet set;
  HWND foreground = MakeTestWindow(true, true, 1);
  set.windows = {foreground};
  HWND doomed = MakeTestWindow(true, true, 2);
  SetForegroundWindow(foreground);
  RequestBlockOthers(1);
  EXPECT_FALSE(IsWindowEnabled(doomed));
  DestroyWindow(doomed);
  RequestBlockOthers(0);
  HWND later = MakeTestWindow(true, true, 3);
  set.windows.push_back(later);
  SetForegroundWindow(foreground);
  RequestBlockOthers(1);
  EXPECT_FALSE(IsWindowEnabled(later));
  RequestBlockOthers(0);
  EXPECT_TRUE(IsWindowEnabled(later));
}

}  // namespace
