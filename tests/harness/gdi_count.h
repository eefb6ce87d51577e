// Counting a process's GDI objects and windows for leak checks.
//
// GetGuiResources returns 0 under Wine, so GDI objects are counted from the
// process's GDI handle table, which the PEB's GdiSharedHandleTable points to.
// Its entries are 24 bytes on 64-bit: the kernel object address (8), the
// owner's process id (16 bits) and a lock count, a 16-bit uniqueness value,
// the type byte and a flags byte, and a user address (8). An entry is in use
// when its type byte is non-zero. Windows fills in the owner (and shares the
// table between processes); Wine 8 keeps one private table per process and
// leaves the owner 0, stock objects included. Entries of owner 0 or of the
// process are counted. Compare counts over time, not absolute numbers: the
// first uses of a display context make cached objects that stay.
//
// USER objects are counted as windows: top-level windows of a process or a
// thread and all their descendants.
#pragma once
#include <windows.h>
#include <winternl.h>

#include <stdint.h>

namespace harness {

struct GdiHandleEntry {
  uint64_t kernelAddress;
  uint16_t processId;
  uint16_t count;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userAddress;
};
static_assert(sizeof(GdiHandleEntry) == 24, "64-bit GDI handle table entry");

constexpr size_t GdiHandleCount = 0x10000;

// Wine's 32-bit processes publish no GDI handle table (the PEB's field stays
// null), so GDI objects are counted, and checked, in 64-bit builds only.
inline constexpr bool GdiCounts = sizeof(void *) == 8;

// Address of the process's GDI handle table, or 0.
inline uint64_t GdiHandleTableAddress(HANDLE process) {
#ifdef _WIN64
  typedef LONG(WINAPI * QueryProc)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  QueryProc query = reinterpret_cast<QueryProc>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  if (!query) return 0;
  PROCESS_BASIC_INFORMATION info = {};
  if (query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0 || !info.PebBaseAddress) return 0;
  uint64_t table = 0;
  const size_t TableField = 0xF8;  // PEB64 GdiSharedHandleTable
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<char *>(info.PebBaseAddress) + TableField, &table, sizeof table, &read) ||
      read != sizeof table)
    return 0;
  return table;
#else
  (void)process;
  return 0;  // 32-bit layouts differ between Windows and Wine; not supported
#endif
}

// GDI objects of the process, or -1 when the table cannot be read.
inline int64_t GdiObjectCount(HANDLE process) {
  uint64_t table = GdiHandleTableAddress(process);
  if (!table) return -1;
  DWORD pid = GetProcessId(process);
  static GdiHandleEntry chunk[4096];
  int64_t count = 0;
  for (size_t first = 0; first < GdiHandleCount; first += 4096) {
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<void *>(table + first * sizeof(GdiHandleEntry)), chunk, sizeof chunk, &read))
      return first == 0 ? -1 : count;  // the rest of the table is not committed
    for (size_t i = 0; i < read / sizeof(GdiHandleEntry); i++) {
      const GdiHandleEntry &entry = chunk[i];
      if (entry.type != 0 && (entry.processId == 0 || entry.processId == static_cast<uint16_t>(pid))) count++;
    }
  }
  return count;
}

inline int64_t GdiObjectCountOfThisProcess() {
  return GdiObjectCount(GetCurrentProcess());
}

inline BOOL CALLBACK CountDescendant(HWND, LPARAM count) {
  ++*reinterpret_cast<int64_t *>(count);
  return TRUE;
}

struct WindowCountQuery {
  DWORD processId;
  int64_t count;
};

inline BOOL CALLBACK CountProcessWindow(HWND window, LPARAM param) {
  WindowCountQuery *query = reinterpret_cast<WindowCountQuery *>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != query->processId) return TRUE;
  query->count++;
  EnumChildWindows(window, CountDescendant, reinterpret_cast<LPARAM>(&query->count));
  return TRUE;
}

inline BOOL CALLBACK CountThreadWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<int64_t *>(count);
  EnumChildWindows(window, CountDescendant, count);
  return TRUE;
}

// Windows of a process (top-level ones and every descendant).
inline int64_t WindowCountOfProcess(DWORD processId) {
  WindowCountQuery query = {processId, 0};
  EnumWindows(CountProcessWindow, reinterpret_cast<LPARAM>(&query));
  return query.count;
}

// Windows of a thread (top-level ones and every descendant).
inline int64_t WindowCountOfThread(DWORD threadId) {
  int64_t count = 0;
  EnumThreadWindows(threadId, CountThreadWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace harness
