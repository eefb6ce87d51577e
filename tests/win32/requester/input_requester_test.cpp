// The input dialog under Wine: its windows as created, real keys and clicks,
// and where its result lands in the temporary area.
#include <gtest/gtest.h>

#include "harness/case_env.h"
#include <stdio.h>
#include <string.h>

#include <string>

#include "harness/text1252.h"
#include "requester_test_support.h"
#include "runtime/platform/program_instance.h"
#include "runtime/objects/objects.h"
#include "runtime/requester/requester_internal.h"
#include "runtime/strings/strings.h"

namespace {

const char AlarmTitle[] = "Tamrix: Wenn gew\xFCnscht, Alarmzeit eingeben!";
const char AlarmPrompt[] = "Eingabe-Format = # oder ## oder ##:## oder ##:##:##";
const char Default[] = "Alarm wurde ausgel\xF6st!";

bool ClassRegistered() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  return GetClassInfoExW(ProgramInstance, L"InputRequester", &wc) != 0;
}

struct DialogParts {
  HWND dialog, prompt, field, button;
};

DialogParts PartsOf(HWND dialog) {
  DialogParts parts = {dialog, nullptr, GetDlgItem(dialog, 10), GetDlgItem(dialog, InputCommandOk)};
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == "Static") parts.prompt = child;
  return parts;
}

// One RequestInput on the main thread while action drives the dialog.
struct InputRun {
  char *returned;
  int32_t at;
  std::string result;
  bool found, forcedClose;
};

InputRun RunInput(const char *title, const char *prompt, const char *defaultText,
                  std::function<void(const DialogParts &)> action) {
  InputRun run = {};
  run.at = StrTempTop();
  Driver driver("InputRequester", [&](HWND dialog) {
    // The button comes last; the dialog is complete once it and the focus are there.
    WaitUntil([&] { return GetDlgItem(dialog, InputCommandOk) != nullptr; });
    DialogParts parts = PartsOf(dialog);
    WaitForInputFocus(dialog, parts.field);
    action(parts);
  });
  run.returned = RequestInput(title, prompt, defaultText, run.at);
  driver.Join();
  run.result = run.returned;
  run.found = driver.found();
  run.forcedClose = driver.forcedClose();
  return run;
}

// The result sits at the caller's position with the top just behind it.
void ExpectResultAt(const InputRun &run, const std::string &expected) {
  EXPECT_TRUE(run.found) << "the dialog never appeared";
  EXPECT_FALSE(run.forcedClose) << "the dialog stayed open after the action";
  EXPECT_EQ(run.returned, StrTempBase() + run.at);
  EXPECT_EQ(run.result, expected);
  EXPECT_EQ(StrTempTop(), run.at + static_cast<int32_t>(expected.size()));
  EXPECT_EQ(StrTempBase()[StrTempTop()], '\0');
}

class InputRequesterTest : public ::testing::Test {
 protected:
  void SetUp() override { StrTempSetTop(0); }
};

// ---- Windows of the dialog ----

struct WindowSeen {
  std::string className, text;
  LONG_PTR style = 0, exStyle = 0;
  RECT rect = {};  // children: relative to the dialog's client area
  int id = 0;
  HGDIOBJ font = nullptr;
};

struct DialogSeen {
  WindowSeen dialog, prompt, field, button;
  WindowSeen dialog144, field144, field96;  // moved to 144 dpi and back
  LONG font144Height = 0;
  HWND owner = nullptr;
  DWORD selStart = 99, selEnd = 99;
  HWND focus = nullptr, fieldWindow = nullptr;
  bool registered = false;
  WNDCLASSEXW wc = {};
  LONG_PTR userData = 0;
  char *cellValue = reinterpret_cast<char *>(1);
  int childCount = 0;
};

WindowSeen SeeWindow(HWND window, HWND dialog) {
  WindowSeen seen;
  seen.className = ClassOf(window);
  seen.text = TextOf(window);
  seen.style = GetWindowLongPtrA(window, GWL_STYLE);
  seen.exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
  GetWindowRect(window, &seen.rect);
  if (window != dialog) MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&seen.rect), 2);
  seen.id = GetDlgCtrlID(window);
  seen.font = reinterpret_cast<HGDIOBJ>(SendBounded(window, WM_GETFONT, 0, 0));
  return seen;
}

