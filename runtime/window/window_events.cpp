// Events: the queue the window procedure fills, the wait that hands events
// to the program, and the window procedure that turns messages into events.
#include <string.h>

#include "runtime/screen_scale/screen_scale.h"
#include "runtime/window/window_internal.h"

EventQueueState *EventQueue;

namespace {

constexpr DWORD WakeMask = 0x1FF;  // every kind of input, posted, sent and paint messages, timers, hot keys

// Fetches one message; false when none came within the time-out.
bool FetchMessage(MSG *message, int32_t timeout) {
  if (timeout == -1) return GetMessageW(message, nullptr, 0, 0) != -1;
  if (PeekMessageW(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return true;
  if (timeout == 0) return false;
  DWORD wait = MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeout), WakeMask);
  if (wait == WAIT_TIMEOUT) return false;
  return PeekMessageW(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD) != 0;
}

LRESULT Forward(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!WindowLibrary || !WindowLibrary->gadgetForward) return NotHandled;
  return WindowLibrary->gadgetForward(control, parent, message, wParam, lParam);
}

BOOL CALLBACK SendSysColorChange(HWND child, LPARAM) {
  SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

LRESULT OnSize(HWND window, HWND libraryWindow, WindowRecord *record, intptr_t number, WPARAM sizeType) {
  if (!record || window != libraryWindow) return 1;
  switch (sizeType) {
    case SIZE_MINIMIZED:
      record->sizedFlag = 1;
      EventPost(EventMinimized, 0, number, 0);
      return 0;
    case SIZE_MAXIMIZED:
      record->sizedFlag = 1;
      EventPost(EventMaximized, 0, number, 0);
      EventPost(EventResized, 0, number, 0);
      return 0;
    case SIZE_RESTORED:
      if (record->sizedFlag == 1) {
        record->sizedFlag = 0;
        EventPost(EventRestored, 0, number, 0);
      }
      EventPost(EventResized, 0, number, 0);
      return 0;
    default:
      EventPost(EventResized, 0, number, 0);
      return 0;
  }
}

LRESULT OnCommand(HWND window, EventFields *event, WPARAM wParam, LPARAM lParam) {
  HWND control = reinterpret_cast<HWND>(lParam);
  if (Forward(control, window, WM_COMMAND, wParam, lParam) != NotHandled) return 0;
  if (control) {
    if (event) {
      event->pendingCode = EventControl;
      event->type = HIWORD(wParam);
      event->object = GetWindowLongPtrW(control, GWLP_ID);
    }
    return 0;
  }
  WORD command = LOWORD(wParam);
  if (HIWORD(wParam) && (command == CommandNextFocus || command == CommandPreviousFocus)) {
    FocusStep(command == CommandPreviousFocus);
    return 0;
  }
  if (event) {
    event->object = command;
    event->pendingCode = EventMenuCommand;
  }
  return 0;
}

}  // namespace

EventState *WindowEventState(void) {
  return WindowLibrary ? &WindowLibrary->events : nullptr;
}

void EventQueueInit(void) {
  if (EventQueue) return;
  EventQueueState *queue = static_cast<EventQueueState *>(LibraryStateCreate(sizeof(EventQueueState), nullptr));
  if (!queue) return;
  queue->pool = PoolCreate(static_cast<int32_t>(sizeof(EventNode)), 16, 256);
  if (!queue->pool) return;
  // Without one element held for good, the pool would free and remake its
  // first block every time the queue runs empty.
  queue->reserved = static_cast<EventNode *>(PoolAlloc(queue->pool));
  EventQueue = queue;
}

void EventPost(int32_t code, intptr_t object, intptr_t window, int32_t type) {
  if (!EventQueue) return;
  EventNode *last = EventQueue->tail;
  if (last && last->code == code && last->object == object && last->window == window && last->type == type) return;
  EventNode *node = static_cast<EventNode *>(PoolAlloc(EventQueue->pool));
  if (!node) return;
  node->next = nullptr;
  node->code = code;
  node->object = object;
  node->window = window;
  node->type = type;
  if (last) last->next = node;
  else EventQueue->head = node;
  EventQueue->tail = node;
}

int32_t EventTake(void) {
  if (!EventQueue || !EventQueue->head) return 0;
  EventNode *node = EventQueue->head;
  EventQueue->head = node->next;
  if (!EventQueue->head) EventQueue->tail = nullptr;
  if (WindowLibrary) {
    EventFields *current = &WindowLibrary->events.current;
    current->object = node->object;
    current->window = node->window;
    current->type = node->type;
  }
  int32_t code = node->code;
  PoolFree(EventQueue->pool, node);
  return code;
}

