// The one-line input dialog: its own class, its own message loop, and the
// entered text written into the temporary area at the caller's position.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <string.h>

#include "runtime/objects/objects.h"
#include "runtime/requester/requester_internal.h"
#include "runtime/screen_scale/screen_scale.h"
#include "runtime/strings/strings.h"

namespace {

constexpr WCHAR InputClassName[] = L"InputRequester";
constexpr int InputFieldId = 10;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXW) == 48, "WNDCLASSEXW as the 32-bit system expects it");
#endif

// Re-enables what the open input dialog disabled; a second call does nothing.
void RequestInputFinish(void) {
  if (RequesterLibrary.ownerDisabled) {
    RequesterLibrary.ownerDisabled = 0;
    EnableWindow(RequesterLibrary.owner, TRUE);
  }
  RequestBlockOthers(0);
}

// A heap copy of text for the system, or null for a null text. Returns 0 when
// no copy could be had.
int CopyText(const char *text, WCHAR **copy) {
  *copy = RuntimeWideText(text);
  return !text || *copy;
}

// A Unicode class: the dialog's title and typed characters never pass
// through the system's ANSI code page.
void RegisterInputClass(void) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = InputRequesterProc;
  wc.hInstance = ProgramInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = InputClassName;
  RegisterClassExW(&wc);  // a class left from an earlier dialog serves as well
}

// Return confirms, Escape cancels. Constant, so that it is not kept as
// initialised data of its own.
constexpr ACCEL InputKeys[2] = {{FVIRTKEY, VK_RETURN, InputCommandOk}, {FVIRTKEY, VK_ESCAPE, InputCommandCancel}};

// The dialog's children, placed in pixels at 96 dpi.
struct InputChild {
  const WCHAR *className;
  DWORD style, exStyle;
  int16_t id;
};

constexpr InputChild InputChildren[InputChildCount] = {
    {L"STATIC", WS_CHILD | WS_VISIBLE | SS_SIMPLE, 0, 0},
    {L"EDIT", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, InputFieldId},
    {L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, InputCommandOk},
};
// Their x, y, width and height.
constexpr int32_t InputPlaces[InputChildCount][4] = {{10, 10, 280, 22}, {10, 32, 275, 21}, {110, 67, 80, 25}};

// Lays the dialog out for dpi: at rect, or centred on the screen with 300 x
// 130 pixels at 96 dpi; its children from their places, in the dialog font
// made for dpi.
void LayOutInput(HWND dialog, int32_t dpi, const RECT *rect) {
  RECT centred;
  if (!rect) {
    int32_t width = ScreenScaled(300, dpi), height = ScreenScaled(130, dpi);
    centred.left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    centred.top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    centred.right = centred.left + width;
    centred.bottom = centred.top + height;
    rect = &centred;
  }
  ScreenMoveTo(dialog, rect);
  ScreenLayOut(RequesterLibrary.children, InputPlaces, InputChildCount, dpi, RequesterLibrary.fonts);
}

// Builds the dialog's children, lays the dialog out for its monitor's DPI
// and shows it; the field gets the default text with the caret behind it,
// and the focus.
void CreateInputChildren(HWND dialog, const WCHAR *prompt, const WCHAR *defaultText) {
  const WCHAR *texts[InputChildCount] = {prompt, L"", L"OK"};
  for (int i = 0; i < InputChildCount; i++) {
    const InputChild &layout = InputChildren[i];
    RequesterLibrary.children[i] =
        CreateWindowExW(layout.exStyle, layout.className, texts[i], layout.style, 0, 0, 0, 0, dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), ProgramInstance, nullptr);
  }
  LayOutInput(dialog, ScreenDpi(dialog), nullptr);
  HWND field = RequesterLibrary.children[InputFieldIndex];
  if (defaultText && field) {
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(defaultText));
    WPARAM length = static_cast<WPARAM>(SendMessageW(field, WM_GETTEXTLENGTH, 0, 0));
    SendMessageW(field, EM_SETSEL, length, static_cast<LPARAM>(length));
  }
  // Shown only now, laid out and filled, so that nothing typed or pasted into
  // it is overwritten; the focus follows, since activation moves it.
  ShowWindow(dialog, SW_SHOW);
  SetFocus(field);
}

// Copies the field's text into a heap block named by the dialog's cell.
void KeepEntry(HWND dialog) {
  WCHAR **cell = reinterpret_cast<WCHAR **>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (!cell) return;
  HWND field = RequesterLibrary.children[InputFieldIndex];
  // The messages rather than GetWindowText: the same for a control of this
  // thread, and two imports fewer.
  int length = static_cast<int>(SendMessageW(field, WM_GETTEXTLENGTH, 0, 0));
  if (length < 0) length = 0;
  WCHAR *text = static_cast<WCHAR *>(RuntimeAllocRaw((static_cast<size_t>(length) + 1) * sizeof(WCHAR)));
  if (!text) return;
  *text = 0;  // stays empty should the field be gone
  SendMessageW(field, WM_GETTEXT, static_cast<WPARAM>(length) + 1, reinterpret_cast<LPARAM>(text));
  RuntimeFree(*cell);
  *cell = text;
}

