/* Keeps one hidden-window Wine process alive for the whole test run, so that
   the desktop process is started once and later programs end at once. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
  (void)previous; (void)command; (void)show;
  WNDCLASSA wc = {0};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "TamrixTestKeeper";
  RegisterClassA(&wc);
  CreateWindowExA(0, "TamrixTestKeeper", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, instance, NULL);
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
