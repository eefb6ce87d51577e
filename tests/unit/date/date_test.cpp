#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <time.h>

#include <string>

#include "runtime/date/date.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"
#ifdef _WIN32
#include "runtime/platform/program_instance.h"
#endif

namespace {

class DateTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    ProgramInstance = GetModuleHandleA(nullptr);
#endif
    RuntimeHeap = PlatformHeapCreate(4096);
    StrInit();
  }
  void TearDown() override {
#ifndef _WIN32
    PlatformSetLocalTime(nullptr);
#endif
    PlatformHeapDestroy(RuntimeHeap);
    RuntimeHeap = nullptr;
  }
};

// Formats at the current top and returns the text; the top goes back.
std::string Format(const char *mask, int64_t date) {
  int32_t at = StrTempTop();
  DateFormat(mask, date, at);
  std::string text(StrTempBase() + at);
  EXPECT_EQ(StrTempTop(), at + static_cast<int32_t>(text.size())) << mask;
  StrTempSetTop(at);
  return text;
}

// ---- Date values ----

struct FieldsRow {
  int32_t year, month, day, hour, minute, second;
  int64_t value;  // -1 for invalid
};

TEST_F(DateTest, FromFieldsValidity) {
  const FieldsRow rows[] = {
      {2024, 2, 29, 0, 0, 0, 1709164800},   // leap year
      {2023, 2, 29, 0, 0, 0, -1},
      {1900, 2, 29, 0, 0, 0, -1},            // divisible by 100
      {2000, 2, 29, 0, 0, 0, 951782400},     // divisible by 400
      {2100, 2, 29, 0, 0, 0, -1},
      {2200, 2, 29, 0, 0, 0, -1},
      {2400, 2, 29, 12, 0, 0, 13574606400},
      {2024, 2, 30, 0, 0, 0, -1},
      {2026, 4, 31, 0, 0, 0, -1},
      {2026, 6, 31, 0, 0, 0, -1},
      {2026, 9, 31, 0, 0, 0, -1},
      {2026, 11, 31, 0, 0, 0, -1},
      {2026, 12, 31, 23, 59, 59, 1798761599},
      {2026, 13, 1, 0, 0, 0, -1},
      {2026, 0, 1, 0, 0, 0, -1},
      {2026, 1, 0, 0, 0, 0, -1},
      {2026, 1, 32, 0, 0, 0, -1},
      {2026, 1, 1, 24, 0, 0, -1},
      {2026, 1, 1, -1, 0, 0, -1},
      {2026, 1, 1, 0, 60, 0, -1},
      {2026, 1, 1, 0, -1, 0, -1},
      {2026, 1, 1, 0, 0, 60, -1},
      {2026, 1, 1, 0, 0, -1, -1},
      {0, 1, 1, 0, 0, 0, -1},
      {-2026, 1, 1, 0, 0, 0, -1},
      {1970, 1, 1, 0, 30, 0, 1800},
      {1970, 1, 1, 0, 0, 0, 0},
      {1970, 1, 2, 0, 0, 0, 86400},
      {1972, 2, 29, 12, 0, 0, 68212800},
      {2026, 12, 7, 9, 13, 2, 1796634782},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(testing::Message() << r.year << "-" << r.month << "-" << r.day << " " << r.hour << ":"
                                    << r.minute << ":" << r.second);
    EXPECT_EQ(DateFromFields(r.year, r.month, r.day, r.hour, r.minute, r.second), r.value);
  }
}

TEST_F(DateTest, FromFieldsAtTheEdgesOfTheValueRange) {
  const FieldsRow rows[] = {
      {1969, 12, 31, 23, 59, 59, -1},
      {1969, 1, 1, 0, 0, 0, -1},
      {1, 1, 1, 0, 0, 0, -1},
      {2038, 1, 19, 3, 14, 7, INT32_MAX},
      {2038, 1, 19, 3, 14, 8, 2147483648},
      {2038, 1, 20, 0, 0, 0, 2147558400},
      {2106, 2, 7, 6, 28, 16, 4294967296},  // 2^32 seconds: must not wrap to a small value
      {2174, 3, 15, 0, 0, 0, 6443971200},
      {9999, 12, 31, 23, 59, 59, DateLast},
      {10000, 1, 1, 0, 0, 0, -1},
      {INT32_MAX, 12, 31, 23, 59, 59, -1},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.year);
    EXPECT_EQ(DateFromFields(r.year, r.month, r.day, r.hour, r.minute, r.second), r.value);
  }
}