// Runs the dialog's loop until the dialog is gone. A quit message or a failed
// GetMessageW ends it too: the dialog is then taken down here, and the quit is
// not posted again, so that a message box shown next still waits for the user.
void RunInputLoop(HWND dialog, HACCEL accelerators) {
  MSG message;
  while (!RequesterLibrary.done) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (!TranslateAcceleratorW(dialog, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (!RequesterLibrary.done && IsWindow(dialog)) {
    RequestInputFinish();
    DestroyWindow(dialog);
  }
}

// The entered text goes back into cp1252, a character that cp1252 lacks
// becoming what the system's conversion makes of it. The result is as long
// as the conversion says: room for what the first call counts, the end
// where the second stopped (empty should it fail).
char *WriteResult(const WCHAR *text, int32_t at) {
  int32_t length = 0;
  int size = text ? WideCharToMultiByte(1252, 0, text, -1, nullptr, 0, nullptr, nullptr) : 0;
  if (size > 0) {
    int written = WideCharToMultiByte(1252, 0, text, -1, StrTempReserve(size, at), size, nullptr, nullptr);
    if (written > 0) length = written - 1;  // the terminator counted
  }
  StrTempSetTop(at + length);
  return StrTempBase() + at;
}

}  // namespace

void RequestInit(void) {
  InitCommonControls();
  (void)CoInitialize(nullptr);
}

char *RequestInput(const char *title, const char *prompt, const char *defaultText, int32_t at) {
  // The arguments may lie in the temporary area, which moves when the result
  // is reserved: the dialog works on copies.
  WCHAR *titleCopy = nullptr, *promptCopy = nullptr, *defaultCopy = nullptr;
  int copied = CopyText(title, &titleCopy);
  copied = copied && CopyText(prompt, &promptCopy);
  copied = copied && CopyText(defaultText, &defaultCopy);
  if (!copied) {
    RuntimeFree(titleCopy);
    RuntimeFree(promptCopy);
    return WriteResult(nullptr, at);
  }

  if (!RequesterLibrary.fonts[0]) RequesterLibrary.fonts[0] = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  RegisterInputClass();
  RequesterLibrary.done = 0;
  RequestBlockOthers(1);
  HWND owner = RequestOwnerWindow();
  RequesterLibrary.owner = owner;
  RequesterLibrary.ownerDisabled = 0;
  if (owner && IsWindowEnabled(owner)) {
    EnableWindow(owner, FALSE);
    RequesterLibrary.ownerDisabled = 1;
  }

  WCHAR *entered = nullptr;  // the window procedure puts the text here on OK
  // Hidden until placed: it is created on its monitor (at the screen's
  // origin, on the primary one), whose DPI gives its size.
  HWND dialog = CreateWindowExW(0, InputClassName, titleCopy, WS_CAPTION, 0, 0, 0, 0, owner, nullptr,
                                ProgramInstance, nullptr);
  if (!dialog) {
    RequestInputFinish();
  } else {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&entered));
    CreateInputChildren(dialog, promptCopy, defaultCopy);
    // The system only reads the table it is given.
    HACCEL accelerators = CreateAcceleratorTableA(const_cast<ACCEL *>(InputKeys), 2);
    SetForegroundWindow(dialog);
    BringWindowToTop(dialog);
    RunInputLoop(dialog, accelerators);
    if (accelerators) DestroyAcceleratorTable(accelerators);
  }
  UnregisterClassW(InputClassName, ProgramInstance);
  DeleteObject(RequesterLibrary.fonts[1]);  // none: nothing happens
  RequesterLibrary.fonts[1] = nullptr;

  char *result = WriteResult(entered, at);
  RuntimeFree(entered);
  RuntimeFree(titleCopy);
  RuntimeFree(promptCopy);
  RuntimeFree(defaultCopy);
  return result;
}

LRESULT CALLBACK InputRequesterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case InputCommandOk:
          KeepEntry(window);
          RequestInputFinish();
          DestroyWindow(window);
          return 0;
        case InputCommandCancel:
          RequestInputFinish();
          DestroyWindow(window);
          return 0;
      }
      return 0;
    case WM_DPICHANGED:
      // Moved to a monitor of another DPI: the suggested rectangle, the
      // children laid out again.
      LayOutInput(window, LOWORD(wParam), reinterpret_cast<const RECT *>(lParam));
      return 0;
    case WM_CLOSE:
      RequestInputFinish();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      // Whatever took the dialog down, the disabled windows come back. The
      // class is unregistered by RequestInput once the window is gone: the
      // system refuses while a window of the class still exists, as this one
      // does until its WM_NCDESTROY has passed.
      RequestInputFinish();
      RequesterLibrary.done = 1;
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
