// Window creation and closing, the window table, and the names the library
// gives its classes and properties.
#include <string.h>

#include "runtime/screen_scale/screen_scale.h"
#include "runtime/window/window_internal.h"

WindowState *WindowLibrary;

namespace {

constexpr uint32_t LibraryBits = WindowCenterScreen | WindowCenterActive | WindowTool;
constexpr uint32_t DefaultCaptionMask = ~(WindowInvisible | WindowCenterScreen | WindowCenterActive);
constexpr uint32_t ToolWindowRemoved = WS_MINIMIZE | WS_MAXIMIZE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;  // 0x21030000

// "WindowClass_", a sign and the digits of any pointer-wide number, and the
// terminator.
constexpr size_t ClassNameSize = sizeof "WindowClass_" + 1 + (sizeof(intptr_t) == 8 ? 19 : 10);

// The window's class name as the ...W functions take it, in the caller's
// buffer on the stack, so that opening a window needs no memory for it. Class
// names are ASCII, so every byte is its own UTF-16 unit. The bytes go into
// the buffer's upper half and are widened from the front, where no unit
// written reaches a byte still to be read: a second buffer would enlarge the
// frame of the clock's start-up, into which all this is inlined.
void WideClassName(WCHAR (&out)[ClassNameSize], intptr_t number) {
  char *name = reinterpret_cast<char *>(out) + ClassNameSize;
  WindowClassName(name, number);
  size_t i = 0;
  do out[i] = static_cast<unsigned char>(name[i]);
  while (name[i++]);
}

struct Placement {
  int32_t x, y, width, height;
};

// The outer rectangle of a client area given at 96 dpi: before the window
// exists, for the system DPI and its frame; then for the window's DPI and the
// frame it has there, which AdjustWindowRectEx knows only for the system DPI.
Placement PlaceWindow(uint32_t flags, int32_t x, int32_t y, int32_t width, int32_t height, DWORD style, DWORD exStyle,
                      HWND window) {
  int32_t dpi = ScreenDpi(window);
  RECT outer = {0, 0, ScreenScaled(width, dpi), ScreenScaled(height, dpi)};
  if (window) {
    RECT whole, client;
    GetWindowRect(window, &whole);
    GetClientRect(window, &client);
    outer.right += whole.right - whole.left - client.right;
    outer.bottom += whole.bottom - whole.top - client.bottom;
  } else {
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  }
  Placement place = {x, y, outer.right - outer.left, outer.bottom - outer.top};
  if ((x == IgnoreValue || y == IgnoreValue) && !(flags & (WindowCenterScreen | WindowCenterActive))) {
    place.x = place.y = static_cast<int32_t>(CW_USEDEFAULT);
  }
  if (flags & WindowCenterScreen) {
    int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (place.width > screenWidth) place.width = screenWidth;
    if (place.height > screenHeight) place.height = screenHeight;
    place.x = (screenWidth - place.width) / 2;
    place.y = (screenHeight - place.height) / 2;
  } else if (flags & WindowCenterActive) {
    HWND active = GetActiveWindow();
    RECT rect;
    if (active && GetWindowRect(active, &rect)) {
      place.x = rect.left + ((rect.right - rect.left) - place.width) / 2;
      place.y = rect.top + ((rect.bottom - rect.top) - place.height) / 2;
      if (place.x < 0) place.x = 0;
      if (place.y < 0) place.y = 0;
    } else if (x == IgnoreValue || y == IgnoreValue) {
      // Nothing to centre on: a kept coordinate would put the window at
      // -65535, out of reach, so the system places it instead.
      place.x = place.y = static_cast<int32_t>(CW_USEDEFAULT);
    }
  }
  return place;
}

bool CreateAccelerators(WindowRecord *record) {
  record->accelCount = 2;
  record->accelEntries = static_cast<ACCEL *>(RuntimeAlloc(sizeof(ACCEL) * 2));
  if (!record->accelEntries) return false;
  record->accelEntries[0].fVirt = FVIRTKEY | FNOINVERT;
  record->accelEntries[0].key = VK_TAB;
  record->accelEntries[0].cmd = CommandNextFocus;
  record->accelEntries[1].fVirt = FVIRTKEY | FNOINVERT | FSHIFT;
  record->accelEntries[1].key = VK_TAB;
  record->accelEntries[1].cmd = CommandPreviousFocus;
  record->accelTable = CreateAcceleratorTableA(record->accelEntries, record->accelCount);
  return record->accelTable != nullptr;
}

}  // namespace