HACCEL WindowAccelerators(HWND window) {
  intptr_t number = WindowNumberOf(window);
  if (number == -1) return nullptr;
  WindowRecord *record = WindowLookup(number);
  return record ? record->accelTable : nullptr;
}

int32_t WindowWaitEvent(int32_t timeout) {
  EventState *state = WindowEventState();
  if (!state) return 0;
  EventFields *current = &state->current;
  current->type = -1;
  current->pendingCode = 0;

  int32_t result = EventTake();
  if (result) {
    current->pendingCode = result;
    current->wParam = 0;
    current->lParam = 0;
  } else {
    MSG message;
    memset(&message, 0, sizeof message);
    if (!FetchMessage(&message, timeout)) return 0;
    HWND active = GetActiveWindow();
    HACCEL table = WindowAccelerators(active);
    if (!table || !TranslateAcceleratorW(active, table, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (current->pendingCode) {
      result = current->pendingCode;
      current->pendingCode = 0;
    } else {
      result = static_cast<int32_t>(message.message);
      current->wParam = message.wParam;
      current->lParam = message.lParam;
    }
  }
  state->snapshot = *current;
  return result;
}

void WindowSetGadgetForward(GadgetForwardProc forward) {
  if (WindowLibrary) WindowLibrary->gadgetForward = forward;
}

LRESULT WindowDispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The library window is the message's window or its nearest ancestor that
  // carries a window number; during CreateWindowExW there is none yet.
  intptr_t number = -1;
  HWND libraryWindow = nullptr;
  for (HWND walk = window; walk; walk = GetParent(walk)) {
    number = WindowNumberOf(walk);
    if (number != -1) {
      libraryWindow = walk;
      break;
    }
  }
  WindowRecord *record = number != -1 ? WindowLookup(number) : nullptr;
  EventState *state = WindowEventState();
  EventFields *event = state ? &state->current : nullptr;
  if (event) event->window = number;

  switch (message) {
    case WM_MOVE:
      if (number != -1) EventPost(EventMoved, number, number, 0);
      return 0;
    case WM_CLOSE:
      // Closing is the program's decision: the window stays.
      if (number != -1) EventPost(EventCloseRequest, number, number, 0);
      return 0;
    case WM_SIZE:
      return OnSize(window, libraryWindow, record, number, wParam);
    case WM_ACTIVATE:
      if (LOWORD(wParam)) {
        HWND focus = static_cast<HWND>(GetPropA(window, FocusProperty));
        if (focus) SetFocus(focus);
        EventPost(EventActivated, 0, number, 0);
      } else {
        SetPropA(window, FocusProperty, GetFocus());
      }
      return 1;  // the default would move the focus to the window itself
    case WM_ERASEBKGND: {
      LRESULT result = NotHandled;
      if (record && record->windowHandle == window && record->painter)
        result = record->painter(reinterpret_cast<HDC>(wParam), window);
      EventPost(EventRedraw, 0, number, 0);
      return result;
    }
    case WM_SYSCOLORCHANGE:
      if (record) EnumChildWindows(window, SendSysColorChange, 0);
      return NotHandled;
    case WM_GETMINMAXINFO:
      if (!record) return NotHandled;
      if (lParam && (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        reinterpret_cast<MINMAXINFO *>(lParam)->ptMinTrackSize.x = 1;
      return 0;
    case WM_WINDOWPOSCHANGING:
      // The default processing only clamps the size to the tracking limits,
      // which are for the user's dragging: a window without a sizing frame
      // keeps exactly the size the program gives it.
      if (record && record->windowHandle == window && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME))
        return 0;
      return NotHandled;
    case WM_DPICHANGED:
      // On a monitor of another DPI: the rectangle the system suggests, and
      // the gadgets laid out and given fonts for the new DPI.
      ScreenMoveTo(window, reinterpret_cast<const RECT *>(lParam));
      for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        Forward(child, window, message, wParam, lParam);
      return 0;
    case WM_NOTIFY:
      if (!lParam) return NotHandled;
      return Forward(reinterpret_cast<NMHDR *>(lParam)->hwndFrom, window, message, wParam, lParam);
    case WM_NCDESTROY:
      RemovePropA(window, FocusProperty);
      // Destroyed by someone other than WindowClose, which takes the number
      // off first: the number must not go on naming a handle the system may
      // give to another window.
      if (record && record->windowHandle == window) WindowForget(number);
      return 1;
    case WM_COMMAND:
      return OnCommand(window, event, wParam, lParam);
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return Forward(reinterpret_cast<HWND>(lParam), window, message, wParam, lParam);
    default:
      return NotHandled;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = WindowDispatch(window, message, wParam, lParam);
  SetLastError(0);
  if (result == NotHandled) return DefWindowProcW(window, message, wParam, lParam);
  return result;
}
