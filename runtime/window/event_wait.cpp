#include <string.h>

#include "runtime/window/window_internal.h"

namespace {

constexpr DWORD WakeMask = 0x1FF;  // every kind of input, posted, sent and paint messages, timers, hot keys

// Fetches one message; false when none came within the time-out.
bool FetchMessage(MSG *message, int32_t timeout) {
  if (timeout == -1) return GetMessageA(message, nullptr, 0, 0) != -1;
  if (PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return true;
  if (timeout == 0) return false;
  DWORD wait = MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeout), WakeMask);
  if (wait == WAIT_TIMEOUT) return false;
  return PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD) != 0;
}

}  // namespace

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
    if (!table || !TranslateAcceleratorA(active, table, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
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
