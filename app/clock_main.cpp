#include "app/clock_main.h"

#include "app/alarm_entry.h"
#include "app/clock_text.h"
#include "app/clock_tick.h"
#include "resources/alarm/alarm_image.h"
#include "runtime/date/date.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget.h"
#include "runtime/objects/objects.h"
#include "runtime/platform/platform.h"
#include "runtime/platform/program_instance.h"
#include "runtime/requester/requester.h"
#include "runtime/sound/sound.h"
#include "runtime/strings/strings.h"
#include "runtime/window/window.h"

ClockState Clock;

namespace {

constexpr intptr_t ClockWindow = 0;
constexpr intptr_t ClockGadget = 1;
constexpr intptr_t AlarmSound = 1;
constexpr uint32_t ClockWindowFlags = 0xCA0001;  // centred, caption, system menu, minimise box
constexpr uint32_t ClockGadgetFlags = 0x20001;   // centred text in a sunken edge
constexpr COLORREF ClockTextColor = 255;         // pure red
constexpr char ClockFontFace[] = "Arial";
constexpr int32_t ClockFontSize = 10;
constexpr uint32_t AlarmPauseMilliseconds = 2000;

// The dialog's answer goes straight from the temporary area into the variable.
void AskInto(char **variable, const char *title, const char *prompt, const char *defaultText) {
  int32_t mark = StrTempTop();
  RequestInput(title, prompt, defaultText, mark);
  StrStore(variable, mark);
}

// The alarm usually comes while another program is in front: its message
// must stand above every window, the topmost clock included, and take the
// keyboard where the system lets it. System-modal is application-modal and
// topmost.
constexpr UINT AlarmMessageFlags = MB_OK | MB_SYSTEMMODAL | MB_SETFOREGROUND;

void ShowAlarmMessage(const ClockState *state) {
  int32_t mark = StrTempTop();
  ClockAlarmMessage(state, mark);
  // Cover the text's terminator so that temporaries made by the callee land
  // behind it; the reservation may move the area, so the text is found after.
  StrTempReserve(1, StrTempTop());
  RequestMessageEx(AlarmMessageTitle, StrTempBase() + mark, AlarmMessageFlags);
  StrTempSetTop(mark);
}

void ReapplyWindow(void) {
  WindowResize(ClockWindow, IgnoreValue, IgnoreValue, IgnoreValue, IgnoreValue);
}

// Returns 0 when the window could not be opened, so that the caller shuts
// down instead of waiting for a close request that can never come.
int OpenClockWindow(ClockState *state) {
  int alarm = state->alarmWanted == 1;
  // Sizes in pixels at 96 dpi, which the libraries lay out for the window's
  // monitor. The position has no effect: the window is centred.
  if (!WindowOpen(ClockWindow, 600, 600, 115, alarm ? 72 : 55, ClockWindowTitle, ClockWindowFlags)) return 0;
  GadgetCreateText(ClockGadget, 2, 2, 110, alarm ? 69 : 52, state->clockText, ClockGadgetFlags);
  GadgetSetColor(ClockGadget, ColorFront, ClockTextColor);
  state->fontNumber = FontLoad(AutoNumber, ClockFontFace, ClockFontSize, FontStyleBold);
  GadgetSetFont(ClockGadget, FontHandle(state->fontNumber));
  ReapplyWindow();
  WindowSetFlickerFree(ClockWindow, 1);
  WindowSetTopmost(ClockWindow, 1);
  return 1;
}

void FireAlarm(ClockState *state) {
  if (state->soundReady == 1) {
    SoundPlay(AlarmSound);
    Pause(AlarmPauseMilliseconds);
  }
  ShowAlarmMessage(state);
}

int32_t TickWait(void) {
  PlatformTime now;
  PlatformLocalTime(&now);
  return ClockTickWait(now.millisecond);
}

void TickLoop(ClockState *state) {
  int32_t wait = 0;  // the first pass at once: the window shows the time
  for (;;) {
    state->lastEvent = WindowWaitEvent(wait);
    if (state->lastEvent == EventCloseRequest) return;
    // Read before the text, never after it: a second that starts during the
    // pass then gets a wake-up of its own instead of showing a second late.
    // The wait starts a pass's length late, well under a millisecond.
    wait = TickWait();
    ClockTextBuild(state);
    GadgetSetText(ClockGadget, state->clockText);
    ReapplyWindow();
    if (ClockAlarmDue(state)) {
      FireAlarm(state);
      return;
    }
  }
}

}  // namespace

int ClockRun(void) {
  ClockState *state = &Clock;
  *state = ClockState{};

  ProgramInstance = GetModuleHandleA(nullptr);
  RuntimeHeap = PlatformHeapCreate(4096);
  StrInit();
  FontInit();
  EventQueueInit();
  WindowInit();
  GadgetInit();
  RequestInit();
  ClockStateSetDefaults(state);

  if (SoundInit() && state->soundWanted == 1) {
    state->soundReady = 1;
    AlarmImageExpand();
    SoundFromMemory(AlarmSound, AlarmImage);
  }

  AskInto(&state->alarmTime, AlarmTimeDialogTitle, AlarmTimeDialogPrompt, "");
  if (AlarmEntryValidate(state)) {
    RequestMessage(AlarmEntryErrorTitle, AlarmEntryErrorText);
    AlarmEntryDismissError(state);
  }
  if (state->alarmWanted == 1 && state->inputError == 0) {
    // From the time it was typed: the name dialog may stay open past it.
    ClockAlarmArm(state, DateNow());
    AskInto(&state->alarmName, AlarmNameDialogTitle, AlarmNameDialogPrompt, state->alarmName);
  }

  if (OpenClockWindow(state)) TickLoop(state);

  SoundEnd();
  GadgetEnd();
  WindowEnd();
  FontEnd();
  PlatformHeapDestroy(RuntimeHeap);
  RuntimeHeap = nullptr;
  return 0;
}
