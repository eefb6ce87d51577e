// The entry's length alone decides which pieces are hours, minutes and
// seconds; separators are never examined, and every accepted entry becomes
// HH:MM:SS, the form a formatted time takes.
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

// A piece fails when it is not all digits (so that the rebuilt time can
// equal a formatted one) or its value is out of range.
bool BadPiece(const char *piece, int32_t value, int32_t highest) {
  for (const char *p = piece; p && *p; p++)
    if (*p < '0' || *p > '9') return true;
  return value > highest || value < 0;
}

// alarmTime = hourText + ":" + minuteText + ":" + seconds.
void JoinPieces(ClockState *s, const char *seconds) {
  int32_t mark = StrTempTop();
  StrAppend(s->hourText);
  StrAppend(":");
  StrAppend(s->minuteText);
  StrAppend(":");
  StrAppend(seconds);
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
  // Values of pieces a form lacks are 0: the alarm's time of day is read
  // from all three.
  s->minuteValue = s->secondValue = 0;
  switch (s->inputLength) {
    case 1:
    case 2:
      TakeWhole(&s->hourText, &s->hourValue, entry);
      if (BadPiece(s->hourText, s->hourValue, 23)) s->inputError = 1;
      Surround(s, s->inputLength == 1 ? "0" : nullptr, ":00:00");
      break;
    case 5:
    case 6:
    case 8:
      s->hourValue = TakePiece(&s->hourText, StrLeft, entry, 2);
      s->minuteValue = TakeMiddle(&s->minuteText, entry, s->inputLength == 6 ? 3 : 4);
      if (s->inputLength != 5) s->secondValue = TakePiece(&s->secondText, StrRight, entry, 2);
      if (BadPiece(s->hourText, s->hourValue, 23)) s->inputError = 1;
      if (BadPiece(s->minuteText, s->minuteValue, 59)) s->inputError = 1;
      if (s->inputLength != 5 && BadPiece(s->secondText, s->secondValue, 59)) s->inputError = 1;
      JoinPieces(s, s->inputLength == 5 ? "00" : s->secondText);
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
