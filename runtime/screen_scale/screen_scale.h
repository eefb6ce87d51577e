// The DPI of the monitor a window is on, and what follows from it: lengths
// given in pixels at 96 dpi, and fonts, for that DPI. The program is
// per-monitor aware, so each window is laid out for its own monitor, and again
// when it moves to one of another DPI (WM_DPICHANGED).
// Windows only; stands on user32 and gdi32 alone, so that the libraries that
// lay windows out need nothing else for it. What Windows 7 and 8 lack is
// looked up at run time.
#pragma once
#include <stdint.h>
#include <windows.h>

// GetDpiForWindow where the system has it; else, and for no window, the
// system DPI (the screen's LOGPIXELSY, read once; 96 when it cannot be read).
int32_t ScreenDpi(HWND window);

// pixels at 96 dpi, at dpi (rounded).
int32_t ScreenScaled(int32_t pixels, int32_t dpi);

// Lays count controls out for dpi: each at its place (x, y, width, height
// at 96 dpi, scaled to dpi), unless places is null, and in fonts[0], which is
// taken as made for the system DPI. Where dpi is another, the controls get a
// copy of it made for dpi (its point size, rounded as the font library rounds
// it, in pixels at dpi), kept in fonts[1]; the copy held before is deleted
// once no control uses it. The caller deletes the last copy.
void ScreenLayOut(const HWND *controls, const int32_t (*places)[4], int count, int32_t dpi, HFONT fonts[2]);

// Moves and sizes window to rect (screen coordinates), as WM_DPICHANGED
// suggests it.
void ScreenMoveTo(HWND window, const RECT *rect);
