// Windows implementation on kernel32 heaps, GetLocalTime and winmm.
#include "runtime/platform/platform.h"

#include <windows.h>
#include <mmsystem.h>

#include "runtime/platform/program_instance.h"

HINSTANCE ProgramInstance;

namespace {
// HeapWalk would be needed to count per heap; one process-wide tally is
// enough for the checks that read it.
PlatformHeapStats PlatformHeapCounts;
}

PlatformHeap PlatformHeapCreate(size_t initialSize) {
  return HeapCreate(0, initialSize, 0);
}

void *PlatformHeapAlloc(PlatformHeap heap, size_t size, int zeroFill) {
  if (!heap) return nullptr;
  PlatformHeapCounts.allocCalls++;
  void *p = HeapAlloc(static_cast<HANDLE>(heap), zeroFill ? HEAP_ZERO_MEMORY : 0, size);
  if (p) {
    PlatformHeapCounts.liveBlocks++;
    PlatformHeapCounts.liveBytes += static_cast<int64_t>(size);
  }
  return p;
}

void *PlatformHeapRealloc(PlatformHeap heap, void *block, size_t size, int zeroFill) {
  if (!heap) return nullptr;
  if (!block) return PlatformHeapAlloc(heap, size, zeroFill);
  PlatformHeapCounts.reallocCalls++;
  SIZE_T old = HeapSize(static_cast<HANDLE>(heap), 0, block);
  void *p = HeapReAlloc(static_cast<HANDLE>(heap), zeroFill ? HEAP_ZERO_MEMORY : 0, block, size);
  if (p) PlatformHeapCounts.liveBytes += static_cast<int64_t>(size) - static_cast<int64_t>(old);
  return p;
}

void PlatformHeapFree(PlatformHeap heap, void *block) {
  if (!heap || !block) return;
  PlatformHeapCounts.freeCalls++;
  PlatformHeapCounts.liveBlocks--;
  PlatformHeapCounts.liveBytes -= static_cast<int64_t>(HeapSize(static_cast<HANDLE>(heap), 0, block));
  HeapFree(static_cast<HANDLE>(heap), 0, block);
}

void PlatformHeapDestroy(PlatformHeap heap) {
  if (heap) HeapDestroy(static_cast<HANDLE>(heap));
}

void PlatformHeapGetStats(PlatformHeap, PlatformHeapStats *stats) {
  *stats = PlatformHeapCounts;
}

void PlatformLocalTime(PlatformTime *now) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  now->year = st.wYear;
  now->month = st.wMonth;
  now->day = st.wDay;
  now->hour = st.wHour;
  now->minute = st.wMinute;
  now->second = st.wSecond;
  now->millisecond = st.wMilliseconds;
}

void PlatformOutOfMemory(void) {
  // No message: the libraries never show one. The process cannot go on.
  RaiseException(STATUS_NO_MEMORY, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  ExitProcess(3);
}

void Pause(uint32_t milliseconds) {
  timeBeginPeriod(1);
  Sleep(milliseconds);
  timeEndPeriod(1);
}
