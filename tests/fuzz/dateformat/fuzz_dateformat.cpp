// DateFormat with arbitrary masks (long enough to need several 4096-byte
// reservations) and arbitrary date values, the mask outside the temporary
// area or inside it below the output position, against a reference formatter
// that takes its fields from gmtime_r. The area below each output position
// must stay as it was.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>

#include "runtime/date/date.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"

namespace {

#define CHECK(cond)                                                                       \
  do {                                                                                    \
    if (!(cond)) {                                                                        \
      fprintf(stderr, "fuzz_dateformat: check failed at line %d: %s\n", __LINE__, #cond); \
      abort();                                                                            \
    }                                                                                     \
  } while (0)

std::string TwoDigits(int value) {
  char text[16];
  snprintf(text, sizeof text, "%02d", value);
  return text;
}

bool StartsWithToken(const std::string &mask, size_t i, const char *token) {
  size_t n = strlen(token);
  if (i + n > mask.size()) return false;
  for (size_t k = 0; k < n; k++) {
    unsigned char c = static_cast<unsigned char>(mask[i + k]);
    if (c != static_cast<unsigned char>(token[k]) && c != static_cast<unsigned char>(token[k] - 32)) return false;
  }
  return true;
}

std::string Reference(const std::string &mask, int64_t date) {
  struct tm f;
  memset(&f, 0, sizeof f);
  int year = 0, month = 0;
  if (date >= 0 && date <= DateLast) {
    time_t t = date;
    gmtime_r(&t, &f);
    year = f.tm_year + 1900;
    month = f.tm_mon + 1;
  }
  char year4[16];
  snprintf(year4, sizeof year4, "%04d", year);
  static const char *const tokens[] = {"yyyy", "yy", "mm", "dd", "hh", "ii", "ss"};
  std::string out;
  size_t i = 0;
  while (i < mask.size()) {
    if (mask[i] != '%') {
      out += mask[i++];
      continue;
    }
    int found = -1;
    for (int t = 0; t < 7 && found < 0; t++)
      if (StartsWithToken(mask, i + 1, tokens[t])) found = t;
    switch (found) {
      case 0: out += year4; break;
      case 1: out += std::string(year4 + 2, 2); break;
      case 2: out += TwoDigits(month); break;
      case 3: out += TwoDigits(f.tm_mday); break;
      case 4: out += TwoDigits(f.tm_hour); break;
      case 5: out += TwoDigits(f.tm_min); break;
      case 6: out += TwoDigits(f.tm_sec); break;
      default: out += '%'; i++; continue;
    }
    i += 1 + strlen(tokens[found]);
  }
  return out;
}

// The field functions agree with gmtime_r, and DateFromFields gives the
// value back from its fields.
void CheckFields(int64_t date) {
  if (date < 0 || date > DateLast) {
    CHECK(DateYear(date) == 0 && DateMonth(date) == 0 && DateDay(date) == 0 && DateHour(date) == 0 &&
          DateMinute(date) == 0 && DateSecond(date) == 0 && DateDayOfWeek(date) == 0);
    return;
  }
  struct tm f;
  time_t t = date;
  gmtime_r(&t, &f);
  CHECK(DateYear(date) == f.tm_year + 1900 && DateMonth(date) == f.tm_mon + 1 && DateDay(date) == f.tm_mday);
  CHECK(DateHour(date) == f.tm_hour && DateMinute(date) == f.tm_min && DateSecond(date) == f.tm_sec);
  CHECK(DateDayOfWeek(date) == f.tm_wday);
  CHECK(DateFromFields(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec) == date);
}

// Arbitrary fields: -1 for the invalid ones and for dates outside the
// range of a date value (1970 to 9999), else the count timegm gives.
void CheckFromFields(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  auto leap = [](int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
  bool invalid = (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) ||
                 (month == 2 && (day > 29 || (day == 29 && !leap(year)))) || second > 59 || second < 0 ||
                 minute > 59 || minute < 0 || hour > 23 || hour < 0 || day < 1 || day > 31 || month < 1 ||
                 month > 12 || year <= 0;
  int64_t want = -1;
  if (!invalid) {
    struct tm f;
    memset(&f, 0, sizeof f);
    f.tm_year = year - 1900;
    f.tm_mon = month - 1;
    f.tm_mday = day;
    f.tm_hour = hour;
    f.tm_min = minute;
    f.tm_sec = second;
    int64_t t = timegm(&f);
    if (t >= 0 && t <= DateLast) want = t;
  }
  int64_t got = DateFromFields(year, month, day, hour, minute, second);
  if (got != want) {
    fprintf(stderr, "fuzz_dateformat: DateFromFields(%d, %d, %d, %d, %d, %d) gave %lld, want %lld\n", year, month, day,
            hour, minute, second, static_cast<long long>(got), static_cast<long long>(want));
    abort();
  }
}

std::string shadow;

void CheckArea() {
  CHECK(StrTempTop() == static_cast<int32_t>(shadow.size()));
  CHECK(memcmp(StrTempBase(), shadow.data(), shadow.size()) == 0);
  CHECK(StrTempBase()[shadow.size()] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider in(data, size);
  RuntimeHeap = PlatformHeapCreate(4096);
  StrInit();
  shadow.clear();

  int calls = 0;
  while (in.remaining_bytes() > 0 && calls++ < 8) {
    std::string piece = in.ConsumeRandomLengthString(128);
    piece = piece.c_str();
    int repeat = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(1, 4000) : 1;
    std::string mask;
    // Up to about four reservations of output; longer masks only slow the search.
    for (int r = 0; r < repeat && !piece.empty() && mask.size() < 14000; r++) mask += piece;
    int64_t date;
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
      case 0: date = in.ConsumeIntegral<int64_t>(); break;
      case 1: date = in.ConsumeIntegralInRange<int64_t>(-2, 2); break;
      case 2: date = INT32_MAX + in.ConsumeIntegralInRange<int64_t>(-86400 * 400, 86400 * 400); break;
      case 3: date = DateLast + in.ConsumeIntegralInRange<int64_t>(-86400 * 400, 2); break;
      default: date = in.ConsumeIntegralInRange<int64_t>(0, DateLast); break;
    }
    std::string expected = Reference(mask, date);
    CheckFields(date);
    if (in.ConsumeBool()) {
      int32_t year = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(1965, 10001) : in.ConsumeIntegral<int32_t>();
      int32_t month = in.ConsumeIntegralInRange<int32_t>(-1, 14);
      int32_t day = in.ConsumeIntegralInRange<int32_t>(-1, 33);
      int32_t hour = in.ConsumeIntegralInRange<int32_t>(-1, 25);
      int32_t minute = in.ConsumeIntegralInRange<int32_t>(-1, 61);
      int32_t second = in.ConsumeIntegralInRange<int32_t>(-1, 61);
      CheckFromFields(year, month, day, hour, minute, second);
    }

    const char *argument;
    int32_t mark = StrTempTop();
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
      case 0:
        argument = mask.c_str();
        break;
      case 1:  // inside the area, its terminator covered, as the expression protocol passes it
        StrAppend(mask.c_str());
        StrTempSetTop(mark + static_cast<int32_t>(mask.size()) + 1);
        shadow += mask;
        shadow.push_back('\0');
        argument = StrTempBase() + mark;
        break;
      default:
        argument = nullptr;
        expected.clear();
        break;
    }
    int32_t at = StrTempTop();
    char *result = DateFormat(argument, date, at);
    CHECK(result == StrTempBase() + at);
    if (memcmp(result, expected.data(), expected.size()) != 0 || StrTempTop() != at + static_cast<int32_t>(expected.size())) {
      fprintf(stderr, "fuzz_dateformat: date %lld, mask of %zu bytes: got %d bytes, want %zu\n", static_cast<long long>(date), mask.size(),
              StrTempTop() - at, expected.size());
      abort();
    }
    shadow += expected;
    CheckArea();
    if (in.ConsumeBool()) {  // the caller drops the result and its argument
      StrTempSetTop(mark);
      shadow.resize(static_cast<size_t>(mark));
      CheckArea();
    }
  }
  PlatformHeapStats stats;
  PlatformHeapGetStats(RuntimeHeap, &stats);
  CHECK(stats.liveBlocks == 0);  // the mask copies went back
  PlatformHeapDestroy(RuntimeHeap);
  RuntimeHeap = nullptr;
  return 0;
}
