#include "runtime/screen_scale/screen_scale.h"

#include <windows.h>

namespace {
int32_t ScreenScaleDpi;  // 0 until the first call
}

int32_t ScreenScaled(int32_t pixels) {
  if (!ScreenScaleDpi) {
    HDC screen = GetDC(nullptr);  // without one GetDeviceCaps gives 0
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ScreenScaleDpi = dpi > 0 ? dpi : 96;
  }
  return MulDiv(pixels, ScreenScaleDpi, 96);
}
