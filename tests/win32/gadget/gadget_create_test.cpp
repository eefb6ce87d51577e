#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "gadget_env.h"
#include "runtime/platform/program_instance.h"
#include "harness/gdi_count.h"
#include "harness/case_env.h"
#include "harness/text1252.h"

namespace gadgettest {
namespace {

using GadgetCreateTest = GadgetTest;

HFONT StockGuiFont() {
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string WindowText(HWND window) {
  char text[256];
  int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, static_cast<size_t>(length));
}

TEST_F(GadgetCreateTest, FlagsBecomeStaticStylesAndTheSunkenEdge) {
  struct Row {
    uint32_t flags;
    LONG_PTR style;
    LONG_PTR exStyle;
  };
  const Row rows[] = {
      {0x20001, 0x50020001, WS_EX_CLIENTEDGE},  // the clock's gadget: centred, sunken
      {0x1, 0x50020001, 0},                     // WS_GROUP is set anyway
      {0x2, 0x50020002, 0},
      {0x0, 0x50020000, 0},
      {0x20000, 0x50020000, WS_EX_CLIENTEDGE},
      {0x20002, 0x50020002, WS_EX_CLIENTEDGE},
      {0x100, 0x50020100, 0},  // SS_NOTIFY passes through; (0x100 >> 8) has no 0x200
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(::testing::Message() << "flags 0x" << std::hex << row.flags);
    intptr_t result = GadgetCreateText(1, 2, 3, 110, 52, "-.-.-", row.flags);
    ASSERT_NE(result, 0);
    HWND control = reinterpret_cast<HWND>(result);
    EXPECT_EQ(GadgetHandle(1), control) << "a slot number returns the control";
    char className[32];
    GetClassNameA(control, className, sizeof className);
    EXPECT_STREQ(className, "Static");
    EXPECT_EQ(GetWindowLongPtrA(control, GWL_STYLE), row.style);
    EXPECT_EQ(GetWindowLongPtrA(control, GWL_EXSTYLE), row.exStyle);
    EXPECT_EQ(GetParent(control), parent);
    RECT rect = ChildRect(control);
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.top, 3);
    EXPECT_EQ(rect.right - rect.left, 110);
    EXPECT_EQ(rect.bottom - rect.top, 52);
    EXPECT_EQ(WindowText(control), "-.-.-");
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_ID), 1);
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(control, "ZX_ID")), 1);
    EXPECT_EQ(GetWindowLongPtrW(control, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(GadgetProc));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), StockGuiFont());
    GadgetRecord *record = GadgetLookup(1);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->window, control);
    EXPECT_EQ(record->kind, &TextGadgetKind);
    EXPECT_NE(record->previousProc, nullptr);
    EXPECT_EQ(record->frontColor, ColorDefault);
    EXPECT_EQ(record->backColor, ColorDefault);
    EXPECT_EQ(record->backBrush, nullptr);
    EXPECT_EQ(CountChildren(parent), 1) << "the reused number leaves one control";
  }
}

TEST_F(GadgetCreateTest, TextGadgetKindIsFilledOnFirstCreation) {
  ASSERT_NE(GadgetCreateText(1, 0, 0, 10, 10, "", 0), 0);
  EXPECT_EQ(TextGadgetKind.kindCode, 3);
  EXPECT_EQ(TextGadgetKind.tableSize, static_cast<int32_t>(sizeof(GadgetKind)));
  EXPECT_EQ(TextGadgetKind.onMessage, TextGadgetMessage);
  EXPECT_NE(TextGadgetKind.onFree, nullptr);
  EXPECT_EQ(TextGadgetKind.onSetText, nullptr);
  EXPECT_NE(TextGadgetKind.onSetColor, nullptr);
  EXPECT_NE(TextGadgetKind.onGetColor, nullptr);
  for (void *slot : TextGadgetKind.reserved) EXPECT_EQ(slot, nullptr);
}

std::wstring WideWindowText(HWND window) {
  WCHAR text[512];
  int length = GetWindowTextW(window, text, 512);
  return std::wstring(text, static_cast<size_t>(length));
}

