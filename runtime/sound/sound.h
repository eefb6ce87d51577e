// Sound library: numbered sounds from RIFF/WAVE images in memory, played
// through a sound device (DirectSound on Windows, a test device on the host).
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "runtime/objects/objects.h"

enum : uint32_t { SoundFlagLoop = 1, SoundFlagInstance = 2 };

intptr_t SoundInit(void);
intptr_t SoundFromMemory(intptr_t number, const void *image);
intptr_t SoundPlay(intptr_t number, uint32_t flags = 0, int32_t volume = -1);
void SoundSetVolume(intptr_t number, int32_t volume, intptr_t instance = 0);
void SoundFree(intptr_t number);
void SoundEnd(void);
