// Private to the sound library: its state block, one per process.
#pragma once
#include "runtime/sound/sound.h"

struct SoundState {
  const SoundDevice *device;  // the operations every step goes through
  ObjectTable *table;         // SoundRecords; absent until SoundInit
  int32_t volumeTable[101];   // volume in percent -> device volume + 10000
  intptr_t library;           // the device library, 0 until loaded
  intptr_t entry;             // its creation entry point
  void *deviceObject;         // the device, null until created
  int levelSet;               // cooperative level accepted
  SoundBuffer primary;        // kept only to be released before unloading
  int open;                   // every start-up step done
  intptr_t window;            // the hidden sound window
  int windowMade;
};

extern SoundState SoundLibrary;

inline SoundRecord *SoundLookup(intptr_t number) {
  return static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, number));
}
