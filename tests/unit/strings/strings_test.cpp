#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

#include "runtime/strings/strings.h"
#include "runtime/strings/strings.h"

namespace {

// Every test starts with a fresh string heap and a 16-byte area.
class StringTest : public ::testing::Test {
 protected:
  void SetUp() override { StrInit(); }
};

std::string Temp(int32_t from) {
  return std::string(StrTempBase() + from);
}

// ---- Temporary area ----

TEST_F(StringTest, FreshAreaIsEmptyWithCapacity16) {
  EXPECT_EQ(StrTempTop(), 0);
  EXPECT_EQ(StrTempCapacity(), 16);
  ASSERT_NE(StrTempBase(), nullptr);
  EXPECT_EQ(StrTempBase()[0], 0);
}

TEST_F(StringTest, FirstAppendGrowsFromTwelveBytes) {
  const struct {
    int32_t length;
    int32_t capacity;
  } rows[] = {
      {0, 16}, {1, 16}, {11, 16}, {12, 12 + 16384}, {13, 13 + 16384}, {100, 100 + 16384},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.length);
    StrInit();
    std::string text(static_cast<size_t>(row.length), 'q');
    StrAppend(text.c_str());
    EXPECT_EQ(StrTempCapacity(), row.capacity);
    EXPECT_EQ(StrTempTop(), row.length);
    EXPECT_EQ(Temp(0), text);
  }
}

TEST_F(StringTest, ReserveGrowsWhenNeedReachesCapacityMinusFour) {
  // need = top + n, whatever the position.
  const struct {
    int32_t top, n, at;
    int32_t capacity;
  } rows[] = {
      {0, 11, 0, 16},           // need 11 < 12
      {0, 12, 0, 12 + 16384},   // need 12 = capacity - 4
      {5, 6, 5, 16},            // need 11
      {5, 7, 5, 12 + 16384},    // need 12
      {10, 2, 0, 12 + 16384},   // need counts from top, not from at
      {10, 1, 0, 16},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(testing::Message() << row.top << "+" << row.n << "@" << row.at);
    StrInit();
    StrTempSetTop(row.top);
    char *p = StrTempReserve(row.n, row.at);
    EXPECT_EQ(p, StrTempBase() + row.at);
    EXPECT_EQ(StrTempTop(), row.at + row.n);
    EXPECT_EQ(StrTempCapacity(), row.capacity);
  }
}

TEST_F(StringTest, GrownAreaKeepsContentAndFiveBytesBeyondCapacity) {
  StrAppend("keep");
  int32_t top = StrTempTop();
  StrTempReserve(20, top);
  EXPECT_EQ(StrTempCapacity(), 24 + 16384);
  EXPECT_EQ(std::string(StrTempBase(), 4), "keep");
  // The block is capacity + 5 bytes: all of them are writable (ASan checks).
  memset(StrTempBase(), 'x', static_cast<size_t>(StrTempCapacity()) + 5);
}

TEST_F(StringTest, AreaNeverShrinks) {
  StrTempReserve(100, 0);
  int32_t capacity = StrTempCapacity();
  StrTempSetTop(0);
  StrAppend("a");
  EXPECT_EQ(StrTempCapacity(), capacity);
}

TEST_F(StringTest, ReleaseAndSetTop) {
  StrAppend("abcdef");
  StrTempRelease(2);
  EXPECT_EQ(StrTempTop(), 4);
  EXPECT_EQ(StrTempBase()[4], 'e');  // release leaves the bytes
  StrTempSetTop(3);
  EXPECT_EQ(StrTempTop(), 3);
  EXPECT_EQ(Temp(0), "abc");
}

TEST_F(StringTest, SetTopBeyondCapacityGrowsTheArea) {
  StrTempSetTop(40);
  EXPECT_GT(StrTempCapacity() - 4, 40);
  EXPECT_EQ(StrTempBase()[40], 0);
}

