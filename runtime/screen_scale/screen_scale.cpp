#include "runtime/screen_scale/screen_scale.h"

namespace {

typedef UINT(WINAPI *DpiForWindow)(HWND);

// Read on the first call of ScreenDpi. GetDpiForWindow is Windows 10's; the
// header states Windows 7, so it is looked up rather than imported.
struct {
  int32_t systemDpi;  // 0 until read
  DpiForWindow dpiForWindow;
} ScreenState;

template <typename Function>
Function User32Function(HMODULE user32, const char *name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(user32, name)));
}

}  // namespace

int32_t ScreenDpi(HWND window) {
  if (!ScreenState.systemDpi) {
    HDC screen = GetDC(nullptr);  // without one GetDeviceCaps gives 0
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ScreenState.systemDpi = dpi > 0 ? dpi : 96;
    ScreenState.dpiForWindow = User32Function<DpiForWindow>(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
  }
  // For no window GetDpiForWindow fails, giving 0.
  UINT own = ScreenState.dpiForWindow ? ScreenState.dpiForWindow(window) : 0;
  return own ? static_cast<int32_t>(own) : ScreenState.systemDpi;
}

int32_t ScreenScaled(int32_t pixels, int32_t dpi) {
  return MulDiv(pixels, dpi, 96);
}

void ScreenLayOut(const HWND *controls, const int32_t (*places)[4], int count, int32_t dpi, HFONT fonts[2]) {
  int32_t system = ScreenDpi(nullptr);
  HFONT font = fonts[0], old = fonts[1];
  fonts[1] = nullptr;
  LOGFONTW shape;
  if (dpi != system && GetObjectW(font, sizeof shape, &shape)) {
    // Back to whole points, then to pixels at dpi, each rounded as the font
    // library rounds: the height of a font made for dpi. (The points come
    // back exactly from any DPI above 72.)
    shape.lfHeight = MulDiv(MulDiv(shape.lfHeight, 72, system), dpi, 72);
    fonts[1] = CreateFontIndirectW(&shape);
  }
  if (fonts[1]) font = fonts[1];
  for (int i = 0; i < count; i++) {
    if (places) {
      int32_t at[4];
      for (int j = 0; j < 4; j++) at[j] = MulDiv(places[i][j], dpi, 96);
      MoveWindow(controls[i], at[0], at[1], at[2], at[3], TRUE);
    }
    SendMessageW(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  DeleteObject(old);  // none: nothing happens
}

void ScreenMoveTo(HWND window, const RECT *rect) {
  MoveWindow(window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
}
