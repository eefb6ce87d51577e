// Disabling the calling thread's other windows while a requester is up.
#include "runtime/objects/objects.h"
#include "runtime/requester/requester.h"
#include "runtime/requester/requester_internal.h"

namespace {

// The list is shared by every thread that opens requesters, so its links are
// guarded; window calls are made outside the lock, since they can send
// messages that open a requester again.
SRWLOCK blockedLock = SRWLOCK_INIT;
void *blockedWindows;  // BlockedWindow payloads, newest first

BlockedWindow *NextEntry(BlockedWindow *entry) {
  ListNode *node = reinterpret_cast<ListNode *>(entry) - 1;
  return node->next ? reinterpret_cast<BlockedWindow *>(node->next + 1) : nullptr;
}

BOOL CALLBACK BlockWindow(HWND window, LPARAM) {
  DWORD thread = GetCurrentThreadId();
  if (GetWindowThreadProcessId(window, nullptr) != thread) return TRUE;
  if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  if (window == GetForegroundWindow()) return TRUE;
  // Without a record the window could never be enabled again: leave it alone.
  AcquireSRWLockExclusive(&blockedLock);
  BlockedWindow *entry = static_cast<BlockedWindow *>(
      ListAdd(&blockedWindows, sizeof(ListNode) + sizeof(BlockedWindow)));
  if (entry) {
    entry->thread = thread;
    entry->window = window;
  }
  ReleaseSRWLockExclusive(&blockedLock);
  if (entry) EnableWindow(window, FALSE);
  return TRUE;
}

// Takes the newest entry of this thread off the list; null when none is left.
HWND TakeBlockedWindow(DWORD thread) {
  HWND window = nullptr;
  AcquireSRWLockExclusive(&blockedLock);
  for (BlockedWindow *entry = static_cast<BlockedWindow *>(blockedWindows); entry;
       entry = NextEntry(entry)) {
    if (entry->thread == thread) {
      window = entry->window;
      ListRemove(&blockedWindows, entry);
      break;
    }
  }
  ReleaseSRWLockExclusive(&blockedLock);
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
