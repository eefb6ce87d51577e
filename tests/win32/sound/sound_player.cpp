// Plays the built-in alarm sound the way the clock does, for the capture
// tests: sound_player play | init.
//   play: SoundInit, sound 1 from the built-in image, SoundPlay(1), wait for
//         the end, SoundEnd; prints "capture: <file>" for the script.
//   init: prints what SoundInit, SoundFromMemory and SoundPlay return on a
//         machine that may have no device, then ends the library.
// Exit code 77 (skipped) means there was no device to play on.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "resources/alarm/alarm_image.h"
#include "runtime/platform/program_instance.h"
#include "runtime/sound/sound_internal.h"
#include "runtime/sound/sound_internal.h"

int main(int argc, char **argv) {
  ProgramInstance = GetModuleHandleA(nullptr);
  RuntimeHeap = PlatformHeapCreate(4096);
  const char *mode = argc > 1 ? argv[1] : "play";
  const char *capture = getenv("TAMRIX_CAPTURE");
  printf("capture: %s\n", capture ? capture : "");

  intptr_t init = SoundInit();
  if (strcmp(mode, "init") == 0) {
    intptr_t made = init ? SoundFromMemory(1, AlarmImage) : 0;
    intptr_t played = SoundPlay(1);
    printf("SoundInit=%s SoundFromMemory=%s SoundPlay=%lld\n", init ? "nonzero" : "0", made ? "nonzero" : "0",
           static_cast<long long>(played));
    // How far start-up got, for the script to check which step gave up.
    printf("window=%s library=%s device=%s\n", SoundLibrary.windowMade ? "made" : "none",
           SoundLibrary.library ? "loaded" : "none", SoundLibrary.deviceObject ? "made" : "none");
    SoundEnd();
    return 0;
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
