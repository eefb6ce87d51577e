#include "runtime/font/font.h"

#include "runtime/objects/objects.h"
#include "runtime/screen_scale/screen_scale.h"

namespace {

struct FontRecord {
  HFONT font;  // non-zero while the font lives
};

struct {
  ObjectTable *table;  // FontRecords
} FontLibrary;

}  // namespace

void FontInit(void) {
  if (!FontLibrary.table) FontLibrary.table = ObjectTableCreate(sizeof(FontRecord), 16, FontFree);
}

intptr_t FontLoad(intptr_t number, const char *face, int32_t size, uint32_t style) {
  FontRecord *record = static_cast<FontRecord *>(ObjectTableAllocate(FontLibrary.table, number));
  if (!record) return 0;
  intptr_t handle = reinterpret_cast<intptr_t>(record);

  int weight = (style & FontStyleBold) ? FW_BOLD : FW_NORMAL;
  DWORD italic = (style & FontStyleItalic) ? 1 : 0;
  DWORD underline = (style & FontStyleUnderline) ? 1 : 0;
  DWORD strikeOut = (style & FontStyleStrikeOut) ? 1 : 0;
  DWORD quality = (style & FontStyleHighQuality) ? PROOF_QUALITY : DEFAULT_QUALITY;

  // For the screen's (the system) DPI; gadgets on a monitor of another show
  // a copy made for theirs. A negative height asks for the character (em)
  // height, not the cell height.
  int height = -MulDiv(size, ScreenDpi(nullptr), 72);
  HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET, 0, 0, quality, 0, face);
  if (!font) {
    // An empty AutoNumber record would stay in the table for good.
    if (number == AutoNumber) ObjectTableRelease(FontLibrary.table, handle);
    return 0;
  }
  record->font = font;
  return number == AutoNumber ? handle : reinterpret_cast<intptr_t>(font);
}

HFONT FontHandle(intptr_t number) {
  FontRecord *record = static_cast<FontRecord *>(ObjectTableLookup(FontLibrary.table, number));
  return record ? record->font : nullptr;
}

void FontFree(intptr_t number) {
  FontRecord *record = static_cast<FontRecord *>(ObjectTableLookup(FontLibrary.table, number));
  if (!record) return;
  DeleteObject(record->font);
  ObjectTableRelease(FontLibrary.table, number);
}

void FontEnd(void) {
  ObjectTableFreeAll(FontLibrary.table);
}