TEST_F(DateTest, ExtractorsOfValuesOutsideTheRangeAreZero) {
  const int64_t values[] = {-1, -2, -86400, INT32_MIN, INT64_MIN, DateLast + 1, INT64_MAX, INT64_C(1) << 38};
  for (int64_t v : values) {
    SCOPED_TRACE(v);
    EXPECT_EQ(DateYear(v), 0);
    EXPECT_EQ(DateMonth(v), 0);
    EXPECT_EQ(DateDay(v), 0);
    EXPECT_EQ(DateHour(v), 0);
    EXPECT_EQ(DateMinute(v), 0);
    EXPECT_EQ(DateSecond(v), 0);
    EXPECT_EQ(DateDayOfWeek(v), 0);
  }
}

TEST_F(DateTest, ExtractorTable) {
  const struct {
    int64_t value;
    int32_t year, month, day, hour, minute, second, weekday;
  } rows[] = {
      {0, 1970, 1, 1, 0, 0, 0, 4},
      {86399, 1970, 1, 1, 23, 59, 59, 4},
      {86400, 1970, 1, 2, 0, 0, 0, 5},
      {68169600, 1972, 2, 29, 0, 0, 0, 2},
      {951868799, 2000, 2, 29, 23, 59, 59, 2},
      {951868800, 2000, 3, 1, 0, 0, 0, 3},
      {1796634782, 2026, 12, 7, 9, 13, 2, 1},
      {1798761599, 2026, 12, 31, 23, 59, 59, 4},
      {INT32_MAX, 2038, 1, 19, 3, 14, 7, 2},
      {2147483648, 2038, 1, 19, 3, 14, 8, 2},
      {4107542399, 2100, 2, 28, 23, 59, 59, 0},  // 2100 is no leap year
      {4107542400, 2100, 3, 1, 0, 0, 0, 1},
      {13574606400, 2400, 2, 29, 12, 0, 0, 2},
      {DateLast, 9999, 12, 31, 23, 59, 59, 5},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.value);
    EXPECT_EQ(DateYear(r.value), r.year);
    EXPECT_EQ(DateMonth(r.value), r.month);
    EXPECT_EQ(DateDay(r.value), r.day);
    EXPECT_EQ(DateHour(r.value), r.hour);
    EXPECT_EQ(DateMinute(r.value), r.minute);
    EXPECT_EQ(DateSecond(r.value), r.second);
    EXPECT_EQ(DateDayOfWeek(r.value), r.weekday);
  }
}

// Every day up to 2200, then every 13th day (all weekdays and days of the
// month) up to the end of 9999, at some second of the day.
int64_t NextDay(int64_t day) {
  return day < 84000 ? day + 1 : day + 13;
}

// Every day splits back into fields that rebuild the value.
TEST_F(DateTest, FieldsRoundTripForEveryDay) {
  int failures = 0;
  for (int64_t day = 0; day * 86400 <= DateLast && failures < 5; day = NextDay(day)) {
    int64_t v = day * 86400 + (day * 7919) % 86400;
    int64_t back = DateFromFields(DateYear(v), DateMonth(v), DateDay(v), DateHour(v), DateMinute(v), DateSecond(v));
    if (back != v) {
      ADD_FAILURE() << "value " << v << " came back as " << back;
      failures++;
    }
  }
}

