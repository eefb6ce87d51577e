// Host implementation: a heap is a list of malloc blocks, so destroying it
// frees everything it still holds, as HeapDestroy does.
#include "runtime/platform/platform.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

namespace {

struct BlockHeader {
  BlockHeader *next;
  BlockHeader *prev;
  size_t size;
  size_t pad;  // keeps the payload 16-byte aligned
};

struct HostHeap {
  BlockHeader *blocks;
  PlatformHeapStats stats;
};

// The clock a test set, if any.
struct {
  bool set;
  PlatformTime fields;
} PlatformFixedTime;

void Link(HostHeap *h, BlockHeader *b) {
  b->prev = nullptr;
  b->next = h->blocks;
  if (h->blocks) h->blocks->prev = b;
  h->blocks = b;
}

void Unlink(HostHeap *h, BlockHeader *b) {
  if (b->prev) b->prev->next = b->next; else h->blocks = b->next;
  if (b->next) b->next->prev = b->prev;
}

}  // namespace

PlatformHeap PlatformHeapCreate(size_t) {
  return calloc(1, sizeof(HostHeap));
}

void *PlatformHeapAlloc(PlatformHeap heap, size_t size, int zeroFill) {
  HostHeap *h = static_cast<HostHeap *>(heap);
  if (!h || size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  h->stats.allocCalls++;
  BlockHeader *b = static_cast<BlockHeader *>(zeroFill ? calloc(1, sizeof(BlockHeader) + size)
                                                       : malloc(sizeof(BlockHeader) + size));
  if (!b) return nullptr;
  b->size = size;
  Link(h, b);
  h->stats.liveBlocks++;
  h->stats.liveBytes += static_cast<int64_t>(size);
  return b + 1;
}

void *PlatformHeapRealloc(PlatformHeap heap, void *block, size_t size, int zeroFill) {
  HostHeap *h = static_cast<HostHeap *>(heap);
  if (!h) return nullptr;
  if (!block) return PlatformHeapAlloc(heap, size, zeroFill);
  if (size > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  h->stats.reallocCalls++;
  BlockHeader *b = static_cast<BlockHeader *>(block) - 1;
  size_t old = b->size;
  Unlink(h, b);
  BlockHeader *n = static_cast<BlockHeader *>(realloc(b, sizeof(BlockHeader) + size));
  if (!n) {
    Link(h, b);
    return nullptr;
  }
  n->size = size;
  Link(h, n);
  if (zeroFill && size > old) memset(reinterpret_cast<char *>(n + 1) + old, 0, size - old);
  h->stats.liveBytes += static_cast<int64_t>(size) - static_cast<int64_t>(old);
  return n + 1;
}

void PlatformHeapFree(PlatformHeap heap, void *block) {
  HostHeap *h = static_cast<HostHeap *>(heap);
  if (!h || !block) return;
  h->stats.freeCalls++;
  BlockHeader *b = static_cast<BlockHeader *>(block) - 1;
  Unlink(h, b);
  h->stats.liveBlocks--;
  h->stats.liveBytes -= static_cast<int64_t>(b->size);
  free(b);
}

void PlatformHeapDestroy(PlatformHeap heap) {
  HostHeap *h = static_cast<HostHeap *>(heap);
  if (!h) return;
  while (h->blocks) {
    BlockHeader *b = h->blocks;
    h->blocks = b->next;
    free(b);
  }
  free(h);
}

void PlatformHeapGetStats(PlatformHeap heap, PlatformHeapStats *stats) {
  HostHeap *h = static_cast<HostHeap *>(heap);
  if (h) *stats = h->stats; else memset(stats, 0, sizeof *stats);
}

void PlatformSetLocalTime(const PlatformTime *fixed) {
  PlatformFixedTime.set = fixed != nullptr;
  if (fixed) PlatformFixedTime.fields = *fixed;
}

void PlatformLocalTime(PlatformTime *now) {
  if (PlatformFixedTime.set) {
    *now = PlatformFixedTime.fields;
    return;
  }
  // time() has no milliseconds.
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm tmv;
  localtime_r(&ts.tv_sec, &tmv);
  now->year = tmv.tm_year + 1900;
  now->month = tmv.tm_mon + 1;
  now->day = tmv.tm_mday;
  now->hour = tmv.tm_hour;
  now->minute = tmv.tm_min;
  now->second = tmv.tm_sec;
  now->millisecond = static_cast<int32_t>(ts.tv_nsec / 1000000);
}

void PlatformOutOfMemory(void) {
  abort();
}

void Pause(uint32_t milliseconds) {
  usleep(static_cast<useconds_t>(milliseconds) * 1000u);
}