TEST_F(StringTest, FindCoversTheAreaUpToTheTerminator) {
  StrAppend("abcdef");
  char *base = StrTempBase();
  const struct {
    const char *p;
    int32_t found;
  } rows[] = {
      {base, 1}, {base + 3, 4}, {base + 6, 7},  // the terminator position counts
      {base + 7, 0}, {base - 1, 0}, {nullptr, 0}, {"abcdef", 0},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
    SCOPED_TRACE(i);
    EXPECT_EQ(StrTempFind(rows[i].p), rows[i].found);
    if (rows[i].found) {
      EXPECT_EQ(StrTempAt(rows[i].found), rows[i].p);
    }
  }
}

// ---- Assignment, appending, storing ----

TEST_F(StringTest, AppendNullOnlyRewritesTheTerminator) {
  StrAppend("abc");
  StrTempBase()[3] = 'x';
  int32_t capacity = StrTempCapacity();
  StrAppend(nullptr);
  EXPECT_EQ(StrTempTop(), 3);
  EXPECT_EQ(StrTempCapacity(), capacity);
  EXPECT_EQ(Temp(0), "abc");
}

TEST_F(StringTest, StoreOfEmptyTemporaryIsNonNullEmpty) {
  char *v = nullptr;
  StrStore(&v, StrTempTop());
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v[0], 0);
  EXPECT_EQ(StrLen(v), 0);
  StrAssign(&v, nullptr);
  EXPECT_EQ(v, nullptr);
  EXPECT_EQ(StrLen(v), 0);
}

TEST_F(StringTest, StoreMovesTheTemporaryAndLowersTop) {
  StrAppend("keep ");
  int32_t mark = StrTempTop();
  StrAppend("hello");
  StrAppend(" world");
  char *v = nullptr;
  StrStore(&v, mark);
  EXPECT_STREQ(v, "hello world");
  EXPECT_EQ(StrTempTop(), mark);
  EXPECT_EQ(Temp(0), "keep ");  // the outer text is terminated again
}

TEST_F(StringTest, AssignReallocatesToLengthPlusFive) {
  PlatformHeapStats before, after;
  char *v = nullptr;
  PlatformHeapGetStats(StrLibrary.heap, &before);
  StrAssign(&v, "abcdef");
  PlatformHeapGetStats(StrLibrary.heap, &after);
  EXPECT_STREQ(v, "abcdef");
  EXPECT_EQ(after.allocCalls - before.allocCalls, 1);
  EXPECT_EQ(after.liveBytes - before.liveBytes, 6 + 5);

  const struct {
    const char *text;
  } rows[] = {{"ab"}, {""}, {"a much longer text than before"}, {"x"}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.text);
    PlatformHeapGetStats(StrLibrary.heap, &before);
    StrAssign(&v, row.text);
    PlatformHeapGetStats(StrLibrary.heap, &after);
    EXPECT_STREQ(v, row.text);
    EXPECT_EQ(after.allocCalls, before.allocCalls);  // the block is re-allocated
    EXPECT_EQ(after.freeCalls, before.freeCalls);
    EXPECT_EQ(after.reallocCalls - before.reallocCalls, 1);
  }
  StrAssign(&v, "abc");
  v[3 + 4] = 'z';  // room for the length plus 5 (ASan checks)
  PlatformHeapGetStats(StrLibrary.heap, &before);
  StrAssign(&v, nullptr);
  PlatformHeapGetStats(StrLibrary.heap, &after);
  EXPECT_EQ(after.freeCalls - before.freeCalls, 1);
}

TEST_F(StringTest, StoreReallocatesTheVariablesBlock) {
  char *v = nullptr;
  StrAssign(&v, "old");
  PlatformHeapStats before, after;
  PlatformHeapGetStats(StrLibrary.heap, &before);
  int32_t mark = StrTempTop();
  StrAppend("new text");
  StrStore(&v, mark);
  PlatformHeapGetStats(StrLibrary.heap, &after);
  EXPECT_STREQ(v, "new text");
  EXPECT_EQ(after.allocCalls, before.allocCalls);
  EXPECT_EQ(after.liveBytes - before.liveBytes, 5);  // 8 + 5 instead of 3 + 5
}

