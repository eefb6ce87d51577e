#include "requester_test_support.h"

#include <stdio.h>
#include <string.h>

DWORD MainThreadId;

bool WaitUntil(const std::function<bool()> &pred, int timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (static_cast<int>(GetTickCount() - start) > timeoutMs) return false;
    Sleep(2);
  }
}

namespace {
struct FindRequest {
  const char *className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  FindRequest *request = reinterpret_cast<FindRequest *>(param);
  if (IsWindowVisible(window) && ClassOf(window) == request->className) {
    request->found = window;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindThreadWindow(DWORD thread, const char *className) {
  FindRequest request = {className, nullptr};
  EnumThreadWindows(thread, MatchWindow, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 3000, &result)) return -1;
  return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
  LRESULT length = SendBounded(window, WM_GETTEXTLENGTH, 0, 0);
  if (length < 0) return "<no answer>";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT got = SendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  if (got < 0) return "<no answer>";
  text.resize(static_cast<size_t>(got));
  return text;
}

std::wstring WideTextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 3000, &length)) return L"<no answer>";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 3000,
                           &got))
    return L"<no answer>";
  text.resize(static_cast<size_t>(got));
  return text;
}

namespace {
void SendKeyEvent(WORD vk, WORD scan, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}
}  // namespace

void PressKey(WORD vk, bool shift) {
  if (shift) SendKeyEvent(VK_SHIFT, 0, 0);
  SendKeyEvent(vk, 0, 0);
  SendKeyEvent(vk, 0, KEYEVENTF_KEYUP);
  if (shift) SendKeyEvent(VK_SHIFT, 0, KEYEVENTF_KEYUP);
}

void TypeText(const std::string &cp1252) {
  for (char c : cp1252) {
    SHORT scan = static_cast<unsigned char>(c) < 0x80 ? VkKeyScanA(c) : -1;
    if (scan != -1 && !(scan & 0x600)) {  // no Ctrl or Alt needed
      PressKey(static_cast<WORD>(scan & 0xFF), (scan & 0x100) != 0);
    } else {
      // Characters without a key of their own arrive as Unicode input.
      WCHAR wide = 0;
      MultiByteToWideChar(1252, 0, &c, 1, &wide, 1);
      SendKeyEvent(0, wide, KEYEVENTF_UNICODE);
      SendKeyEvent(0, wide, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
  }
}

void ClickAt(POINT screen) {
  int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3] = {};
  for (INPUT &i : input) i.type = INPUT_MOUSE;
  // Absolute coordinates run from 0 to 65535 across the screen.
  input[0].mi.dx = (screen.x * 65536 + cx - 1) / cx;
  input[0].mi.dy = (screen.y * 65536 + cy - 1) / cy;
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &input[0], sizeof input[0]);
  // The press must happen where the pointer has arrived.
  WaitUntil([&] {
    POINT at;
    return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
  }, 1000);
  SendInput(2, &input[1], sizeof input[0]);
}

bool WaitForInputFocus(HWND dialog, HWND field) {
  return WaitUntil([&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetForegroundWindow() == dialog && GetGUIThreadInfo(MainThreadId, &info) &&
           info.hwndFocus == field;
  });
}

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

Driver::Driver(const char *className, std::function<void(HWND)> action, int findTimeoutMs)
    : className_(className), action_(std::move(action)), findTimeoutMs_(findTimeoutMs) {
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

Driver::~Driver() { Join(); }

void WaitPumpingSent(HANDLE handle) {
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) break;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void Driver::Join() {
  if (!thread_) return;
  WaitPumpingSent(thread_);
  CloseHandle(thread_);
  thread_ = nullptr;
}

DWORD WINAPI Driver::Run(void *self) {
  Driver *driver = static_cast<Driver *>(self);
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindThreadWindow(MainThreadId, driver->className_.c_str())) != nullptr; },
            driver->findTimeoutMs_);
  driver->window_ = window;
  if (!window) return 0;
  driver->action_(window);
  if (!WaitUntil([&] { return !IsWindow(window); }, 3000)) {
    driver->forcedClose_ = true;
    PostMessageA(window, WM_CLOSE, 0, 0);
    for (WPARAM id : {IDOK, IDCANCEL, IDNO}) PostMessageA(window, WM_COMMAND, id, 0);
  }
  return 0;
}

