// Formatting of date values by mask into the temporary area.
#include <string.h>

#include "runtime/date/date.h"
#include "runtime/date/date_internal.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"

namespace {

constexpr int32_t ReserveStep = 4096;

// "00" to "99": every field written has two digits (the year in two halves).
constexpr char TwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Lower case for ASCII letters. Every token letter is lower case, so no other
// byte can match one after this.
inline int Lower(char c) {
  return c | 0x20;
}

struct Fields {
  uint32_t days;
  uint32_t secondOfDay;  // unsigned: cheaper division
  // Split only when a token needs them; year -1 until then, 0 for a value
  // that cannot be split.
  DateFields calendar;

  const DateFields &Calendar() {
    if (calendar.year < 0) DateSplitCalendar(days, &calendar);
    return calendar;
  }
};

// At p, just after a "%": writes the token that starts there to *out and
// returns the mask bytes it takes, or 0 when none starts there. Tokens are
// tried as yyyy, yy, mm, dd, hh, ii, ss, so %yyyy wins over %yy. The output
// is never longer than the mask bytes it replaces. Bytes are read only up to
// end, and never past a terminator: a byte is looked at only after the one
// before it matched a letter.
[[gnu::always_inline]] inline int32_t WriteToken(const char *p, char **out, Fields &f,
                                                 const char *end = nullptr) {
  if (end && end - p < 2) return 0;
  int letter = Lower(p[0]);
  int32_t value;
  switch (letter) {
    case 'y': {
      if (Lower(p[1]) != 'y') return 0;
      uint32_t year = static_cast<uint32_t>(f.Calendar().year);  // 0, or 1970..9999
      if ((!end || end - p >= 4) && Lower(p[2]) == 'y' && Lower(p[3]) == 'y') {
        memcpy(*out, TwoDigits + 2 * (year / 100), 2);  // year 0 gives "0000"
        memcpy(*out + 2, TwoDigits + 2 * (year % 100), 2);
        *out += 4;
        return 4;
      }
      value = static_cast<int32_t>(year % 100);  // the third and fourth digit; year 0 gives "00"
      break;
    }
    case 'm': if (Lower(p[1]) != 'm') return 0; value = f.Calendar().month; break;
    case 'd': if (Lower(p[1]) != 'd') return 0; value = f.Calendar().day; break;
    case 'h': if (Lower(p[1]) != 'h') return 0; value = static_cast<int32_t>(f.secondOfDay / 3600); break;
    case 'i': if (Lower(p[1]) != 'i') return 0; value = static_cast<int32_t>(f.secondOfDay / 60 % 60); break;
    case 's': if (Lower(p[1]) != 's') return 0; value = static_cast<int32_t>(f.secondOfDay % 60); break;
    default: return 0;
  }
  memcpy(*out, TwoDigits + 2 * value, 2);
  *out += 2;
  return 2;
}

}  // namespace

char *DateFormat(const char *mask, int64_t date, int32_t at) {
  Fields f;
  f.calendar.year = DateSplitDays(date, &f.days, &f.secondOfDay) ? -1 : 0;
  f.calendar.month = f.calendar.day = 0;

  // A mask anywhere in the temporary area's block (a released temporary
  // above the top included) moves or is overwritten when the area grows, so
  // it is copied into the runtime heap; any other mask is read where it is.
  const char *m = mask ? mask : "";
  char *copy = nullptr;
  uintptr_t offset = reinterpret_cast<uintptr_t>(m) - reinterpret_cast<uintptr_t>(StrTempBase());
  int32_t maskPosition = 0;  // position + 1 of a mask read in the area
  if (offset < static_cast<uintptr_t>(StrTempCapacity()) + StrTempSlack) maskPosition = static_cast<int32_t>(offset) + 1;
  if (maskPosition) {
    size_t n = strlen(m);
    copy = static_cast<char *>(RuntimeAllocRaw(n + 1));
    if (copy) {
      memcpy(copy, m, n + 1);
      m = copy;
      maskPosition = 0;
    }
  }

  int32_t capacity = ReserveStep;
  char *start = StrTempReserve(capacity, at);
  if (maskPosition) m = StrTempAt(maskPosition);
  int32_t written = 0;
  int32_t i = 0;
  if (!maskPosition) {
    // Up to the terminator, or until the first reservation could run out;
    // output is never longer than the mask bytes it came from.
    const char *p = m;
    char *out = start;
    char *last = start + capacity - 5;
    char c;
    while ((c = *p) != 0 && out < last) {
      p++;
      if (c == '%') {
        int32_t used = WriteToken(p, &out, f);
        if (used) {
          p += used;
          continue;
        }
      }
      *out++ = c;  // a "%" that starts no token stays itself
    }
    written = static_cast<int32_t>(out - start);
    i = static_cast<int32_t>(p - m);
  }
  if (m[i]) {
    // The rest step by step, renewing the reservation 4096 bytes at a time.
    // A mask read in place is bounded by its length, since the output may
    // overwrite its terminator.
    size_t rest = strlen(m + i);
    int32_t length = rest > static_cast<size_t>(INT32_MAX - 1 - i) ? INT32_MAX - 1 : i + static_cast<int32_t>(rest);
    while (i < length) {
      // A step writes at most 4 bytes: grow before one could pass the end.
      if (written > capacity - 5) {
        capacity += ReserveStep;
        start = StrTempReserve(capacity, at);
        if (maskPosition) m = StrTempAt(maskPosition);
      }
      char *out = start + written;
      char c = m[i++];
      int32_t used = c == '%' ? WriteToken(m + i, &out, f, m + length) : 0;
      if (used) {
        i += used;
        written = static_cast<int32_t>(out - start);
      } else {
        start[written++] = c;
      }
    }
  }
  start[written] = 0;
  StrTempRelease(capacity - written);
  if (copy) RuntimeFree(copy);
  return start;
}
