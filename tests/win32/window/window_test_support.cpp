#include "window_test_support.h"

#include <stdio.h>
#include <string.h>

namespace {

struct Tracked {
  HWND window;
  WNDPROC previous;
  int index;  // -1: subclassed before the current recording
};

std::vector<Tracked> tracked;
std::vector<LoggedMessage> logged;
HHOOK cbtHook;
int nextIndex;

Tracked *Find(HWND window) {
  for (Tracked &entry : tracked)
    if (entry.window == window) return &entry;
  return nullptr;
}

// Stays in every window it subclassed until the window is gone, so the
// library's procedures behind it always run. A Unicode procedure, like the
// library's: one installed at creation must not pass the window's title
// through the ANSI code page.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Tracked *entry = Find(window);
  if (!entry) return DefWindowProcW(window, message, wParam, lParam);
  WNDPROC previous = entry->previous;
  if (entry->index >= 0 && !IgnoreMessage(message)) logged.push_back({entry->index, message, wParam, lParam});
  if (message == WM_NCDESTROY) {
    for (size_t i = 0; i < tracked.size(); i++)
      if (tracked[i].window == window) tracked.erase(tracked.begin() + static_cast<long>(i));
  }
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    // Library windows only: Wine also makes input-method windows on the way.
    HWND window = reinterpret_cast<HWND>(wParam);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    (void)lParam;
    if (strncmp(name, "WindowClass_", 12) == 0) RecorderTrack(window);
  }
  return CallNextHookEx(cbtHook, code, wParam, lParam);
}

bool Matches(const LoggedMessage &got, const ExpectedMessage &want) {
  return got.window == want.window && got.message == want.message &&
         ((want.match & MatchAnyWParam) || got.wParam == want.wParam) &&
         ((want.match & MatchAnyLParam) || got.lParam == want.lParam);
}

}  // namespace

bool IgnoreMessage(UINT message) {
  switch (message) {
    // Painting of the frame and of the client area comes when the system
    // gets to it, differently on Wine and on each Windows version.
    case WM_PAINT: case WM_NCPAINT: case WM_ERASEBKGND: case WM_SYNCPAINT: case WM_PRINTCLIENT:
    // Frame and geometry negotiation, sent in differing numbers.
    case WM_NCCALCSIZE: case WM_GETMINMAXINFO: case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED:
    case WM_NCACTIVATE: case WM_ACTIVATEAPP: case WM_GETICON: case WM_GETTEXT: case WM_GETTEXTLENGTH:
    case WM_SETICON: case WM_QUERYOPEN: case WM_CHILDACTIVATE: case WM_ENTERSIZEMOVE: case WM_EXITSIZEMOVE:
    case WM_GETOBJECT: case WM_DWMNCRENDERINGCHANGED:
    case 0x90 /* WM_UAHDESTROYWINDOW */: case 0x91: case 0x92: case 0x93: case 0x94: case 0x95:
    // Focus and input-method traffic around activation.
    case WM_SETFOCUS: case WM_KILLFOCUS: case WM_IME_SETCONTEXT: case WM_IME_NOTIFY: case 0x287 /* WM_IME_SYSTEM */:
    case WM_QUERYNEWPALETTE: case WM_CANCELMODE:
    // Mouse position and cursor shape follow the pointer, not the test.
    case WM_NCHITTEST: case WM_SETCURSOR: case WM_MOUSEMOVE: case WM_NCMOUSEMOVE: case WM_MOUSEACTIVATE:
    case WM_NCMOUSELEAVE: case WM_MOUSELEAVE: case WM_TIMER: case WM_NULL:
      return true;
    default:
      return message >= 0xC000;  // registered messages of the desktop and of input methods
  }
}

