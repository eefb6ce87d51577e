// Keyboard focus steps: Tab and Shift+Tab through the active window's tab
// stops, wrapping around.
#include "runtime/window/window_internal.h"

namespace {

struct FocusWalk {
  HWND current;   // focus inside the active window, or none
  HWND previous;  // last eligible window seen (backward)
  bool wantNext;  // current was seen; the next eligible window gets the focus (forward)
  bool done;
};

bool Eligible(HWND window) {
  return IsWindowEnabled(window) && IsWindowVisible(window) && (GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP);
}

BOOL CALLBACK StepForward(HWND window, LPARAM data) {
  FocusWalk *walk = reinterpret_cast<FocusWalk *>(data);
  if (!Eligible(window)) return TRUE;
  if (walk->wantNext || !walk->current) {
    SetFocus(window);
    walk->done = true;
    return FALSE;
  }
  if (window == walk->current) walk->wantNext = true;
  return TRUE;
}

BOOL CALLBACK StepBackward(HWND window, LPARAM data) {
  FocusWalk *walk = reinterpret_cast<FocusWalk *>(data);
  if (!Eligible(window)) return TRUE;
  if (window == walk->current && walk->previous) {
    SetFocus(walk->previous);
    walk->done = true;
    return FALSE;
  }
  walk->previous = window;
  return TRUE;
}

}  // namespace

void FocusStep(int32_t backward) {
  HWND top = GetActiveWindow();
  if (!top) return;
  HWND focus = GetFocus();
  FocusWalk walk = {focus && IsChild(top, focus) ? focus : nullptr, nullptr, false, false};
  LPARAM data = reinterpret_cast<LPARAM>(&walk);
  if (!backward) {
    EnumChildWindows(top, StepForward, data);
    // The focus was on the last eligible window: wrap around to the first.
    if (!walk.done && walk.wantNext) EnumChildWindows(top, StepForward, data);
  } else {
    EnumChildWindows(top, StepBackward, data);
    if (!walk.done && walk.previous) SetFocus(walk.previous);
  }
}