void ExpectWindow(const char *name, const WindowSeen &seen, const char *className,
                  const std::string &text, LONG_PTR style, LONG_PTR exStyle, RECT rect, int id,
                  bool stockFont) {
  SCOPED_TRACE(name);
  EXPECT_STRCASEEQ(seen.className.c_str(), className);
  EXPECT_EQ(seen.text, text);
  EXPECT_EQ(seen.style, style) << std::hex << seen.style;
  EXPECT_EQ(seen.exStyle, exStyle) << std::hex << seen.exStyle;
  EXPECT_EQ(seen.rect.left, rect.left);
  EXPECT_EQ(seen.rect.top, rect.top);
  EXPECT_EQ(seen.rect.right - seen.rect.left, rect.right);
  EXPECT_EQ(seen.rect.bottom - seen.rect.top, rect.bottom);
  if (id >= 0) {
    EXPECT_EQ(seen.id, id);
  }
  if (stockFont) {
    EXPECT_EQ(seen.font, GetStockObject(DEFAULT_GUI_FONT));
  }
}

TEST_F(InputRequesterTest, DialogWindowsAsCreated) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_FALSE(ClassRegistered());
  DialogSeen seen;
  InputRun run = RunInput(AlarmTitle, AlarmPrompt, Default, [&](const DialogParts &parts) {
    seen.dialog = SeeWindow(parts.dialog, parts.dialog);
    seen.prompt = SeeWindow(parts.prompt, parts.dialog);
    seen.field = SeeWindow(parts.field, parts.dialog);
    seen.button = SeeWindow(parts.button, parts.dialog);
    for (HWND c = GetWindow(parts.dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) seen.childCount++;
    seen.owner = GetWindow(parts.dialog, GW_OWNER);
    SendBounded(parts.field, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selStart),
                reinterpret_cast<LPARAM>(&seen.selEnd));
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(MainThreadId, &info)) seen.focus = info.hwndFocus;
    seen.fieldWindow = parts.field;
    seen.wc.cbSize = sizeof seen.wc;
    seen.registered = GetClassInfoExW(ProgramInstance, L"InputRequester", &seen.wc) != 0;
    seen.userData = GetWindowLongPtrA(parts.dialog, GWLP_USERDATA);
    if (seen.userData) seen.cellValue = *reinterpret_cast<char **>(seen.userData);
    // Moved to a monitor of 144 dpi (as Windows tells it), then back.
    RECT to144 = {300, 280, 750, 475}, to96 = {362, 319, 662, 449};
    SendBounded(parts.dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&to144));
    seen.dialog144 = SeeWindow(parts.dialog, parts.dialog);
    seen.field144 = SeeWindow(parts.field, parts.dialog);
    LOGFONTA font = {};
    if (GetObjectA(seen.field144.font, sizeof font, &font)) seen.font144Height = font.lfHeight;
    SendBounded(parts.dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&to96));
    seen.field96 = SeeWindow(parts.field, parts.dialog);
    PostMessageA(parts.dialog, WM_CLOSE, 0, 0);
  });
  ExpectResultAt(run, "");

  // The system adds WS_CLIPSIBLINGS to every overlapped window and
  // WS_EX_WINDOWEDGE to a captioned one.
  ExpectWindow("dialog", seen.dialog, "InputRequester", AlarmTitle, 0x10C00000 | WS_CLIPSIBLINGS,
               WS_EX_WINDOWEDGE, {362, 319, 300, 130}, -1, false);
  ExpectWindow("prompt", seen.prompt, "Static", AlarmPrompt, 0x5000000B, 0, {10, 10, 280, 22}, 0, true);
  ExpectWindow("field", seen.field, "Edit", Default, 0x50010080, 0x200, {10, 32, 275, 21}, 10, true);
  ExpectWindow("button", seen.button, "Button", "OK", 0x50010001, 0, {110, 67, 80, 25}, 1000, true);
  EXPECT_EQ(seen.childCount, 3);
  EXPECT_EQ(seen.owner, nullptr) << "no window of this process was in the foreground";
  // At 144 dpi: the suggested rectangle, the field's place scaled by 1.5 and
  // the 8-point dialog font (-11 at 96 dpi) made for 144; back at 96 as made.
  ExpectWindow("dialog at 144", seen.dialog144, "InputRequester", AlarmTitle, 0x10C00000 | WS_CLIPSIBLINGS,
               WS_EX_WINDOWEDGE, {300, 280, 450, 195}, -1, false);
  ExpectWindow("field at 144", seen.field144, "Edit", Default, 0x50010080, 0x200, {15, 48, 413, 32}, 10, false);
  EXPECT_EQ(seen.font144Height, -MulDiv(8, 144, 72));
  ExpectWindow("field at 96", seen.field96, "Edit", Default, 0x50010080, 0x200, {10, 32, 275, 21}, 10, true);

  // Caret behind the default text, nothing selected, focus in the field.
  EXPECT_EQ(seen.selStart, strlen(Default));
  EXPECT_EQ(seen.selEnd, strlen(Default));
  EXPECT_NE(seen.fieldWindow, nullptr);
  EXPECT_EQ(seen.focus, seen.fieldWindow);

  // The class while the dialog is up, gone afterwards.
  EXPECT_TRUE(seen.registered);
  EXPECT_EQ(seen.wc.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW));
  EXPECT_EQ(seen.wc.lpfnWndProc, InputRequesterProc);
  EXPECT_EQ(seen.wc.cbClsExtra, 0);
  EXPECT_EQ(seen.wc.cbWndExtra, 0);
  EXPECT_EQ(seen.wc.hInstance, ProgramInstance);
  EXPECT_EQ(seen.wc.hIcon, nullptr);
  EXPECT_EQ(seen.wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(seen.wc.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
  EXPECT_EQ(seen.wc.lpszMenuName, nullptr);
  EXPECT_FALSE(ClassRegistered());

  // The text cell is there and empty until OK.
  EXPECT_NE(seen.userData, 0);
  EXPECT_EQ(seen.cellValue, nullptr);
}

// ---- Closing the dialog ----

enum class Close { Return, Escape, ClickMessage, MouseClick, CloseMessage };

struct CloseCase {
  const char *name;
  const char *defaultText;
  const char *typed;        // real keys into the field
  const char *fieldBefore;  // the field's text once the keys have arrived
  Close close;
  const char *expected;
};

void CloseDialog(const DialogParts &parts, Close close) {
  switch (close) {
    case Close::Return: PressKey(VK_RETURN); break;
    case Close::Escape: PressKey(VK_ESCAPE); break;
    case Close::ClickMessage: PostMessageA(parts.button, BM_CLICK, 0, 0); break;
    case Close::MouseClick: {
      RECT r;
      GetWindowRect(parts.button, &r);
      ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      break;
    }
    case Close::CloseMessage: PostMessageA(parts.dialog, WM_CLOSE, 0, 0); break;
  }
}

TEST_F(InputRequesterTest, ClosingWaysGiveTheTextOrNothing) {
  const CloseCase cases[] = {
      {"time typed, Return", nullptr, "12:30", "12:30", Close::Return, "12:30"},
      {"default, Return", Default, "", Default, Close::Return, Default},
      {"default, Escape", Default, "", Default, Close::Escape, ""},
      {"typed behind the default", "07:", "45", "07:45", Close::Return, "07:45"},
      {"seconds typed, Return", "", "23:59:59", "23:59:59", Close::Return, "23:59:59"},
      {"typed, Escape", nullptr, "12", "12", Close::Escape, ""},
      {"cp1252 letters typed", nullptr, "\xE4\xF6\xFC\xDF\x80", "\xE4\xF6\xFC\xDF\x80", Close::Return,
       "\xE4\xF6\xFC\xDF\x80"},
      {"default erased, Return", "abc", "\b\b\b", "", Close::Return, ""},
      {"empty field, Return", nullptr, "", "", Close::Return, ""},
      {"empty field, OK clicked", "", "", "", Close::ClickMessage, ""},
      {"default, BM_CLICK on OK", Default, "", Default, Close::ClickMessage, Default},
      {"default, mouse on OK", Default, "", Default, Close::MouseClick, Default},
      {"typed, mouse on OK", "x", "yz", "xyz", Close::MouseClick, "xyz"},
      {"default, close request", Default, "", Default, Close::CloseMessage, ""},
  };
  for (const CloseCase &c : cases) {
    SCOPED_TRACE(c.name);
    StrTempSetTop(0);
    std::string field = "<not read>";
    InputRun run = RunInput("Titel", "Eingabe", c.defaultText, [&](const DialogParts &parts) {
      TypeText(c.typed);
      WaitUntil([&] { return (field = TextOf(parts.field)) == c.fieldBefore; });
      CloseDialog(parts, c.close);
    });
    EXPECT_EQ(field, c.fieldBefore);
    ExpectResultAt(run, c.expected);
    EXPECT_FALSE(ClassRegistered());
  }
}

// ---- The result in the temporary area ----

TEST_F(InputRequesterTest, ResultContinuesAnOuterExpression) {
  struct Case {
    const char *name;
    const char *defaultText;
    Close close;
    const char *stored;
  };
  const Case cases[] = {
      {"text", "07:30", Close::Return, "Alarm um 07:30 Uhr"},
      {"empty", "07:30", Close::Escape, "Alarm um  Uhr"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    StrTempSetTop(0);
    StrAppend("vorher|");  // an older expression below the mark
    int32_t mark = StrTempTop();
    StrAppend("Alarm um ");
    InputRun run = RunInput("Titel", "Eingabe", c.defaultText,
                            [&](const DialogParts &parts) { CloseDialog(parts, c.close); });
    EXPECT_EQ(run.at, mark + 9);
    ExpectResultAt(run, c.close == Close::Return ? c.defaultText : "");
    StrAppend(" Uhr");
    char *variable = nullptr;
    StrStore(&variable, mark);
    EXPECT_STREQ(variable, c.stored);
    EXPECT_EQ(StrTempTop(), mark);
    EXPECT_EQ(std::string(StrTempBase(), static_cast<size_t>(mark)), "vorher|");
    StrAssign(&variable, nullptr);
  }
}

// Arguments built in the temporary area stay readable for the dialog and stay
// intact below the result, even when the result makes the area grow.
TEST_F(InputRequesterTest, ArgumentsInTheAreaSurviveItsGrowth) {
  const std::string title = "Titel aus dem Bereich \xC4";
  const std::string prompt = "Aufforderung aus dem Bereich";
  std::string longDefault(20000, 'x');
  longDefault += "\xFC!";
  StrInit();  // a fresh 16-byte area, so that the growth below is certain
  int32_t mark = StrTempTop();
  StrAppend(title.c_str());
  StrTempSetTop(StrTempTop() + 1);
  int32_t promptAt = StrTempTop();
  StrAppend(prompt.c_str());
  StrTempSetTop(StrTempTop() + 1);
  int32_t defaultAt = StrTempTop();
  StrAppend(longDefault.c_str());
  StrTempSetTop(StrTempTop() + 1);
  int32_t capacityBefore = StrTempCapacity();
  char *base = StrTempBase();
  std::string seenTitle, seenPrompt, seenField;
  InputRun run = RunInput(base + mark, base + promptAt, base + defaultAt, [&](const DialogParts &parts) {
    seenTitle = TextOf(parts.dialog);
    seenPrompt = TextOf(parts.prompt);
    seenField = TextOf(parts.field);
    PressKey(VK_RETURN);
  });
  EXPECT_GT(StrTempCapacity(), capacityBefore) << "the result was meant to grow the area";
  ExpectResultAt(run, longDefault);
  EXPECT_EQ(seenTitle, title);
  EXPECT_EQ(seenPrompt, prompt);
  EXPECT_EQ(seenField, longDefault);
  EXPECT_STREQ(StrTempBase() + mark, title.c_str());
  EXPECT_STREQ(StrTempBase() + promptAt, prompt.c_str());
  EXPECT_STREQ(StrTempBase() + defaultAt, longDefault.c_str());
}

// ---- Texts ----

// Read back with the ...W functions, the texts are their cp1252 bytes as
// Windows' own 1252 table maps them; the entry comes back as the same bytes.
// Also run under another ANSI code page (the locale cases, registered with
// TAMRIX_CODE_PAGE).
TEST_F(InputRequesterTest, TextsArriveAndReturnByteForByte) {
  ASSERT_TRUE(InCaseCodePage()) << "the locale did not reach Wine: ANSI code page " << GetACP();
  const std::string upperHalf = UpperHalf1252();
  const std::string wide(400, 'W');  // far wider than the field
  struct Case {
    const char *name;
    const char *title, *prompt, *defaultText;
    std::string shownTitle, shownPrompt, shownField, expected;
  };
  const Case cases[] = {
      {"cp1252 letters", "\xC4\xD6\xDC", "\xE4 \xF6 \xFC \xDF \x80", "\xE4\xF6\xFC\xDF\x80",
       "\xC4\xD6\xDC", "\xE4 \xF6 \xFC \xDF \x80", "\xE4\xF6\xFC\xDF\x80", "\xE4\xF6\xFC\xDF\x80"},
      {"null texts", nullptr, nullptr, nullptr, "", "", "", ""},
      {"empty texts", "", "", "", "", "", "", ""},
      {"wider than the field", "T", "P", wide.c_str(), "T", "P", wide, wide},
      {"clock's name dialog", "Tamrix: Erinnerungsname Alarm!", "Bezeichnung f\xFCr den Alarm eingeben!",
       Default, "Tamrix: Erinnerungsname Alarm!", "Bezeichnung f\xFCr den Alarm eingeben!", Default,
       Default},
      {"every byte from 0x80 to 0xFF", upperHalf.c_str(), upperHalf.c_str(), upperHalf.c_str(), upperHalf,
       upperHalf, upperHalf, upperHalf},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    StrTempSetTop(0);
    std::wstring title, prompt, field;
    InputRun run = RunInput(c.title, c.prompt, c.defaultText, [&](const DialogParts &parts) {
      title = WideTextOf(parts.dialog);
      prompt = WideTextOf(parts.prompt);
      field = WideTextOf(parts.field);
      PressKey(VK_RETURN);
    });
    EXPECT_EQ(title, WideFrom1252(c.shownTitle));
    EXPECT_EQ(prompt, WideFrom1252(c.shownPrompt));
    EXPECT_EQ(field, WideFrom1252(c.shownField));
    ExpectResultAt(run, c.expected);
  }
}

// Typing stops at the field's limit (30000 under Wine, 32767 on Windows); a
// default longer than the limit is not cut.
TEST_F(InputRequesterTest, EntryAtTheFieldLimitComesBackWhole) {
  LRESULT limit = 0;
  // Learn the limit from a first dialog.
  RunInput("Grenze", "", nullptr, [&](const DialogParts &parts) {
    limit = SendBounded(parts.field, EM_GETLIMITTEXT, 0, 0);
    PressKey(VK_ESCAPE);
  });
  RecordProperty("fieldLimit", static_cast<int>(limit));
  ASSERT_GT(limit, 2);
  ASSERT_LT(limit, 1 << 20);
  std::string nearlyFull(static_cast<size_t>(limit) - 1, 'a');
  StrTempSetTop(0);
  InputRun run = RunInput("Grenze", "", nearlyFull.c_str(), [&](const DialogParts &) {
    TypeText("bc");  // the c no longer fits
    PressKey(VK_RETURN);
  });
  ExpectResultAt(run, nearlyFull + "b");

  std::string beyond(static_cast<size_t>(limit) + 1000, 'z');
  StrTempSetTop(0);
  run = RunInput("Grenze", "", beyond.c_str(), [&](const DialogParts &) { PressKey(VK_RETURN); });
  ExpectResultAt(run, beyond);
}

// ---- Order of events ----

LRESULT CALLBACK RecordCreateDestroy(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (EventLog && ClassOf(window) != "RequesterTestWindow") {
    if (code == HCBT_CREATEWND) EventLog->push_back({window, WM_CREATE, 0, ClassOf(window)});
    if (code == HCBT_DESTROYWND) EventLog->push_back({window, WM_DESTROY, 0, ClassOf(window)});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The other window and the owner are disabled before the dialog exists and
// enabled again before it is destroyed, so that they can take the activation.
TEST_F(InputRequesterTest, WindowsAreReleasedBeforeTheDialogGoes) {
  WindowSet set;
  HWND other = MakeTestWindow(true, true, 1);
  HWND owner = MakeTestWindow(true, true, 2);
  set.windows = {other, owner};
  SetForegroundWindow(owner);
  ASSERT_EQ(GetForegroundWindow(), owner);
  std::vector<LoggedEvent> log;
  HWND dialog = nullptr;
  HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreateDestroy, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  EventLog = &log;
  InputRun run = RunInput("Titel", "Eingabe", "", [&](const DialogParts &parts) {
    dialog = parts.dialog;
    PressKey(VK_ESCAPE);
  });
  EventLog = nullptr;
  UnhookWindowsHookEx(hook);
  ExpectResultAt(run, "");

  // Windows by name: the dialog's children are named by their class.
  auto name = [&](const LoggedEvent &e) -> std::string {
    if (e.window == other) return "other";
    if (e.window == owner) return "owner";
    if (e.window == dialog) return "dialog";
    return e.className;
  };
  const struct {
    const char *window;
    UINT message;
    WPARAM wParam;
  } expected[] = {
      {"other", WM_ENABLE, FALSE},  {"owner", WM_ENABLE, FALSE}, {"dialog", WM_CREATE, 0},
      {"Static", WM_CREATE, 0},     {"Edit", WM_CREATE, 0},      {"Button", WM_CREATE, 0},
      {"owner", WM_ENABLE, TRUE},   {"other", WM_ENABLE, TRUE},  {"dialog", WM_DESTROY, 0},
  };
  std::string seen, wanted;
  for (const LoggedEvent &e : log)
    seen += name(e) + " " + std::to_string(e.message) + " " + std::to_string(e.wParam) + "\n";
  for (const auto &e : expected)
    wanted += std::string(e.window) + " " + std::to_string(e.message) + " " + std::to_string(e.wParam) + "\n";
  EXPECT_EQ(seen, wanted);
}

// Closing the owner takes the owned dialog with it; the other windows still
// come back and the result is empty.
TEST_F(InputRequesterTest, OwnerClosedUnderTheDialog) {
  WindowSet set;
  HWND other = MakeTestWindow(true, true, 1);
  HWND owner = MakeTestWindow(true, true, 2);
  set.windows = {other};
  SetForegroundWindow(owner);
  ASSERT_EQ(GetForegroundWindow(), owner);
  HWND dialog = nullptr;
  InputRun run = RunInput("Titel", "Eingabe", "Vorgabe", [&](const DialogParts &parts) {
    dialog = parts.dialog;
    PostMessageA(owner, WM_CLOSE, 0, 0);  // DefWindowProc destroys it
  });
  ExpectResultAt(run, "");
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(other));
  EXPECT_FALSE(ClassRegistered());
}

// Without memory for the copies of its texts there is no dialog and the
// result is empty; nothing is disabled.
TEST_F(InputRequesterTest, NoMemoryForTheCopiesGivesTheEmptyString) {
  WindowSet set;
  HWND other = MakeTestWindow(true, true, 1);
  HWND foreground = MakeTestWindow(true, true, 2);
  set.windows = {other, foreground};
  SetForegroundWindow(foreground);
  struct Case {
    const char *name, *title, *prompt, *defaultText;
  };
  const Case cases[] = {
      {"title", "T", nullptr, nullptr},
      {"prompt", nullptr, "P", nullptr},
      {"default", nullptr, nullptr, "D"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    StrTempSetTop(0);
    StrAppend("abc");
    std::vector<LoggedEvent> log;
    Driver driver("InputRequester", [&](HWND) {}, 300);
    PlatformHeap heap = RuntimeHeap;
    RuntimeHeap = nullptr;  // every allocation from it fails
    EventLog = &log;
    char *result = RequestInput(c.title, c.prompt, c.defaultText, 3);
    EventLog = nullptr;
    RuntimeHeap = heap;
    driver.Join();
    EXPECT_FALSE(driver.found());
    EXPECT_EQ(result, StrTempBase() + 3);
    EXPECT_STREQ(result, "");
    EXPECT_EQ(StrTempTop(), 3);
    EXPECT_TRUE(log.empty()) << "a window was disabled or enabled";
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_FALSE(ClassRegistered());
  }
}

// ---- Repeated use ----

TEST_F(InputRequesterTest, SecondDialogWorksTheSame) {
  for (int round = 0; round < 3; round++) {
    SCOPED_TRACE(round);
    StrTempSetTop(0);
    bool registered = false;
    InputRun run = RunInput("Runde", "Eingabe", "", [&](const DialogParts &parts) {
      registered = ClassRegistered();
      TypeText("1");
      WaitUntil([&] { return TextOf(parts.field) == "1"; });
      PressKey(VK_RETURN);
    });
    EXPECT_TRUE(registered);
    EXPECT_FALSE(ClassRegistered());
    ExpectResultAt(run, "1");
  }
}

}  // namespace
