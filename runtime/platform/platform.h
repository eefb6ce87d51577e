// Platform services: the few things the portable libraries need from the
// operating system (a private heap, the local time, stopping when memory runs
// out), plus Pause. The seam between the portable libraries and the system:
// Windows builds use kernel32 and winmm; host builds use the C library and
// let tests set the clock. Stands on nothing of ours.
#pragma once
#include <stddef.h>
#include <stdint.h>

// A private growable heap. Zero-filled allocation is asked for explicitly.
typedef void *PlatformHeap;

PlatformHeap PlatformHeapCreate(size_t initialSize);
void *PlatformHeapAlloc(PlatformHeap heap, size_t size, int zeroFill);
// Keeps the content; the grown part is zero-filled when zeroFill is non-zero.
void *PlatformHeapRealloc(PlatformHeap heap, void *block, size_t size, int zeroFill);
void PlatformHeapFree(PlatformHeap heap, void *block);
void PlatformHeapDestroy(PlatformHeap heap);

// Counters of the heap calls made so far, for benchmarks and leak checks.
struct PlatformHeapStats {
  int64_t allocCalls;
  int64_t reallocCalls;
  int64_t freeCalls;
  int64_t liveBlocks;
  int64_t liveBytes;  // requested bytes of the live blocks
};
void PlatformHeapGetStats(PlatformHeap heap, PlatformHeapStats *stats);

// The local wall-clock fields now.
struct PlatformTime {
  int32_t year, month, day, hour, minute, second, millisecond;
};
void PlatformLocalTime(PlatformTime *now);

#ifndef _WIN32
// Host only: from now on PlatformLocalTime reports these fields (null: the
// real local clock again).
void PlatformSetLocalTime(const PlatformTime *fixed);
#endif

// Stops the process when a heap cannot supply memory that the caller cannot
// do without (the string heap).
[[noreturn]] void PlatformOutOfMemory(void);

// Sleeps with the timer resolution raised to 1 ms for the duration.
void Pause(uint32_t milliseconds);
