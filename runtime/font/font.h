// Font library: numbered system fonts made from a face name, a point size
// and style bits, for gadgets to use, made for the screen's (the system) DPI.
// Stands on the objects library (font table), screen_scale (the DPI) and on
// gdi32.
//
// FontLoad with AutoNumber returns the new font's number (a pointer-wide
// handle); with a number of 0 or more it returns the font's system handle.
// Fonts handed to gadgets stay owned by this library: FontFree and FontEnd
// delete them, so call FontEnd only after the windows that used them are gone.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/objects/objects.h"  // AutoNumber

enum : uint32_t {
  FontStyleUnderline = 0x4,
  FontStyleStrikeOut = 0x8,
  FontStyleHighQuality = 0x10,
  FontStyleBold = 0x100,
  FontStyleItalic = 0x200,
};

void FontInit(void);
// 0 when no font can be had; the number then names no font.
intptr_t FontLoad(intptr_t number, const char *face, int32_t size, uint32_t style);
HFONT FontHandle(intptr_t number);  // 0 when no such font lives
void FontFree(intptr_t number);
void FontEnd(void);
