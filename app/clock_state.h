// The clock's program variables and its user-facing texts (cp1252).
#pragma once
#include <stdint.h>

// Strings are string values of the string runtime (null is empty) owned by
// the variable; integers are signed 32-bit except the font's number, which
// is pointer-wide because an AutoNumber font's number is its handle, and the
// date values of the alarm's moment and the last reading.
struct ClockState {
  char *clockText;
  int32_t alarmWanted;
  int32_t inputError;
  char *alarmName;
  int32_t soundWanted;
  int32_t soundReady;
  char *alarmTime;
  int32_t inputLength;
  char *hourText;
  int32_t hourValue;
  char *minuteText;
  int32_t minuteValue;
  char *secondText;
  int32_t secondValue;
  intptr_t fontNumber;
  int32_t lastEvent;
  int32_t weekday;
  char *weekdayName;
  int64_t alarmDue;     // the alarm rings at the first reading at or after it; -1 not armed
  int64_t lastReading;  // of the previous pass, to see the clock go back
};

inline constexpr char ClockTextDefault[] = "-.-.-";
inline constexpr char ClockWindowTitle[] = "Tamrix";
inline constexpr char AlarmTimeDialogTitle[] = "Tamrix: Wenn gew\xFCnscht, Alarmzeit eingeben!";
inline constexpr char AlarmTimeDialogPrompt[] = "Eingabe-Format = # oder ## oder ##:## oder ##:##:##";
inline constexpr char AlarmNameDialogTitle[] = "Tamrix: Erinnerungsname Alarm!";
inline constexpr char AlarmNameDialogPrompt[] = "Bezeichnung f\xFCr den Alarm eingeben!";
inline constexpr char AlarmNameDefault[] = "Alarm wurde ausgel\xF6st!";
inline constexpr char AlarmMessageTitle[] = "Tamrix: Alarm und Programmende!";

// The start-up defaults: clockText "-.-.-", alarmWanted 1, inputError 0,
// alarmName "Alarm wurde ausgelöst!", soundWanted 1. Needs StrInit.
void ClockStateSetDefaults(ClockState *state);
