#include "runtime/objects/objects.h"

PlatformHeap RuntimeHeap;

void *RuntimeAlloc(size_t size) {
  return PlatformHeapAlloc(RuntimeHeap, size, 1);
}

void *RuntimeAllocRaw(size_t size) {
  return PlatformHeapAlloc(RuntimeHeap, size, 0);
}

void *RuntimeRealloc(void *block, size_t size) {
  return PlatformHeapRealloc(RuntimeHeap, block, size, 1);
}

void RuntimeFree(void *block) {
  if (block) PlatformHeapFree(RuntimeHeap, block);
}

void *LibraryStateCreate(size_t size, void (*init)(void *state)) {
  void *state = RuntimeAlloc(size);
  if (state && init) init(state);
  return state;
}

void *LibraryStateGet(void *state) {
  return state;
}
