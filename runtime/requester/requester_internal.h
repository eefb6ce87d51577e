// State shared by the requester library's files.
#pragma once
#include <stdint.h>
#include <windows.h>

// One record of the list of windows a requester disabled; each thread
// re-enables only its own.
struct BlockedWindow {
  DWORD thread;
  HWND window;
};

// One input dialog at a time: these describe the open one.
struct RequesterState {
  int32_t done;           // set when the dialog window is destroyed
  HWND field;             // the dialog's edit field
  HWND owner;             // the dialog's owner
  int32_t ownerDisabled;  // the dialog disabled its owner and must enable it again
  HFONT font;             // DEFAULT_GUI_FONT, fetched once
};

extern RequesterState Requester;

// Re-enables what the open input dialog disabled; a second call does nothing.
void RequestInputFinish(void);
