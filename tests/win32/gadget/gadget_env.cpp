#include "gadget_env.h"

#include "runtime/platform/program_instance.h"
#include <stdio.h>

namespace gadgettest {
namespace {

// Puts the runtime heap above 4 GB, so that AutoNumber handles (record
// addresses) have upper bits that a 32-bit store would lose: the address
// space below is reserved while the heap is created, then given back.
void CreateHighRuntimeHeap() {
  void *reserved[256];
  int count = 0;
#ifdef _WIN64  // a 32-bit process has no addresses above 4 GB
  uintptr_t address = 0x10000;
  MEMORY_BASIC_INFORMATION info;
  while (address < 0x100000000ull && count < 256 && VirtualQuery(reinterpret_cast<void *>(address), &info, sizeof info)) {
    uintptr_t end = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    if (info.State == MEM_FREE) {
      uintptr_t start = (address + 0xFFFF) & ~static_cast<uintptr_t>(0xFFFF);
      uintptr_t stop = end > 0x100000000ull ? 0x100000000ull : end;
      if (stop > start) {
        void *block = VirtualAlloc(reinterpret_cast<void *>(start), stop - start, MEM_RESERVE, PAGE_NOACCESS);
        if (block) reserved[count++] = block;
      }
    }
    address = end;
  }
#endif
  RuntimeHeap = PlatformHeapCreate(4096);
  // One block now, so the heap's first region is committed up there.
  RuntimeFree(RuntimeAlloc(16));
  for (int i = 0; i < count; i++) VirtualFree(reserved[i], 0, MEM_RELEASE);
}

class GadgetEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ProgramInstance = GetModuleHandleA(nullptr);
    CreateHighRuntimeHeap();
    FontInit();
    EventQueueInit();
    WindowInit();
    GadgetInit();
  }
};

const ::testing::Environment *const Environment = ::testing::AddGlobalTestEnvironment(new GadgetEnvironment);

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int *>(count);
  return TRUE;
}

std::vector<RecordedMessage> Log;
WNDPROC RecordedProc;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Log.push_back({message, wParam, lParam});
  return CallWindowProcA(RecordedProc, window, message, wParam, lParam);
}

bool IgnoreMessage(UINT message) {
  switch (message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_SYNCPAINT:
    case WM_PRINTCLIENT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETFONT:
    case WM_GETOBJECT:
    case WM_UPDATEUISTATE:
    case WM_QUERYUISTATE:
      return true;
  }
  return false;
}

}  // namespace

void RecordMessages(HWND control) {
  Log.clear();
  RecordedProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
}

void StopRecording(HWND control) {
  SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordedProc));
}

std::vector<RecordedMessage> RecordedLog() {
  std::vector<RecordedMessage> log;
  for (const RecordedMessage &entry : Log)
    if (!IgnoreMessage(entry.message)) log.push_back(entry);
  return log;
}

std::string FormatLog(const std::vector<RecordedMessage> &log) {
  std::string text;
  char line[96];
  for (const RecordedMessage &entry : log) {
    snprintf(line, sizeof line, "  message 0x%04x wParam 0x%llx lParam 0x%llx\n", entry.message,
             static_cast<unsigned long long>(entry.wParam), static_cast<unsigned long long>(entry.lParam));
    text += line;
  }
  return text;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  while (EventTake()) {
  }
}

int CountChildren(HWND parent) {
  int count = 0;
  EnumChildWindows(parent, CountChild, reinterpret_cast<LPARAM>(&count));
  return count;
}

RECT ChildRect(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT *>(&rect), 2);
  return rect;
}

void GadgetTest::SetUp() {
  ASSERT_NE(WindowOpen(0, 600, 600, 300, 200, "Gadget test", 0xCA0001), 0);
  parent = WindowHandle(0);
  ASSERT_EQ(GadgetListSelect(nullptr), parent);
  PumpMessages();
}

void GadgetTest::TearDown() {
  GadgetEnd();
  WindowEnd();
  GadgetSetFont(-1, reinterpret_cast<HFONT>(static_cast<intptr_t>(-1)));
  FontEnd();
  PumpMessages();
}

}  // namespace gadgettest