void WindowFormatName(char *out, const char *prefix, intptr_t value) {
  size_t length = strlen(prefix);
  memcpy(out, prefix, length);
  // Work on the magnitude as unsigned so that the most negative value prints too.
  uintptr_t magnitude = value < 0 ? 0u - static_cast<uintptr_t>(value) : static_cast<uintptr_t>(value);
  char digits[24];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10u);
    magnitude /= 10u;
  } while (magnitude);
  if (value < 0) out[length++] = '-';
  while (count) out[length++] = digits[--count];
  out[length] = 0;
}

void WindowClassName(char *out, intptr_t number) {
  WindowFormatName(out, "WindowClass_", number);
}

intptr_t WindowNumberOf(HWND window) {
  HANDLE id = window ? GetPropA(window, WindowIdProperty) : nullptr;
  return id ? reinterpret_cast<intptr_t>(id) - 1 : -1;
}

void WindowInit(void) {
  if (WindowLibrary) return;
  WindowState *library = static_cast<WindowState *>(LibraryStateCreate(sizeof(WindowState), nullptr));
  if (!library) return;
  library->windowTable = ObjectTableCreate(static_cast<int32_t>(sizeof(WindowRecord)), 16, WindowClose);
  // The class makes its windows Unicode from creation, so that neither their
  // title nor typed characters pass through the system's ANSI code page.
  WNDCLASSW *windowClass = &library->windowClass;
  windowClass->style = CS_DBLCLKS;
  windowClass->lpfnWndProc = WindowProc;
  windowClass->hInstance = ProgramInstance;
  windowClass->hIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(1));
  windowClass->hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  GadgetListStateInit(&library->lists);
  // Made once: the gadget-list procedure needs it for every message.
  WindowFormatName(library->listProperty, "ZX_GadgetStack_", reinterpret_cast<intptr_t>(ProgramInstance));
  WindowLibrary = library;
}

WindowRecord *WindowLookup(intptr_t number) {
  if (!WindowLibrary) return nullptr;
  return static_cast<WindowRecord *>(ObjectTableLookup(WindowLibrary->windowTable, number));
}

HWND WindowHandle(intptr_t number) {
  WindowRecord *record = WindowLookup(number);
  return record ? record->windowHandle : nullptr;
}

