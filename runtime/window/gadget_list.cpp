#include <string.h>

#include "runtime/window/window_internal.h"

namespace {

constexpr int32_t InitialStackEntries = 10;

GadgetListState *ListState;

// "ZX_GadgetStack_" with the module instance; made once per instance,
// since GadgetListProc needs it for every message.
struct {
  HINSTANCE instance;
  char name[WindowNameSize];
} PropertyName;

const char *ListProperty(void) {
  if (!PropertyName.name[0] || PropertyName.instance != ProgramInstance) {
    PropertyName.instance = ProgramInstance;
    WindowFormatName(PropertyName.name, "ZX_GadgetStack_", reinterpret_cast<intptr_t>(ProgramInstance));
  }
  return PropertyName.name;
}

HWND *NewStack(void) {
  return static_cast<HWND *>(RuntimeAlloc(sizeof(HWND) * InitialStackEntries));
}

void InitListState(void *block) {
  GadgetListState *state = static_cast<GadgetListState *>(block);
  state->listStack = NewStack();
  state->listCapacity = state->listStack ? InitialStackEntries : 0;
}

HWND CurrentList(const GadgetListState *state) {
  if (state->listDepth > 0 && state->listStack) return state->listStack[0];
  return state->listParent;
}

GadgetListRecord *RecordOf(HWND window) {
  return static_cast<GadgetListRecord *>(GetPropA(window, ListProperty()));
}

}  // namespace

GadgetListState *GadgetListStateGet(void) {
  // Made on first use, so a window opened before any library start still works.
  if (!ListState) ListState = static_cast<GadgetListState *>(LibraryStateCreate(sizeof(GadgetListState), InitListState));
  return ListState;
}

HWND GadgetListSelect(HWND window) {
  GadgetListState *state = GadgetListStateGet();
  if (!state) return nullptr;
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

  if (state->listStack) {
    state->listDepth = 0;
  } else {
    state->listStack = NewStack();
    state->listDepth = 0;
    state->listCapacity = state->listStack ? InitialStackEntries : 0;
  }
  state->listParent = window;
  record = static_cast<GadgetListRecord *>(RuntimeAlloc(sizeof(GadgetListRecord)));
  if (!record) return previous;
  record->window = window;
  if (!SetPropA(window, ListProperty(), record)) {
    RuntimeFree(record);
    return previous;
  }
  SetLastError(0);
  LONG_PTR replaced = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetListProc));
  if (!replaced && GetLastError()) {
    // Not subclassable (another process's window): nothing would ever free the record.
    RemovePropA(window, ListProperty());
    RuntimeFree(record);
    return previous;
  }
  record->previousProc = reinterpret_cast<WNDPROC>(replaced);
  return previous;
}

LRESULT CALLBACK GadgetListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GadgetListRecord *record = RecordOf(window);
  if (!record) return DefWindowProcA(window, message, wParam, lParam);
  WNDPROC previousProc = record->previousProc;
  if (message == WM_NCDESTROY) {
    GadgetListState *state = GadgetListStateGet();
    if (state && CurrentList(state) == window) {
      state->listParent = nullptr;
      state->listDepth = 0;
    }
    RuntimeFree(record->savedStack);
    RuntimeFree(record);
    RemovePropA(window, ListProperty());
  }
  if (previousProc) return CallWindowProcA(previousProc, window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}
