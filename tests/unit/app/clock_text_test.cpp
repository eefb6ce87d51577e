#include <stdio.h>
#include <string.h>

#include <string>

#include "app/clock_text.h"
#include "clock_fixture.h"
#include "runtime/date/date.h"

namespace {

using ClockTextTest = ClockFixture;

// A clock that returns the queued readings one after the other.
int32_t readings[8];
int readingCount;
int readingNext;

void QueueReadings(std::initializer_list<int32_t> values) {
  readingCount = 0;
  readingNext = 0;
  for (int32_t v : values) readings[readingCount++] = v;
}

int32_t NextReading(void) {
  int32_t v = readings[readingNext < readingCount ? readingNext : readingCount - 1];
  readingNext++;
  return v;
}

const int32_t Monday = 1796634782;  // Monday 2026-12-07 09:13:02

TEST_F(ClockTextTest, MondayWithoutAlarm) {
  state.alarmWanted = 0;
  QueueReadings({Monday});
  ClockTextBuildWith(&state, NextReading);
  EXPECT_EQ(std::string(state.clockText), "Montag\r 07.12.2026\r09:13:02");
  EXPECT_EQ(state.weekday, 1);
  EXPECT_STREQ(state.weekdayName, "Montag");
  EXPECT_EQ(readingNext, 3);  // weekday, date line and time line read anew
  EXPECT_EQ(StrTempTop(), 0);
}

TEST_F(ClockTextTest, MondayWithAlarm) {
  StrAssign(&state.alarmTime, "12:30:00");
  QueueReadings({Monday});
  ClockTextBuildWith(&state, NextReading);
  const char expected[] = {'M', 'o', 'n', 't', 'a', 'g', 13, ' ', '0', '7', '.', '1', '2', '.', '2', '0', '2',
                           '6', 13, ' ', '0', '9', ':', '1', '3', ':', '0', '2', 13, ' ', '*', '1', '2', ':',
                           '3', '0', ':', '0', '0', '*'};
  EXPECT_EQ(std::string(state.clockText), std::string(expected, sizeof expected));
  EXPECT_EQ(strchr(state.clockText, '\n'), nullptr);
  EXPECT_EQ(StrTempTop(), 0);
}

TEST_F(ClockTextTest, AlarmLineShowsTheTimeAsNormalised) {
  const struct {
    const char *alarmTime;
    const char *line;
  } rows[] = {{"12.30:00", "\r *12.30:00*"}, {"7::00:00", "\r *7::00:00*"}, {nullptr, "\r **"}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.line);
    StrAssign(&state.alarmTime, row.alarmTime);
    QueueReadings({Monday});
    ClockTextBuildWith(&state, NextReading);
    std::string text(state.clockText);
    ASSERT_GE(text.size(), strlen(row.line));
    EXPECT_EQ(text.substr(text.size() - strlen(row.line)), row.line);
  }
}

TEST_F(ClockTextTest, WeekdayNamesForAWeek) {
  const char *names[] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
  state.alarmWanted = 0;
  for (int i = 0; i < 7; i++) {
    SCOPED_TRACE(names[i]);
    QueueReadings({Monday + i * 86400});
    ClockTextBuildWith(&state, NextReading);
    EXPECT_EQ(state.weekday, (i + 1) % 7);
    EXPECT_STREQ(state.weekdayName, names[i]);
    EXPECT_EQ(std::string(state.clockText).substr(0, strlen(names[i]) + 1), std::string(names[i]) + "\r");
  }
}

// At midnight the three readings may straddle the day: each line shows its
// own reading.
TEST_F(ClockTextTest, ReadingsAcrossMidnight) {
  const int32_t sundayLast = DateFromFields(2026, 12, 6, 23, 59, 59);
  state.alarmWanted = 0;
  QueueReadings({sundayLast, sundayLast + 1, sundayLast + 1});
  ClockTextBuildWith(&state, NextReading);
  EXPECT_EQ(std::string(state.clockText), "Sonntag\r 07.12.2026\r00:00:00");
  QueueReadings({sundayLast + 1});
  ClockTextBuildWith(&state, NextReading);
  EXPECT_EQ(std::string(state.clockText), "Montag\r 07.12.2026\r00:00:00");
}

