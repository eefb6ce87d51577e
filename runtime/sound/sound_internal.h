// Inside the sound library: the sound record, the wave parser and the
// library's state, one per process. Tests reach in through this header too.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "runtime/objects/objects.h"
#include "runtime/sound/sound.h"
#include "runtime/sound/sound_device.h"

// Entry of the sound table.
struct SoundRecord {
  SoundBuffer buffer;  // main buffer; non-null in every registered sound
  void *instances;     // list of play instances; each payload is one SoundBuffer
  int32_t pan;         // settings of the main buffer when the sound was made,
  uint32_t frequency;  // the starting point of new instances
  int32_t volume;
};

// Where the parts of a wave image lie. The format block is what the device gets.
struct SoundWave {
  const void *format;
  uint32_t formatSize;
  const unsigned char *data;
  uint32_t dataSize;
};

// Finds the format block and the sample data of the image's first length
// bytes (less, when its RIFF size says it ends sooner). Returns 1, or 0 for
// anything that is not "RIFF" with a "fmt " chunk first, a format block
// shorter than the device reads, or no "data" chunk that fits inside.
int SoundParseWave(const void *image, size_t length, SoundWave *wave);

#ifdef _WIN32
inline constexpr const SoundDevice *SoundStartDevice = &SoundDirectSound;
#else
inline constexpr const SoundDevice *SoundStartDevice = nullptr;
#endif

struct SoundState {
  // Every step goes through the device: SoundStartDevice, chosen by the first
  // SoundInit, unless SoundUseDevice chose another. All zero at first, so the
  // state needs no initialised data of the program's.
  const SoundDevice *device = nullptr;
  int deviceChosen = 0;
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
