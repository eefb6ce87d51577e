// Message boxes and the owner of a requester.
#include "runtime/requester/requester.h"

HWND RequestOwnerWindow(void) {
  HWND window = GetForegroundWindow();
  if (!window) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId() ? window : nullptr;
}

int RequestMessage(const char *title, const char *text) {
  return RequestMessageEx(title, text, MB_OK);
}

int RequestMessageEx(const char *title, const char *text, UINT flags) {
  RequestBlockOthers(1);
  int result = MessageBoxA(RequestOwnerWindow(), text, title, flags);
  RequestBlockOthers(0);
  return result;
}
