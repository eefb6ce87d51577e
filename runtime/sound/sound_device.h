// The sound library's device seam: the table of operations through which the
// portable sound code reaches a sound output device. The Windows build starts
// with DirectSound; tests hand in a device of their own.
#pragma once
#include <stdint.h>

// A device buffer (IDirectSoundBuffer on Windows). Pointer-wide.
typedef void *SoundBuffer;

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
