#include "app/clock_state.h"

#include "runtime/strings/strings.h"

void ClockStateSetDefaults(ClockState *state) {
  StrAssign(&state->clockText, ClockTextDefault);
  state->alarmWanted = 1;
  state->inputError = 0;
  StrAssign(&state->alarmName, AlarmNameDefault);
  state->soundWanted = 1;
}
