#include "runtime/gadget/gadget_internal.h"

void GadgetSetText(intptr_t number, const char *text) {
  if (!text) text = "";
  GadgetRecord *record = GadgetLookup(number);
  if (!record) return;
  if (record->kind && record->kind->onSetText)
    record->kind->onSetText(record, text);
  else
    SetWindowTextA(record->window, text);
}

void GadgetSetColor(intptr_t number, int32_t type, COLORREF colour) {
  GadgetRecord *record = GadgetLookup(number);
  if (record && record->kind && record->kind->onSetColor) record->kind->onSetColor(record, type, colour);
}

COLORREF GadgetGetColor(intptr_t number, int32_t type) {
  GadgetRecord *record = GadgetLookup(number);
  if (!record || !record->kind || !record->kind->onGetColor) return ColorDefault;
  return record->kind->onGetColor(record, type);
}

void GadgetSetFont(intptr_t number, HFONT font) {
  HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (font == reinterpret_cast<HFONT>(static_cast<intptr_t>(-1))) font = stock;
  if (number == -1) {
    GadgetState *state = GadgetStateGet();
    if (state) state->font = font;
    return;
  }
  GadgetRecord *record = GadgetLookup(number);
  if (record) SendMessageA(record->window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
