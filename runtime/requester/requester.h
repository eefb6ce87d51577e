// Requester library: the one-line input dialog and message boxes, with the
// calling thread's other windows disabled while one is up.
#pragma once
#include <stdint.h>
#include <windows.h>

enum : WORD { InputCommandOk = 1000, InputCommandCancel = 1001 };

void RequestInit(void);
// Writes the entered text (or the empty string) into the temporary area at
// position at, leaves the top behind it, and returns base + at.
char *RequestInput(const char *title, const char *prompt, const char *defaultText, int32_t at);
LRESULT CALLBACK InputRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

int RequestMessage(const char *title, const char *text);
int RequestMessageEx(const char *title, const char *text, UINT flags);
void RequestBlockOthers(int32_t block);
HWND RequestOwnerWindow(void);
