// Plays the built-in alarm sound the way the clock does, for the capture
// tests: sound_player play | init EXPECTED... .
//   play: runs itself as "played" (SoundInit, sound 1 from the built-in
//         image, SoundPlay(1), wait for the end, SoundEnd), then, once that
//         process and its sound device have ended, measures what it played
//         into the capture file (scripts/wine-run) against the chime's length.
//   init: prints what SoundInit, SoundFromMemory and SoundPlay return on a
//         machine that may have no device, and how far start-up got, then
//         ends the library; fails unless these lines are the EXPECTED ones.
// Exit code 77 (skipped) means there was no device to play on.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "harness/captured_sound.h"
#include "resources/alarm/alarm_image.h"
#include "runtime/platform/program_instance.h"
#include "runtime/sound/sound_internal.h"

namespace {

// Runs this program with ARGUMENT and returns its exit code.
DWORD RunSelf(const char *argument) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string command = std::string("\"") + self + "\" " + argument;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return 1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

}  // namespace

int main(int argc, char **argv) {
  const char *mode = argc > 1 ? argv[1] : "play";
  if (strcmp(mode, "play") == 0) {
    DWORD code = RunSelf("played");
    if (code != 0) return static_cast<int>(code);
    std::string why;
    double seconds = harness::CapturedSoundSeconds(&why);
    if (seconds < 0) {
      printf("FAILED: %s\n", why.c_str());
      return 1;
    }
    bool fits = seconds >= harness::ChimeShortestSeconds && seconds <= harness::ChimeLongestSeconds();
    printf("captured sound: %.3f s non-silent%s\n", seconds, fits ? "" : ", FAILED: not the chime's length");
    return fits ? 0 : 1;
  }
  ProgramInstance = GetModuleHandleA(nullptr);
  RuntimeHeap = PlatformHeapCreate(4096);
  const char *capture = getenv("TAMRIX_CAPTURE");
  printf("capture: %s\n", capture ? capture : "");

  intptr_t init = SoundInit();
  if (strcmp(mode, "init") == 0) {
    intptr_t made = init ? SoundFromMemory(1, AlarmImage) : 0;
    intptr_t played = SoundPlay(1);
    char lines[2][128];
    snprintf(lines[0], sizeof lines[0], "SoundInit=%s SoundFromMemory=%s SoundPlay=%lld", init ? "nonzero" : "0",
             made ? "nonzero" : "0", static_cast<long long>(played));
    // How far start-up got, to tell which step gave up.
    snprintf(lines[1], sizeof lines[1], "window=%s library=%s device=%s", SoundLibrary.windowMade ? "made" : "none",
             SoundLibrary.library ? "loaded" : "none", SoundLibrary.deviceObject ? "made" : "none");
    SoundEnd();
    int failed = 0;
    for (int i = 0; i < 2; i++) {
      const char *expected = argc > 2 + i ? argv[2 + i] : "";
      bool same = strcmp(lines[i], expected) == 0;
      printf("%s: %s%s%s%s\n", same ? "ok" : "FAILED", lines[i], same ? "" : " (expected '", same ? "" : expected,
             same ? "" : "')");
      failed += !same;
    }
    return failed ? 1 : 0;
  }
  if (!init) {
    printf("no device\n");
    return 77;
  }
  intptr_t buffer = SoundFromMemory(1, AlarmImage);
  if (!buffer || SoundPlay(1) != 1) {
    printf("the sound did not start\n");
    return 1;
  }
  IDirectSoundBuffer *playing = reinterpret_cast<IDirectSoundBuffer *>(buffer);
  DWORD status = DSBSTATUS_PLAYING;
  DWORD start = GetTickCount();
  while ((status & DSBSTATUS_PLAYING) && GetTickCount() - start < 5000) {
    Sleep(5);
    status = 0;
    playing->GetStatus(&status);
  }
  if (status & DSBSTATUS_PLAYING) {
    printf("still playing after 5 s\n");
    return 1;
  }
  // Let the mixer hand its last period to the device before closing it.
  Pause(300);
  SoundEnd();
  printf("played\n");
  return 0;
}
