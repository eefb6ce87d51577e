// Shared between the gadget library's files.
#pragma once
#include "runtime/gadget/gadget.h"

struct GadgetState {
  HFONT font;  // given to every new gadget
};

extern ObjectTable *GadgetTable;
GadgetState *GadgetStateGet(void);
void BrushCacheInit(void);

// Text gadget handlers other than onMessage (which the header shows).
void TextGadgetFree(GadgetRecord *record);
void TextGadgetSetColor(GadgetRecord *record, int32_t type, COLORREF colour);
COLORREF TextGadgetGetColor(GadgetRecord *record, int32_t type);
