// The string heap, the temporary area, assignment, storing and comparison.
#include <assert.h>
#include <string.h>

#include "runtime/strings/strings.h"
#include "runtime/strings/strings_internal.h"

StrState strState;
StrTempArea strTemp;

namespace {

constexpr int32_t AreaStart = 16;
constexpr int32_t AreaGrowth = 16384;
constexpr int32_t AreaSlack = 5;  // bytes beyond capacity, so word copies stay inside

// Re-allocates (or allocates) a variable's block for n bytes of text. A
// block always has room for its text's length plus 5, so a text of the same
// length fits as it is.
char *VariableBlock(char *block, size_t n) {
  if (block && strlen(block) == n) return block;
  void *p = block ? PlatformHeapRealloc(strState.heap, block, n + 5, 0)
                  : PlatformHeapAlloc(strState.heap, n + 5, 0);
  if (!p) PlatformOutOfMemory();
  return static_cast<char *>(p);
}

}  // namespace

void StrTempGrow(int64_t need) {
  // Positions are 32-bit: an area that would pass that is out of memory,
  // never a wrapped size.
  if (need > INT32_MAX - AreaGrowth - AreaSlack) PlatformOutOfMemory();
  int32_t capacity = static_cast<int32_t>(need) + AreaGrowth;
  void *p = PlatformHeapRealloc(strState.heap, strTemp.base, static_cast<size_t>(capacity) + AreaSlack, 0);
  if (!p) PlatformOutOfMemory();
  strTemp.base = static_cast<char *>(p);
  strTemp.capacity = capacity;
}

void StrInit(void) {
  // A second start (tests) begins afresh: the former heap and every block in
  // it are gone.
  if (strState.heap) PlatformHeapDestroy(strState.heap);
  strState.heap = PlatformHeapCreate(4096);
  if (!strState.heap) PlatformOutOfMemory();
  void *area = PlatformHeapAlloc(strState.heap, AreaStart, 0);
  if (!area) PlatformOutOfMemory();
  strTemp.base = static_cast<char *>(area);
  strTemp.base[0] = 0;
  strTemp.top = 0;
  strTemp.capacity = AreaStart;
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

namespace {

// StrAppend beyond its common case: a null text, a text inside the area, or
// one that needs the area to grow.
[[gnu::noinline]] void AppendSlowly(const char *text) {
  if (!text) {
    strTemp.base[strTemp.top] = 0;
    return;
  }
  size_t length = strlen(text);
  if (length > INT32_MAX) PlatformOutOfMemory();
  int32_t n = static_cast<int32_t>(length);
  // A text inside the area would be left behind when the area moves; find
  // it again after the reservation.
  int32_t v = StrTempFind(text);
  char *out = StrTempReserve(n, strTemp.top);
  if (v) text = StrTempAt(v);
  memmove(out, text, length);
  out[n] = 0;
}

}  // namespace

void StrAppend(const char *text) {
  // The common case: a text outside the area, copied byte by byte as far as
  // the area has room without growing.
  if (text && !StrTempFind(text)) {
    char *out = strTemp.base + strTemp.top;
    int32_t room = strTemp.capacity - 4 - strTemp.top;  // the terminator stays below
    for (int32_t i = 0; i < room; i++) {
      char c = text[i];
      out[i] = c;
      if (!c) {
        strTemp.top += i;
        return;
      }
    }
  }
  AppendSlowly(text);
}

void StrStore(char **variable, int32_t mark) {
  assert(mark >= 0 && mark <= strTemp.top);
  int32_t n = strTemp.top - mark;
  char *block = VariableBlock(*variable, static_cast<size_t>(n));
  memcpy(block, strTemp.base + mark, static_cast<size_t>(n));
  block[n] = 0;
  *variable = block;
  strTemp.top = mark;
  // An outer expression that continues below the mark stays terminated.
  strTemp.base[mark] = 0;
}

int StrEqual(const char *a, const char *b) {
  return strcmp(a ? a : "", b ? b : "") == 0 ? 1 : 0;
}

void StrTempSetTop(int32_t n) {
  assert(n >= 0);
  if (n >= strTemp.capacity - 4) StrTempGrow(n);
  strTemp.top = n;
  strTemp.base[n] = 0;
}
