#include <string.h>

#include "runtime/gadget/gadget_internal.h"
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
  if (!GadgetTable || (number < 0 && number != AutoNumber)) return 0;
  FillTextGadgetKind();
  HWND parent = GadgetListSelect(nullptr);
  if (!parent) return 0;
  if (!text) text = "";

  // Bit 0x20000 of the flags is WS_GROUP in the style word and, shifted,
  // WS_EX_CLIENTEDGE: the sunken frame.
  DWORD exStyle = (flags >> 8) & WS_EX_CLIENTEDGE;
  DWORD style = flags | WS_CHILD | WS_VISIBLE | WS_GROUP;
  HWND control = CreateWindowExA(exStyle, "Static", text, style, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(-1)), ProgramInstance, nullptr);
  if (!control) return 0;

  // A number already in use loses its earlier control here, after the new
  // one exists; its clean-up in GadgetProc leaves the record zeroed.
  GadgetRecord *record = static_cast<GadgetRecord *>(ObjectTableAllocate(GadgetTable, number));
  if (!record) {
    DestroyWindow(control);
    return 0;
  }
  memset(record, 0, sizeof *record);
  record->frontColor = ColorDefault;
  record->backColor = ColorDefault;
  return GadgetRegister(number, record, control, &TextGadgetKind);
}

intptr_t GadgetRegister(intptr_t number, GadgetRecord *record, HWND control, GadgetKind *kind) {
  bool automatic = number == AutoNumber;
  if (automatic) number = reinterpret_cast<intptr_t>(record);
  record->window = control;
  record->kind = kind;
  record->previousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetProc)));
  SetWindowLongPtrA(control, GWLP_ID, number);
  SetPropA(control, "ZX_ID", reinterpret_cast<HANDLE>(number));
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GadgetStateGet()->font), TRUE);
  return automatic ? number : reinterpret_cast<intptr_t>(control);
}

LRESULT CALLBACK GadgetProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  intptr_t number = GetWindowLongPtrA(control, GWLP_ID);
  if (number == -1) return DefWindowProcA(control, message, wParam, lParam);
  GadgetRecord *record = GadgetLookup(number);
  // Only the control the record names may use it: a control whose identifier
  // was changed must not run or release another gadget.
  if (!record || record->window != control) return DefWindowProcA(control, message, wParam, lParam);
  LRESULT result = CallWindowProcA(record->previousProc, control, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // A slot record may have moved while the control's own procedure ran.
    record = GadgetLookup(number);
    if (!record || record->window != control) return result;
    if (record->kind && record->kind->onFree) record->kind->onFree(record);
    RemovePropA(control, "ZX_ID");
    SetWindowLongPtrA(control, GWLP_ID, -1);
    ObjectTableRelease(GadgetTable, number);
  }
  return result;
}

void GadgetFree(intptr_t number) {
  GadgetRecord *record = GadgetLookup(number);
  if (!record) return;
  HWND control = record->window;
  DestroyWindow(control);
  // Normally GadgetProc has released the record by now. A control that was
  // destroyed without it (its identifier changed) leaves the record behind,
  // which would otherwise name a dead window for good.
  record = GadgetLookup(number);
  if (record && record->window == control && !IsWindow(control)) {
    if (record->kind && record->kind->onFree) record->kind->onFree(record);
    ObjectTableRelease(GadgetTable, number);
  }
}
