// Waiting for events against the real message queue: time-outs, the event
// queue before messages, and the events the window procedure queues for
// minimise, restore, maximise, close, move and paint, with the messages
// that reach the window recorded and compared with tables.
#include "window_test_support.h"

namespace {

struct ForwardCall {
  HWND control;
  HWND parent;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<ForwardCall> forwarded;
LRESULT forwardResult;

LRESULT RecordingForward(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  forwarded.push_back({control, parent, message, wParam, lParam});
  return forwardResult;
}

class EventTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    forwarded.clear();
    forwardResult = NotHandled;
    // The clock's styles plus a maximise box and a sizing border.
    ASSERT_NE(WindowOpen(0, 100, 100, 200, 120, "events", 0xCA0001 | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    window = WindowHandle(0);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    Settle();
  }
  void TearDown() override {
    WindowSetGadgetForward(nullptr);
    WindowTest::TearDown();
  }
  // Lets the system finish showing and painting, then forgets what happened.
  void Settle() {
    WaitAll();
    RecorderClear();
  }
  HWND window = nullptr;
};

DWORD WINAPI PostLater(LPVOID parameter) {
  Sleep(100);
  PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter)), WM_APP + 1, 11, 22);
  return 0;
}

TEST_F(EventTest, ZeroTimeOutReturnsAtOnce) {
  EventState *state = WindowEventState();
  state->snapshot.object = 4321;
  EXPECT_EQ(WindowWaitEvent(0), 0);
  EXPECT_EQ(state->current.type, -1);
  EXPECT_EQ(state->snapshot.object, 4321);  // a time-out leaves the snapshot
}

ULONGLONG ThreadCpuTime(void) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ticks = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return (ticks(kernel) + ticks(user)) / 10000;  // milliseconds
}

TEST_F(EventTest, TimeOutBlocksForItsDuration) {
  ULONGLONG start = GetTickCount64(), cpuStart = ThreadCpuTime();
  EXPECT_EQ(WindowWaitEvent(500), 0);
  ULONGLONG elapsed = GetTickCount64() - start, cpu = ThreadCpuTime() - cpuStart;
  EXPECT_GE(elapsed, 450u) << "the wait returned before its time-out";
  // Blocking in the system, not polling: the thread hardly ran meanwhile.
  EXPECT_LT(cpu, 200u) << "the wait kept the processor busy for " << cpu << " ms";
}

TEST_F(EventTest, OpeningQueuesEventsForTheNewWindow) {
  // Showing happens after "ZX_WindowID" is set, so the activation that
  // showing brings already counts for window 1.
  ASSERT_NE(WindowOpen(1, 300, 200, 150, 80, "second", 0xCA0000), 0);
  std::vector<WaitResult> results = WaitAll();
  const ExpectedEvent events[] = {
      {EventRedraw, 0, 1, 0, MatchOptional}, {EventActivated, 0, 1, 0, 0}, {EventRedraw, 0, 1, 0, MatchOptional},
      {EventResized, 0, 1, 0, MatchOptional}, {EventMoved, 1, 1, 0, MatchOptional},
      {EventRedraw, 0, 1, 0, MatchOptional}};
  EXPECT_TRUE(MatchEvents(results, events));
  const ExpectedMessage messages[] = {
      {1, WM_NCCREATE, 0, 0, MatchAnyLParam},
      {1, WM_CREATE, 0, 0, MatchAnyLParam},
      {1, WM_SHOWWINDOW, 1, 0, 0},
      {0, WM_ACTIVATE, WA_INACTIVE, 0, MatchAnyLParam},
      {1, WM_ACTIVATE, WA_ACTIVE, 0, MatchAnyLParam},
      {1, WM_SIZE, SIZE_RESTORED, MAKELPARAM(150, 80), MatchOptional},
      {1, WM_MOVE, 0, 0, MatchOptional | MatchAnyLParam}};
  EXPECT_TRUE(MatchSequence(messages));
}

