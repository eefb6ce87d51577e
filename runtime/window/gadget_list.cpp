// Gadget lists: which window receives the gadgets created next, kept with
// each window while another one is current.
#include "runtime/window/window_internal.h"

namespace {

HWND *NewStack(void) {
  return static_cast<HWND *>(RuntimeAlloc(sizeof(HWND) * GadgetListEntries));
}

HWND CurrentList(const GadgetListState *state) {
  if (state->listDepth > 0 && state->listStack) return state->listStack[0];
  return state->listParent;
}

GadgetListRecord *RecordOf(HWND window) {
  return static_cast<GadgetListRecord *>(GetPropA(window, WindowLibrary->listProperty));
}

}  // namespace

void GadgetListStateInit(GadgetListState *state) {
  state->listStack = NewStack();
  state->listDepth = 0;
  state->listCapacity = state->listStack ? GadgetListEntries : 0;
}

HWND GadgetListSelect(HWND window) {
  if (!WindowLibrary) return nullptr;
  GadgetListState *state = &WindowLibrary->lists;
  HWND previous = CurrentList(state);
  if (!window) return previous;

  if (previous) {
    GadgetListRecord *saved = RecordOf(previous);
    // A current list always has its record; without one the array stays put.
    if (saved) {
      saved->savedParent = state->listParent;
      saved->savedStack = state->listStack;
      saved->savedDepth = state->listDepth;
      saved->savedCapacity = state->listCapacity;
      state->listStack = nullptr;
    }
  }

  GadgetListRecord *record = RecordOf(window);
  if (record) {
    RuntimeFree(state->listStack);
    state->listParent = record->savedParent;
    state->listStack = record->savedStack;
    state->listDepth = record->savedDepth;
    state->listCapacity = record->savedCapacity;
    record->savedStack = nullptr;
    return previous;
  }

  if (state->listStack) state->listDepth = 0;
  else GadgetListStateInit(state);
  state->listParent = window;
  record = static_cast<GadgetListRecord *>(RuntimeAlloc(sizeof(GadgetListRecord)));
  if (!record) return previous;
  record->window = window;
  if (!SetPropA(window, WindowLibrary->listProperty, record)) {
    RuntimeFree(record);
    return previous;
  }
  SetLastError(0);
  LONG_PTR replaced = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetListProc));
  if (!replaced && GetLastError()) {
    // Not subclassable (another process's window): nothing would ever free the record.
    RemovePropA(window, WindowLibrary->listProperty);
    RuntimeFree(record);
    return previous;
  }
  record->previousProc = reinterpret_cast<WNDPROC>(replaced);
  return previous;
}

LRESULT CALLBACK GadgetListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GadgetListRecord *record = WindowLibrary ? RecordOf(window) : nullptr;
  if (!record) return DefWindowProcW(window, message, wParam, lParam);
  WNDPROC previousProc = record->previousProc;
  if (message == WM_NCDESTROY) {
    GadgetListState *state = &WindowLibrary->lists;
    if (CurrentList(state) == window) {
      state->listParent = nullptr;
      state->listDepth = 0;
    }
    RuntimeFree(record->savedStack);
    RuntimeFree(record);
    RemovePropA(window, WindowLibrary->listProperty);
  }
  if (previousProc) return CallWindowProcW(previousProc, window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}
