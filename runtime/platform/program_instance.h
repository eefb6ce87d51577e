// The program's module, kept by the clock's entry point (or a test's main)
// for every library that registers window classes or loads resources, and
// the screen's DPI for those that lay windows out. Windows only; the
// portable libraries never need either.
#pragma once
#include <stdint.h>
#include <windows.h>

extern HINSTANCE ProgramInstance;

// A length given in pixels at 96 dpi, scaled to the screen's dots per inch
// (LOGPIXELSY; taken as 96 when it cannot be read). Fonts grow with the
// screen's DPI, so the layouts around them grow too.
int32_t ScreenScaled(int32_t pixels);
