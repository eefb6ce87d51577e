#include "runtime/screen_scale/screen_scale.h"

namespace {

typedef UINT(WINAPI *DpiForWindow)(HWND);
typedef BOOL(WINAPI *AdjustForDpi)(RECT *, DWORD, BOOL, DWORD, UINT);

// Read on the first call. The two functions are Windows 10's; the header
// states Windows 7, so they are looked up rather than imported.
struct {
  int32_t systemDpi;  // 0 until read
  DpiForWindow dpiForWindow;
  AdjustForDpi adjustForDpi;
} ScreenState;

template <typename Function>
Function User32Function(HMODULE user32, const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(user32, name)));
}

int32_t SystemDpi(void) {
  if (!ScreenState.systemDpi) {
    HDC screen = GetDC(nullptr);  // without one GetDeviceCaps gives 0
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ScreenState.systemDpi = dpi > 0 ? dpi : 96;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    ScreenState.dpiForWindow = User32Function<DpiForWindow>(user32, "GetDpiForWindow");
    ScreenState.adjustForDpi = User32Function<AdjustForDpi>(user32, "AdjustWindowRectExForDpi");
  }
  return ScreenState.systemDpi;
}

}  // namespace

int32_t ScreenDpi(HWND window) {
  int32_t dpi = SystemDpi();
  UINT own = window && ScreenState.dpiForWindow ? ScreenState.dpiForWindow(window) : 0;
  return own ? static_cast<int32_t>(own) : dpi;
}

int32_t ScreenScaled(int32_t pixels, int32_t dpi) {
  return MulDiv(pixels, dpi, 96);
}

void ScreenAdjustRect(RECT *rect, DWORD style, BOOL menu, DWORD exStyle, int32_t dpi) {
  SystemDpi();
  // AdjustWindowRectEx gives the frame of the system DPI, which a window on
  // a monitor of another DPI does not have.
  if (ScreenState.adjustForDpi) ScreenState.adjustForDpi(rect, style, menu, exStyle, static_cast<UINT>(dpi));
  else AdjustWindowRectEx(rect, style, menu, exStyle);
}

void ScreenLayOut(const HWND *controls, const int32_t (*places)[4], int count, int32_t dpi, HFONT font, HFONT *copy) {
  int32_t system = SystemDpi();
  HFONT old = *copy;
  *copy = nullptr;
  LOGFONTW shape;
  if (dpi != system && GetObjectW(font, sizeof shape, &shape)) {
    // Back to whole points, then to pixels at dpi, each rounded as the font
    // library rounds: the height of a font made for dpi. (The points come
    // back exactly from any DPI above 72.)
    shape.lfHeight = MulDiv(MulDiv(shape.lfHeight, 72, system), dpi, 72);
    *copy = CreateFontIndirectW(&shape);
  }
  if (*copy) font = *copy;
  for (int i = 0; i < count; i++) {
    if (places) {
      int32_t at[4];
      for (int j = 0; j < 4; j++) at[j] = MulDiv(places[i][j], dpi, 96);
      SetWindowPos(controls[i], nullptr, at[0], at[1], at[2], at[3], SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendMessageW(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (old) DeleteObject(old);
}

void ScreenMoveTo(HWND window, const RECT *rect) {
  SetWindowPos(window, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
