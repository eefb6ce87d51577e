// Keyboard focus navigation: FocusStep over a table of starting points, and
// real Tab and Shift+Tab key presses through the window's accelerators.
#include "window_test_support.h"

namespace {

// Children in z-order; the enumeration visits each window before its own
// children, so the panel's edit comes between the panel and the last button.
enum Child { Edit0, DisabledButton, HiddenEdit, PlainStatic, Edit4, Panel, PanelEdit, Button7, ChildCount };

class FocusTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_NE(WindowOpen(0, 100, 100, 300, 200, "focus", 0xCA0000), 0);
    window = WindowHandle(0);
    children[Edit0] = CreateChild(window, "EDIT", WS_VISIBLE | WS_TABSTOP, 5, 5, 80, 20, 10);
    children[DisabledButton] = CreateChild(window, "BUTTON", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 5, 30, 80, 20, 11);
    children[HiddenEdit] = CreateChild(window, "EDIT", WS_TABSTOP, 5, 55, 80, 20, 12);
    children[PlainStatic] = CreateChild(window, "STATIC", WS_VISIBLE | SS_NOTIFY, 5, 80, 80, 20, 13);
    children[Edit4] = CreateChild(window, "EDIT", WS_VISIBLE | WS_TABSTOP, 5, 105, 80, 20, 14);
    children[Panel] = CreateChild(window, "STATIC", WS_VISIBLE, 100, 5, 150, 100, 15);
    children[PanelEdit] = CreateChild(children[Panel], "EDIT", WS_VISIBLE | WS_TABSTOP, 5, 5, 80, 20, 16);
    children[Button7] = CreateChild(window, "BUTTON", WS_VISIBLE | WS_TABSTOP, 100, 150, 80, 20, 17);
    for (HWND child : children) ASSERT_NE(child, nullptr);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    WaitAll();
    ASSERT_EQ(GetActiveWindow(), window);
  }
  int FocusIndex() const {
    HWND focus = GetFocus();
    for (int i = 0; i < ChildCount; i++)
      if (children[i] == focus) return i;
    return focus == window ? -2 : -1;
  }
  HWND window = nullptr;
  HWND children[ChildCount] = {};
};

constexpr int None = -1;
constexpr int TheWindow = -2;

TEST_F(FocusTest, StepTable) {
  struct Case {
    const char *name;
    int start;
    int32_t backward;
    int expected;
  } cases[] = {
      {"first to next", Edit0, 0, Edit4},
      {"skips into the panel", Edit4, 0, PanelEdit},
      {"out of the panel", PanelEdit, 0, Button7},
      {"last wraps to first", Button7, 0, Edit0},
      {"first wraps to last", Edit0, 1, Button7},
      {"back over the skipped ones", Edit4, 1, Edit0},
      {"back out of the panel", PanelEdit, 1, Edit4},
      {"back into the panel", Button7, 1, PanelEdit},
      {"no focus: first", None, 0, Edit0},
      {"no focus: last", None, 1, Button7},
      {"focus on the window itself: first", TheWindow, 0, Edit0},
      {"focus on the window itself: last", TheWindow, 1, Button7},
      {"not a tab stop: unchanged", PlainStatic, 0, PlainStatic},
      {"not a tab stop: last", PlainStatic, 1, Button7},
      {"panel without tab stop: unchanged", Panel, 0, Panel},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(c.start == None ? nullptr : c.start == TheWindow ? window : children[c.start]);
    ASSERT_EQ(FocusIndex(), c.start);
    FocusStep(c.backward);
    EXPECT_EQ(FocusIndex(), c.expected);
  }
}

TEST_F(FocusTest, FullCirclesVisitEveryEligibleControlOnce) {
  const int forward[] = {Edit0, Edit4, PanelEdit, Button7, Edit0};
  const int backward[] = {Edit0, Button7, PanelEdit, Edit4, Edit0};
  for (int direction = 0; direction < 2; direction++) {
    SCOPED_TRACE(direction);
    const int *order = direction ? backward : forward;
    SetFocus(children[Edit0]);
    for (int i = 1; i < 5; i++) {
      FocusStep(direction);
      EXPECT_EQ(FocusIndex(), order[i]);
    }
  }
}

TEST_F(FocusTest, WindowWithoutEligibleControlsIsLeftAlone) {
  ASSERT_NE(WindowOpen(1, 100, 100, 200, 100, "no stops", 0xCA0000), 0);
  HWND other = WindowHandle(1);
  HWND text = CreateChild(other, "STATIC", WS_VISIBLE, 2, 2, 110, 52, 1);
  HWND disabled = CreateChild(other, "EDIT", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 2, 60, 80, 20, 2);
  ASSERT_TRUE(text && disabled);
  SetActiveWindow(other);
  ASSERT_EQ(GetActiveWindow(), other);
  HWND starts[] = {nullptr, other, text};
  for (HWND start : starts) {
    for (int32_t backward = 0; backward < 2; backward++) {
      SCOPED_TRACE(backward);
      SetFocus(start);
      FocusStep(backward);
      EXPECT_EQ(GetFocus(), start);
    }
  }
}

TEST_F(FocusTest, NoActiveWindowDoesNothing) {
  SetFocus(children[Edit0]);
  SetActiveWindow(nullptr);
  if (GetActiveWindow()) GTEST_SKIP() << "skipped: the system keeps a window of this thread active";
  HWND focus = GetFocus();
  FocusStep(0);
  FocusStep(1);
  EXPECT_EQ(GetFocus(), focus);
}