std::vector<LoggedEvent> *EventLog;

namespace {
LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENABLE && EventLog) EventLog->push_back({window, message, wParam, ClassOf(window)});
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

HWND MakeTestWindow(bool visible, bool enabled, int index) {
  static ATOM atom;
  if (!atom) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RequesterTestWindow";
    atom = RegisterClassExA(&wc);
  }
  char title[32];
  snprintf(title, sizeof title, "Test window %d", index);
  HWND window = CreateWindowExA(0, "RequesterTestWindow", title,
                                WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 20 + 30 * index,
                                20 + 30 * index, 200, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (window && !enabled) EnableWindow(window, FALSE);
  return window;
}

WindowSet::~WindowSet() {
  for (HWND window : windows) DestroyWindow(window);
}

bool ForegroundProcess::Start() {
  static int counter;
  char ready[64], quitName[64], path[MAX_PATH], command[3 * MAX_PATH];
  snprintf(ready, sizeof ready, "RequesterTestReady%lu_%d", GetCurrentProcessId(), counter);
  snprintf(quitName, sizeof quitName, "RequesterTestQuit%lu_%d", GetCurrentProcessId(), counter++);
  HANDLE readyEvent = CreateEventA(nullptr, TRUE, FALSE, ready);
  quit = CreateEventA(nullptr, TRUE, FALSE, quitName);
  GetModuleFileNameA(nullptr, path, sizeof path);
  snprintf(command, sizeof command, "\"%s\" --foreground-window %s %s", path, ready, quitName);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  bool started = CreateProcessA(path, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &startup, &process);
  bool isReady = started && WaitForSingleObject(readyEvent, 10000) == WAIT_OBJECT_0;
  CloseHandle(readyEvent);
  if (!isReady) return false;
  window = FindWindowA("RequesterForegroundWindow", nullptr);
  return window && WaitUntil([&] { return GetForegroundWindow() == window; });
}

ForegroundProcess::~ForegroundProcess() {
  if (quit) SetEvent(quit);
  if (process.hProcess) {
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
      TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  if (quit) CloseHandle(quit);
}

int RunForegroundWindowProcess(const char *readyEvent, const char *quitEvent) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "RequesterForegroundWindow";
  RegisterClassExA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                600, 500, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(window);
  HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, quitEvent);
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent);
  if (!window || !quit || !ready) return 1;
  SetEvent(ready);
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 30000) {
    DWORD r = MsgWaitForMultipleObjects(1, &quit, FALSE, 1000, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  DestroyWindow(window);
  return 0;
}

ThreadWorker::ThreadWorker() {
  ready_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Loop, this, 0, &id_);
  WaitForSingleObject(ready_, 5000);
}

ThreadWorker::~ThreadWorker() {
  PostThreadMessageA(id_, WM_QUIT, 0, 0);
  WaitPumpingSent(thread_);
  CloseHandle(thread_);
  CloseHandle(ready_);
  CloseHandle(done_);
}

void ThreadWorker::Run(const std::function<void()> &task) {
  Start(task);
  Wait();
}

void ThreadWorker::Start(const std::function<void()> &task) {
  PostThreadMessageA(id_, WM_APP, 0, reinterpret_cast<LPARAM>(&task));
}

void ThreadWorker::Wait() { WaitPumpingSent(done_); }

DWORD WINAPI ThreadWorker::Loop(void *self) {
  ThreadWorker *worker = static_cast<ThreadWorker *>(self);
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists from here on
  SetEvent(worker->ready_);
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == WM_APP) {
      (*reinterpret_cast<const std::function<void()> *>(message.lParam))();
      SetEvent(worker->done_);
      continue;
    }
    DispatchMessageA(&message);
  }
  return 0;
}
