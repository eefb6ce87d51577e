// Sound library: numbered sounds from RIFF/WAVE images in memory, played
// through a sound device (DirectSound on Windows, a test device on the host).
//
// The sound table, the volume table, the wave parser and the playback logic
// are portable; they reach the device only through the SoundDevice table of
// operations below.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "runtime/objects/objects.h"

enum : uint32_t { SoundFlagLoop = 1, SoundFlagInstance = 2 };

// A device buffer (IDirectSoundBuffer on Windows). Pointer-wide.
typedef void *SoundBuffer;

// Entry of the sound table.
struct SoundRecord {
  SoundBuffer buffer;  // main buffer; non-null in every registered sound
  void *instances;     // list of play instances; each payload is one SoundBuffer
  int32_t pan;         // settings of the main buffer when the sound was made,
  uint32_t frequency;  // the starting point of new instances
  int32_t volume;
};

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

// ---- Wave images ------------------------------------------------------------
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

// ---- Device seam -----------------------------------------------------------
// Values as DirectSound defines them.
constexpr uint32_t SoundLevelPriority = 2;            // DSSCL_PRIORITY
constexpr uint32_t SoundBufferPrimary = 1;            // DSBCAPS_PRIMARYBUFFER
constexpr uint32_t SoundBufferSecondary = 0x180E2;    // static, frequency/pan/volume
                                                      // control, global focus,
                                                      // exact play position
constexpr uint32_t SoundPlayLooping = 1;              // DSBPLAY_LOOPING
constexpr uint32_t SoundStatusPlaying = 1;            // DSBSTATUS_PLAYING
constexpr int32_t SoundVolumeSilence = -10000;  // DSBVOLUME_MIN, 1/100 dB

struct SoundBufferDesc {
  uint32_t flags;
  uint32_t bytes;
  const void *format;  // a WAVEFORMATEX, or null for the primary buffer
};

// Opening runs WindowMake, LibraryLoad, LibraryEntry, DeviceCreate,
// DeviceSetLevel and DeviceCreateBuffer (primary) in that order; each returns
// 0 (handles) or non-zero (results) to fail on its own. Results are 0 on
// success, as HRESULTs are.
struct SoundDevice {
  intptr_t (*WindowMake)(void);                   // the hidden sound window
  intptr_t (*LibraryLoad)(void);                  // "DSOUND.DLL"
  intptr_t (*LibraryEntry)(intptr_t library);     // "DirectSoundCreate"
  void (*LibraryUnload)(intptr_t library);
  int32_t (*DeviceCreate)(intptr_t entry, void **device);
  int32_t (*DeviceSetLevel)(void *device, intptr_t window, uint32_t level);
  int32_t (*DeviceCreateBuffer)(void *device, const SoundBufferDesc *desc, SoundBuffer *buffer);
  int32_t (*DeviceDuplicateBuffer)(void *device, SoundBuffer source, SoundBuffer *buffer);
  void (*DeviceRelease)(void *device);
  // Locks bytes from offset 0 as one region.
  int32_t (*BufferLock)(SoundBuffer buffer, uint32_t bytes, void **region, uint32_t *regionBytes);
  void (*BufferUnlock)(SoundBuffer buffer, void *region, uint32_t regionBytes);
  int32_t (*BufferPlay)(SoundBuffer buffer, uint32_t flags);
  void (*BufferStop)(SoundBuffer buffer);
  void (*BufferSetPosition)(SoundBuffer buffer, uint32_t position);
  int32_t (*BufferGetStatus)(SoundBuffer buffer, uint32_t *status);
  int32_t (*BufferGetVolume)(SoundBuffer buffer, int32_t *volume);
  void (*BufferSetVolume)(SoundBuffer buffer, int32_t volume);
  int32_t (*BufferGetPan)(SoundBuffer buffer, int32_t *pan);
  void (*BufferSetPan)(SoundBuffer buffer, int32_t pan);
  int32_t (*BufferGetFrequency)(SoundBuffer buffer, uint32_t *frequency);
  void (*BufferSetFrequency)(SoundBuffer buffer, uint32_t frequency);
  void (*BufferRelease)(SoundBuffer buffer);
};

#ifdef _WIN32
// DirectSound, loaded at run time; the device the Windows build starts with.
extern const SoundDevice SoundDirectSound;
#endif

// Chooses the device for everything that follows and forgets all the
// library's state without freeing it: tests start each case from a fresh
// library. The host build starts with no device, so SoundInit fails there
// until a device is given.
void SoundUseDevice(const SoundDevice *device);
