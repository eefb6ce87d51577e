// Lengths given in pixels at 96 dpi, scaled to the screen's dots per inch.
// Fonts grow with the screen's DPI, so the layouts around them grow too.
// Windows only; stands on user32 and gdi32 alone, so that the libraries that
// lay windows out need nothing else for it.
#pragma once
#include <stdint.h>

// pixels × LOGPIXELSY / 96, rounded. The DPI is read on the first call and
// kept: the program is system-aware, so it does not change while it runs
// (taken as 96 when it cannot be read).
int32_t ScreenScaled(int32_t pixels);
