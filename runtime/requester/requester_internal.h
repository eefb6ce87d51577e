// Inside the requester library: its state and the dialog's procedure. Tests
// reach in through this header too.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/platform/program_instance.h"
#include "runtime/requester/requester.h"

enum : WORD { InputCommandOk = 1000, InputCommandCancel = 1001 };
constexpr int InputChildCount = 3;  // prompt, field, button
constexpr int InputFieldIndex = 1;

// One record of the list of windows a requester disabled; each thread
// re-enables only its own.
struct BlockedWindow {
  DWORD thread;
  HWND window;
};

struct RequesterState {
  // One input dialog at a time: these describe the open one.
  int32_t done;           // set when the dialog window is destroyed
  HWND children[InputChildCount];  // prompt, edit field, button
  HWND owner;             // the dialog's owner
  int32_t ownerDisabled;  // the dialog disabled its owner and must enable it again
  HFONT fonts[2];         // DEFAULT_GUI_FONT, fetched once; its copy for the dialog's DPI, or null
  void *blockedWindows;   // BlockedWindow payloads, newest first
  SRWLOCK blockedLock;    // guards the links of blockedWindows
};

extern RequesterState RequesterLibrary;

LRESULT CALLBACK InputRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
