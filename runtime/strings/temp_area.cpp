// The string heap, the temporary area, assignment, storing and comparison.
#include <assert.h>
#include <string.h>

#include "runtime/strings/strings.h"

StrState StrLibrary;

namespace {

constexpr int32_t AreaStart = 16;
constexpr int32_t AreaGrowth = 16384;

// Re-allocates (or allocates) a variable's block for n bytes of text. A
// block always has room for its text's length plus 5, so a text of the same
// length fits as it is.
char *VariableBlock(char *block, size_t n) {
  if (block && strlen(block) == n) return block;
  void *p = block ? PlatformHeapRealloc(StrLibrary.heap, block, n + 5, 0)
                  : PlatformHeapAlloc(StrLibrary.heap, n + 5, 0);
  if (!p) PlatformOutOfMemory();
  return static_cast<char *>(p);
}

}  // namespace

void StrTempGrow(int64_t need) {
  // Positions are 32-bit: an area that would pass that is out of memory,
  // never a wrapped size.
  if (need > INT32_MAX - AreaGrowth - StrTempSlack) PlatformOutOfMemory();
  int32_t capacity = static_cast<int32_t>(need) + AreaGrowth;
  void *p = PlatformHeapRealloc(StrLibrary.heap, StrLibrary.temp.base, static_cast<size_t>(capacity) + StrTempSlack, 0);
  if (!p) PlatformOutOfMemory();
  StrLibrary.temp.base = static_cast<char *>(p);
  StrLibrary.temp.capacity = capacity;
}

void StrInit(void) {
  // A second start (tests) begins afresh: the former heap and every block in
  // it are gone.
  if (StrLibrary.heap) PlatformHeapDestroy(StrLibrary.heap);
  StrLibrary.heap = PlatformHeapCreate(4096);
  if (!StrLibrary.heap) PlatformOutOfMemory();
  void *area = PlatformHeapAlloc(StrLibrary.heap, AreaStart, 0);
  if (!area) PlatformOutOfMemory();
  StrLibrary.temp.base = static_cast<char *>(area);
  StrLibrary.temp.base[0] = 0;
  StrLibrary.temp.top = 0;
  StrLibrary.temp.capacity = AreaStart;
}

void StrAssign(char **variable, const char *text) {
  if (!text) {
    if (*variable) {
      PlatformHeapFree(StrLibrary.heap, *variable);
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

namespace {

// StrAppend beyond its common case: a null text, a text inside the area, or
// one that needs the area to grow.
[[gnu::noinline]] void AppendSlowly(const char *text) {
  if (!text) {
    StrLibrary.temp.base[StrLibrary.temp.top] = 0;
    return;
  }
  size_t length = strlen(text);
  if (length > INT32_MAX) PlatformOutOfMemory();
  int32_t n = static_cast<int32_t>(length);
  // A text inside the area would be left behind when the area moves; find
  // it again after the reservation.
  int32_t v = StrTempFind(text);
  char *out = StrTempReserve(n, StrLibrary.temp.top);
  if (v) text = StrTempAt(v);
  memmove(out, text, length);
  out[n] = 0;
}

}  // namespace

void StrAppend(const char *text) {
  // The common case: a text outside the area, copied byte by byte as far as
  // the area has room without growing.
  if (text && !StrTempFind(text)) {
    char *out = StrLibrary.temp.base + StrLibrary.temp.top;
    int32_t room = StrLibrary.temp.capacity - 4 - StrLibrary.temp.top;  // the terminator stays below
    for (int32_t i = 0; i < room; i++) {
      char c = text[i];
      out[i] = c;
      if (!c) {
        StrLibrary.temp.top += i;
        return;
      }
    }
  }
  AppendSlowly(text);
}

void StrStore(char **variable, int32_t mark) {
  assert(mark >= 0 && mark <= StrLibrary.temp.top);
  int32_t n = StrLibrary.temp.top - mark;
  char *block = VariableBlock(*variable, static_cast<size_t>(n));
  memcpy(block, StrLibrary.temp.base + mark, static_cast<size_t>(n));
  block[n] = 0;
  *variable = block;
  StrLibrary.temp.top = mark;
  // An outer expression that continues below the mark stays terminated.
  StrLibrary.temp.base[mark] = 0;
}

int StrEqual(const char *a, const char *b) {
  return strcmp(a ? a : "", b ? b : "") == 0 ? 1 : 0;
}

void StrTempSetTop(int32_t n) {
  assert(n >= 0);
  if (n >= StrLibrary.temp.capacity - 4) StrTempGrow(n);
  StrLibrary.temp.top = n;
  StrLibrary.temp.base[n] = 0;
}
