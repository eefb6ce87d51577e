#include "runtime/gadget/gadget_internal.h"

#include <commctrl.h>

#include "runtime/window/window.h"

ObjectTable *GadgetTable;

namespace {

GadgetState *State;

void GadgetStateInit(void *block) {
  static_cast<GadgetState *>(block)->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

GadgetState *GadgetStateGet(void) {
  return static_cast<GadgetState *>(LibraryStateGet(State));
}

void GadgetInit(void) {
  if (!GadgetTable) {
    BrushCacheInit();
    GadgetTable = ObjectTableCreate(sizeof(GadgetRecord), 50, GadgetFree);
    State = static_cast<GadgetState *>(LibraryStateCreate(sizeof(GadgetState), GadgetStateInit));
  }
  INITCOMMONCONTROLSEX controls;
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;
  InitCommonControlsEx(&controls);
  WindowSetGadgetForward(GadgetForward);
}

void GadgetEnd(void) {
  ObjectTableRewind(GadgetTable);
  intptr_t number;
  while (ObjectTableNext(GadgetTable, &number)) GadgetFree(number);
}

GadgetRecord *GadgetLookup(intptr_t number) {
  return static_cast<GadgetRecord *>(ObjectTableLookup(GadgetTable, number));
}

HWND GadgetHandle(intptr_t number) {
  GadgetRecord *record = GadgetLookup(number);
  return record ? record->window : nullptr;
}

LRESULT GadgetForward(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!control) return NotHandled;
  intptr_t number = GetWindowLongPtrA(control, GWLP_ID);
  if (reinterpret_cast<intptr_t>(GetPropA(control, "ZX_ID")) != number) return NotHandled;
  GadgetRecord *record = GadgetLookup(number);
  // A control without the property and with identifier 0 matches too; only
  // the control the record names is that gadget.
  if (!record || record->window != control) return NotHandled;
  if (!record->kind || !record->kind->onMessage) return NotHandled;
  return record->kind->onMessage(record, parent, message, wParam, lParam);
}
