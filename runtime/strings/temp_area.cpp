// The string heap, the temporary area, assignment, storing and comparison.
#include <assert.h>
#include <string.h>

#include "runtime/strings/strings.h"
#include "runtime/strings/strings_internal.h"

StrState strState;

namespace {

constexpr int32_t AreaStart = 16;
constexpr int32_t AreaGrowth = 16384;
constexpr int32_t AreaSlack = 5;  // bytes beyond capacity, so word copies stay inside

// Re-allocates (or allocates) a variable's block for n bytes of text.
char *VariableBlock(char *block, size_t n) {
  void *p = block ? PlatformHeapRealloc(strState.heap, block, n + 5, 0)
                  : PlatformHeapAlloc(strState.heap, n + 5, 0);
  if (!p) PlatformOutOfMemory();
  return static_cast<char *>(p);
}

// Makes the area hold at least need bytes plus the slack beyond top that
// copies rely on.
void AreaEnsure(int64_t need) {
  if (need < strState.capacity - 4) return;
  // Positions are 32-bit: an area that would pass that is out of memory,
  // never a wrapped size.
  if (need > INT32_MAX - AreaGrowth - AreaSlack) PlatformOutOfMemory();
  int32_t capacity = static_cast<int32_t>(need) + AreaGrowth;
  void *p = PlatformHeapRealloc(strState.heap, strState.base,
                                static_cast<size_t>(capacity) + AreaSlack, 0);
  if (!p) PlatformOutOfMemory();
  strState.base = static_cast<char *>(p);
  strState.capacity = capacity;
}

}  // namespace

void StrInit(void) {
  // A second start (tests) begins afresh: the former heap and every block in
  // it are gone.
  if (strState.heap) PlatformHeapDestroy(strState.heap);
  strState.heap = PlatformHeapCreate(4096);
  if (!strState.heap) PlatformOutOfMemory();
  void *area = PlatformHeapAlloc(strState.heap, AreaStart, 0);
  if (!area) PlatformOutOfMemory();
  strState.base = static_cast<char *>(area);
  strState.base[0] = 0;
  strState.top = 0;
  strState.capacity = AreaStart;
}

void StrAssign(char **variable, const char *text) {
  if (!text) {
    if (*variable) {
      PlatformHeapFree(strState.heap, *variable);
      *variable = nullptr;
    }
    return;
  }
  size_t n = strlen(text);
  char *old = *variable;
  if (old && text >= old && text <= old + strlen(old)) {
    // The text is part of the variable's own block, which re-allocation may
    // move: bring it to the front first; the block then only shrinks.
    memmove(old, text, n + 1);
    *variable = VariableBlock(old, n);
    return;
  }
  char *block = VariableBlock(old, n);
  memcpy(block, text, n);
  block[n] = 0;
  *variable = block;
}

void StrAppend(const char *text) {
  if (!text) {
    strState.base[strState.top] = 0;
    return;
  }
  size_t length = strlen(text);
  if (length > INT32_MAX) PlatformOutOfMemory();
  int32_t n = static_cast<int32_t>(length);
  // A text inside the area would be left behind when the area moves; find
  // it again after the reservation.
  int32_t v = StrTempFind(text);
  char *out = StrTempReserve(n, strState.top);
  if (v) text = StrTempAt(v);
  memmove(out, text, length);
  out[n] = 0;
}

void StrStore(char **variable, int32_t mark) {
  assert(mark >= 0 && mark <= strState.top);
  int32_t n = strState.top - mark;
  char *block = VariableBlock(*variable, static_cast<size_t>(n));
  memcpy(block, strState.base + mark, static_cast<size_t>(n));
  block[n] = 0;
  *variable = block;
  strState.top = mark;
  // An outer expression that continues below the mark stays terminated.
  strState.base[mark] = 0;
}

int StrEqual(const char *a, const char *b) {
  return strcmp(a ? a : "", b ? b : "") == 0 ? 1 : 0;
}

char *StrTempReserve(int32_t n, int32_t at) {
  assert(n >= 0 && at >= 0);
  // Measured from the higher of top and at, so a position beyond top can
  // never reach past the block.
  int64_t from = at > strState.top ? at : strState.top;
  AreaEnsure(from + n);
  strState.top = at + n;
  return strState.base + at;
}

void StrTempRelease(int32_t n) {
  strState.top -= n;
}

void StrTempSetTop(int32_t n) {
  assert(n >= 0);
  AreaEnsure(n);
  strState.top = n;
  strState.base[n] = 0;
}

int32_t StrTempFind(const char *p) {
  uintptr_t address = reinterpret_cast<uintptr_t>(p);
  uintptr_t base = reinterpret_cast<uintptr_t>(strState.base);
  if (address >= base && address <= base + static_cast<uintptr_t>(strState.top))
    return static_cast<int32_t>(address - base) + 1;
  return 0;
}

char *StrTempAt(int32_t v) {
  return strState.base + v - 1;
}

int32_t StrTempTop(void) {
  return strState.top;
}

char *StrTempBase(void) {
  return strState.base;
}

int32_t StrTempCapacity(void) {
  return strState.capacity;
}
