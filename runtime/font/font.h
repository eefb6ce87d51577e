// Font library: numbered system fonts from a face name, a point size and
// style bits.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/objects/objects.h"

enum : uint32_t {
  FontStyleUnderline = 0x4,
  FontStyleStrikeOut = 0x8,
  FontStyleHighQuality = 0x10,
  FontStyleBold = 0x100,
  FontStyleItalic = 0x200,
};

struct FontRecord {
  HFONT font;
};

void FontInit(void);
intptr_t FontLoad(intptr_t number, const char *face, int32_t size, uint32_t style);
HFONT FontHandle(intptr_t number);
void FontFree(intptr_t number);
void FontEnd(void);
