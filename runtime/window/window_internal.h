// Inside the window library: its records, its two state blocks and the
// procedures it installs. Tests reach in through this header too.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <windows.h>

#include "runtime/platform/program_instance.h"
#include "runtime/window/window.h"

typedef LRESULT (*WindowPainter)(HDC dc, HWND window);

struct WindowRecord {
  HWND windowHandle;  // non-zero while the window is open
  ACCEL *accelEntries;
  HACCEL accelTable;
  int32_t accelCount;
  WindowPainter painter;  // null: the system paints the background
  int32_t sizedFlag;      // 1 while minimised or maximised
};

// Object numbers and handles are pointer-wide; event fields stay 32-bit
// except object and window, which carry numbers.
struct EventFields {
  intptr_t object;
  intptr_t window;
  int32_t type;
  int32_t pendingCode;
  WPARAM wParam;
  LPARAM lParam;
};

// The current event, and the copy WindowWaitEvent takes before it returns.
struct EventState {
  EventFields current;
  EventFields snapshot;
};

struct EventNode {
  EventNode *next;
  int32_t code;
  int32_t type;
  intptr_t object;
  intptr_t window;
};

// Which window receives the gadgets created next. listStack holds nested
// lists; nothing nests them here, so the current list is listParent.
struct GadgetListState {
  HWND listParent;
  HWND *listStack;
  int32_t listDepth;
  int32_t listCapacity;
};

// One per window that has been a current gadget list, attached as the
// property ListPropertyName: its list state while another window is current.
struct GadgetListRecord {
  HWND window;
  HWND savedParent;
  HWND *savedStack;
  int32_t savedDepth;
  int32_t savedCapacity;
  WNDPROC previousProc;
};

// Enough for a prefix of up to 15 bytes, a sign and the 20 digits of any
// 64-bit value.
constexpr size_t WindowNameSize = 40;

// The block WindowInit makes.
struct WindowState {
  ObjectTable *windowTable;
  GadgetForwardProc gadgetForward;  // null until the gadget library starts
  EventState events;
  GadgetListState lists;
  WNDCLASSW windowClass;              // every window's class, but for the name WindowOpen gives it
  char listProperty[WindowNameSize];  // "ZX_GadgetStack_<module instance>"
};

// The block EventQueueInit makes.
struct EventQueueState {
  BlockPool *pool;
  EventNode *head;
  EventNode *tail;
  EventNode *reserved;  // taken once and kept, so the first block stays for the whole run
};

extern WindowState *WindowLibrary;
extern EventQueueState *EventQueue;

constexpr const char WindowIdProperty[] = "ZX_WindowID";
constexpr const char FocusProperty[] = "ZX_Focus";
constexpr int32_t GadgetListEntries = 10;

WindowRecord *WindowLookup(intptr_t number);  // null when no window is open under it
// Number of a library window from its "ZX_WindowID" property, or -1.
intptr_t WindowNumberOf(HWND window);
// Drops the record of a window that is being destroyed without WindowClose.
// Its class stays registered until the number is opened and closed again,
// since a class cannot go while its window exists.
void WindowForget(intptr_t number);
// Writes prefix followed by value as a signed decimal over the full pointer
// width (msvcrt's printf family cannot be relied on for 64-bit values).
void WindowFormatName(char *out, const char *prefix, intptr_t value);
void WindowClassName(char *out, intptr_t number);
EventState *WindowEventState(void);  // null before WindowInit

// The class procedure of every library window, and what it does before the
// default processing (NotHandled asks for it).
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WindowDispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The start of the gadget-list state: no current list, an empty stack of
// GadgetListEntries entries.
void GadgetListStateInit(GadgetListState *state);
// The subclass procedure of every window that has been a gadget list; it
// drops the window's GadgetListRecord when the window goes.
LRESULT CALLBACK GadgetListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