TEST_F(EventTest, WaitWakesForAPostedMessage) {
  struct Case {
    int32_t timeout;
  } cases[] = {{5000}, {-1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.timeout);
    HANDLE thread = CreateThread(nullptr, 0, PostLater, reinterpret_cast<LPVOID>(static_cast<uintptr_t>(GetCurrentThreadId())), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // A wake-up for something that is no message (a paint or sent message
    // the peek handles itself) legitimately ends a wait with 0.
    ULONGLONG start = GetTickCount64();
    int32_t result = 0;
    for (int i = 0; i < 20 && result != WM_APP + 1; i++) result = WindowWaitEvent(c.timeout);
    EXPECT_LT(GetTickCount64() - start, 4000u);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(result, WM_APP + 1);
    EventState *state = WindowEventState();
    EXPECT_EQ(state->snapshot.wParam, 11u);
    EXPECT_EQ(state->snapshot.lParam, 22);
    EXPECT_EQ(state->snapshot.type, -1);
  }
}

TEST_F(EventTest, QueuedEventsComeBeforeMessages) {
  PostMessageA(window, WM_APP + 3, 5, 6);
  EventPost(EventActivated, 0, 7, 0);
  EventPost(EventMoved, 9, 9, 0);
  EventState *state = WindowEventState();
  struct Step {
    int32_t code;
    intptr_t object, window;
    int32_t type;
    WPARAM wParam;
    LPARAM lParam;
  } steps[] = {
      {EventActivated, 0, 7, 0, 0, 0},
      {EventMoved, 9, 9, 0, 0, 0},
      {WM_APP + 3, 9, 0, -1, 5, 6},  // object unchanged; window left by dispatch
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.code);
    MSG peek;
    bool messageWaiting = PeekMessageA(&peek, window, WM_APP + 3, WM_APP + 3, PM_NOREMOVE) != 0;
    EXPECT_TRUE(messageWaiting) << "the queue is served before any message is fetched";
    ASSERT_EQ(WindowWaitEvent(0), step.code);
    EXPECT_EQ(state->snapshot.object, step.object);
    EXPECT_EQ(state->snapshot.window, step.window);
    EXPECT_EQ(state->snapshot.type, step.type);
    EXPECT_EQ(state->snapshot.wParam, step.wParam);
    EXPECT_EQ(state->snapshot.lParam, step.lParam);
    EXPECT_EQ(state->current.pendingCode, step.type == 0 ? step.code : 0);
  }
}

TEST_F(EventTest, PostKeepsOneOfARunOfIdenticalEvents) {
  struct Post {
    int32_t code;
    intptr_t object, window;
    int32_t type;
  };
  struct Case {
    const char *name;
    std::vector<Post> posted;
    std::vector<Post> taken;
  } cases[] = {
      {"run of three", {{3, 0, 0, 0}, {3, 0, 0, 0}, {3, 0, 0, 0}}, {{3, 0, 0, 0}}},
      {"separated", {{3, 0, 0, 0}, {5, 0, 0, 0}, {3, 0, 0, 0}}, {{3, 0, 0, 0}, {5, 0, 0, 0}, {3, 0, 0, 0}}},
      {"object differs", {{3, 0, 0, 0}, {3, 1, 0, 0}}, {{3, 0, 0, 0}, {3, 1, 0, 0}}},
      {"window differs", {{3, 0, 0, 0}, {3, 0, 1, 0}}, {{3, 0, 0, 0}, {3, 0, 1, 0}}},
      {"type differs", {{3, 0, 0, 0}, {3, 0, 0, 1}}, {{3, 0, 0, 0}, {3, 0, 0, 1}}},
      {"pairs", {{16, 2, 2, 0}, {16, 2, 2, 0}, {5, 0, 2, 0}, {5, 0, 2, 0}}, {{16, 2, 2, 0}, {5, 0, 2, 0}}},
  };
  EventFields *current = &WindowEventState()->current;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    for (const Post &p : c.posted) EventPost(p.code, p.object, p.window, p.type);
    for (const Post &p : c.taken) {
      ASSERT_EQ(EventTake(), p.code);
      EXPECT_EQ(current->object, p.object);
      EXPECT_EQ(current->window, p.window);
      EXPECT_EQ(current->type, p.type);
    }
    current->object = 55;
    EXPECT_EQ(EventTake(), 0);
    EXPECT_EQ(current->object, 55);  // an empty take changes nothing
  }
}