// The texts read back with GetWindowTextW are the cp1252 bytes as Windows'
// own 1252 table maps them. Also run under another ANSI code page
// (the locale cases, registered with TAMRIX_CODE_PAGE).
TEST_F(GadgetCreateTest, TextsAreShownByteForByte) {
  ASSERT_TRUE(InCaseCodePage()) << "the locale did not reach Wine: ANSI code page " << GetACP();
  const std::string upperHalf = UpperHalf1252();
  struct Row {
    const char *text;
    const char *shown;
  };
  const Row rows[] = {
      {nullptr, ""},
      {"", ""},
      {"Montag\r08.12.2026\r07:30:00", "Montag\r08.12.2026\r07:30:00"},
      {"Donnerstag \xDC\xE4\xF6\xDF\x80", "Donnerstag \xDC\xE4\xF6\xDF\x80"},  // cp1252
      {upperHalf.c_str(), upperHalf.c_str()},  // every byte from 0x80 to 0xFF
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
    SCOPED_TRACE(::testing::Message() << "row " << i);
    HWND control = reinterpret_cast<HWND>(GadgetCreateText(2, 0, 0, 200, 60, rows[i].text, 0));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(WideWindowText(control), WideFrom1252(rows[i].shown));
    GadgetSetText(2, "x");
    GadgetSetText(2, rows[i].text);
    EXPECT_EQ(WideWindowText(control), WideFrom1252(rows[i].shown)) << "GadgetSetText";
  }
}

TEST_F(GadgetCreateTest, AutoNumberHandleIsTheNumberInEveryBit) {
  intptr_t handle = GadgetCreateText(AutoNumber, 5, 5, 50, 20, "auto", 0x20001);
  ASSERT_NE(handle, 0);
#ifdef _WIN64  // a 32-bit process has no heap above 4 GB
  ASSERT_GT(static_cast<uintptr_t>(handle), 0xFFFFFFFFull) << "the test heap lies above 4 GB";
#endif
  HWND control = GadgetHandle(handle);
  ASSERT_NE(control, nullptr);
  EXPECT_NE(reinterpret_cast<intptr_t>(control), handle);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GadgetLookup(handle)), handle) << "the handle is the record";
  EXPECT_EQ(GetWindowLongPtrA(control, GWLP_ID), handle);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(control, "ZX_ID")), handle);

  GadgetSetText(handle, "changed");
  EXPECT_EQ(WindowText(control), "changed");
  GadgetSetColor(handle, ColorFront, 255);
  EXPECT_EQ(GadgetGetColor(handle, ColorFront), 255u);
  HFONT font = reinterpret_cast<HFONT>(FontLoad(3, "Arial", 10, FontStyleBold));
  ASSERT_NE(font, nullptr);
  GadgetSetFont(handle, font);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), font);
  // The window procedure reaches the gadget through its handle as well.
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GadgetForward(control, parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)),
            reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)));
  DeleteDC(dc);

#ifdef _WIN64  // a 32-bit handle has no upper half to lose
  // A value that differs only in the upper half names nothing.
  intptr_t truncated = static_cast<intptr_t>(static_cast<uint32_t>(handle));
  EXPECT_EQ(GadgetLookup(truncated), nullptr);
#endif

  GadgetFree(handle);
  EXPECT_FALSE(IsWindow(control));
  EXPECT_EQ(GadgetLookup(handle), nullptr);
  GadgetSetText(handle, "gone");  // names nothing now: no effect, no fault
}

TEST_F(GadgetCreateTest, TwoAutoNumberGadgetsAreDistinct) {
  intptr_t a = GadgetCreateText(AutoNumber, 0, 0, 50, 20, "a", 0);
  intptr_t b = GadgetCreateText(AutoNumber, 0, 30, 50, 20, "b", 0);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  GadgetFree(a);
  EXPECT_EQ(GadgetLookup(a), nullptr);
  ASSERT_NE(GadgetHandle(b), nullptr);
  EXPECT_EQ(WindowText(GadgetHandle(b)), "b");
}

// ---- reuse of a number ----

struct CbtEntry {
  int code;    // HCBT_CREATEWND or HCBT_DESTROYWND
  HWND window;
};
std::vector<CbtEntry> CbtLog;

