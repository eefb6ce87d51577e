// Sound library: numbered sounds made from RIFF/WAVE images in memory,
// played once or as overlapping instances, with a volume in percent, through
// a sound device opened at run time (DirectSound on Windows, a test device on
// the host).
//
// Portable: the sound table, the volume table, the wave parser and the
// playback logic reach the device only through the seam in sound_device.h.
// Stands on the objects library (sound table, instance lists).
#pragma once
#include <stdint.h>

#include "runtime/objects/objects.h"  // AutoNumber

enum : uint32_t { SoundFlagLoop = 1, SoundFlagInstance = 2 };

// Non-zero (the sound table's handle) when the device is open. A failed step
// returns 0 and keeps what the steps before it built; calling again resumes
// from the step that failed.
intptr_t SoundInit(void);
// image is a RIFF/WAVE image whose length is its RIFF size + 8. Returns 0 on
// failure (an earlier sound under the number stays); with AutoNumber the new
// sound's handle, else its main buffer.
intptr_t SoundFromMemory(intptr_t number, const void *image);
// Without SoundFlagInstance: 1 if the main buffer started from its
// beginning, else 0. With it: the new instance's handle, else 0. volume is a
// percentage (clamped to 0..100), or -1 for unchanged.
intptr_t SoundPlay(intptr_t number, uint32_t flags = 0, int32_t volume = -1);
// instance 0: the main buffer; otherwise an instance handle of this sound.
void SoundSetVolume(intptr_t number, int32_t volume, intptr_t instance = 0);
void SoundFree(intptr_t number);
// Frees every sound, then lets go of the device and unloads its library.
void SoundEnd(void);