// A text of the length the variable already holds fits its block as it is.
TEST_F(StringTest, SameLengthKeepsTheBlock) {
  char *v = nullptr;
  StrAssign(&v, "09:13:02");
  char *block = v;
  PlatformHeapStats before, after;
  PlatformHeapGetStats(StrLibrary.heap, &before);
  StrAssign(&v, "09:13:03");
  int32_t mark = StrTempTop();
  StrAppend("09:13:04");
  StrStore(&v, mark);
  PlatformHeapGetStats(StrLibrary.heap, &after);
  EXPECT_EQ(v, block);
  EXPECT_STREQ(v, "09:13:04");
  EXPECT_EQ(after.reallocCalls, before.reallocCalls);
  EXPECT_EQ(after.allocCalls, before.allocCalls);
  v[8 + 4] = 'z';  // still room for the length plus 5 (ASan checks)
}

TEST_F(StringTest, AssignFromItsOwnBlock) {
  char *v = nullptr;
  StrAssign(&v, "abcdef");
  StrAssign(&v, v + 2);
  EXPECT_STREQ(v, "cdef");
  StrAssign(&v, v);
  EXPECT_STREQ(v, "cdef");
  StrAssign(&v, v + 4);
  EXPECT_STREQ(v, "");
}

TEST_F(StringTest, EqualTreatsNullAsEmptyAndComparesEveryByte) {
  const struct {
    const char *a, *b;
    int equal;
  } rows[] = {
      {nullptr, nullptr, 1}, {nullptr, "", 1}, {"", nullptr, 1}, {"", "", 1},
      {"a", "A", 0}, {"ab", "a", 0}, {"a", "ab", 0}, {"abc", "abc", 1},
      {nullptr, "a", 0}, {"12:30:00", "12:30:00", 1}, {"12:30:00", "12:30:01", 0},
      {"\xFC", "\xDC", 0}, {"\xFC", "\xFC", 1},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(testing::Message() << (row.a ? row.a : "(null)") << " vs " << (row.b ? row.b : "(null)"));
    EXPECT_EQ(StrEqual(row.a, row.b), row.equal);
  }
}

TEST_F(StringTest, NestedExpressionsContinueTheOuterOne) {
  int32_t outer = StrTempTop();
  StrAppend("x=");
  int32_t inner = StrTempTop();
  StrAppend("ab");
  StrAppend("cd");
  char *innerValue = nullptr;
  StrStore(&innerValue, inner);
  StrAppend("<");
  StrMid("abcdef", 3, 2, StrTempTop());
  StrAppend(">");
  StrLeft("12345", 2, StrTempTop());
  StrRight("12345", 2, StrTempTop());
  char *outerValue = nullptr;
  StrStore(&outerValue, outer);
  EXPECT_STREQ(innerValue, "abcd");
  EXPECT_STREQ(outerValue, "x=<cd>1245");
  EXPECT_EQ(StrTempTop(), outer);
}

TEST_F(StringTest, ArgumentProtocolCoversTheTerminator) {
  int32_t mark = StrTempTop();
  StrAppend("arg");
  StrTempSetTop(StrTempTop() + 1);  // over the argument's terminator
  const char *argument = StrTempBase() + mark;
  // A temporary made inside the callee lands after the argument.
  int32_t inner = StrTempTop();
  StrAppend("inside");
  EXPECT_STREQ(StrTempBase() + mark, "arg");
  EXPECT_STREQ(StrTempBase() + inner, "inside");
  EXPECT_EQ(StrTempFind(argument), mark + 1);
  StrTempSetTop(mark);
  EXPECT_EQ(StrTempTop(), mark);
}

// ---- Pieces ----

struct PieceRow {
  const char *text;
  int32_t start, n;
  const char *expected;
};