LRESULT CALLBACK RecordCbt(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND || code == HCBT_DESTROYWND) CbtLog.push_back({code, reinterpret_cast<HWND>(wParam)});
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(GadgetCreateTest, ReusingANumberDestroysTheEarlierControlAfterTheNewOneExists) {
  HWND first = reinterpret_cast<HWND>(GadgetCreateText(1, 2, 2, 110, 52, "first", 0x20001));
  ASSERT_NE(first, nullptr);
  GadgetSetColor(1, ColorBack, 0x00336699);
  GadgetSetColor(1, ColorFront, 255);
  HBRUSH firstBrush = GadgetLookup(1)->backBrush;
  ASSERT_NE(firstBrush, nullptr);

  CbtLog.clear();
  HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCbt, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  HWND second = reinterpret_cast<HWND>(GadgetCreateText(1, 2, 2, 110, 52, "second", 0x20001));
  UnhookWindowsHookEx(hook);
  ASSERT_NE(second, nullptr);

  // Windows by index: 0 the first control, 1 the second.
  struct Expected {
    int code;
    int window;
  };
  const Expected expected[] = {{HCBT_CREATEWND, 1}, {HCBT_DESTROYWND, 0}};
  auto indexOf = [&](HWND window) { return window == first ? 0 : window == second ? 1 : -1; };
  std::string log;
  for (const CbtEntry &entry : CbtLog)
    log += (entry.code == HCBT_CREATEWND ? "create " : "destroy ") + std::to_string(indexOf(entry.window)) + "\n";
  ASSERT_EQ(CbtLog.size(), sizeof expected / sizeof expected[0]) << log;
  for (size_t i = 0; i < CbtLog.size(); i++) {
    EXPECT_EQ(CbtLog[i].code, expected[i].code) << "entry " << i << "\n" << log;
    EXPECT_EQ(indexOf(CbtLog[i].window), expected[i].window) << "entry " << i << "\n" << log;
  }

  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(CountChildren(parent), 1);
  GadgetRecord *record = GadgetLookup(1);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->window, second);
  EXPECT_EQ(record->kind, &TextGadgetKind);
  EXPECT_EQ(record->frontColor, ColorDefault) << "the first gadget's colours are gone with it";
  EXPECT_EQ(record->backColor, ColorDefault);
  EXPECT_EQ(record->backBrush, nullptr);
  EXPECT_EQ(GetObjectType(firstBrush), 0u) << "the first gadget's clean-up released its brush";
  EXPECT_EQ(GetWindowLongPtrA(second, GWLP_ID), 1);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(second, "ZX_ID")), 1);
  GadgetSetText(1, "still there");
  EXPECT_EQ(WindowText(second), "still there");
}

TEST_F(GadgetCreateTest, DestroyingTheParentReleasesItsGadgets) {
  ASSERT_NE(WindowOpen(1, 10, 10, 200, 100, "second window", 0), 0);
  HWND other = WindowHandle(1);
  ASSERT_EQ(GadgetListSelect(nullptr), other);
  HWND slotControl = reinterpret_cast<HWND>(GadgetCreateText(7, 0, 0, 50, 20, "seven", 0));
  intptr_t handle = GadgetCreateText(AutoNumber, 0, 30, 50, 20, "auto", 0);
  ASSERT_NE(slotControl, nullptr);
  ASSERT_NE(handle, 0);
  EXPECT_EQ(GetParent(slotControl), other);
  GadgetSetColor(7, ColorBack, 0x00445566);
  HBRUSH brush = GadgetLookup(7)->backBrush;
  ASSERT_NE(brush, nullptr);

  WindowClose(1);
  EXPECT_FALSE(IsWindow(slotControl));
  EXPECT_EQ(GadgetLookup(7), nullptr);
  EXPECT_EQ(GadgetLookup(handle), nullptr);
  EXPECT_EQ(GetObjectType(brush), 0u);

  int64_t windows = harness::WindowCountOfThread(GetCurrentThreadId());
  GadgetSetText(7, "nothing");
  GadgetSetText(handle, "nothing");
  GadgetSetColor(7, ColorBack, 1);
  GadgetSetFont(7, reinterpret_cast<HFONT>(static_cast<intptr_t>(-1)));
  EXPECT_EQ(GadgetLookup(7), nullptr);
  EXPECT_EQ(harness::WindowCountOfThread(GetCurrentThreadId()), windows);
}

TEST_F(GadgetCreateTest, WithoutACurrentGadgetListNothingIsCreated) {
  ASSERT_NE(WindowOpen(1, 10, 10, 200, 100, "list", 0), 0);
  WindowClose(1);  // the current list goes with its window
  ASSERT_EQ(GadgetListSelect(nullptr), nullptr);
  int64_t windows = harness::WindowCountOfThread(GetCurrentThreadId());
  EXPECT_EQ(GadgetCreateText(1, 0, 0, 50, 20, "orphan", 0), 0);
  EXPECT_EQ(GadgetCreateText(AutoNumber, 0, 0, 50, 20, "orphan", 0), 0);
  EXPECT_EQ(harness::WindowCountOfThread(GetCurrentThreadId()), windows);
  EXPECT_EQ(GadgetLookup(1), nullptr);
}

LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;  // CreateWindowExA fails
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(GadgetCreateTest, FailedCreationLeavesTheEarlierGadget) {
  HWND first = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "kept", 0));
  ASSERT_NE(first, nullptr);
  GadgetSetColor(1, ColorFront, 255);
  HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  intptr_t refused = GadgetCreateText(1, 0, 0, 50, 20, "refused", 0);
  intptr_t refusedAuto = GadgetCreateText(AutoNumber, 0, 0, 50, 20, "refused", 0);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(refusedAuto, 0);
  EXPECT_TRUE(IsWindow(first));
  EXPECT_EQ(GadgetHandle(1), first);
  EXPECT_EQ(GadgetGetColor(1, ColorFront), 255u);
  EXPECT_EQ(CountChildren(parent), 1);
}

TEST_F(GadgetCreateTest, InvalidNumbersCreateNothing) {
  HWND first = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "kept", 0));
  ASSERT_NE(first, nullptr);
  const intptr_t rows[] = {-2, -100, INTPTR_MIN};
  for (intptr_t number : rows) {
    SCOPED_TRACE(::testing::Message() << "number " << number);
    EXPECT_EQ(GadgetCreateText(number, 0, 0, 50, 20, "bad", 0), 0);
    EXPECT_EQ(CountChildren(parent), 1) << "no control is left behind";
    EXPECT_EQ(GadgetHandle(1), first);
  }
}

TEST_F(GadgetCreateTest, GadgetFreeDestroysOnlyLiveGadgets) {
  HWND one = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "one", 0));
  HWND two = reinterpret_cast<HWND>(GadgetCreateText(2, 0, 30, 50, 20, "two", 0));
  ASSERT_TRUE(one && two);
  int local = 0;
  const intptr_t rows[] = {0, 3, 49, 50, 100000, -1, -2, INTPTR_MIN, INTPTR_MAX, reinterpret_cast<intptr_t>(&local)};
  for (intptr_t number : rows) {
    SCOPED_TRACE(::testing::Message() << "number " << number);
    GadgetFree(number);
    EXPECT_TRUE(IsWindow(one));
    EXPECT_TRUE(IsWindow(two));
    EXPECT_EQ(GadgetLookup(number), nullptr);
  }
  GadgetFree(1);
  EXPECT_FALSE(IsWindow(one));
  EXPECT_EQ(GadgetLookup(1), nullptr);
  EXPECT_EQ(GadgetHandle(2), two);
}

TEST_F(GadgetCreateTest, GadgetEndFreesEveryGadget) {
  HWND a = reinterpret_cast<HWND>(GadgetCreateText(0, 0, 0, 50, 20, "a", 0));
  HWND b = reinterpret_cast<HWND>(GadgetCreateText(60, 0, 0, 50, 20, "b", 0));  // grows the table
  intptr_t c = GadgetCreateText(AutoNumber, 0, 0, 50, 20, "c", 0);
  ASSERT_TRUE(a && b && c);
  HWND cControl = GadgetHandle(c);
  GadgetEnd();
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(IsWindow(b));
  EXPECT_FALSE(IsWindow(cControl));
  EXPECT_EQ(GadgetLookup(0), nullptr);
  EXPECT_EQ(GadgetLookup(60), nullptr);
  EXPECT_EQ(GadgetLookup(c), nullptr);
  EXPECT_TRUE(IsWindow(parent)) << "windows are the window library's";
}

// ---- recognising gadgets ----

TEST_F(GadgetCreateTest, NotificationsAreReportedUnderTheGadgetsNumber) {
  const uint32_t notify = 0x100;  // SS_NOTIFY: clicks become STN_CLICKED
  struct Row {
    const char *name;
    intptr_t number;
  };
  const Row rows[] = {{"slot", 4}, {"AutoNumber", AutoNumber}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    intptr_t result = GadgetCreateText(row.number, 10, 10, 80, 30, "click", notify);
    ASSERT_NE(result, 0);
    intptr_t number = row.number == AutoNumber ? result : row.number;
    HWND control = GadgetHandle(number);
    PumpMessages();
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    int32_t event = 0;
    for (int i = 0; i < 20 && event != EventControl; i++) event = WindowWaitEvent(50);
    ASSERT_EQ(event, EventControl);
    EXPECT_EQ(WindowEventState()->current.object, number) << "the full number, every bit";
    EXPECT_EQ(WindowEventState()->current.type, STN_CLICKED);
    GadgetFree(number);
    PumpMessages();
  }
}

