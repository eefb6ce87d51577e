// The entry's length alone decides which pieces are hours, minutes and
// seconds; separators are never examined.
#include "app/alarm_entry.h"

#include "runtime/strings/strings.h"

namespace {

// A piece function's result stored into a variable, then its value.
int32_t TakePiece(char **text, char *(*piece)(const char *, int32_t, int32_t), const char *entry, int32_t n) {
  int32_t mark = StrTempTop();
  piece(entry, n, mark);
  StrStore(text, mark);
  return static_cast<int32_t>(StrVal(*text));  // low 32 bits
}

int32_t TakeMiddle(char **text, const char *entry, int32_t start) {
  int32_t mark = StrTempTop();
  StrMid(entry, start, 2, mark);
  StrStore(text, mark);
  return static_cast<int32_t>(StrVal(*text));
}

void TakeWhole(char **text, int32_t *value, const char *entry) {
  StrAssign(text, entry);
  *value = static_cast<int32_t>(StrVal(*text));
}

bool OutOfRange(int32_t value, int32_t highest) {
  return value > highest || value < 0;
}

// alarmTime = hourText + ":" + minuteText + ":" + secondText.
void JoinPieces(ClockState *s) {
  int32_t mark = StrTempTop();
  StrAppend(s->hourText);
  StrAppend(":");
  StrAppend(s->minuteText);
  StrAppend(":");
  StrAppend(s->secondText);
  StrStore(&s->alarmTime, mark);
}

// alarmTime = before + alarmTime + after.
void Surround(ClockState *s, const char *before, const char *after) {
  int32_t mark = StrTempTop();
  StrAppend(before);
  StrAppend(s->alarmTime);
  StrAppend(after);
  StrStore(&s->alarmTime, mark);
}

}  // namespace

int32_t AlarmEntryValidate(ClockState *s) {
  s->inputLength = StrLen(s->alarmTime);
  const char *entry = s->alarmTime;
  switch (s->inputLength) {
    case 1:
    case 2:
      TakeWhole(&s->hourText, &s->hourValue, entry);
      if (OutOfRange(s->hourValue, 24)) s->inputError = 1;
      Surround(s, s->inputLength == 1 ? "0" : nullptr, ":00:00");
      break;
    case 5:
      s->hourValue = TakePiece(&s->hourText, StrLeft, entry, 2);
      s->minuteValue = TakePiece(&s->minuteText, StrRight, entry, 2);
      if (OutOfRange(s->hourValue, 24)) s->inputError = 1;
      if (OutOfRange(s->minuteValue, 59)) s->inputError = 1;
      Surround(s, nullptr, ":00");
      break;
    case 6:
    case 8:
      s->hourValue = TakePiece(&s->hourText, StrLeft, entry, 2);
      s->minuteValue = TakeMiddle(&s->minuteText, entry, s->inputLength == 6 ? 3 : 4);
      s->secondValue = TakePiece(&s->secondText, StrRight, entry, 2);
      if (OutOfRange(s->hourValue, 24)) s->inputError = 1;
      if (OutOfRange(s->minuteValue, 59)) s->inputError = 1;
      if (OutOfRange(s->secondValue, 59)) s->inputError = 1;
      JoinPieces(s);
      break;
    default:  // empty, 3, 4, 7 or more than 8 characters
      s->inputError = 1;
      break;
  }
  return s->inputError;
}

void AlarmEntryDismissError(ClockState *s) {
  s->alarmWanted = 0;
  s->inputError = 0;
}
