/* The yardstick for the program-level figures: the same system set-up as the
   clock, made with plain Win32 calls, and the same kind of idle loop, so that
   what Tamrix costs beyond it is the cost of its own libraries.
   - common controls 6 (bench/CMakeLists.txt links the manifest Tamrix.exe links),
     InitCommonControlsEx and CoInitialize;
   - DirectSound: DSOUND.DLL loaded at run time, DirectSoundCreate,
     SetCooperativeLevel(DSSCL_PRIORITY) on a hidden window, the primary
     buffer (the argument "nosound" leaves all of this out);
   - one top-level window with one Static in a sunken edge, its text rebuilt
     from GetLocalTime and set on every pass of a loop that waits with
     MsgWaitForMultipleObjects until 2 ms after the next second starts, as
     the clock does, and then dispatches messages. */
#define COBJMACROS
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <mmsystem.h>
#include <dsound.h>

typedef HRESULT(WINAPI *DirectSoundCreateEntry)(LPCGUID device, LPDIRECTSOUND *out, LPUNKNOWN outer);

static IDirectSound *sound;
static IDirectSoundBuffer *primary;
static HMODULE soundLibrary;

static LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

static void SoundOpen(HINSTANCE instance) {
  WNDCLASSA wc = {0};
  HWND hidden;
  DirectSoundCreateEntry create;
  DSBUFFERDESC desc = {0};
  soundLibrary = LoadLibraryA("DSOUND.DLL");
  if (!soundLibrary) return;
  create = (DirectSoundCreateEntry)(void *)GetProcAddress(soundLibrary, "DirectSoundCreate");
  if (!create || FAILED(create(NULL, &sound, NULL))) return;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "MinimalSound";
  RegisterClassA(&wc);
  hidden = CreateWindowExA(0, "MinimalSound", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, instance, NULL);
  if (!hidden || FAILED(IDirectSound_SetCooperativeLevel(sound, hidden, DSSCL_PRIORITY))) return;
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSound_CreateSoundBuffer(sound, &desc, &primary, NULL);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  WNDCLASSA wc = {0};
  MSG msg;
  HWND window, text;
  RECT place;
  (void)previous;
  InitCommonControlsEx(&controls);
  (void)CoInitialize(NULL);
  if (!strstr(command, "nosound")) SoundOpen(instance);

  wc.lpfnWndProc = MinimalProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = "MinimalWin32";
  if (!RegisterClassA(&wc)) return 1;
  window = CreateWindowExA(WS_EX_TOPMOST, "MinimalWin32", "Minimal", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           CW_USEDEFAULT, CW_USEDEFAULT, 121, 81, NULL, NULL, instance, NULL);
  if (!window) return 1;
  text = CreateWindowExA(WS_EX_STATICEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 2, 2, 110, 52, window,
                         NULL, instance, NULL);
  ShowWindow(window, show);

  for (;;) {
    SYSTEMTIME now;
    char line[64];
    DWORD woke;
    GetLocalTime(&now);
    woke = MsgWaitForMultipleObjects(0, NULL, FALSE, 1002u - now.wMilliseconds, QS_ALLINPUT);
    if (woke == WAIT_FAILED) break;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) goto done;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    GetLocalTime(&now);
    snprintf(line, sizeof line, "%02u.%02u.%04u\r\n%02u:%02u:%02u", now.wDay, now.wMonth, now.wYear, now.wHour,
             now.wMinute, now.wSecond);
    SetWindowTextA(text, line);
    /* The clock puts its window back to its own place and size on every pass
       as well; doing the same here is what makes the two loops comparable. */
    GetWindowRect(window, &place);
    SetWindowPos(window, NULL, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
done:
  if (primary) IDirectSoundBuffer_Release(primary);
  if (sound) IDirectSound_Release(sound);
  if (soundLibrary) FreeLibrary(soundLibrary);
  CoUninitialize();
  return 0;
}
