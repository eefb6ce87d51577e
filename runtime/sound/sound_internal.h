// Private to the sound library: its state block, one per process.
#pragma once
#include "runtime/sound/sound.h"

#ifdef _WIN32
inline constexpr const SoundDevice *SoundStartDevice = &SoundDirectSound;
#else
inline constexpr const SoundDevice *SoundStartDevice = nullptr;
#endif

struct SoundState {
  const SoundDevice *device = SoundStartDevice;  // every step goes through it
  ObjectTable *table = nullptr;  // SoundRecords; absent until SoundInit
  int32_t volumeTable[101] = {};  // volume in percent -> device volume + 10000
  intptr_t library = 0;           // the device library, 0 until loaded
  intptr_t entry = 0;             // its creation entry point
  void *deviceObject = nullptr;   // the device, null until created
  int levelSet = 0;               // cooperative level accepted
  SoundBuffer primary = nullptr;  // kept only to be released before unloading
  int open = 0;                   // every start-up step done
  intptr_t window = 0;            // the hidden sound window
  int windowMade = 0;
};

extern SoundState SoundLibrary;

inline SoundRecord *SoundLookup(intptr_t number) {
  return static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, number));
}