std::string MessageName(UINT message) {
  static const struct {
    UINT message;
    const char *name;
  } names[] = {
      {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SYSCOLORCHANGE, "WM_SYSCOLORCHANGE"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NOTIFY, "WM_NOTIFY"}, {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"}, {WM_NCACTIVATE, "WM_NCACTIVATE"}, {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_COMMAND, "WM_COMMAND"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"}, {WM_HSCROLL, "WM_HSCROLL"},
      {WM_VSCROLL, "WM_VSCROLL"}, {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"}, {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
      {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"}, {WM_CTLCOLORLISTBOX, "WM_CTLCOLORLISTBOX"},
      {WM_QUERYOPEN, "WM_QUERYOPEN"}, {WM_STYLECHANGING, "WM_STYLECHANGING"}, {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_SETTEXT, "WM_SETTEXT"}, {WM_GETTEXT, "WM_GETTEXT"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_GETICON, "WM_GETICON"}, {WM_NCPAINT, "WM_NCPAINT"}, {WM_CANCELMODE, "WM_CANCELMODE"},
      {WM_ENABLE, "WM_ENABLE"}, {WM_SETREDRAW, "WM_SETREDRAW"}, {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"},
      {WM_IME_SETCONTEXT, "WM_IME_SETCONTEXT"}, {WM_IME_NOTIFY, "WM_IME_NOTIFY"}, {WM_TIMER, "WM_TIMER"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"}, {WM_SETFONT, "WM_SETFONT"}, {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
  };
  for (const auto &entry : names)
    if (entry.message == message) return entry.name;
  char text[32];
  snprintf(text, sizeof text, "0x%04X", message);
  return text;
}

void RecorderStart(void) {
  RecorderStop();
  cbtHook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

void RecorderStop(void) {
  if (cbtHook) UnhookWindowsHookEx(cbtHook);
  cbtHook = nullptr;
  for (Tracked &entry : tracked) entry.index = -1;
  nextIndex = 0;
  logged.clear();
}

int RecorderTrack(HWND window) {
  Tracked *entry = Find(window);
  if (entry) {
    if (entry->index < 0) entry->index = nextIndex++;
    return entry->index;
  }
  int index = nextIndex++;
  tracked.push_back({window, nullptr, index});
  WNDPROC previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
  // The procedure may already run during SetWindowLongPtrW; find the entry again.
  Find(window)->previous = previous;
  return index;
}

void RecorderClear(void) {
  logged.clear();
}

const std::vector<LoggedMessage> &RecorderLog(void) {
  return logged;
}

std::string RecorderDump(void) {
  std::string text;
  char line[160];
  for (size_t i = 0; i < logged.size(); i++) {
    const LoggedMessage &entry = logged[i];
    snprintf(line, sizeof line, "  %2u: window %d %-20s wParam %#llx lParam %#llx\n", static_cast<unsigned>(i),
             entry.window, MessageName(entry.message).c_str(), static_cast<unsigned long long>(entry.wParam),
             static_cast<unsigned long long>(entry.lParam));
    text += line;
  }
  return text;
}

testing::AssertionResult MatchSequence(const ExpectedMessage *expected, size_t count) {
  size_t at = 0;
  for (size_t i = 0; i < count; i++) {
    if (at < logged.size() && Matches(logged[at], expected[i])) {
      at++;
      continue;
    }
    if (expected[i].match & MatchOptional) continue;
    return testing::AssertionFailure() << "expected entry " << i << " (window " << expected[i].window << " "
                                       << MessageName(expected[i].message) << " wParam " << expected[i].wParam
                                       << ") not at log position " << at << "; whole log:\n"
                                       << RecorderDump();
  }
  if (at != logged.size())
    return testing::AssertionFailure() << "unexpected entries from log position " << at << "; whole log:\n"
                                       << RecorderDump();
  return testing::AssertionSuccess();
}

std::vector<WaitResult> WaitAll(size_t limit) {
  std::vector<WaitResult> results;
  EventState *state = WindowEventState();
  while (results.size() < limit) {
    int32_t code = WindowWaitEvent(0);
    if (!code) break;
    results.push_back({code, state->snapshot.object, state->snapshot.window, state->snapshot.type});
  }
  return results;
}

std::string DumpResults(const std::vector<WaitResult> &results) {
  std::string text;
  char line[120];
  for (size_t i = 0; i < results.size(); i++) {
    const WaitResult &r = results[i];
    snprintf(line, sizeof line, "  %2u: %s %d object %lld window %lld type %d\n", static_cast<unsigned>(i),
             r.type == 0 ? "event" : "result", r.code, static_cast<long long>(r.object),
             static_cast<long long>(r.window), r.type);
    text += line;
  }
  return text;
}

testing::AssertionResult MatchEvents(const std::vector<WaitResult> &results, const ExpectedEvent *expected,
                                     size_t count) {
  std::vector<WaitResult> events;
  for (const WaitResult &r : results)
    if (r.type == 0) events.push_back(r);
  size_t at = 0;
  for (size_t i = 0; i < count; i++) {
    const ExpectedEvent &want = expected[i];
    if (at < events.size() && events[at].code == want.code && events[at].object == want.object &&
        events[at].window == want.window && events[at].type == want.type) {
      at++;
      continue;
    }
    if (want.match & MatchOptional) continue;
    return testing::AssertionFailure() << "expected event " << i << " (code " << want.code << ") not at event "
                                       << at << "; all wait results:\n"
                                       << DumpResults(results);
  }
  if (at != events.size())
    return testing::AssertionFailure() << "unexpected events from event " << at << "; all wait results:\n"
                                       << DumpResults(results);
  return testing::AssertionSuccess();
}

void DrainAll(void) {
  for (int round = 0; round < 200; round++) {
    bool any = EventTake() != 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
      any = true;
    }
    if (!any) break;
  }
  EventState *state = WindowEventState();
  state->current.pendingCode = 0;
}

void WindowTest::SetUp() {
  WindowEnd();
  DrainAll();
  RecorderStart();
}

void WindowTest::TearDown() {
  RecorderStop();
  WindowEnd();
  DrainAll();
}

HWND CreateChild(HWND parent, const char *className, DWORD style, int x, int y, int width, int height, int id) {
  return CreateWindowExA(0, className, "x", WS_CHILD | style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}
