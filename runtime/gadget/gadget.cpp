// The gadget library's table and its generic operations: every kind is
// registered, looked up, forwarded to and freed here; what differs goes
// through the kind's table.
#include "runtime/gadget/gadget_internal.h"

#include <commctrl.h>
#include "runtime/screen_scale/screen_scale.h"
#include "runtime/window/window.h"

GadgetState *GadgetLibrary;

namespace {

// What a gadget holds goes with it: its kind's objects and its font copy.
void ReleaseGadget(GadgetRecord *record, intptr_t number) {
  if (record->kind && record->kind->onFree) record->kind->onFree(record);
  DeleteObject(record->fonts[1]);  // none: nothing happens
  ObjectTableRelease(GadgetLibrary->table, number);
}

void GadgetStateInit(void *block) {
  static_cast<GadgetState *>(block)->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

void GadgetInit(void) {
  if (!GadgetLibrary) {
    GadgetState *state = static_cast<GadgetState *>(LibraryStateCreate(sizeof(GadgetState), GadgetStateInit));
    if (!state) return;
    InitializeCriticalSection(&GadgetBrushLock);
    state->table = ObjectTableCreate(sizeof(GadgetRecord), 50, GadgetFree);
    GadgetLibrary = state;
  }
  INITCOMMONCONTROLSEX controls;
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;
  InitCommonControlsEx(&controls);
  WindowSetGadgetForward(GadgetForward);
}

void GadgetEnd(void) {
  if (GadgetLibrary) ObjectTableFreeAll(GadgetLibrary->table);
}

GadgetRecord *GadgetLookup(intptr_t number) {
  if (!GadgetLibrary) return nullptr;
  return static_cast<GadgetRecord *>(ObjectTableLookup(GadgetLibrary->table, number));
}

HWND GadgetHandle(intptr_t number) {
  GadgetRecord *record = GadgetLookup(number);
  return record ? record->window : nullptr;
}

intptr_t GadgetRegister(intptr_t number, GadgetRecord *record, HWND control, GadgetKind *kind) {
  bool automatic = number == AutoNumber;
  if (automatic) number = reinterpret_cast<intptr_t>(record);
  record->window = control;
  record->kind = kind;
  // The number goes on the control before GadgetProc does, which finds the
  // gadget through it.
  SetWindowLongPtrW(control, GWLP_ID, number);
  SetPropA(control, GadgetIdProperty, reinterpret_cast<HANDLE>(number));
  record->previousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetProc)));
  record->fonts[0] = GadgetLibrary->font;
  GadgetLayOut(record, &record->place);
  return automatic ? number : reinterpret_cast<intptr_t>(control);
}

LRESULT CALLBACK GadgetProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  // The gadget is found through the "ZX_ID" that registration put on the
  // control, not its identifier: the program may change the identifier, and
  // the control must still draw and give up its number when destroyed.
  intptr_t number = reinterpret_cast<intptr_t>(GetPropA(control, GadgetIdProperty));
  GadgetRecord *record = GadgetLookup(number);
  // Only the control the record names may use it.
  if (!record || record->window != control) return DefWindowProcW(control, message, wParam, lParam);
  LRESULT result = CallWindowProcW(record->previousProc, control, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // A slot record may have moved while the control's own procedure ran.
    record = GadgetLookup(number);
    if (!record || record->window != control) return result;
    RemovePropA(control, GadgetIdProperty);
    SetWindowLongPtrW(control, GWLP_ID, -1);
    ReleaseGadget(record, number);
  }
  return result;
}

LRESULT GadgetForward(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!control) return NotHandled;
  intptr_t number = GetWindowLongPtrW(control, GWLP_ID);
  if (reinterpret_cast<intptr_t>(GetPropA(control, GadgetIdProperty)) != number) return NotHandled;
  GadgetRecord *record = GadgetLookup(number);
  // A control without the property and with identifier 0 matches too; only
  // the control the record names is that gadget.
  if (!record || record->window != control) return NotHandled;
  if (message == WM_DPICHANGED) {
    record->dpi = LOWORD(wParam);
    GadgetLayOut(record, &record->place);
    return 0;
  }
  if (!record->kind || !record->kind->onMessage) return NotHandled;
  return record->kind->onMessage(record, parent, message, wParam, lParam);
}

void GadgetFree(intptr_t number) {
  GadgetRecord *record = GadgetLookup(number);
  if (!record) return;
  HWND control = record->window;
  DestroyWindow(control);
  // Normally GadgetProc has released the record by now. A control destroyed
  // without it (its procedure replaced by the program) leaves the record
  // behind, which would otherwise name a dead window for good.
  record = GadgetLookup(number);
  if (record && record->window == control && !IsWindow(control)) ReleaseGadget(record, number);
}

void GadgetSetText(intptr_t number, const char *text) {
  if (!text) text = "";
  GadgetRecord *record = GadgetLookup(number);
  if (!record) return;
  if (record->kind && record->kind->onSetText) {
    record->kind->onSetText(record, text);
  } else {
    WCHAR *wide = RuntimeWideText(text);
    // What SetWindowTextW sends to a control of this thread, one import fewer.
    SendMessageW(record->window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide));
    RuntimeFree(wide);
  }
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
    if (GadgetLibrary) GadgetLibrary->font = font;
    return;
  }
  GadgetRecord *record = GadgetLookup(number);
  if (!record) return;
  record->fonts[0] = font;
  GadgetLayOut(record, nullptr);
}

void GadgetLayOut(GadgetRecord *record, const int32_t (*place)[4]) {
  ScreenLayOut(&record->window, place, 1, record->dpi, record->fonts);
}
