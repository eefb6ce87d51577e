#include <stdio.h>
#include <string.h>

#include <string>

#include "app/alarm_entry.h"
#include "app/clock_text.h"
#include "app/clock_tick.h"
#include "clock_fixture.h"
#include "runtime/date/date.h"

namespace {

using ClockTextTest = ClockFixture;

// A clock that returns the queued readings one after the other.
int64_t readings[8];
int readingCount;
int readingNext;

void QueueReadings(std::initializer_list<int64_t> values) {
  readingCount = 0;
  readingNext = 0;
  for (int64_t v : values) readings[readingCount++] = v;
}

int64_t NextReading(void) {
  int64_t v = readings[readingNext < readingCount ? readingNext : readingCount - 1];
  readingNext++;
  return v;
}

const int64_t Monday = 1796634782;  // Monday 2026-12-07 09:13:02

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
  const int64_t sundayLast = DateFromFields(2026, 12, 6, 23, 59, 59);
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

// Local wall-clock readings; Europe/Berlin puts the clock forward on
// 2027-03-28 (02:00 becomes 03:00) and back on 2026-10-25 (03:00 becomes
// 02:00 again).
int64_t At(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  return DateFromFields(year, month, day, hour, minute, second);
}

// The alarm time is accepted at "armed" (-1: an invalid reading); a pass
// reads "previous", which rings nothing, then one reads "reading".
TEST_F(ClockTextTest, AlarmDueTable) {
  const int64_t morning = At(2026, 12, 7, 10, 0, 0);
  const struct {
    const char *entry;
    int64_t armed, previous, reading;
    int64_t due;  // after the reading
    int rings;
  } rows[] = {
      {"10:30", morning, At(2026, 12, 7, 10, 29, 59), At(2026, 12, 7, 10, 30, 0), At(2026, 12, 7, 10, 30, 0), 1},
      {"10:30", morning, At(2026, 12, 7, 10, 29, 58), At(2026, 12, 7, 10, 29, 59), At(2026, 12, 7, 10, 30, 0), 0},
      {"10:30", morning, At(2026, 12, 7, 10, 29, 59), At(2026, 12, 7, 10, 30, 3), At(2026, 12, 7, 10, 30, 0), 1},  // held 3 s
      {"10:30", morning, At(2026, 12, 7, 10, 1, 0), At(2026, 12, 7, 15, 1, 0), At(2026, 12, 7, 10, 30, 0), 1},  // asleep 5 h
      {"9", morning, morning, At(2026, 12, 7, 23, 59, 59), At(2026, 12, 8, 9, 0, 0), 0},  // passed: tomorrow
      {"9", morning, At(2026, 12, 8, 8, 59, 59), At(2026, 12, 8, 9, 0, 0), At(2026, 12, 8, 9, 0, 0), 1},
      {"000010", At(2026, 12, 31, 23, 59, 0), At(2026, 12, 31, 23, 59, 59), At(2027, 1, 1, 0, 0, 10),
       At(2027, 1, 1, 0, 0, 10), 1},  // over midnight and the year
      {"02:30", At(2027, 3, 28, 1, 59, 30), At(2027, 3, 28, 1, 59, 59), At(2027, 3, 28, 3, 0, 0),
       At(2027, 3, 28, 2, 30, 0), 1},  // a time the spring night skips
      {"02:30", At(2026, 10, 25, 1, 50, 0), At(2026, 10, 25, 2, 29, 59), At(2026, 10, 25, 2, 30, 0),
       At(2026, 10, 25, 2, 30, 0), 1},  // set before the hour that repeats: its first 02:30
      {"02:30", At(2026, 10, 25, 2, 40, 0), At(2026, 10, 25, 2, 59, 59), At(2026, 10, 25, 2, 0, 0),
       At(2026, 10, 25, 2, 30, 0), 0},  // set after it: back at 02:00 the alarm is ahead again
      {"02:30", At(2026, 10, 25, 2, 40, 0), At(2026, 10, 25, 2, 0, 0), At(2026, 10, 25, 2, 30, 0),
       At(2026, 10, 25, 2, 30, 0), 1},  // and rings in the repeated hour
      {"10:30", morning, At(2026, 12, 7, 10, 20, 0), At(2026, 12, 7, 9, 20, 0), At(2026, 12, 7, 10, 30, 0), 0},  // set back
      {"09:50", morning, At(2026, 12, 7, 9, 20, 0), At(2026, 12, 7, 9, 50, 0), At(2026, 12, 7, 9, 50, 0), 1},
      {"10:30", morning, At(2026, 12, 7, 10, 10, 0), At(2026, 12, 8, 10, 10, 0), At(2026, 12, 7, 10, 30, 0), 1},  // a day on
      {"10:30", morning, At(2026, 12, 7, 10, 10, 0), -1, At(2026, 12, 7, 10, 30, 0), 0},  // no valid reading
      {"12:30", At(2026, 12, 7, 12, 29, 40), At(2026, 12, 7, 12, 29, 40), At(2026, 12, 7, 12, 30, 5),
       At(2026, 12, 7, 12, 30, 0), 1},  // entered 12:29:40, window at 12:30:05: rings on the first pass
      {"10:30", -1, morning, At(2026, 12, 7, 10, 30, 0), At(2026, 12, 7, 10, 30, 0), 1},  // armed by the first valid one
      {"23:59:59", At(9999, 12, 31, 0, 0, 0), At(9999, 12, 31, 23, 59, 58), At(9999, 12, 31, 23, 59, 59),
       At(9999, 12, 31, 23, 59, 59), 1},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
    SCOPED_TRACE(i);
    state = ClockState{};
    ClockStateSetDefaults(&state);
    StrAssign(&state.alarmTime, rows[i].entry);
    ASSERT_EQ(AlarmEntryValidate(&state), 0);
    ClockAlarmArm(&state, rows[i].armed);
    EXPECT_EQ(ClockAlarmDueAt(&state, rows[i].previous), 0);
    EXPECT_EQ(ClockAlarmDueAt(&state, rows[i].reading), rows[i].rings);
    EXPECT_EQ(state.alarmDue, rows[i].due);
  }
  // Accepted on the alarm's second: it rings now, not tomorrow.
  StrAssign(&state.alarmTime, "10");
  ASSERT_EQ(AlarmEntryValidate(&state), 0);
  ClockAlarmArm(&state, morning);
  EXPECT_EQ(ClockAlarmDueAt(&state, morning), 1);
  // Without an alarm, or before its error was shown, nothing rings.
  for (int wanted = 0; wanted < 2; wanted++) {
    state.alarmWanted = wanted;
    state.inputError = wanted;
    EXPECT_EQ(ClockAlarmDueAt(&state, morning), 0);
  }
}

// One wake-up a second, just after it starts.
TEST_F(ClockTextTest, TickWaitTable) {
  const struct {
    int32_t millisecond, wait;
  } rows[] = {{0, 1002}, {1, 1001}, {2, 1000}, {250, 752}, {500, 502}, {501, 501}, {750, 252},
              {998, 4},  {999, 3},  {-1, 1002}, {1000, 2}, {1001, 1},  {1002, 1},  {5000, 1}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.millisecond);
    EXPECT_EQ(ClockTickWait(row.millisecond), row.wait);
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
  const PlatformTime monday = {2026, 12, 7, 9, 13, 2, 0};
  PlatformSetLocalTime(&monday);
  state.alarmWanted = 0;
  ClockTextBuild(&state);
  EXPECT_EQ(std::string(state.clockText), "Montag\r 07.12.2026\r09:13:02");
  StrAssign(&state.alarmTime, "09:13:02");
  state.alarmWanted = 1;
  ASSERT_EQ(AlarmEntryValidate(&state), 0);
  ClockAlarmArm(&state, Monday - 1);
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