intptr_t WindowOpen(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char *title, uint32_t flags) {
  if (!WindowLibrary) return 0;
  // For a number in use this closes the earlier window and its class first.
  WindowRecord *record = static_cast<WindowRecord *>(ObjectTableAllocate(WindowLibrary->windowTable, number));
  if (!record) return 0;
  intptr_t id = number == AutoNumber ? reinterpret_cast<intptr_t>(record) : number;

  WCHAR className[ClassNameSize];
  WideClassName(className, id);
  WindowLibrary->windowClass.lpszClassName = className;
  RegisterClassW(&WindowLibrary->windowClass);  // one left by a window destroyed behind the library serves too

  bool noGadgetList = (flags & WindowNoGadgetList) != 0;
  flags &= ~static_cast<uint32_t>(WindowNoGadgetList);
  if (!(flags & DefaultCaptionMask)) flags |= WS_CAPTION;
  bool invisible = (flags & WindowInvisible) != 0;
  flags &= ~static_cast<uint32_t>(WindowInvisible);
  DWORD exStyle = 0;
  if (flags & WindowTool) {
    exStyle = WS_EX_TOOLWINDOW;
    flags = (flags & ~ToolWindowRemoved) | WS_CAPTION;
  }
  DWORD style = flags & ~LibraryBits;

  // Placed for the system DPI to be created, then once more for the DPI of
  // the monitor it came up on.
  HWND window = nullptr;
  for (;;) {
    Placement place = PlaceWindow(flags, x, y, width, height, style, exStyle, window);
    if (window) {
      // Creation also raised a window narrower than the system's minimum
      // tracking size before the procedure could know it; now it keeps the
      // size placed.
      UINT keep = place.x == static_cast<int32_t>(CW_USEDEFAULT) ? SWP_NOMOVE : 0;
      if (!(style & (WS_THICKFRAME | WS_MINIMIZE | WS_MAXIMIZE)))
        SetWindowPos(window, nullptr, place.x, place.y, place.width, place.height, keep | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    WCHAR *wideTitle = RuntimeWideText(title);  // none: an empty title
    window = CreateWindowExW(exStyle, className, wideTitle, style, place.x, place.y, place.width, place.height,
                             nullptr, nullptr, ProgramInstance, nullptr);
    RuntimeFree(wideTitle);
    if (!window) {
      UnregisterClassW(className, ProgramInstance);
      ObjectTableRelease(WindowLibrary->windowTable, id);
      return 0;
    }
    // Creation may run other library code (hooks), which may grow the slot
    // array; the record is not live yet, so find it by its number.
    record = static_cast<WindowRecord *>(ObjectTableRecord(WindowLibrary->windowTable, id));
    record->windowHandle = window;
    SetPropA(window, WindowIdProperty, reinterpret_cast<HANDLE>(id + 1));
  }

  if (!invisible) {
    int show = SW_SHOWNORMAL;
    if (style & WS_MAXIMIZE) show = SW_MAXIMIZE;
    else if (style & WS_MINIMIZE) show = SW_SHOWMINIMIZED;
    ShowWindow(window, show);
  }
  record = WindowLookup(id);
  if (!record) return 0;  // closed while being shown
  record->sizedFlag = (style & (WS_MINIMIZE | WS_MAXIMIZE)) ? 1 : 0;
  CreateAccelerators(record);
  record->painter = nullptr;

  if (!noGadgetList) GadgetListSelect(window);
  return number == AutoNumber ? id : reinterpret_cast<intptr_t>(window);
}

void WindowClose(intptr_t number) {
  WindowRecord *record = WindowLookup(number);
  if (!record) return;
  HWND window = record->windowHandle;
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner) SetActiveWindow(owner);
  RemovePropA(window, WindowIdProperty);
  DestroyWindow(window);
  // The name is ASCII, so the A function takes it as it is, from the stack:
  // closing needs no memory.
  char className[WindowNameSize];
  WindowClassName(className, number);
  UnregisterClassA(className, ProgramInstance);
  // Destruction sends messages; take the record again rather than trusting the old address.
  record = WindowLookup(number);
  if (!record) return;
  if (record->accelEntries) {
    RuntimeFree(record->accelEntries);
    if (record->accelTable) DestroyAcceleratorTable(record->accelTable);
  }
  ObjectTableRelease(WindowLibrary->windowTable, number);
}

void WindowForget(intptr_t number) {
  WindowRecord *record = WindowLookup(number);
  if (!record) return;
  RemovePropA(record->windowHandle, WindowIdProperty);
  if (record->accelEntries) {
    RuntimeFree(record->accelEntries);
    if (record->accelTable) DestroyAcceleratorTable(record->accelTable);
  }
  ObjectTableRelease(WindowLibrary->windowTable, number);
}

void WindowEnd(void) {
  if (WindowLibrary) ObjectTableFreeAll(WindowLibrary->windowTable);
}