TEST_F(GadgetCreateTest, ForwardAnswersOnlyForTheGadgetsOwnControl) {
  HWND gadget0 = reinterpret_cast<HWND>(GadgetCreateText(0, 0, 0, 50, 20, "zero", 0));
  ASSERT_NE(gadget0, nullptr);
  GadgetSetColor(0, ColorFront, 255);
  // A plain control with identifier 0 and no "ZX_ID": GetPropA gives 0 too.
  HWND plain = CreateWindowExA(0, "Static", "plain", WS_CHILD | WS_VISIBLE, 0, 40, 50, 20, parent, nullptr,
                               ProgramInstance, nullptr);
  ASSERT_NE(plain, nullptr);
  HWND gadget2 = reinterpret_cast<HWND>(GadgetCreateText(2, 60, 0, 50, 20, "two", 0));
  GadgetSetColor(2, ColorFront, 255);
  HWND gadget3 = reinterpret_cast<HWND>(GadgetCreateText(3, 60, 30, 50, 20, "three", 0));
  GadgetSetColor(3, ColorFront, 255);
  SetPropA(gadget3, "ZX_ID", reinterpret_cast<HANDLE>(4));  // no longer matches its identifier
  ASSERT_TRUE(gadget2 && gadget3);

  const LRESULT buttonFace = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  struct Row {
    const char *name;
    HWND control;
    UINT message;
    LRESULT result;
  };
  const Row rows[] = {
      {"no control", nullptr, WM_CTLCOLORSTATIC, NotHandled},
      {"plain control with identifier 0", plain, WM_CTLCOLORSTATIC, NotHandled},
      {"gadget 0", gadget0, WM_CTLCOLORSTATIC, buttonFace},
      {"gadget 2", gadget2, WM_CTLCOLORSTATIC, buttonFace},
      {"\"ZX_ID\" differs from the identifier", gadget3, WM_CTLCOLORSTATIC, NotHandled},
      {"another colour message", gadget2, WM_CTLCOLOREDIT, NotHandled},
      {"a command", gadget2, WM_COMMAND, NotHandled},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, 0x00123456);
    EXPECT_EQ(GadgetForward(row.control, parent, row.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(row.control)),
              row.result);
    EXPECT_EQ(GetTextColor(dc), row.result == NotHandled ? 0x00123456u : 255u);
    DeleteDC(dc);
  }
}

// The gadget of a control is found through what registration stored on it,
// not through its identifier: a control whose identifier the program changes
// keeps its own procedure (a Static answers WM_GETDLGCODE; the default
// procedure does not), gives up its number when destroyed and never touches
// the gadget whose number it took. One whose "ZX_ID" is gone is no gadget
// any more: default procedure, and GadgetFree drops its stale record.
TEST_F(GadgetCreateTest, AControlWhoseIdentifierChangesStaysItsOwnGadget) {
  const struct {
    const char *name;
    intptr_t identifier;
    bool removeProperty;
    bool ownProcedure;  // and its number released with the control
  } rows[] = {
      {"another gadget's number", 1, false, true},
      {"a free number", 77, false, true},
      {"-1", -1, false, true},
      {"\"ZX_ID\" removed", 2, true, false},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.name);
    HWND one = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "one", 0));
    HWND two = reinterpret_cast<HWND>(GadgetCreateText(2, 0, 30, 50, 20, "two", 0));
    ASSERT_TRUE(one && two);
    GadgetSetColor(1, ColorBack, 0x00010203);
    GadgetSetColor(2, ColorBack, 0x00040506);
    HBRUSH brush = GadgetLookup(1)->backBrush;
    HBRUSH brushTwo = GadgetLookup(2)->backBrush;
    SetWindowLongPtrA(two, GWLP_ID, row.identifier);
    if (row.removeProperty) RemovePropA(two, "ZX_ID");
    EXPECT_EQ(SendMessageA(two, WM_GETDLGCODE, 0, 0), row.ownProcedure ? DLGC_STATIC : 0);
    DestroyWindow(two);
    GadgetRecord *record = GadgetLookup(1);
    ASSERT_NE(record, nullptr) << "gadget 1 survives the other control's destruction";
    EXPECT_EQ(record->window, one);
    EXPECT_EQ(record->backBrush, brush);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GadgetLookup(2) == nullptr, row.ownProcedure) << "released with its control";
    GadgetFree(2);
    EXPECT_EQ(GadgetLookup(2), nullptr);
    HWND again = reinterpret_cast<HWND>(GadgetCreateText(2, 0, 30, 50, 20, "again", 0));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GadgetLookup(2)->backBrush, nullptr);
    EXPECT_EQ(BrushCacheUses(brushTwo), 0) << "gadget 2's brush went with it";
  }
}

}  // namespace
}  // namespace gadgettest
