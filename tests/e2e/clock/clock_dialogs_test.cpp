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
  HWND timeDialog = clock.WaitDialog(TimeTitle, &timeParts);
  ASSERT_NE(timeDialog, nullptr);
  EXPECT_EQ(WindowText(timeParts.prompt), TimePrompt);
  // The layout of 96 dpi, scaled to the screen's DPI (PREFIX dpi-N) and
  // centred; the prompt overflows its control by no larger share than in
  // the same font at 96 dpi (the dialog font clips its last "#" there),
  // give or take the 4 % by which a font's hinting lets text grow faster
  // than its size (measured: 1.4 % at 120 dpi, 2.8 % at 192).
  RECT dialog, prompt;
  GetWindowRect(timeDialog, &dialog);
  GetClientRect(timeParts.prompt, &prompt);
  EXPECT_EQ(dialog.right - dialog.left, Scaled(300));
  EXPECT_EQ(dialog.bottom - dialog.top, Scaled(130));
  EXPECT_EQ(dialog.left, (GetSystemMetrics(SM_CXSCREEN) - Scaled(300)) / 2);
  EXPECT_EQ(dialog.top, (GetSystemMetrics(SM_CYSCREEN) - Scaled(130)) / 2);
  EXPECT_EQ(prompt.right, Scaled(280));
  HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA at96;
  GetObjectA(guiFont, sizeof at96, &at96);
  at96.lfHeight = MulDiv(at96.lfHeight, 96, Scaled(96));
  HFONT font96 = CreateFontIndirectA(&at96);
  double share = TextBlockSize(TimePrompt, guiFont).cx / static_cast<double>(prompt.right);
  double share96 = TextBlockSize(TimePrompt, font96).cx / 280.0;
  DeleteObject(font96);
  RecordProperty("prompt_share_permille", static_cast<int>(share * 1000));
  RecordProperty("prompt_share_96dpi_permille", static_cast<int>(share96 * 1000));
  EXPECT_LE(share, share96 * 1.04) << "the prompt needs " << share * 100 << " % of its control, at 96 dpi "
                            << share96 * 100 << " %";
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
  EXPECT_EQ(client.right, Scaled(115));
  EXPECT_EQ(client.bottom, Scaled(72));
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
