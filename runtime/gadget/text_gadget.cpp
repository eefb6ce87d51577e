#include "runtime/gadget/gadget_internal.h"
#include "runtime/window/window.h"

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
