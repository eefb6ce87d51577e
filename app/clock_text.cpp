#include "app/clock_text.h"

#include <string.h>

#include "runtime/date/date.h"
#include "runtime/strings/strings.h"

void ClockTextBuildWith(ClockState *s, ClockReading now) {
  int32_t weekday = DateDayOfWeek(now());
  // The name changes once a day; re-assigning it each pass would only cost.
  if (!s->weekdayName || weekday != s->weekday) StrAssign(&s->weekdayName, WeekdayNames[weekday]);
  s->weekday = weekday;

  // The "\r" separators ride in the masks: the same bytes as appending them.
  bool alarm = s->alarmWanted == 1;
  int32_t mark = StrTempTop();
  StrAppend(s->weekdayName);
  DateFormat("\r %dd.%mm.%yyyy\r", now(), StrTempTop());
  if (alarm) {
    DateFormat(" %hh:%ii:%ss\r *", now(), StrTempTop());
    StrAppend(s->alarmTime);
    StrAppend("*");
  } else {
    DateFormat("%hh:%ii:%ss", now(), StrTempTop());
  }
  StrStore(&s->clockText, mark);
}

void ClockTextBuild(ClockState *s) {
  ClockTextBuildWith(s, DateNow);
}

char *ClockAlarmMessage(const ClockState *s, int32_t at) {
  size_t timeLength = s->alarmTime ? strlen(s->alarmTime) : 0;
  size_t nameLength = s->alarmName ? strlen(s->alarmName) : 0;
  int32_t length = static_cast<int32_t>(timeLength + 2 + nameLength);
  char *out = StrTempReserve(length, at);
  if (timeLength) memcpy(out, s->alarmTime, timeLength);
  out[timeLength] = '\r';
  out[timeLength + 1] = '\r';
  if (nameLength) memcpy(out + timeLength + 2, s->alarmName, nameLength);
  out[length] = 0;
  return out;
}
