// Window operations: moving and resizing in place, topmost, and the
// flicker-free background painter.
#include "runtime/screen_scale/screen_scale.h"
#include "runtime/window/window_internal.h"

namespace {

bool IsButtonClass(const char *name) {
  static constexpr char Button[] = "button";
  for (size_t i = 0; i < sizeof Button; i++) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != Button[i]) return false;
  }
  return true;
}

}  // namespace

BOOL WindowResize(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height) {
  WindowRecord *record = WindowLookup(number);
  if (!record) return 0;
  HWND window = record->windowHandle;
  if (x == IgnoreValue || y == IgnoreValue) {
    RECT outer;
    GetWindowRect(window, &outer);
    if (x == IgnoreValue) x = outer.left;
    if (y == IgnoreValue) y = outer.top;
  }
  // Both sizes kept: the outer size as it is, which is also right where the
  // window's frame is not the system DPI's.
  UINT keep = SWP_NOSIZE;
  RECT rect = {};
  if (width != IgnoreValue || height != IgnoreValue) {
    keep = 0;
    int32_t dpi = ScreenDpi(window);
    GetClientRect(window, &rect);
    BOOL menu = FALSE;
    if (width != IgnoreValue) rect.right = ScreenScaled(width, dpi);
    if (height != IgnoreValue) rect.bottom = ScreenScaled(height, dpi);
    else menu = GetMenu(window) != nullptr;
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), menu,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  }
  return SetWindowPos(window, nullptr, x, y, rect.right - rect.left, rect.bottom - rect.top,
                      keep | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowSetTopmost(intptr_t number, int32_t on) {
  WindowRecord *record = WindowLookup(number);
  if (!record) return;
  SetWindowPos(record->windowHandle, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void WindowSetFlickerFree(intptr_t number, int32_t on) {
  WindowRecord *record = WindowLookup(number);
  if (!record) return;
  record->painter = on ? WindowPaintBackground : nullptr;
}

LRESULT WindowPaintBackground(HDC dc, HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HRGN saved = CreateRectRgnIndirect(&client);
  int hadClip = saved ? GetClipRgn(dc, saved) : -1;

  // Keep the fill off every visible child that paints its own background;
  // buttons other than plain push buttons draw on the parent's background.
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    char className[31];
    if (!GetClassNameA(child, className, sizeof className)) className[0] = 0;
    if (IsButtonClass(className) && (GetWindowLongPtrW(child, GWL_STYLE) & 7)) continue;
    RECT rect;
    GetWindowRect(child, &rect);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ScreenToClient(window, &corners[0]);
    ScreenToClient(window, &corners[1]);
    HRGN region = CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    if (region) {
      ExtSelectClipRgn(dc, region, RGN_DIFF);
      DeleteObject(region);
    }
  }
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));

  SelectClipRgn(dc, hadClip > 0 ? saved : nullptr);
  if (saved) DeleteObject(saved);
  return 0;
}
