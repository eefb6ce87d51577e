// The dialogs at start: their order, texts and defaults, every class of
// rejected alarm entry, Escape, and closing the clock.
#include <gtest/gtest.h>

#include "clock_driver.h"

using namespace driver;

namespace {

std::string Joined(const std::vector<std::string> &items) {
  std::string out;
  for (const std::string &s : items) out += "  " + Printable(s) + "\n";
  return out;
}

// Answers the time dialog with entry followed by Return (or Escape when
// escape is set) and returns the dialog's parts as they were before.
void AnswerTimeDialog(ClockProcess &clock, const std::string &entry, bool escape) {
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr) << "the alarm time dialog did not appear";
  TypeText(parts.edit, entry);
  PressKey(parts.edit, escape ? VK_ESCAPE : VK_RETURN);
}

struct RejectedEntry {
  const char *entry;
  const char *why;
};

const RejectedEntry Rejected[] = {
    {"", "empty"},
    {"123", "three characters"},
    {"1230", "four characters"},
    {"12:30:1", "seven characters"},
    {"12:30:150", "nine characters"},
    {"25", "hour 25"},
    {"12:60", "minute 60"},
    {"12:00:60", "second 60"},
    {"-1", "hour below 0"},
};

}  // namespace

TEST(ClockDialogs, ValidAlarmAsksForNameAndOpensFourLineClock) {
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());

  DialogParts timeParts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &timeParts), nullptr);
  EXPECT_EQ(WindowText(timeParts.prompt), TimePrompt);
  EXPECT_EQ(MessageText(timeParts.edit), "") << "the time dialog starts empty";
  // 23:59:59 comes once a day; the test is over long before.
  const std::string alarm = "23:59:59";
  TypeText(timeParts.edit, "23:59:59");
  PressKey(timeParts.edit, VK_RETURN);

  DialogParts nameParts;
  ASSERT_NE(clock.WaitDialog(NameTitle, &nameParts), nullptr) << "no name dialog after a valid time";
  EXPECT_EQ(WindowText(nameParts.prompt), NamePrompt);
  EXPECT_EQ(MessageText(nameParts.edit), NameDefault);
  PressKey(nameParts.edit, VK_RETURN);

  ClockWindows w = WaitClock(clock);
  HWND window = w.window;
  ASSERT_NE(w.gadget, nullptr);
  const std::vector<std::string> expected = {
      std::string(InputClass) + "|" + TimeTitle,
      std::string(InputClass) + "|" + NameTitle,
      std::string(ClockClass) + "|" + ClockTitle,
  };
  EXPECT_EQ(clock.SeenSequence(), expected) << "windows seen:\n" << Joined(clock.SeenSequence());

  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 115);
  EXPECT_EQ(client.bottom, 72);
  std::string text;
  EXPECT_TRUE(ClockShowsTime(w.gadget, alarm.c_str(), &text)) << Printable(text);

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

TEST(ClockDialogs, RejectedEntryShowsErrorThenThreeLineClock) {
  for (const RejectedEntry &row : Rejected) {
    SCOPED_TRACE(std::string("entry '") + row.entry + "' (" + row.why + ")");
    ClockProcess clock;
    ASSERT_TRUE(clock.Start());
    AnswerTimeDialog(clock, row.entry, false);
    if (HasFatalFailure()) return;

    HWND box = clock.WaitMessageBox(nullptr);
    ASSERT_NE(box, nullptr) << "no error message";
    EXPECT_EQ(WindowText(box), ErrorTitle);
    EXPECT_EQ(MessageBoxText(box), ErrorText) << Printable(MessageBoxText(box));
    ConfirmMessage(box);

    ClockWindows w = WaitClock(clock);
    HWND window = w.window;
    ASSERT_NE(w.gadget, nullptr);
    const std::vector<std::string> expected = {
        std::string(InputClass) + "|" + TimeTitle,
        std::string(MessageClass) + "|" + ErrorTitle,
        std::string(ClockClass) + "|" + ClockTitle,
    };
    EXPECT_EQ(clock.SeenSequence(), expected) << "windows seen:\n" << Joined(clock.SeenSequence());
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 115);
    EXPECT_EQ(client.bottom, 55);
    std::string text;
    EXPECT_TRUE(ClockShowsTime(w.gadget, nullptr, &text)) << Printable(text);
    EXPECT_EQ(SplitLines(text).size(), 3u);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(clock.WaitExit(), 0u);
  }
}

TEST(ClockDialogs, EscapeInTimeDialogIsAnEmptyEntry) {
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  AnswerTimeDialog(clock, "12:30", true);
  if (HasFatalFailure()) return;
  HWND box = clock.WaitMessageBox(nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), ErrorTitle);
  EXPECT_EQ(MessageBoxText(box), ErrorText);
  ConfirmMessage(box);
  HWND window = WaitClock(clock).window;
  ASSERT_NE(window, nullptr);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.bottom, 55) << "no alarm after Escape";
  for (const std::string &seen : clock.SeenSequence()) {
    EXPECT_EQ(seen.find(NameTitle), std::string::npos) << "a name dialog appeared";
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

TEST(ClockDialogs, ClosingTheClockEndsWithExitCodeZeroAndNoMessage) {
  ClockProcess clock;
  ClockWindows windows = StartPlainClock(clock);
  ASSERT_NE(windows.window, nullptr);
  size_t before = clock.Seen().size();
  PostMessageA(windows.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
  EXPECT_EQ(clock.Seen().size(), before) << "windows seen:\n" << Joined(clock.SeenSequence());
}
