// Length, pieces and numeric value of string values.
#include <string.h>

#include "runtime/strings/strings.h"

namespace {

// Writes count bytes of text, starting at byte from, as the temporary at at.
// The text may lie in the area, which the reservation can move.
char *WritePiece(const char *text, int32_t from, int32_t count, int32_t at) {
  int32_t v = StrTempFind(text);
  char *out = StrTempReserve(count, at);
  if (v) text = StrTempAt(v);
  if (text && count > 0) memmove(out, text + from, static_cast<size_t>(count));
  out[count] = 0;
  return out;
}

int32_t Smaller(int32_t a, int32_t b) {
  return a < b ? a : b;
}

}  // namespace

int32_t StrLen(const char *text) {
  if (!text) return 0;
  size_t n = strlen(text);
  return n > INT32_MAX ? INT32_MAX : static_cast<int32_t>(n);
}

char *StrLeft(const char *text, int32_t n, int32_t at) {
  if (n < 0) n = 0;
  return WritePiece(text, 0, Smaller(StrLen(text), n), at);
}

char *StrRight(const char *text, int32_t n, int32_t at) {
  if (n < 0) n = 0;
  int32_t length = StrLen(text);
  int32_t count = Smaller(length, n);
  return WritePiece(text, length - count, count, at);
}

char *StrMid(const char *text, int32_t start, int32_t n, int32_t at) {
  if (n < 0) n = 0;
  // Only what can be copied is reserved, so a huge count never grows the area.
  int32_t length = StrLen(text);
  int32_t from = start > 1 ? start - 1 : 0;
  int32_t count = from < length ? Smaller(length - from, n) : 0;
  return WritePiece(text, count > 0 ? from : 0, count, at);
}

int64_t StrVal(const char *text) {
  if (!text) return 0;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  while (*p == ' ' || *p == '\t') p++;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    p++;
  } else if (*p == '+') {
    p++;
  }
  // Wrap-around modulo 2^64 is the defined result, so the sum is unsigned.
  uint64_t value = 0;
  if (*p == '$') {
    for (p++;; p++) {
      unsigned digit;
      if (*p >= '0' && *p <= '9') digit = static_cast<unsigned>(*p - '0');
      else if (*p >= 'A' && *p <= 'F') digit = *p - 'A' + 10u;
      else if (*p >= 'a' && *p <= 'f') digit = *p - 'a' + 10u;
      else break;
      value = value * 16 + digit;
    }
  } else if (*p == '%') {
    for (p++; *p == '0' || *p == '1'; p++) value = value * 2 + static_cast<unsigned>(*p - '0');
  } else {
    for (; *p >= '0' && *p <= '9'; p++) value = value * 10 + static_cast<unsigned>(*p - '0');
  }
  if (negative) value = 0 - value;
  return static_cast<int64_t>(value);
}
