// Formatting of date values by mask into the temporary area.
#include <string.h>

#include "runtime/date/date.h"
#include "runtime/date/date_internal.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"

namespace {

constexpr int32_t ReserveStep = 4096;

enum Token { TokenYear4, TokenYear2, TokenMonth, TokenDay, TokenHour, TokenMinute, TokenSecond, TokenNone };

struct TokenText {
  const char *letters;
  int32_t length;
};

// Tried in this order, so %yyyy wins over %yy.
constexpr TokenText Tokens[] = {
    {"yyyy", 4}, {"yy", 2}, {"mm", 2}, {"dd", 2}, {"hh", 2}, {"ii", 2}, {"ss", 2},
};

// The token right after a "%" at mask[0..remaining), compared without case.
Token MatchToken(const char *mask, int32_t remaining) {
  for (int t = 0; t < TokenNone; t++) {
    const TokenText &token = Tokens[t];
    if (token.length > remaining) continue;
    int32_t i = 0;
    while (i < token.length && (mask[i] | 0x20) == token.letters[i]) i++;
    if (i == token.length) return static_cast<Token>(t);
  }
  return TokenNone;
}

void WriteTwoDigits(char *out, int32_t value) {
  out[0] = static_cast<char>('0' + value / 10 % 10);
  out[1] = static_cast<char>('0' + value % 10);
}

// Field values of valid dates have at most two digits and years four, so the
// fixed widths hold the whole decimal text.
int32_t WriteToken(char *out, Token token, const DateFields &f) {
  switch (token) {
    case TokenYear4:
      WriteTwoDigits(out, f.year / 100);
      WriteTwoDigits(out + 2, f.year % 100);
      return 4;
    case TokenYear2:
      // The third and fourth digit of the year; year 0 writes "00".
      WriteTwoDigits(out, f.year % 100);
      return 2;
    case TokenMonth: WriteTwoDigits(out, f.month); return 2;
    case TokenDay: WriteTwoDigits(out, f.day); return 2;
    case TokenHour: WriteTwoDigits(out, f.hour); return 2;
    case TokenMinute: WriteTwoDigits(out, f.minute); return 2;
    case TokenSecond: WriteTwoDigits(out, f.second); return 2;
    case TokenNone: break;
  }
  return 0;
}

}  // namespace

char *DateFormat(const char *mask, int32_t date, int32_t at) {
  int32_t length = 0;
  char *copy = nullptr;
  int32_t maskPosition = 0;  // position + 1 of an uncopied mask in the area
  if (mask) {
    size_t n = strlen(mask);
    length = n > INT32_MAX - 1 ? INT32_MAX - 1 : static_cast<int32_t>(n);
    // The mask may lie in the temporary area, which moves as it grows.
    copy = static_cast<char *>(RuntimeAllocRaw(static_cast<size_t>(length) + 1));
    if (copy) memcpy(copy, mask, static_cast<size_t>(length) + 1);
    else maskPosition = StrTempFind(mask);
  }

  DateFields fields;
  DateSplit(date, &fields);

  int32_t capacity = ReserveStep;
  char *start = StrTempReserve(capacity, at);
  const char *m = copy ? copy : maskPosition ? StrTempAt(maskPosition) : mask;
  int32_t written = 0;
  int32_t i = 0;
  // Output is never longer than the mask bytes it came from, so even a mask
  // read in place from the area at or after at is not overtaken.
  while (i < length) {
    if (m[i] == '%') {
      Token token = MatchToken(m + i + 1, length - i - 1);
      if (token != TokenNone) {
        written += WriteToken(start + written, token, fields);
        i += 1 + Tokens[token].length;
      } else {
        start[written++] = '%';
        i++;
      }
    } else {
      start[written++] = m[i++];
    }
    if (written > capacity - 5) {
      capacity += ReserveStep;
      start = StrTempReserve(capacity, at);
      if (maskPosition) m = StrTempAt(maskPosition);
    }
  }
  start[written] = 0;
  StrTempRelease(capacity - written);
  RuntimeFree(copy);
  return start;
}
