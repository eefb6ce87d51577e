// Requester library: modal dialogs. RequestInput shows the one-line input
// dialog and runs its own message loop; RequestMessage shows a message box.
// While either is up, the calling thread's other visible, enabled windows are
// disabled (RequestBlockOthers), and they come back afterwards.
//
// Stands on the objects library (the list of disabled windows, the dialog's
// text copies), the string library (the entered text is written into the
// temporary area), screen_scale (the dialog laid out for its monitor's DPI, and again
// when it moves to a monitor of another) and
// on user32, comctl32 and ole32.
#pragma once
#include <stdint.h>
#include <windows.h>

// InitCommonControls, then CoInitialize(null).
void RequestInit(void);

// Shows the dialog "InputRequester" (owned by RequestOwnerWindow()) until OK,
// Return, Escape or a close request. Writes the entered text (or the empty
// string) into the temporary area at position at, leaves the top behind it,
// and returns base + at. Any of the texts may be null, and may lie in the
// temporary area. A quit message (or a failing GetMessageW) during the loop
// takes the dialog down like Escape and is not posted again.
char *RequestInput(const char *title, const char *prompt, const char *defaultText, int32_t at);

// MessageBoxW with the caller's flags (RequestMessage: MB_OK), owned by
// RequestOwnerWindow(); the button that closed it, 0 on failure.
int RequestMessage(const char *title, const char *text);
int RequestMessageEx(const char *title, const char *text, UINT flags);

// 1: disables the calling thread's visible, enabled top-level windows except
// the foreground window and records them; 0: enables again the windows this
// thread recorded.
void RequestBlockOthers(int32_t block);

// The foreground window when it belongs to this process, else null.
HWND RequestOwnerWindow(void);
