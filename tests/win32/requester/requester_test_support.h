// Helpers for driving requesters from a second thread while the test's main
// thread sits in the requester's modal loop: finding windows, reading them
// without hanging on a busy main thread, and real keyboard and mouse input.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

extern DWORD MainThreadId;

// Polls pred every 2 ms for at most timeoutMs; true as soon as it holds.
bool WaitUntil(const std::function<bool()> &pred, int timeoutMs = 5000);

// A visible top-level window of thread with the given class, or null.
HWND FindThreadWindow(DWORD thread, const char *className);

std::string ClassOf(HWND window);
// The window's text read with WM_GETTEXT (so it works for an EDIT of another
// thread), bounded in time; "<no answer>" when the window does not answer.
std::string TextOf(HWND window);
// The same read with the ...W functions, as UTF-16.
std::wstring WideTextOf(HWND window);
LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Real input through SendInput; it reaches the foreground window's focus.
void PressKey(WORD vk, bool shift = false);
void TypeText(const std::string &cp1252);
void ClickAt(POINT screen);

// Waits until dialog is the foreground window and field has the keyboard
// focus of the main thread.
bool WaitForInputFocus(HWND dialog, HWND field);

// Runs action on a helper thread once the main thread shows a top-level
// window of className. If the window is still there 3 s after the action,
// the driver closes it and records that it had to.
class Driver {
 public:
  Driver(const char *className, std::function<void(HWND)> action, int findTimeoutMs = 5000);
  ~Driver();
  // Waits for the helper, answering messages sent to this thread meanwhile.
  void Join();
  bool found() const { return window_ != nullptr; }
  bool forcedClose() const { return forcedClose_; }
  HWND window() const { return window_; }

 private:
  static DWORD WINAPI Run(void *self);
  std::string className_;
  std::function<void(HWND)> action_;
  HANDLE thread_ = nullptr;
  HWND window_ = nullptr;
  bool forcedClose_ = false;
  int findTimeoutMs_;
};

// True when running under Wine rather than Windows.
bool RunningOnWine();

// Plain top-level windows of the calling thread for blocking tests. Their
// procedure records WM_ENABLE into the log while one is set.
HWND MakeTestWindow(bool visible, bool enabled, int index);

struct LoggedEvent {
  HWND window;
  UINT message;  // WM_ENABLE, or WM_CREATE / WM_DESTROY as seen by a CBT hook
  WPARAM wParam;
  std::string className;  // as it was when the event happened
};
extern std::vector<LoggedEvent> *EventLog;

// Destroys the windows it holds when it goes out of scope.
struct WindowSet {
  std::vector<HWND> windows;
  ~WindowSet();
};

// Another process whose visible window is the foreground window.
struct ForegroundProcess {
  PROCESS_INFORMATION process = {};
  HANDLE quit = nullptr;
  HWND window = nullptr;
  bool Start();
  ~ForegroundProcess();
};
int RunForegroundWindowProcess(const char *readyEvent, const char *quitEvent);

// A thread with its own message loop that runs tasks on request, so tests
// can give it windows and make it call the library.
class ThreadWorker {
 public:
  ThreadWorker();
  ~ThreadWorker();
  // Runs task on the worker and waits for it, answering sent messages.
  void Run(const std::function<void()> &task);
  // The same in two halves, so that several workers can run at once; task
  // must live until Wait returns.
  void Start(const std::function<void()> &task);
  void Wait();
  DWORD id() const { return id_; }

 private:
  static DWORD WINAPI Loop(void *self);
  HANDLE thread_ = nullptr;
  HANDLE ready_ = nullptr, done_ = nullptr;
  DWORD id_ = 0;
};

// Waits on handle while answering messages sent to this thread.
void WaitPumpingSent(HANDLE handle);
