// Message boxes: texts and flags pass through unchanged, the owner is the
// foreground window when it is this program's, and a quit message during the
// input dialog leaves nothing behind.
#include <gtest/gtest.h>

#include "harness/case_env.h"
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness/text1252.h"
#include "requester_test_support.h"
#include "runtime/platform/program_instance.h"
#include "runtime/objects/objects.h"
#include "runtime/requester/requester_internal.h"
#include "runtime/strings/strings.h"

namespace {

struct BoxSeen {
  std::string className;
  std::wstring title, text;  // read with the ...W functions
  std::vector<int> buttons;  // ids of the visible buttons, ascending
  HWND owner = nullptr;
};

BoxSeen SeeBox(HWND box) {
  BoxSeen seen;
  seen.className = ClassOf(box);
  seen.title = WideTextOf(box);
  seen.text = WideTextOf(GetDlgItem(box, 0xFFFF));
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "Button" && IsWindowVisible(c)) seen.buttons.push_back(GetDlgCtrlID(c));
  std::sort(seen.buttons.begin(), seen.buttons.end());
  seen.owner = GetWindow(box, GW_OWNER);
  return seen;
}

// Shows a box on the main thread while answer acts on it.
int RunBox(const char *title, const char *text, UINT flags, BoxSeen &seen,
           std::function<void(HWND)> answer, bool *found = nullptr) {
  Driver driver("#32770", [&](HWND box) {
    WaitUntil([&] { return GetDlgItem(box, 0xFFFF) != nullptr && GetForegroundWindow() == box; });
    seen = SeeBox(box);
    answer(box);
  });
  int result = flags == MB_OK ? RequestMessage(title, text) : RequestMessageEx(title, text, flags);
  driver.Join();
  EXPECT_FALSE(driver.forcedClose()) << "the box stayed open";
  if (found) *found = driver.found();
  EXPECT_TRUE(driver.found()) << "no box appeared";
  return result;
}

std::function<void(HWND)> Post(int id) {
  return [id](HWND box) { PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(id), 0); };
}

std::function<void(HWND)> Key(WORD vk) {
  return [vk](HWND) { PressKey(vk); };
}

// Read back with the ...W functions, title and text are their cp1252 bytes as
// Windows' own 1252 table maps them. Also run under another ANSI code page
// (the locale cases, registered with TAMRIX_CODE_PAGE).
TEST(RequestMessage, TitleAndTextArriveByteForByte) {
  ASSERT_TRUE(InCaseCodePage()) << "the locale did not reach Wine: ANSI code page " << GetACP();
  const std::string upperHalf = UpperHalf1252();
  struct Case {
    const char *name, *title, *text;
  };
  const Case cases[] = {
      {"error message", "Tamrix: Fehler o. keine Alarmzeiteingabe!",
       "Keine oder nicht zul\xE4ssige Alarmzeit eingegeben!\r\rDas Programm wird ohne Alarm gestartet!"},
      {"alarm message", "Tamrix: Alarm und Programmende!", "07:30:00\r\rAlarm wurde ausgel\xF6st!"},
      {"cp1252 letters", "\xC4\xD6\xDC \x80", "\xE4 \xF6 \xFC \xDF \x80"},
      {"lone carriage return", "a\rb", "eins\rzwei\r"},
      {"empty", "", ""},
      {"every byte from 0x80 to 0xFF", upperHalf.c_str(), upperHalf.c_str()},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    BoxSeen seen;
    EXPECT_EQ(RunBox(c.title, c.text, MB_OK, seen, Post(IDOK)), IDOK);
    EXPECT_EQ(seen.className, "#32770");
    EXPECT_EQ(seen.title, WideFrom1252(c.title));
    EXPECT_EQ(seen.text, WideFrom1252(c.text));
    EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
  }
}