TEST_F(StringTest, LeftTable) {
  const PieceRow rows[] = {
      {"abcdef", 0, 2, "ab"}, {"abcdef", 0, 0, ""}, {"abcdef", 0, -1, ""}, {"abcdef", 0, INT32_MIN, ""},
      {"abcdef", 0, 6, "abcdef"}, {"abcdef", 0, 7, "abcdef"}, {"abcdef", 0, INT32_MAX, "abcdef"},
      {"", 0, 3, ""}, {nullptr, 0, 3, ""}, {nullptr, 0, 0, ""},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(testing::Message() << (row.text ? row.text : "(null)") << ", " << row.n);
    StrAppend("pre");
    int32_t at = StrTempTop();
    char *p = StrLeft(row.text, row.n, at);
    EXPECT_EQ(p, StrTempBase() + at);
    EXPECT_STREQ(p, row.expected);
    EXPECT_EQ(StrTempTop(), at + static_cast<int32_t>(strlen(row.expected)));
    EXPECT_EQ(StrTempBase()[StrTempTop()], 0);
    EXPECT_EQ(std::string(StrTempBase(), 3), "pre");
    StrTempSetTop(0);
  }
}

TEST_F(StringTest, RightTable) {
  const PieceRow rows[] = {
      {"abcdef", 0, 2, "ef"}, {"abcdef", 0, 0, ""}, {"abcdef", 0, -5, ""}, {"abcdef", 0, 6, "abcdef"},
      {"abcdef", 0, 9, "abcdef"}, {"abcdef", 0, INT32_MAX, "abcdef"}, {"a", 0, 1, "a"},
      {"", 0, 2, ""}, {nullptr, 0, 2, ""},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(testing::Message() << (row.text ? row.text : "(null)") << ", " << row.n);
    int32_t at = StrTempTop();
    char *p = StrRight(row.text, row.n, at);
    EXPECT_STREQ(p, row.expected);
    EXPECT_EQ(StrTempTop(), at + static_cast<int32_t>(strlen(row.expected)));
    StrTempSetTop(0);
  }
}

TEST_F(StringTest, MidTable) {
  const PieceRow rows[] = {
      {"abcdef", 3, 2, "cd"}, {"abcdef", 1, 2, "ab"}, {"abcdef", 0, 2, "ab"}, {"abcdef", -7, 2, "ab"},
      {"abcdef", INT32_MIN, 3, "abc"}, {"abcdef", 6, 5, "f"}, {"abcdef", 7, 1, ""}, {"abcdef", 8, 1, ""},
      {"abcdef", INT32_MAX, 1, ""}, {"abcdef", 3, 0, ""}, {"abcdef", 3, -1, ""},
      {"abcdef", 2, INT32_MAX, "bcdef"}, {"abcdef", 1, 6, "abcdef"}, {"", 1, 3, ""}, {nullptr, 1, 3, ""},
      {"12:30:15", 4, 2, "30"}, {"123015", 3, 2, "30"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(testing::Message() << (row.text ? row.text : "(null)") << ", " << row.start << ", " << row.n);
    int32_t at = StrTempTop();
    char *p = StrMid(row.text, row.start, row.n, at);
    EXPECT_STREQ(p, row.expected);
    EXPECT_EQ(StrTempTop(), at + static_cast<int32_t>(strlen(row.expected)));
    EXPECT_EQ(StrTempBase()[StrTempTop()], 0);
    StrTempSetTop(0);
  }
}

TEST_F(StringTest, MidWithHugeCountDoesNotGrowTheArea) {
  StrMid("abcdef", 2, INT32_MAX, 0);
  EXPECT_EQ(StrTempCapacity(), 16);
  EXPECT_EQ(Temp(0), "bcdef");
  StrTempSetTop(0);
  StrMid("abcdef", 9, INT32_MAX - 1, 0);
  EXPECT_EQ(StrTempCapacity(), 16);
  EXPECT_EQ(StrTempTop(), 0);
}

// A text that lies in the area while the piece's reservation moves the area
// (under ASan the old block is poisoned, so a stale pointer is caught).
TEST_F(StringTest, PiecesOfTextsInsideTheMovingArea) {
  enum Op { Left, Right, Mid, Append };
  const struct {
    Op op;
    int32_t start, n;
    const char *expected;
  } rows[] = {
      {Left, 0, 9, "abcdefghi"},
      {Right, 0, 9, "bcdefghij"},
      {Mid, 2, 9, "bcdefghij"},
      {Append, 0, 0, "abcdefghij"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.op);
    StrInit();
    StrAppend("abcdefghij");  // 10 bytes: fits the fresh 16-byte area
    ASSERT_EQ(StrTempCapacity(), 16);
    const char *inside = StrTempBase();
    int32_t at = StrTempTop();
    switch (row.op) {
      case Left: StrLeft(inside, row.n, at); break;
      case Right: StrRight(inside, row.n, at); break;
      case Mid: StrMid(inside, row.start, row.n, at); break;
      case Append: StrAppend(inside); break;
    }
    EXPECT_GT(StrTempCapacity(), 16);  // the area was re-allocated
    EXPECT_EQ(Temp(at), row.expected);
    EXPECT_EQ(std::string(StrTempBase(), 10), "abcdefghij");
  }
}

TEST_F(StringTest, PieceWrittenOverItsOwnText) {
  // The text is the temporary at the output position itself.
  StrAppend("abcdef");
  StrRight(StrTempBase(), 3, 0);
  EXPECT_EQ(Temp(0), "def");
  StrMid(StrTempBase(), 2, 1, 0);
  EXPECT_EQ(Temp(0), "e");
}

// ---- Length and value ----

TEST_F(StringTest, LengthTable) {
  const struct {
    const char *text;
    int32_t length;
  } rows[] = {{nullptr, 0}, {"", 0}, {"a", 1}, {"12:30:00", 8}, {"\xFC\xE4", 2}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.length);
    EXPECT_EQ(StrLen(row.text), row.length);
  }
}