TEST_F(EventTest, ManyEventsQueueBeyondOnePoolBlock) {
  for (int32_t i = 0; i < 600; i++) EventPost(EventMoved, i, 0, 0);
  for (int32_t i = 0; i < 600; i++) {
    ASSERT_EQ(EventTake(), EventMoved);
    ASSERT_EQ(WindowEventState()->current.object, i);
  }
  EXPECT_EQ(EventTake(), 0);
  EXPECT_NE(EventQueue->pool->openBlocks, nullptr);  // the held element keeps the first block
  EXPECT_EQ(EventQueue->pool->totalElements, 16);
}

TEST_F(EventTest, MinimiseRestoreMaximise) {
  struct Step {
    const char *name;
    WPARAM command;
    std::vector<ExpectedEvent> events;
    std::vector<ExpectedMessage> messages;
  } steps[] = {
      {"minimise", SC_MINIMIZE,
       {{EventRedraw, 0, 0, 0, MatchOptional}, {EventMoved, 0, 0, 0, MatchOptional}, {EventMinimized, 0, 0, 0, 0},
        {EventMoved, 0, 0, 0, MatchOptional}},
       {{0, WM_SYSCOMMAND, SC_MINIMIZE, 0, MatchAnyLParam},
        {0, WM_ACTIVATE, WA_INACTIVE, 0, MatchOptional | MatchAnyWParam | MatchAnyLParam},
        {0, WM_MOVE, 0, 0, MatchOptional | MatchAnyLParam},
        {0, WM_SIZE, SIZE_MINIMIZED, 0, 0},
        {0, WM_ACTIVATE, WA_INACTIVE, 0, MatchOptional | MatchAnyWParam | MatchAnyLParam}}},
      {"restore", SC_RESTORE,
       {{EventRedraw, 0, 0, 0, MatchOptional}, {EventActivated, 0, 0, 0, MatchOptional}, {EventMoved, 0, 0, 0, MatchOptional}, {EventRestored, 0, 0, 0, 0},
        {EventResized, 0, 0, 0, 0}, {EventActivated, 0, 0, 0, MatchOptional}},
       {{0, WM_SYSCOMMAND, SC_RESTORE, 0, MatchAnyLParam},
        {0, WM_ACTIVATE, WA_ACTIVE, 0, MatchOptional | MatchAnyWParam | MatchAnyLParam},
        {0, WM_MOVE, 0, 0, MatchOptional | MatchAnyLParam},
        {0, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 120), 0},
        {0, WM_ACTIVATE, WA_ACTIVE, 0, MatchOptional | MatchAnyLParam}}},
      {"maximise", SC_MAXIMIZE,
       {{EventRedraw, 0, 0, 0, MatchOptional}, {EventMoved, 0, 0, 0, MatchOptional}, {EventMaximized, 0, 0, 0, 0},
        {EventResized, 0, 0, 0, 0}},
       {{0, WM_SYSCOMMAND, SC_MAXIMIZE, 0, MatchAnyLParam},
        {0, WM_MOVE, 0, 0, MatchOptional | MatchAnyLParam},
        {0, WM_SIZE, SIZE_MAXIMIZED, 0, MatchAnyLParam}}},
      {"restore from maximised", SC_RESTORE,
       {{EventRedraw, 0, 0, 0, MatchOptional}, {EventMoved, 0, 0, 0, MatchOptional}, {EventRestored, 0, 0, 0, 0},
        {EventResized, 0, 0, 0, 0}},
       {{0, WM_SYSCOMMAND, SC_RESTORE, 0, MatchAnyLParam},
        {0, WM_MOVE, 0, 0, MatchOptional | MatchAnyLParam},
        {0, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 120), 0}}},
  };
  int32_t sizedFlags[] = {1, 0, 1, 0};
  int index = 0;
  for (const Step &step : steps) {
    SCOPED_TRACE(step.name);
    RecorderClear();
    PostMessageA(window, WM_SYSCOMMAND, step.command, 0);
    std::vector<WaitResult> results = WaitAll();
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results[0].code, WM_SYSCOMMAND) << DumpResults(results);
    EXPECT_TRUE(MatchEvents(results, step.events.data(), step.events.size()));
    EXPECT_TRUE(MatchSequence(step.messages.data(), step.messages.size()));
    EXPECT_EQ(WindowLookup(0)->sizedFlag, sizedFlags[index++]);
  }
}