TEST_F(ClockTextTest, TextBuiltInsideAnOuterExpression) {
  state.alarmWanted = 0;
  int32_t mark = StrTempTop();
  StrAppend("outer");
  QueueReadings({Monday});
  ClockTextBuildWith(&state, NextReading);
  EXPECT_EQ(std::string(state.clockText), "Montag\r 07.12.2026\r09:13:02");
  EXPECT_EQ(StrTempTop(), mark + 5);
  EXPECT_EQ(std::string(StrTempBase() + mark), "outer");
}

TEST_F(ClockTextTest, AlarmDueTable) {
  const struct {
    const char *alarmTime;
    int32_t alarmWanted, inputError;
    int32_t now;
    int due;
  } rows[] = {
      {"09:13:02", 1, 0, Monday, 1},
      {"09:13:03", 1, 0, Monday, 0},
      {"09:13:01", 1, 0, Monday, 0},
      {"09:13:02", 0, 0, Monday, 0},   // no alarm
      {"09:13:02", 1, 1, Monday, 0},   // error not yet shown
      {"9:13:02", 1, 0, Monday, 0},
      {"09:13:02 ", 1, 0, Monday, 0},
      {"24:00:00", 1, 0, DateFromFields(2026, 12, 8, 0, 0, 0), 0},  // never fires
      {"00:00:00", 1, 0, DateFromFields(2026, 12, 8, 0, 0, 0), 1},
      {"00:00:00", 1, 0, -1, 1},       // an invalid reading formats as zeros
      {nullptr, 1, 0, Monday, 0},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
    SCOPED_TRACE(i);
    StrAssign(&state.alarmTime, rows[i].alarmTime);
    state.alarmWanted = rows[i].alarmWanted;
    state.inputError = rows[i].inputError;
    QueueReadings({rows[i].now});
    EXPECT_EQ(ClockAlarmDueWith(&state, NextReading), rows[i].due);
    EXPECT_EQ(StrTempTop(), 0);
  }
}

TEST_F(ClockTextTest, AlarmMessageText) {
  const struct {
    const char *name;
    const char *expected;
  } rows[] = {
      {"Alarm wurde ausgel\xF6st!", "12:30:00\r\rAlarm wurde ausgel\xF6st!"},
      {"", "12:30:00\r\r"},
      {nullptr, "12:30:00\r\r"},
      {"Tee", "12:30:00\r\rTee"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.expected);
    StrAssign(&state.alarmTime, "12:30:00");
    StrAssign(&state.alarmName, row.name);
    StrAppend("x");
    int32_t at = StrTempTop();
    char *text = ClockAlarmMessage(&state, at);
    EXPECT_EQ(text, StrTempBase() + at);
    EXPECT_EQ(std::string(text), row.expected);
    EXPECT_EQ(StrTempTop(), at + static_cast<int32_t>(strlen(row.expected)));
    StrTempSetTop(0);
  }
}

// Sakamoto's weekday of a Gregorian date, 0 = Sunday: an independent check.
int WeekdayOf(int year, int month, int day) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

// The real clock through the platform layer.
#ifndef _WIN32
TEST_F(ClockTextTest, BuildReadsTheLocalClock) {
  const PlatformTime monday = {2026, 12, 7, 9, 13, 2};
  PlatformSetLocalTime(&monday);
  state.alarmWanted = 0;
  ClockTextBuild(&state);
  EXPECT_EQ(std::string(state.clockText), "Montag\r 07.12.2026\r09:13:02");
  StrAssign(&state.alarmTime, "09:13:02");
  state.alarmWanted = 1;
  EXPECT_EQ(ClockAlarmDue(&state), 1);
}
#endif

TEST_F(ClockTextTest, BuildAgreesWithTheLocalClock) {
  state.alarmWanted = 0;
  for (int attempt = 0; attempt < 5; attempt++) {
    PlatformTime before, after;
    PlatformLocalTime(&before);
    ClockTextBuild(&state);
    PlatformLocalTime(&after);
    if (before.second != after.second) continue;
    char expected[64];
    snprintf(expected, sizeof expected, "%s\r %02d.%02d.%04d\r%02d:%02d:%02d",
             WeekdayNames[WeekdayOf(before.year, before.month, before.day)], before.day, before.month, before.year, before.hour,
             before.minute, before.second);
    EXPECT_EQ(std::string(state.clockText), expected);
    return;
  }
  FAIL() << "the clock never held still for one pass";
}

}  // namespace
