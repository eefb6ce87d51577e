#include <string.h>

#include <string>

#include "app/alarm_entry.h"
#include "clock_fixture.h"

namespace {

using AlarmEntryTest = ClockFixture;

const char *Shown(const char *text) {
  return text ? text : "(null)";
}

TEST_F(AlarmEntryTest, DefaultsOfTheProgram) {
  EXPECT_STREQ(state.clockText, "-.-.-");
  EXPECT_EQ(state.alarmWanted, 1);
  EXPECT_EQ(state.inputError, 0);
  EXPECT_STREQ(state.alarmName, "Alarm wurde ausgel\xF6st!");
  EXPECT_EQ(state.soundWanted, 1);
  EXPECT_EQ(state.soundReady, 0);
  EXPECT_EQ(state.alarmTime, nullptr);
}

struct EntryRow {
  const char *entry;
  int accepted;
  const char *alarmTime;  // after validation, also for rejected entries
};

TEST_F(AlarmEntryTest, EntryTable) {
  const EntryRow rows[] = {
      {"7", 1, "07:00:00"},
      {"07", 1, "07:00:00"},
      {"7:", 0, "7::00:00"},
      {"1230", 0, "1230"},
      {"12:3", 0, "12:3"},
      {"12:30", 1, "12:30:00"},
      {"123000", 1, "12:30:00"},
      {"12:30:15", 1, "12:30:15"},
      {"12-30-15", 1, "12:30:15"},
      {"25", 0, "25:00:00"},
      {"25:00", 0, "25:00:00"},
      {"12:60", 0, "12:60:00"},
      {"12:00:60", 0, "12:00:60"},
      {"-1", 0, "-1:00:00"},
      {"24", 0, "24:00:00"},
      {"12.30", 1, "12:30:00"},  // the separator replaced, as in the long form
      {" 7", 0, " 7:00:00"},
      {"+7", 0, "+7:00:00"},
      {"ab", 0, "ab:00:00"},
      {"1:234", 0, "1::34:00"},
      {"", 0, ""},
      {nullptr, 0, nullptr},
      {"123", 0, "123"},
      {"1234567", 0, "1234567"},
      {"123456789", 0, "123456789"},
      {"12:30:15:00", 0, "12:30:15:00"},
      // More boundaries.
      {"0", 1, "00:00:00"},
      {"00", 1, "00:00:00"},
      {"9", 1, "09:00:00"},
      {"-", 0, "0-:00:00"},
      {"-0", 0, "-0:00:00"},
      {"99", 0, "99:00:00"},
      {"00:00", 1, "00:00:00"},
      {"24:59", 0, "24:59:00"},
      {"23:59:59", 1, "23:59:59"},
      {"24:00:00", 0, "24:00:00"},
      {"00:00:00", 1, "00:00:00"},
      {"235959", 1, "23:59:59"},
      {"240000", 0, "24:00:00"},
      {"250000", 0, "25:00:00"},
      {"126000", 0, "12:60:00"},
      {"120060", 0, "12:00:60"},
      {"12345678", 0, "12:45:78"},   // 8 characters: seconds 78
      {"12x34y56", 1, "12:34:56"},  // separators are never examined
      {"$A", 0, "$A:00:00"},         // hexadecimal 10, but not digits
      {"$F:00", 0, "$F:00:00"},       // 15
      {"$FF", 0, "$FF"},              // three characters
      {"%1", 0, "%1:00:00"},          // binary 1
      {"-1:00", 0, "-1:00:00"},
      {"12:-1", 0, "12:-1:00"},
      {"12:-1:00", 0, "12:-1:00"},
      {"\t7", 0, "\t7:00:00"},
      {"\xFC", 0, "0\xFC:00:00"},
      // Digits only, hour 0..23, any third character in the short form.
      {"2a", 0, "2a:00:00"},
      {"1x:30", 0, "1x:30:00"},
      {"12:3x", 0, "12:3x:00"},
      {"12345", 1, "12:45:00"},
      {"12 30", 1, "12:30:00"},
      {"24:00", 0, "24:00:00"},
      {"23", 1, "23:00:00"},
      {"23:59", 1, "23:59:00"},
      {"12:3 :00", 0, "12:3 :00"},
      {"12:30:0x", 0, "12:30:0x"},
      {"1 2345", 0, "1 :23:45"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(Shown(row.entry));
    StrInit();
    state = ClockState{};
    ClockStateSetDefaults(&state);
    StrAssign(&state.alarmTime, row.entry);
    int32_t error = AlarmEntryValidate(&state);
    EXPECT_EQ(error, row.accepted ? 0 : 1);
    EXPECT_EQ(state.inputError, error);
    EXPECT_EQ(state.inputLength, row.entry ? static_cast<int32_t>(strlen(row.entry)) : 0);
    EXPECT_STREQ(Shown(state.alarmTime), Shown(row.alarmTime));
    EXPECT_EQ(state.alarmWanted, 1);  // switched off only after the message
    EXPECT_EQ(StrTempTop(), 0);       // every temporary was stored
  }
}

TEST_F(AlarmEntryTest, PiecesAndValues) {
  const struct {
    const char *entry;
    const char *hourText, *minuteText, *secondText;
    int32_t hour, minute, second;
  } rows[] = {
      {"7", "7", nullptr, nullptr, 7, 0, 0},
      {"7:", "7:", nullptr, nullptr, 7, 0, 0},
      {"12:30", "12", "30", nullptr, 12, 30, 0},
      {"1:234", "1:", "34", nullptr, 1, 34, 0},
      {"123015", "12", "30", "15", 12, 30, 15},
      {"12:30:15", "12", "30", "15", 12, 30, 15},
      {"ab:cd:ef", "ab", "cd", "ef", 0, 0, 0},
      {"$F:$A:%1", "$F", "$A", "%1", 15, 10, 1},
      {"-1", "-1", nullptr, nullptr, -1, 0, 0},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.entry);
    StrInit();
    state = ClockState{};
    StrAssign(&state.alarmTime, row.entry);
    AlarmEntryValidate(&state);
    EXPECT_STREQ(Shown(state.hourText), Shown(row.hourText));
    EXPECT_STREQ(Shown(state.minuteText), Shown(row.minuteText));
    EXPECT_STREQ(Shown(state.secondText), Shown(row.secondText));
    EXPECT_EQ(state.hourValue, row.hour);
    EXPECT_EQ(state.minuteValue, row.minute);
    EXPECT_EQ(state.secondValue, row.second);
  }
}

TEST_F(AlarmEntryTest, DismissingTheErrorSwitchesTheAlarmOff) {
  StrAssign(&state.alarmTime, "25");
  ASSERT_EQ(AlarmEntryValidate(&state), 1);
  AlarmEntryDismissError(&state);
  EXPECT_EQ(state.alarmWanted, 0);
  EXPECT_EQ(state.inputError, 0);
}

// Every user text is cp1252: the only bytes above 127 are ä, ö and ü, never
// the two-byte UTF-8 forms.
TEST_F(AlarmEntryTest, UserTextsAreCp1252) {
  const struct {
    const char *text;
    const char *umlauts;  // the bytes above 127, in order
  } rows[] = {
      {AlarmEntryErrorTitle, ""},
      {AlarmEntryErrorText, "\xE4"},
      {AlarmTimeDialogTitle, "\xFC"},
      {AlarmTimeDialogPrompt, ""},
      {AlarmNameDialogTitle, ""},
      {AlarmNameDialogPrompt, "\xFC"},
      {AlarmNameDefault, "\xF6"},
      {AlarmMessageTitle, ""},
      {ClockTextDefault, ""},
      {ClockWindowTitle, ""},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.text);
    std::string high;
    for (const char *p = row.text; *p; p++)
      if (static_cast<unsigned char>(*p) > 127) high += *p;
    EXPECT_EQ(high, row.umlauts);
    EXPECT_EQ(strchr(row.text, '\n'), nullptr);
  }
  // Two sentences with one empty line between them, by lone carriage returns.
  const char *gap = strstr(AlarmEntryErrorText, "\r\r");
  ASSERT_NE(gap, nullptr);
  EXPECT_EQ(std::string(AlarmEntryErrorText, gap), "Keine oder nicht zul\xE4ssige Alarmzeit eingegeben!");
  EXPECT_STREQ(gap + 2, "Das Programm wird ohne Alarm gestartet!");
}

}  // namespace