TEST_F(EventTest, RestoreGivesRestoredThenResizedOnSuccessiveWaits) {
  ShowWindow(window, SW_MINIMIZE);
  WaitAll();
  ShowWindow(window, SW_RESTORE);
  // Nothing fetched in between: the waits take the queue one event at a time.
  std::vector<int32_t> codes;
  for (int i = 0; i < 10; i++) {
    int32_t code = WindowWaitEvent(0);
    if (WindowEventState()->snapshot.type != 0) break;
    // Wine erases the background while restoring, Windows at the next paint.
    if (code != EventMoved && code != EventActivated && code != EventRedraw) codes.push_back(code);
  }
  const std::vector<int32_t> expected = {EventRestored, EventResized};
  EXPECT_EQ(codes, expected);
}

TEST_F(EventTest, CloseButtonQueuesACloseRequestOnly) {
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  std::vector<WaitResult> results = WaitAll();
  ASSERT_GE(results.size(), 2u) << DumpResults(results);
  EXPECT_EQ(results[0].code, WM_SYSCOMMAND);
  const ExpectedEvent events[] = {{EventCloseRequest, 0, 0, 0, 0}};
  EXPECT_TRUE(MatchEvents(results, events));
  const ExpectedMessage messages[] = {{0, WM_SYSCOMMAND, SC_CLOSE, 0, MatchAnyLParam}, {0, WM_CLOSE, 0, 0, 0}};
  EXPECT_TRUE(MatchSequence(messages));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(EventTest, MovesInARowAreKeptOnce) {
  for (int i = 0; i < 4; i++) SetWindowPos(window, nullptr, 50 + 10 * i, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<WaitResult> results = WaitAll();
  const ExpectedEvent once[] = {{EventMoved, 0, 0, 0, 0}};
  EXPECT_TRUE(MatchEvents(results, once));
  const ExpectedMessage moves[] = {{0, WM_MOVE, 0, 0, MatchAnyLParam}, {0, WM_MOVE, 0, 0, MatchAnyLParam},
                                   {0, WM_MOVE, 0, 0, MatchAnyLParam}, {0, WM_MOVE, 0, 0, MatchAnyLParam}};
  EXPECT_TRUE(MatchSequence(moves));

  // Moves separated by another event are all kept.
  SetWindowPos(window, nullptr, 90, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(window, WM_CLOSE, 0, 0);
  SetWindowPos(window, nullptr, 95, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  results = WaitAll();
  const ExpectedEvent separated[] = {{EventMoved, 0, 0, 0, 0}, {EventCloseRequest, 0, 0, 0, 0}, {EventMoved, 0, 0, 0, 0}};
  EXPECT_TRUE(MatchEvents(results, separated));
}

TEST_F(EventTest, PaintIsReturnedAndErasingQueuesRedraw) {
  for (int painter = 0; painter < 2; painter++) {
    SCOPED_TRACE(painter);
    WindowSetFlickerFree(0, painter);
    InvalidateRect(window, nullptr, TRUE);
    std::vector<WaitResult> results = WaitAll();
    ASSERT_GE(results.size(), 2u) << DumpResults(results);
    EXPECT_EQ(results[0].code, WM_PAINT);
    EXPECT_EQ(results[0].type, -1);
    EXPECT_EQ(results[1].code, EventRedraw);
    EXPECT_EQ(results[1].type, 0);
    EXPECT_EQ(results[1].window, 0);
    EXPECT_EQ(results.size(), 2u) << DumpResults(results);
  }
}

TEST_F(EventTest, CommandsBecomePendingEvents) {
  HWND button = CreateChild(window, "BUTTON", WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 60, 20, 77);
  ASSERT_NE(button, nullptr);
  struct Case {
    const char *name;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT forward;  // what the gadget forwarder answers
    int32_t result;
    intptr_t object;
    int32_t type;
  } cases[] = {
      {"control notification", MAKEWPARAM(77, EN_CHANGE), reinterpret_cast<LPARAM>(button), NotHandled, EventControl, 77, EN_CHANGE},
      {"handled by the gadget", MAKEWPARAM(77, EN_CHANGE), reinterpret_cast<LPARAM>(button), 0, WM_COMMAND, -100, -1},
      {"menu command", MAKEWPARAM(1234, 0), 0, NotHandled, EventMenuCommand, 1234, -1},
      {"other accelerator", MAKEWPARAM(555, 1), 0, NotHandled, EventMenuCommand, 555, -1},
      {"next focus", MAKEWPARAM(CommandNextFocus, 1), 0, NotHandled, WM_COMMAND, -100, -1},
      {"previous focus", MAKEWPARAM(CommandPreviousFocus, 1), 0, NotHandled, WM_COMMAND, -100, -1},
      {"focus id from a menu", MAKEWPARAM(CommandNextFocus, 0), 0, NotHandled, EventMenuCommand, CommandNextFocus, -1},
  };
  WaitAll();  // the new button's painting
  WindowSetGadgetForward(RecordingForward);
  EventState *state = WindowEventState();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    forwarded.clear();
    forwardResult = c.forward;
    state->current.object = -100;
    PostMessageA(window, WM_COMMAND, c.wParam, c.lParam);
    ASSERT_EQ(WindowWaitEvent(0), c.result);
    EXPECT_EQ(state->snapshot.object, c.object);
    EXPECT_EQ(state->snapshot.window, 0);
    EXPECT_EQ(state->snapshot.type, c.type);
    EXPECT_EQ(state->current.pendingCode, 0);
    ASSERT_EQ(forwarded.size(), 1u);
    EXPECT_EQ(forwarded[0].control, reinterpret_cast<HWND>(c.lParam));
    EXPECT_EQ(forwarded[0].parent, window);
    EXPECT_EQ(forwarded[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(WaitAll().size(), 0u);  // nothing queued
  }
}

TEST_F(EventTest, ControlEventCarriesAPointerWideIdentifier) {
  HWND edit = CreateChild(window, "EDIT", WS_VISIBLE, 5, 5, 60, 20, 1);
  ASSERT_NE(edit, nullptr);
  intptr_t id = static_cast<intptr_t>(sizeof(void *) == 8 ? 0x123456789A0LL : 0x12345678);
  SetWindowLongPtrA(edit, GWLP_ID, id);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(0, EN_SETFOCUS), reinterpret_cast<LPARAM>(edit));
  ASSERT_EQ(WindowWaitEvent(0), EventControl);
  EXPECT_EQ(WindowEventState()->snapshot.object, id);
  EXPECT_EQ(WindowEventState()->snapshot.type, EN_SETFOCUS);
}

TEST_F(EventTest, ControlMessagesGoToTheGadgetForwarder) {
  HWND control = CreateChild(window, "STATIC", WS_VISIBLE, 5, 5, 60, 20, 3);
  ASSERT_NE(control, nullptr);
  NMHDR header = {control, 3, 0};
  HDC dc = GetDC(window);
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool forwarded;
  } cases[] = {
      {WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&header), true},
      {WM_HSCROLL, 0, reinterpret_cast<LPARAM>(control), true},
      {WM_VSCROLL, 0, reinterpret_cast<LPARAM>(control), true},
      {WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control), true},
      {WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control), true},
      {WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control), true},
      {WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control), true},
      {WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control), false},
      {WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control), false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(MessageName(c.message));
    // With no forwarder the default processing answers.
    WindowSetGadgetForward(nullptr);
    LRESULT plain = SendMessageA(window, c.message, c.wParam, c.lParam);
    EXPECT_EQ(plain, DefWindowProcA(window, c.message, c.wParam, c.lParam));
    WindowSetGadgetForward(RecordingForward);
    forwarded.clear();
    forwardResult = 0x4321;
    LRESULT result = SendMessageA(window, c.message, c.wParam, c.lParam);
    if (c.forwarded) {
      EXPECT_EQ(result, 0x4321);
      ASSERT_EQ(forwarded.size(), 1u);
      EXPECT_EQ(forwarded[0].control, control);
      EXPECT_EQ(forwarded[0].parent, window);
      EXPECT_EQ(forwarded[0].message, c.message);
      EXPECT_EQ(forwarded[0].wParam, c.wParam);
      EXPECT_EQ(forwarded[0].lParam, c.lParam);
    } else {
      EXPECT_EQ(forwarded.size(), 0u);
    }
    // A forwarder that does not handle the message leaves it to the default.
    forwarded.clear();
    forwardResult = NotHandled;
    EXPECT_EQ(SendMessageA(window, c.message, c.wParam, c.lParam), plain);
  }
  ReleaseDC(window, dc);
}

