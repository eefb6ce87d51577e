// Private helpers shared by the window library's files.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <windows.h>

#include "runtime/window/window.h"

// State of the window library, created by WindowInit.
struct WindowLibraryState {
  ObjectTable *windowTable;
  EventState *eventState;
  HICON classIcon;
  HCURSOR classCursor;
};

// State of the event queue, created by EventQueueInit.
struct EventQueueState {
  BlockPool *pool;
  EventNode *head;
  EventNode *tail;
  EventNode *reserved;  // taken once and kept, so the first block stays for the whole run
};

extern WindowLibraryState *WindowLibrary;
extern EventQueueState *EventQueue;
extern GadgetForwardProc WindowGadgetForward;

constexpr const char WindowIdProperty[] = "ZX_WindowID";
constexpr const char FocusProperty[] = "ZX_Focus";

// Enough for a prefix of up to 15 bytes, a sign and the 20 digits of any
// 64-bit value.
constexpr size_t WindowNameSize = 40;

// Writes prefix followed by value as a signed decimal over the full pointer
// width (msvcrt's printf family cannot be relied on for 64-bit values).
void WindowFormatName(char *out, const char *prefix, intptr_t value);
void WindowClassName(char *out, intptr_t number);

// Drops the record of a window that is being destroyed without WindowClose.
// Its class stays registered until the number is opened and closed again,
// since a class cannot go while its window exists.
void WindowForget(intptr_t number);

// Number of a library window from its "ZX_WindowID" property, or -1.
intptr_t WindowNumberOf(HWND window);