// A row of push buttons, which send no notification when they gain or lose
// the focus, so focus steps among them produce no event at all.
class ButtonRow : public FocusTest {
 protected:
  void SetUp() override {
    FocusTest::SetUp();
    ASSERT_NE(WindowOpen(1, 450, 100, 300, 60, "buttons", 0xCA0000), 0);
    row = WindowHandle(1);
    for (int i = 0; i < 3; i++) {
      buttons[i] = CreateChild(row, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 5 + 90 * i, 5, 80, 25, 20 + i);
      ASSERT_NE(buttons[i], nullptr);
    }
    SetForegroundWindow(row);
    SetActiveWindow(row);
    WaitAll();
    ASSERT_EQ(GetActiveWindow(), row);
  }
  int ButtonIndex() const {
    for (int i = 0; i < 3; i++)
      if (buttons[i] == GetFocus()) return i;
    return -1;
  }
  HWND row = nullptr;
  HWND buttons[3] = {};
};

TEST_F(ButtonRow, FocusCommandsStepWithoutAnEvent) {
  struct Case {
    WORD command;
    int start, expected;
  } cases[] = {{CommandNextFocus, 0, 1}, {CommandNextFocus, 2, 0}, {CommandPreviousFocus, 0, 2},
               {CommandPreviousFocus, 2, 1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.command * 10 + c.start);
    SetFocus(buttons[c.start]);
    WaitAll();
    PostMessageA(row, WM_COMMAND, MAKEWPARAM(c.command, 1), 0);
    EXPECT_EQ(WindowWaitEvent(0), WM_COMMAND);
    EXPECT_EQ(ButtonIndex(), c.expected);
  }
}

TEST_F(FocusTest, StepOntoAnEditReportsItsNotification) {
  // An edit notifies its parent when it gains the focus; during the wait
  // that dispatched the command this becomes the pending EventControl.
  SetFocus(children[Button7]);
  WaitAll();
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(CommandNextFocus, 1), 0);
  EXPECT_EQ(WindowWaitEvent(0), EventControl);
  EXPECT_EQ(WindowEventState()->snapshot.object, 10);
  EXPECT_EQ(WindowEventState()->snapshot.type, EN_SETFOCUS);
  EXPECT_EQ(FocusIndex(), Edit0);
}

void PressKeys(const WORD *keys, size_t count) {
  // All keys go down in order, then come up in reverse order.
  std::vector<INPUT> inputs;
  for (size_t i = 0; i < count; i++) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = keys[i];
    inputs.push_back(input);
  }
  for (size_t i = count; i-- > 0;) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = keys[i];
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<WaitResult> WaitForKeys(void) {
  std::vector<WaitResult> results;
  for (int i = 0; i < 20; i++) {
    int32_t code = WindowWaitEvent(100);
    if (!code) break;
    EventState *state = WindowEventState();
    results.push_back({code, state->snapshot.object, state->snapshot.window, state->snapshot.type});
  }
  return results;
}

TEST_F(ButtonRow, TabKeysThroughTheAccelerators) {
  struct Case {
    const char *name;
    std::vector<WORD> keys;
    int start, expected;
  } cases[] = {
      {"Tab", {VK_TAB}, 0, 1},
      {"Tab wraps", {VK_TAB}, 2, 0},
      {"Shift+Tab", {VK_SHIFT, VK_TAB}, 1, 0},
      {"Shift+Tab wraps", {VK_SHIFT, VK_TAB}, 0, 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(buttons[c.start]);
    WaitAll();
    PressKeys(c.keys.data(), c.keys.size());
    // Each key message comes back as its own number; the step itself
    // produces no event. The buttons repaint their focus and, themed, ask
    // the parent to erase beneath them (EventRedraw).
    std::vector<WaitResult> results = WaitForKeys();
    size_t keyDowns = 0, keyUps = 0;
    for (const WaitResult &r : results) {
      EXPECT_TRUE(r.code == WM_KEYDOWN || r.code == WM_KEYUP || r.code == WM_PAINT) << DumpResults(results);
      EXPECT_TRUE(r.type == -1 || r.code == EventRedraw) << DumpResults(results);
      if (r.code == WM_KEYDOWN) keyDowns++;
      if (r.code == WM_KEYUP) keyUps++;
    }
    EXPECT_EQ(keyDowns, c.keys.size()) << DumpResults(results);
    EXPECT_EQ(keyUps, c.keys.size()) << DumpResults(results);
    EXPECT_EQ(ButtonIndex(), c.expected) << DumpResults(results);
  }
}

TEST_F(FocusTest, TabKeysAmongEdits) {
  struct Case {
    const char *name;
    std::vector<WORD> keys;
    int start, expected;
  } cases[] = {
      {"Tab", {VK_TAB}, Edit0, Edit4},
      {"Tab wraps", {VK_TAB}, Button7, Edit0},
      {"Shift+Tab", {VK_SHIFT, VK_TAB}, Edit4, Edit0},
      {"Shift+Tab wraps", {VK_SHIFT, VK_TAB}, Edit0, Button7},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(children[c.start]);
    WaitAll();
    PressKeys(c.keys.data(), c.keys.size());
    std::vector<WaitResult> results = WaitForKeys();
    EXPECT_EQ(FocusIndex(), c.expected) << DumpResults(results);
  }
}

}  // namespace