TEST_F(EventTest, ActivationKeepsTheFocusOfEachWindow) {
  HWND edit = CreateChild(window, "EDIT", WS_VISIBLE | WS_TABSTOP, 5, 5, 80, 20, 1);
  ASSERT_NE(edit, nullptr);
  SetFocus(edit);
  ASSERT_EQ(GetFocus(), edit);
  ASSERT_NE(WindowOpen(1, 400, 300, 100, 60, "other", 0), 0);
  HWND other = WindowHandle(1);
  SetActiveWindow(other);
  ASSERT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(GetPropA(window, "ZX_Focus"), edit);
  EXPECT_NE(GetFocus(), edit);
  WaitAll();
  RecorderClear();
  SetActiveWindow(window);
  EXPECT_EQ(GetFocus(), edit);
  std::vector<WaitResult> results = WaitAll();
  const ExpectedEvent events[] = {{EventActivated, 0, 0, 0, 0}};
  EXPECT_TRUE(MatchEvents(results, events));
  // Giving the edit the focus back makes it notify its parent.
  const ExpectedMessage messages[] = {
      {1, WM_ACTIVATE, WA_INACTIVE, 0, MatchAnyLParam},
      {0, WM_ACTIVATE, WA_ACTIVE, 0, MatchAnyLParam},
      {0, WM_COMMAND, MAKEWPARAM(1, EN_SETFOCUS), reinterpret_cast<LPARAM>(edit), 0},
      {0, WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(edit), MatchOptional | MatchAnyWParam}};
  EXPECT_TRUE(MatchSequence(messages));
}

