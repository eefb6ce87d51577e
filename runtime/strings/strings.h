// String values and the shared temporary area in which string expressions
// are built. A string value is a zero-terminated cp1252 byte string or null
// (the empty string). A string variable is a char* slot owning a block of the
// string heap with room for its length plus 5 bytes.
//
// Expression protocol: mark = StrTempTop(); add pieces with StrAppend or pass
// StrTempTop() as the output position of a string function; then either
// StrStore(&variable, mark), or pass StrTempBase() + mark as a text argument
// after raising the top by one over its terminator, and set the top back to
// mark after the call. Hold positions, never pointers, across calls: the
// area can move.
//
// Portable; stands on the platform's heap (the string heap is its own, not
// the runtime heap).
#pragma once
#include <stdint.h>

#include "runtime/platform/platform.h"

// Creates the string heap and the 16-byte area. Called again (tests), it
// starts afresh: the former heap and every block in it are gone. When the
// string heap cannot supply a block the process stops (PlatformOutOfMemory);
// so does an area that would pass 2^31 bytes.
void StrInit(void);

void StrAssign(char **variable, const char *text);
void StrAppend(const char *text);            // a text in the area is found again after growth
void StrStore(char **variable, int32_t mark);
int StrEqual(const char *a, const char *b);

// Temporary area. Its three runtime-wide values are read by the inline
// operations below; only the string runtime changes them.
struct StrTempArea {
  char *base;        // the area's block in the string heap; moves when it grows
  int32_t top;       // bytes in use; base[top] is 0 after every write
  int32_t capacity;  // size at which the area grows
};

// The area's block holds this many bytes beyond capacity, so word copies
// stay inside.
constexpr int32_t StrTempSlack = 5;

struct StrState {
  StrTempArea temp;
  PlatformHeap heap;  // holds every variable's block and the area
};
extern StrState StrLibrary;

// Grows the area for need bytes beyond its start: capacity = need + 16384.
void StrTempGrow(int64_t need);

// Room for n bytes at at; top = at + n. The need is counted from the higher
// of top and at: when it reaches capacity - 4 the area grows (and may move).
inline char *StrTempReserve(int32_t n, int32_t at) {
  int64_t need = static_cast<int64_t>(at > StrLibrary.temp.top ? at : StrLibrary.temp.top) + n;
  if (need >= StrLibrary.temp.capacity - 4) StrTempGrow(need);
  StrLibrary.temp.top = at + n;
  return StrLibrary.temp.base + at;
}

inline void StrTempRelease(int32_t n) {  // top -= n
  StrLibrary.temp.top -= n;
}

void StrTempSetTop(int32_t n);  // top = n, terminator at n

// Position + 1 of p when base <= p <= base + top (unsigned addresses, the
// terminator's position included), else 0.
inline int32_t StrTempFind(const char *p) {
  uintptr_t offset = reinterpret_cast<uintptr_t>(p) - reinterpret_cast<uintptr_t>(StrLibrary.temp.base);
  return offset <= static_cast<uintptr_t>(StrLibrary.temp.top) ? static_cast<int32_t>(offset) + 1 : 0;
}

inline char *StrTempAt(int32_t v) {  // base + v - 1
  return StrLibrary.temp.base + v - 1;
}

inline int32_t StrTempTop(void) {
  return StrLibrary.temp.top;
}

inline char *StrTempBase(void) {
  return StrLibrary.temp.base;
}

inline int32_t StrTempCapacity(void) {
  return StrLibrary.temp.capacity;
}

// String functions. The piece functions write their result at position at,
// leave top just behind it with a 0 there, and return base + at.
int32_t StrLen(const char *text);
char *StrLeft(const char *text, int32_t n, int32_t at);
char *StrRight(const char *text, int32_t n, int32_t at);
// Reserves only the bytes it can copy, so a huge count never grows the area.
char *StrMid(const char *text, int32_t start, int32_t n, int32_t at);
int64_t StrVal(const char *text);