// The C library's UTC calendar is the independent reference.
TEST_F(DateTest, WeekdayAndFormatAgreeWithTheCLibraryForEveryDay) {
#ifdef _WIN32
  const int64_t last = 32503679999;  // msvcrt's gmtime ends with 3000
#else
  const int64_t last = DateLast;
#endif
  int failures = 0;
  for (int64_t day = 0; day * 86400 <= last && failures < 5; day = NextDay(day)) {
    int64_t v = day * 86400 + (day * 7919) % 86400;
#ifdef _WIN32
    // i686's time_t is 32 bits: the 64-bit call reaches 3000 on both processors.
    __time64_t t = v;
    struct tm *utc = _gmtime64(&t);
#else
    time_t t = static_cast<time_t>(v);
    struct tm *utc = gmtime(&t);
#endif
    ASSERT_NE(utc, nullptr);
    char date[32], clock[32];
    strftime(date, sizeof date, " %d.%m.%Y", utc);
    strftime(clock, sizeof clock, "%H:%M:%S", utc);
    std::string gotDate = Format(" %dd.%mm.%yyyy", v);
    std::string gotClock = Format("%hh:%ii:%ss", v);
    int weekday = DateDayOfWeek(v);
    if (weekday != utc->tm_wday || gotDate != date || gotClock != clock) {
      ADD_FAILURE() << "value " << v << ": weekday " << weekday << " vs " << utc->tm_wday << ", '" << gotDate
                    << "' vs '" << date << "', '" << gotClock << "' vs '" << clock << "'";
      failures++;
    }
  }
}

TEST_F(DateTest, DayOfWeekOfTheEpochAndOfInvalid) {
  EXPECT_EQ(DateDayOfWeek(0), 4);
  EXPECT_EQ(DateDayOfWeek(-1), 0);
}

// ---- DateNow ----

#ifndef _WIN32
TEST_F(DateTest, NowTakesTheLocalFields) {
  const struct {
    PlatformTime local;
    int64_t value;
  } rows[] = {
      {{2026, 12, 7, 9, 13, 2, 0}, 1796634782},
      {{2026, 3, 29, 2, 30, 0, 0}, 1774751400},   // a wall-clock time skipped in Europe
      {{2026, 10, 25, 2, 30, 0, 0}, 1792895400},  // one that happens twice
      {{1970, 1, 1, 0, 0, 0, 0}, 0},
      {{2038, 1, 19, 3, 14, 7, 0}, INT32_MAX},
      {{2038, 1, 19, 3, 14, 8, 0}, 2147483648},
      {{2040, 6, 1, 12, 0, 0, 0}, 2222164800},
      {{9999, 12, 31, 23, 59, 59, 0}, DateLast},
      {{10000, 1, 1, 0, 0, 0, 0}, -1},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.value);
    PlatformSetLocalTime(&r.local);
    int64_t now = DateNow();
    EXPECT_EQ(now, r.value);
    if (now >= 0) {
      EXPECT_EQ(DateYear(now), r.local.year);
      EXPECT_EQ(DateHour(now), r.local.hour);
      EXPECT_EQ(DateMinute(now), r.local.minute);
      EXPECT_EQ(DateDay(now), r.local.day);
    }
  }
}
#endif

// The real clock: DateNow agrees with the platform's local fields read just
// before (retried when a second boundary falls between the readings).
TEST_F(DateTest, NowMatchesTheLocalClock) {
  for (int attempt = 0; attempt < 5; attempt++) {
    PlatformTime before, after;
    PlatformLocalTime(&before);
    int64_t now = DateNow();
    PlatformLocalTime(&after);
    if (before.second != after.second) continue;
    EXPECT_EQ(DateYear(now), before.year);
    EXPECT_EQ(DateMonth(now), before.month);
    EXPECT_EQ(DateDay(now), before.day);
    EXPECT_EQ(DateHour(now), before.hour);
    EXPECT_EQ(DateMinute(now), before.minute);
    EXPECT_EQ(DateSecond(now), before.second);
    return;
  }
  FAIL() << "the clock never held still for one reading";
}

// ---- DateFormat ----