TEST_F(EventTest, ActivationWithoutSavedFocusLeavesTheFocusAlone) {
  // The default processing of WM_ACTIVATE would put the focus on the window
  // itself. (Wine's SetActiveWindow does that on its own, whatever the
  // procedure answers, so the message is sent directly.)
  RemovePropA(window, "ZX_Focus");
  SetFocus(nullptr);
  ASSERT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0), 1);
  EXPECT_EQ(GetFocus(), nullptr);
  const ExpectedEvent events[] = {{EventActivated, 0, 0, 0, 0}};
  EXPECT_TRUE(MatchEvents(WaitAll(), events));
  // With a saved focus, activation puts it back.
  HWND edit = CreateChild(window, "EDIT", WS_VISIBLE, 5, 5, 80, 20, 1);
  SetPropA(window, "ZX_Focus", edit);
  SetFocus(nullptr);
  EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_CLICKACTIVE, 0), 1);
  EXPECT_EQ(GetFocus(), edit);
  // Deactivation saves the focus.
  EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0), 1);
  EXPECT_EQ(GetPropA(window, "ZX_Focus"), edit);
}

HANDLE focusAtNcDestroy;
bool sawNcDestroy;
WNDPROC beforeCheck;
LRESULT CALLBACK CheckFocusProperty(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(beforeCheck, window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    sawNcDestroy = true;
    focusAtNcDestroy = GetPropA(window, "ZX_Focus");
  }
  return result;
}

