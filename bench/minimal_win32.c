/* The yardsticks for the program-level figures: a window of the clock's size
   with a caption, shown until it is closed, and nothing else; with the
   argument "tick", a static text set to the time every 500 ms as well, the
   least a clock has to do. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static HWND text;

static LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      SYSTEMTIME now;
      char line[32];
      GetLocalTime(&now);
      snprintf(line, sizeof line, "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
      SetWindowTextA(text, line);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
  WNDCLASSA wc = {0};
  MSG msg;
  HWND window;
  (void)previous;
  wc.lpfnWndProc = MinimalProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = "MinimalWin32";
  if (!RegisterClassA(&wc)) return 1;
  window = CreateWindowExA(WS_EX_TOPMOST, "MinimalWin32", "Minimal", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           CW_USEDEFAULT, CW_USEDEFAULT, 121, 101, NULL, NULL, instance, NULL);
  if (!window) return 1;
  if (strstr(command, "tick")) {
    text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 2, 2, 110, 52, window, NULL,
                           instance, NULL);
    SetTimer(window, 1, 500, NULL);
  }
  ShowWindow(window, show);
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
