// Validation and normalisation of the alarm time typed into the first dialog.
#pragma once
#include "app/clock_state.h"

inline constexpr char AlarmEntryErrorTitle[] = "Tamrix: Fehler o. keine Alarmzeiteingabe!";
inline constexpr char AlarmEntryErrorText[] =
    "Keine oder nicht zul\xE4ssige Alarmzeit eingegeben!\r\rDas Programm wird ohne Alarm gestartet!";

// Chooses the pieces of alarmTime by its length alone, takes their values
// (low 32 bits of StrVal; 0 for a piece the form lacks), checks that every
// piece is digits only, hour 0..23 and minute and second 0..59, and rebuilds
// alarmTime as HH:MM:SS, the separators replaced by ":". Sets inputError to 1
// for an empty, unacceptable or out-of-range entry and returns inputError.
// The caller then shows the error message (AlarmEntryErrorTitle/Text) and
// calls AlarmEntryDismissError.
int32_t AlarmEntryValidate(ClockState *state);

// After the error message was confirmed: the alarm is off for the run.
void AlarmEntryDismissError(ClockState *state);
