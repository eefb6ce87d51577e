// The text gadget: a "Static" control with a text colour and a background
// colour whose brush comes from the shared cache.
#include <string.h>

#include "runtime/gadget/gadget_internal.h"
#include "runtime/screen_scale/screen_scale.h"
#include "runtime/window/window.h"

GadgetKind TextGadgetKind;

namespace {

void FillTextGadgetKind(void) {
  if (TextGadgetKind.kindCode == TextGadgetCode) return;
  memset(&TextGadgetKind, 0, sizeof TextGadgetKind);
  TextGadgetKind.kindCode = TextGadgetCode;
  TextGadgetKind.tableSize = static_cast<int32_t>(sizeof TextGadgetKind);
  TextGadgetKind.onMessage = TextGadgetMessage;
  TextGadgetKind.onFree = TextGadgetFree;
  TextGadgetKind.onSetText = nullptr;  // the system window text is set directly
  TextGadgetKind.onSetColor = TextGadgetSetColor;
  TextGadgetKind.onGetColor = TextGadgetGetColor;
}

}  // namespace

intptr_t GadgetCreateText(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char *text, uint32_t flags) {
  if (!GadgetLibrary || (number < 0 && number != AutoNumber)) return 0;
  FillTextGadgetKind();
  HWND parent = GadgetListSelect(nullptr);
  if (!parent) return 0;

  // Bit 0x20000 of the flags is WS_GROUP in the style word and, shifted,
  // WS_EX_CLIENTEDGE: the sunken frame.
  DWORD exStyle = (flags >> 8) & WS_EX_CLIENTEDGE;
  DWORD style = flags | WS_CHILD | WS_VISIBLE | WS_GROUP;
  WCHAR *wide = RuntimeWideText(text);  // none: an empty control
  // Placed when registered, once the record keeps its place.
  HWND control = CreateWindowExW(exStyle, L"Static", wide, style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(-1)), ProgramInstance, nullptr);
  RuntimeFree(wide);
  if (!control) return 0;

  // A number already in use loses its earlier control here, after the new
  // one exists; its clean-up in GadgetProc leaves the record zeroed.
  GadgetRecord *record = static_cast<GadgetRecord *>(ObjectTableAllocate(GadgetLibrary->table, number));
  if (!record) {
    DestroyWindow(control);
    return 0;
  }
  memset(record, 0, sizeof *record);
  record->frontColor = ColorDefault;
  record->backColor = ColorDefault;
  // The place is given at 96 dpi; the control is laid out for its window's.
  record->place[0] = x;
  record->place[1] = y;
  record->place[2] = width;
  record->place[3] = height;
  record->dpi = ScreenDpi(parent);
  return GadgetRegister(number, record, control, &TextGadgetKind);
}

LRESULT TextGadgetMessage(GadgetRecord *record, HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_CTLCOLORSTATIC) return NotHandled;
  HDC dc = reinterpret_cast<HDC>(wParam);
  LRESULT result = NotHandled;
  if (record->frontColor != ColorDefault) {
    SetTextColor(dc, record->frontColor);
    // A text colour alone still paints on the button face, as the default would.
    if (record->backColor == ColorDefault) {
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
  }
  if (record->backColor != ColorDefault) {
    SetBkColor(dc, record->backColor);
    // Without a brush (none could be made) the button face stands in.
    result = reinterpret_cast<LRESULT>(record->backBrush ? record->backBrush : GetSysColorBrush(COLOR_BTNFACE));
  }
  return result;
}

void TextGadgetFree(GadgetRecord *record) {
  if (record->backBrush) BrushCacheRelease(record->backBrush);
  record->backBrush = nullptr;
}

void TextGadgetSetColor(GadgetRecord *record, int32_t type, COLORREF colour) {
  if (type == ColorFront) {
    record->frontColor = colour;
  } else if (type == ColorBack) {
    if (record->backBrush) BrushCacheRelease(record->backBrush);
    record->backBrush = colour == ColorDefault ? nullptr : BrushCacheGet(colour);
    record->backColor = colour;
  }
  RedrawWindow(record->window, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

COLORREF TextGadgetGetColor(GadgetRecord *record, int32_t type) {
  if (type == ColorFront) return record->frontColor;
  if (type == ColorBack) return record->backColor;
  return ColorDefault;
}
