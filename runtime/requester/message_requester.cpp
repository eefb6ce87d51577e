// Message boxes, the owner of a requester, and the blocking of the calling
// thread's other windows while a requester is up.
#include "runtime/objects/objects.h"
#include "runtime/requester/requester_internal.h"

constinit RequesterState RequesterLibrary = {0, {}, nullptr, 0, {}, nullptr, SRWLOCK_INIT};

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
  WCHAR *wideTitle = RuntimeWideText(title);
  WCHAR *wideText = RuntimeWideText(text);
  RequestBlockOthers(1);
  int result = MessageBoxW(RequestOwnerWindow(), wideText, wideTitle, flags);
  RequestBlockOthers(0);
  RuntimeFree(wideTitle);
  RuntimeFree(wideText);
  return result;
}

namespace {

// The list is shared by every thread that opens requesters, so its links are
// guarded (two threads blocking at once corrupt it otherwise); window calls
// are made outside the lock, since they can send messages that open a
// requester again.

BOOL CALLBACK BlockWindow(HWND window, LPARAM) {
  DWORD thread = GetCurrentThreadId();
  if (GetWindowThreadProcessId(window, nullptr) != thread) return TRUE;
  if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  if (window == GetForegroundWindow()) return TRUE;
  // Without a record the window could never be enabled again: leave it alone.
  AcquireSRWLockExclusive(&RequesterLibrary.blockedLock);
  BlockedWindow *entry = static_cast<BlockedWindow *>(
      ListAdd(&RequesterLibrary.blockedWindows, ListNodeSize(sizeof(BlockedWindow))));
  if (entry) {
    entry->thread = thread;
    entry->window = window;
  }
  ReleaseSRWLockExclusive(&RequesterLibrary.blockedLock);
  if (entry) EnableWindow(window, FALSE);
  return TRUE;
}

// Takes the newest entry of this thread off the list; null when none is left.
HWND TakeBlockedWindow(DWORD thread) {
  HWND window = nullptr;
  AcquireSRWLockExclusive(&RequesterLibrary.blockedLock);
  for (void *p = RequesterLibrary.blockedWindows; p; p = ListNext(p)) {
    BlockedWindow *entry = static_cast<BlockedWindow *>(p);
    if (entry->thread == thread) {
      window = entry->window;
      ListRemove(&RequesterLibrary.blockedWindows, entry);
      break;
    }
  }
  ReleaseSRWLockExclusive(&RequesterLibrary.blockedLock);
  return window;
}

}  // namespace

void RequestBlockOthers(int32_t block) {
  if (block) {
    EnumWindows(BlockWindow, 0);
    return;
  }
  DWORD thread = GetCurrentThreadId();
  while (HWND window = TakeBlockedWindow(thread)) EnableWindow(window, TRUE);
}
