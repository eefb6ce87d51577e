// Window library: numbered top-level windows and the program's event loop.
// A window is opened under a number of the program's choosing (or
// AutoNumber), gets a class of its own ("WindowClass_<number>") and is closed
// by number; WindowWaitEvent turns the system's messages into event codes.
// Also here: moving and resizing in place, topmost, flicker-free painting,
// Tab/Shift+Tab focus steps, and the gadget lists (which window receives the
// gadgets created next).
//
// Stands on the objects library (window table, event pool, state blocks) and
// on user32/gdi32. It knows gadgets only through the forwarder that the gadget
// library hands over with WindowSetGadgetForward; without one (window-only
// programs) control messages get the default processing.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/objects/objects.h"

constexpr int32_t IgnoreValue = -65535;                            // 0xFFFF0001: keep this coordinate
constexpr LRESULT NotHandled = static_cast<int32_t>(0xD0D0D0D1u);  // ask for default processing

// Event codes returned by WindowWaitEvent; any other non-zero result is the
// number of the system message that produced no event, 0 a time-out.
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

// Commands of every window's Tab and Shift+Tab accelerators.
enum : WORD { CommandNextFocus = 64001, CommandPreviousFocus = 64002 };

// WindowOpen flag bits that belong to the library; the others are window
// styles.
enum : uint32_t {
  WindowCenterScreen = 0x1,
  WindowCenterActive = 0x2,
  WindowTool = 0x4,
  WindowNoGadgetList = 0x8,
  WindowInvisible = 0x10000000,
};

// Starting and ending. EventQueueInit comes before WindowInit; WindowEnd
// closes every window still open.
void EventQueueInit(void);
void WindowInit(void);
void WindowEnd(void);

// Creation. With AutoNumber the new window's handle (its number from then on),
// otherwise its system window; 0 when it cannot be made. A number in use is
// closed first. Unless flags carry WindowNoGadgetList the window becomes the
// current gadget list. width and height (here and in WindowResize) are the
// client area's in pixels at 96 dpi, laid out for the DPI of the monitor the
// window is on; x and y are screen pixels. A window that moves to a monitor of
// another DPI (WM_DPICHANGED) takes the rectangle the system suggests and
// passes the message on to its gadgets.
intptr_t WindowOpen(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char *title, uint32_t flags);
void WindowClose(intptr_t number);
HWND WindowHandle(intptr_t number);  // 0 when the number names no open window

// Events. timeout in ms: -1 waits without limit, 0 does not wait.
int32_t WindowWaitEvent(int32_t timeout);
// Appends an event unless it equals the last one queued (the window
// procedure's use); EventTake removes the oldest and returns its code, 0 when
// none waits.
void EventPost(int32_t code, intptr_t object, intptr_t window, int32_t type);
int32_t EventTake(void);
// The accelerator table the wait applies to a message for this window.
HACCEL WindowAccelerators(HWND window);

// Operations. IgnoreValue keeps a coordinate or size as it is.
BOOL WindowResize(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height);
void WindowSetTopmost(intptr_t number, int32_t on);
// On: the window's background is painted around its children, not under
// them (WindowPaintBackground).
void WindowSetFlickerFree(intptr_t number, int32_t on);
LRESULT WindowPaintBackground(HDC dc, HWND window);

// Moves the focus to the next (or previous) tab stop of the active window.
void FocusStep(int32_t backward);

// Makes window the current gadget list; returns the one current before, or
// null. With null it only returns the current one.
HWND GadgetListSelect(HWND window);

// How control messages reach gadgets: the gadget library's forwarder returns
// NotHandled for a control that is not one of its gadgets.
typedef LRESULT (*GadgetForwardProc)(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
void WindowSetGadgetForward(GadgetForwardProc forward);