TEST_F(DateTest, FormatTokens) {
  const int64_t monday = 1796634782;  // 2026-12-07 09:13:02
  const struct {
    const char *mask;
    int64_t date;
    const char *expected;
  } rows[] = {
      {" %dd.%mm.%yyyy", monday, " 07.12.2026"},
      {"%hh:%ii:%ss", monday, "09:13:02"},
      {" %hh:%ii:%ss", monday, " 09:13:02"},
      {"%YYYY", monday, "2026"},
      {"%yYyY", monday, "2026"},
      {"%Dd", monday, "07"},
      {"%HH", monday, "09"},
      {"%MM%II%SS", monday, "121302"},
      {"%yy", monday, "26"},
      {"%yyy", monday, "26y"},
      {"%yyyyy", monday, "2026y"},
      {"%%dd", monday, "%07"},
      {"%", monday, "%"},
      {"abc%", monday, "abc%"},
      {"%x", monday, "%x"},
      {"%m", monday, "%m"},
      {"%m.", monday, "%m."},
      {"%y", monday, "%y"},
      {"%h%i%s", monday, "%h%i%s"},
      {"100%", monday, "100%"},
      {"%%%", monday, "%%%"},
      {"%\xFF\xFF", monday, "%\xFF\xFF"},
      {"\xDC%dd\xFC", monday, "\xDC" "07\xFC"},
      {"%dd%dd", 0, "0101"},
      {"plain text", monday, "plain text"},
      {"", monday, ""},
      {nullptr, monday, ""},
      {" %dd.%mm.%yyyy", -1, " 00.00.0000"},
      {"%hh:%ii:%ss", -1, "00:00:00"},
      {"%yy", -1, "00"},
      {"%yyyy", INT32_MIN, "0000"},
      {"%yyyy-%mm-%dd %hh:%ii:%ss", INT32_MAX, "2038-01-19 03:14:07"},
      {"%yyyy-%mm-%dd %hh:%ii:%ss", 2147483648, "2038-01-19 03:14:08"},
      {"%yyyy-%mm-%dd %hh:%ii:%ss", 4107542400, "2100-03-01 00:00:00"},
      {" %dd.%mm.%yyyy", 951782400, " 29.02.2000"},
      {" %dd.%mm.%yyyy %yy", 13574606400, " 29.02.2400 00"},
      {"%yyyy-%mm-%dd %hh:%ii:%ss", DateLast, "9999-12-31 23:59:59"},
      {"%yyyy-%mm-%dd %hh:%ii:%ss", DateLast + 1, "0000-00-00 00:00:00"},
      {"%yyyy-%mm-%dd %hh:%ii:%ss", 0, "1970-01-01 00:00:00"},
      {"%yy", 946684800, "00"},  // 2000
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.mask ? r.mask : "(null)");
    EXPECT_EQ(Format(r.mask, r.date), r.expected);
  }
}

TEST_F(DateTest, FormatContinuesTheOuterExpression) {
  int32_t mark = StrTempTop();
  StrAppend("[");
  DateFormat("%dd", 0, StrTempTop());
  StrAppend("]");
  char *value = nullptr;
  StrStore(&value, mark);
  EXPECT_STREQ(value, "[01]");
  EXPECT_EQ(StrTempTop(), mark);
}

TEST_F(DateTest, FormatBeyondTheFirstReservation) {
  const struct {
    const char *piece;
    int count;
    const char *out;
  } rows[] = {
      {"a", 4095, "a"},
      {"a", 4096, "a"},
      {"a", 10000, "a"},
      {"%yyyy", 3000, "2026"},       // 12000 bytes of output
      {"%dd.", 5000, "07."},
      {"%%", 4000, "%%"},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(testing::Message() << r.piece << " x " << r.count);
    std::string mask, expected;
    for (int i = 0; i < r.count; i++) {
      mask += r.piece;
      expected += r.out;
    }
    EXPECT_EQ(Format(mask.c_str(), 1796634782), expected);
  }
}

