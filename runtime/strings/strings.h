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
#pragma once
#include <stdint.h>

// Creates the string heap and the 16-byte area. Called again (tests), it
// starts afresh: the former heap and every block in it are gone. When the
// string heap cannot supply a block the process stops (PlatformOutOfMemory);
// so does an area that would pass 2^31 bytes.
void StrInit(void);

void StrAssign(char **variable, const char *text);
void StrAppend(const char *text);            // a text in the area is found again after growth
void StrStore(char **variable, int32_t mark);
int StrEqual(const char *a, const char *b);

// Temporary area.
char *StrTempReserve(int32_t n, int32_t at);  // room for n bytes at at; top = at + n
void StrTempRelease(int32_t n);               // top -= n
void StrTempSetTop(int32_t n);                // top = n, terminator at n
int32_t StrTempFind(const char *p);           // position + 1 inside the area, else 0
char *StrTempAt(int32_t v);                   // base + v - 1
int32_t StrTempTop(void);
char *StrTempBase(void);
int32_t StrTempCapacity(void);

// String functions. The piece functions write their result at position at,
// leave top just behind it with a 0 there, and return base + at.
int32_t StrLen(const char *text);
char *StrLeft(const char *text, int32_t n, int32_t at);
char *StrRight(const char *text, int32_t n, int32_t at);
// Reserves only the bytes it can copy, so a huge count never grows the area.
char *StrMid(const char *text, int32_t start, int32_t n, int32_t at);
int64_t StrVal(const char *text);