TEST_F(EventTest, DestructionRemovesTheSavedFocus) {
  SetPropA(window, "ZX_Focus", reinterpret_cast<HANDLE>(window));
  beforeCheck = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckFocusProperty)));
  sawNcDestroy = false;
  focusAtNcDestroy = reinterpret_cast<HANDLE>(1);
  WindowClose(0);
  EXPECT_TRUE(sawNcDestroy);
  EXPECT_EQ(focusAtNcDestroy, nullptr);
}

TEST_F(EventTest, SystemColourChangeReachesEveryDescendant) {
  HWND child = CreateChild(window, "STATIC", WS_VISIBLE, 0, 0, 50, 50, 1);
  HWND grandchild = CreateChild(child, "BUTTON", WS_VISIBLE, 0, 0, 20, 20, 2);
  ASSERT_TRUE(child && grandchild);
  RecorderTrack(child);
  RecorderTrack(grandchild);
  RecorderClear();
  SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
  const ExpectedMessage messages[] = {{0, WM_SYSCOLORCHANGE, 0, 0, 0},
                                      {1, WM_SYSCOLORCHANGE, 0, 0, 0},
                                      {0, WM_CTLCOLORSTATIC, 0, 0, MatchOptional | MatchAnyWParam | MatchAnyLParam},
                                      {2, WM_SYSCOLORCHANGE, 0, 0, 0}};
  EXPECT_TRUE(MatchSequence(messages));
}

TEST_F(EventTest, MessagesOfAWindowThatIsNoLibraryWindow) {
  // A window of a class with the library's procedure but without a number.
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "PlainWindowProcClass";
  RegisterClassA(&windowClass);
  HWND plain = CreateWindowExA(0, "PlainWindowProcClass", "plain", WS_OVERLAPPEDWINDOW, 10, 10, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(plain, nullptr);
  WaitAll();
  EventState *state = WindowEventState();
  struct Case {
    UINT message;
    WPARAM wParam;
    LRESULT result;
  } cases[] = {{WM_MOVE, 0, 0}, {WM_CLOSE, 0, 0}, {WM_SIZE, SIZE_RESTORED, 1}, {WM_SIZE, SIZE_MAXIMIZED, 1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(MessageName(c.message));
    state->current.window = 99;
    EXPECT_EQ(SendMessageA(plain, c.message, c.wParam, 0), c.result);
    EXPECT_EQ(state->current.window, -1);
    EXPECT_EQ(EventTake(), 0);
  }
  EXPECT_TRUE(IsWindow(plain));
  MINMAXINFO info = {};
  info.ptMinTrackSize.x = 77;
  SendMessageA(plain, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 77);  // the default processing leaves the caller's values
  DestroyWindow(plain);
  UnregisterClassA("PlainWindowProcClass", GetModuleHandleA(nullptr));
}

TEST_F(EventTest, SizeMessagesOfChildrenPostNothing) {
  HWND child = CreateChild(window, "STATIC", WS_VISIBLE, 0, 0, 50, 50, 1);
  EventState *state = WindowEventState();
  EXPECT_EQ(WindowDispatch(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 10)), 1);
  EXPECT_EQ(state->current.window, 0);  // found through the parent
  EXPECT_EQ(EventTake(), 0);
  EXPECT_EQ(WindowDispatch(child, WM_MOVE, 0, 0), 0);
  EXPECT_EQ(EventTake(), EventMoved);
  EXPECT_EQ(WindowDispatch(window, WM_USER + 7, 0, 0), NotHandled);
}

}  // namespace