TEST(RequestMessage, FlagsPassThrough) {
  struct Case {
    const char *name;
    UINT flags;
    std::function<void(HWND)> answer;
    int expected;
    std::vector<int> buttons;
  };
  const Case cases[] = {
      {"OK, posted", MB_OK, Post(IDOK), IDOK, {IDOK}},
      {"OK, Return", MB_OK, Key(VK_RETURN), IDOK, {IDOK}},
      {"yes/no, yes", MB_YESNO, Post(IDYES), IDYES, {IDYES, IDNO}},
      {"yes/no, no", MB_YESNO, Post(IDNO), IDNO, {IDYES, IDNO}},
      {"yes/no, second default, Return", MB_YESNO | MB_DEFBUTTON2, Key(VK_RETURN), IDNO, {IDYES, IDNO}},
      {"yes/no, Return", MB_YESNO | MB_ICONQUESTION, Key(VK_RETURN), IDYES, {IDYES, IDNO}},
      {"OK/cancel, Escape", MB_OKCANCEL | MB_ICONWARNING, Key(VK_ESCAPE), IDCANCEL, {IDOK, IDCANCEL}},
      {"yes/no/cancel, cancel", MB_YESNOCANCEL, Post(IDCANCEL), IDCANCEL, {IDCANCEL, IDYES, IDNO}},
      {"retry/cancel, retry", MB_RETRYCANCEL, Post(IDRETRY), IDRETRY, {IDCANCEL, IDRETRY}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    BoxSeen seen;
    EXPECT_EQ(RunBox("Titel", "Frage", c.flags, seen, c.answer), c.expected);
    std::vector<int> buttons = c.buttons;
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(seen.buttons, buttons);
  }
}

TEST(RequestMessage, OwnedByTheForegroundWindowWhenItIsOurs) {
  WindowSet set;
  HWND other = MakeTestWindow(true, true, 1);
  HWND foreground = MakeTestWindow(true, true, 2);
  set.windows = {other, foreground};
  SetForegroundWindow(foreground);
  ASSERT_EQ(GetForegroundWindow(), foreground);
  EXPECT_EQ(RequestOwnerWindow(), foreground);
  bool otherEnabled = true, foregroundEnabled = true;
  BoxSeen seen;
  EXPECT_EQ(RunBox("Titel", "Text", MB_OK, seen, [&](HWND box) {
              otherEnabled = IsWindowEnabled(other);
              foregroundEnabled = IsWindowEnabled(foreground);
              PostMessageA(box, WM_COMMAND, IDOK, 0);
            }),
            IDOK);
  EXPECT_EQ(seen.owner, foreground);
  EXPECT_FALSE(otherEnabled);
  EXPECT_FALSE(foregroundEnabled) << "the box disables its owner while it is up";
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_TRUE(IsWindowEnabled(foreground));
}

TEST(RequestMessage, NoOwnerWhenAnotherProgramIsInFront) {
  WindowSet set;
  HWND first = MakeTestWindow(true, true, 1);
  HWND second = MakeTestWindow(true, true, 2);
  set.windows = {first, second};
  ForegroundProcess program;
  ASSERT_TRUE(program.Start()) << "the other program's window did not come to the front";
  EXPECT_EQ(RequestOwnerWindow(), nullptr);
  std::vector<bool> during;
  BoxSeen seen;
  EXPECT_EQ(RunBox("Titel", "Text", MB_OK, seen, [&](HWND box) {
              during = {IsWindowEnabled(first) != 0, IsWindowEnabled(second) != 0};
              PostMessageA(box, WM_COMMAND, IDOK, 0);
            }),
            IDOK);
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_EQ(during, (std::vector<bool>{false, false}));
  EXPECT_TRUE(IsWindowEnabled(first));
  EXPECT_TRUE(IsWindowEnabled(second));

  // The input dialog then has no owner either, and blocks both windows.
  SetForegroundWindow(program.window);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == program.window; }));
  HWND dialogOwner = reinterpret_cast<HWND>(1);
  Driver driver("InputRequester", [&](HWND dialog) {
    WaitUntil([&] { return GetDlgItem(dialog, InputCommandOk) != nullptr; });
    dialogOwner = GetWindow(dialog, GW_OWNER);
    during = {IsWindowEnabled(first) != 0, IsWindowEnabled(second) != 0};
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  StrTempSetTop(0);
  RequestInput("Titel", "Eingabe", nullptr, 0);
  driver.Join();
  EXPECT_TRUE(driver.found());
  EXPECT_EQ(dialogOwner, nullptr);
  EXPECT_EQ(during, (std::vector<bool>{false, false}));
  EXPECT_TRUE(IsWindowEnabled(first));
  EXPECT_TRUE(IsWindowEnabled(second));
}

// Windows refuses a button type that does not exist (15) and returns 0; Wine
// shows an OK box instead. Either way the windows come back.
TEST(RequestMessage, UnknownButtonTypeStillReleasesTheWindows) {
  WindowSet set;
  HWND window = MakeTestWindow(true, true, 1);
  HWND foreground = MakeTestWindow(true, true, 2);
  set.windows = {window, foreground};
  SetForegroundWindow(foreground);
  bool blocked = false;
  Driver driver("#32770", [&](HWND box) {
    blocked = !IsWindowEnabled(window);
    WaitUntil([&] { return GetDlgItem(box, 0xFFFF) != nullptr; });
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }, 1000);
  int result = RequestMessageEx("Titel", "Text", 0x0000000F);
  driver.Join();
  if (RunningOnWine()) {
    EXPECT_TRUE(driver.found());
    EXPECT_TRUE(blocked);
    EXPECT_EQ(result, IDOK);
  } else {
    EXPECT_FALSE(driver.found());
    EXPECT_EQ(result, 0);
  }
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_TRUE(IsWindowEnabled(foreground));
}

// A quit message while the input dialog is up: the dialog goes, the class
// goes, the windows come back, and the quit is not handed on, so the next
// message box waits for its answer.
TEST(RequestInputQuit, LeavesNothingBehindAndDoesNotEndTheNextBox) {
  WindowSet set;
  HWND window = MakeTestWindow(true, true, 1);
  HWND hidden = MakeTestWindow(false, true, 2);
  HWND foreground = MakeTestWindow(true, true, 3);
  set.windows = {window, hidden, foreground};
  SetForegroundWindow(foreground);
  ASSERT_EQ(GetForegroundWindow(), foreground);
  HWND dialog = nullptr;
  bool blocked = false;
  Driver driver("InputRequester", [&](HWND d) {
    WaitUntil([&] { return GetDlgItem(d, InputCommandOk) != nullptr; });
    dialog = d;
    blocked = !IsWindowEnabled(window) && !IsWindowEnabled(foreground);
    PostThreadMessageA(MainThreadId, WM_QUIT, 3, 0);
  });
  StrTempSetTop(0);
  StrAppend("vorher");
  char *result = RequestInput("Titel", "Eingabe", "Vorgabe", 6);
  driver.Join();
  ASSERT_TRUE(driver.found());
  EXPECT_FALSE(driver.forcedClose()) << "the quit message did not end the dialog";
  EXPECT_TRUE(blocked);
  EXPECT_STREQ(result, "");
  EXPECT_EQ(result, StrTempBase() + 6);
  EXPECT_EQ(StrTempTop(), 6);
  EXPECT_FALSE(IsWindow(dialog));
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  EXPECT_FALSE(GetClassInfoExA(ProgramInstance, "InputRequester", &wc));
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_TRUE(IsWindowEnabled(hidden));
  EXPECT_TRUE(IsWindowEnabled(foreground));

  BoxSeen seen;
  bool found = false;
  EXPECT_EQ(RunBox("Tamrix: Fehler o. keine Alarmzeiteingabe!", "Fehler", MB_OK, seen, Post(IDOK), &found),
            IDOK);
  EXPECT_TRUE(found) << "the box returned at once";
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "a quit is still pending";
}

}  // namespace