// Tokens around the point where the first reservation could run out.
TEST_F(DateTest, FormatTokensAroundTheFirstReservationsEnd) {
  for (int prefix = 4080; prefix <= 4100; prefix++) {
    SCOPED_TRACE(prefix);
    std::string mask(static_cast<size_t>(prefix), '.');
    mask += "%yyyy%dd%%%hh%";
    std::string expected(static_cast<size_t>(prefix), '.');
    expected += "202607%%09%";
    EXPECT_EQ(Format(mask.c_str(), 1796634782), expected);
  }
}

// The mask is itself a temporary, just below the output position, and the
// reservation moves the area; without a runtime heap the mask is read in
// place.
TEST_F(DateTest, FormatOfAMaskInsideTheArea) {
  for (int heap = 0; heap < 2; heap++) {
    SCOPED_TRACE(heap ? "mask copied" : "mask read in place");
    StrInit();
    PlatformHeap saved = RuntimeHeap;
    if (!heap) RuntimeHeap = nullptr;
    StrAppend("%hh:%ii:%ss");
    ASSERT_EQ(StrTempCapacity(), 16);
    int32_t at = StrTempTop();
    DateFormat(StrTempBase(), 1796634782, at);
    EXPECT_GT(StrTempCapacity(), 16);
    EXPECT_EQ(std::string(StrTempBase() + at), "09:13:02");
    EXPECT_EQ(std::string(StrTempBase(), static_cast<size_t>(at)), "%hh:%ii:%ss");
    // A mask written at the output position itself.
    StrTempSetTop(0);
    StrAppend(" %dd.%mm.%yyyy");
    DateFormat(StrTempBase(), 1796634782, 0);
    EXPECT_EQ(std::string(StrTempBase()), " 07.12.2026");
    // A long one, formatted in several reservations.
    StrTempSetTop(0);
    std::string mask, expected;
    for (int i = 0; i < 2000; i++) {
      mask += "%yyyy-%HH;";
      expected += "2026-09;";
    }
    StrAppend(mask.c_str());
    at = StrTempTop();
    DateFormat(StrTempBase(), 1796634782, at);
    EXPECT_EQ(std::string(StrTempBase() + at), expected);
    EXPECT_EQ(std::string(StrTempBase(), static_cast<size_t>(at)), mask);
    RuntimeHeap = saved;
  }
}

// Only a mask inside the temporary area's block is copied into the runtime
// heap, and the copy is freed again. A released temporary above the top is
// inside too: the reservation moves the area under it.
TEST_F(DateTest, FormatCopiesOnlyAMaskInsideTheArea) {
  StrAppend("%hh:%ii:%ss");
  enum Where { Literal, BelowTop, AboveTop, Null };
  const struct {
    Where where;
    int64_t heapCalls;
    const char *expected;
  } rows[] = {{Literal, 0, "00:00:00"}, {BelowTop, 2, "00:00:00"}, {AboveTop, 2, "hh:00:00"}, {Null, 0, ""}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.where);
    PlatformHeapStats before, after;
    PlatformHeapGetStats(RuntimeHeap, &before);
    const char *mask = row.where == Literal ? "%hh:%ii:%ss" : row.where == Null ? nullptr : StrTempBase();
    int32_t at = StrTempTop();
    if (row.where == AboveTop) {
      // The temporary at 0 is released (its first byte becomes the
      // terminator); its rest is the mask, and the output lies beyond the
      // capacity, so the area grows and moves.
      StrTempSetTop(0);
      mask = StrTempBase() + 1;
      at = StrTempCapacity();
    }
    DateFormat(mask, 0, at);
    EXPECT_EQ(std::string(StrTempBase() + at), row.expected);
    StrTempSetTop(at);
    PlatformHeapGetStats(RuntimeHeap, &after);
    EXPECT_EQ(after.allocCalls - before.allocCalls, row.heapCalls / 2);
    EXPECT_EQ(after.freeCalls - before.freeCalls, row.heapCalls / 2);
    EXPECT_EQ(after.liveBlocks, before.liveBlocks);
  }
}

}  // namespace