TEST_F(StringTest, ValTable) {
  const struct {
    const char *text;
    int64_t value;
  } rows[] = {
      {nullptr, 0}, {"", 0}, {"7", 7}, {"7a", 7}, {" 7", 7}, {"\t-12", -12}, {" \t \t42", 42},
      {"+3", 3}, {"-", 0}, {"- 5", 0}, {"--5", 0}, {"+-5", 0}, {"-+5", 0}, {"12 34", 12},
      {"$ff", 255}, {"$FF", 255}, {"$fF", 255}, {"$", 0}, {"$g1", 0}, {"$1g", 1}, {"-$10", -16},
      {"%101", 5}, {"%102", 2}, {"%2", 0}, {"-%11", -3}, {"0x1F", 0}, {"007", 7}, {"\n7", 0},
      {"\xB2", 0}, {"1\xB9", 1}, {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN}, {"9223372036854775808", INT64_MIN},
      {"18446744073709551615", -1}, {"18446744073709551616", 0},
      {"99999999999999999999", 7766279631452241919LL}, {"$FFFFFFFFFFFFFFFF", -1},
      {"$10000000000000001", 1}, {"%1111111111111111111111111111111111111111111111111111111111111111", -1},
      {"12:30", 12}, {"ab", 0},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.text ? row.text : "(null)");
    EXPECT_EQ(StrVal(row.text), row.value);
  }
}

TEST_F(StringTest, ValLowThirtyTwoBits) {
  EXPECT_EQ(static_cast<int32_t>(StrVal("99999999999999999999")), 1661992959);
  EXPECT_EQ(static_cast<int32_t>(StrVal("4294967295")), -1);
  EXPECT_EQ(static_cast<int32_t>(StrVal("4294967296")), 0);
  EXPECT_EQ(static_cast<int32_t>(StrVal("-2147483649")), 2147483647);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
TEST_F(StringTest, AreaBeyondTwoGigabytesIsOutOfMemory) {
  StrAppend("abc");
  EXPECT_DEATH(StrTempReserve(INT32_MAX, 3), "");
  EXPECT_DEATH(StrTempReserve(INT32_MAX - 16384, 3), "");
}
#endif

}  // namespace
