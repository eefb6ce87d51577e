// Window library: numbered top-level windows, the event queue and wait, the
// window procedure, window operations, keyboard focus steps and gadget lists.
//
// The window library owns the gadget-list state (the window that receives new
// gadgets); the gadget library asks for it with GadgetListSelect(nullptr).
// WindowInit creates that state with its 10-entry stack, and
// GadgetListStateGet makes it on first use as well, so WindowOpen makes new
// windows current gadget lists whether or not the gadget library started.
// The window procedure reaches gadgets only through the forwarder that
// GadgetInit hands over with WindowSetGadgetForward; without it (window-only
// programs) control messages get the default processing.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/objects/objects.h"

constexpr int32_t IgnoreValue = -65535;                                // 0xFFFF0001
constexpr LRESULT NotHandled = static_cast<int32_t>(0xD0D0D0D1u);      // ask for default processing

// Event codes returned by WindowWaitEvent.
enum : int32_t {
  EventMoved = 3,
  EventResized = 5,
  EventRedraw = 15,
  EventCloseRequest = 16,
  EventControl = 13100,
  EventMenuCommand = 13101,
  EventActivated = 13104,
  EventMinimized = 13107,
  EventMaximized = 13108,
  EventRestored = 13109,
};

enum : WORD { CommandNextFocus = 64001, CommandPreviousFocus = 64002 };

// WindowOpen flag bits that belong to the library.
enum : uint32_t {
  WindowCenterScreen = 0x1,
  WindowCenterActive = 0x2,
  WindowTool = 0x4,
  WindowNoGadgetList = 0x8,
  WindowInvisible = 0x10000000,
};

typedef LRESULT (*WindowPainter)(HDC dc, HWND window);

struct WindowRecord {
  HWND windowHandle;
  ACCEL *accelEntries;
  HACCEL accelTable;
  int32_t accelCount;
  WindowPainter painter;
  int32_t sizedFlag;
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

// ---- 5.1 creation ----
void WindowInit(void);
intptr_t WindowOpen(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char *title, uint32_t flags);
void WindowClose(intptr_t number);
void WindowEnd(void);
WindowRecord *WindowLookup(intptr_t number);
HWND WindowHandle(intptr_t number);  // 0 when the number names no open window

// ---- 5.2 events ----
void EventQueueInit(void);
void EventPost(int32_t code, intptr_t object, intptr_t window, int32_t type);
int32_t EventTake(void);
int32_t WindowWaitEvent(int32_t timeout);
HACCEL WindowAccelerators(HWND window);
EventState *WindowEventState(void);

// ---- 5.3 procedure ----
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WindowDispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef LRESULT (*GadgetForwardProc)(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
void WindowSetGadgetForward(GadgetForwardProc forward);

// ---- 5.4 operations ----
BOOL WindowResize(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height);
void WindowSetTopmost(intptr_t number, int32_t on);
void WindowSetFlickerFree(intptr_t number, int32_t on);
LRESULT WindowPaintBackground(HDC dc, HWND window);

// ---- 5.5 focus ----
void FocusStep(int32_t backward);

// ---- 5.6 gadget lists ----
struct GadgetListState {
  HWND listParent;
  HWND *listStack;
  int32_t listDepth;
  int32_t listCapacity;
};

struct GadgetListRecord {
  HWND window;
  HWND savedParent;
  HWND *savedStack;
  int32_t savedDepth;
  int32_t savedCapacity;
  WNDPROC previousProc;
};

GadgetListState *GadgetListStateGet(void);  // null only when the runtime heap has no memory
HWND GadgetListSelect(HWND window);
LRESULT CALLBACK GadgetListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
