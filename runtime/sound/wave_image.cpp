#include <string.h>

#include "runtime/sound/sound_internal.h"

namespace {

constexpr uint32_t WaveFormatPcm = 1;
constexpr uint32_t PcmFormatBytes = 16;   // PCMWAVEFORMAT
constexpr uint32_t FormatExBytes = 18;    // WAVEFORMATEX up to cbSize

uint32_t ReadLe16(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t ReadLe32(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The device copies 16 bytes of a PCM format and 18 + cbSize bytes of any
// other, so the format chunk must hold that much.
bool FormatFits(const unsigned char *format, uint32_t size) {
  if (size < PcmFormatBytes) return false;
  if (ReadLe16(format) == WaveFormatPcm) return true;
  if (size < FormatExBytes) return false;
  return FormatExBytes + ReadLe16(format + 16) <= size;
}

intptr_t SoundFromWave(intptr_t number, const SoundWave *wave) {
  SoundState *s = &SoundLibrary;
  if (!s->open || (number < 0 && number != AutoNumber)) return 0;
  const SoundDevice *d = s->device;

  SoundBufferDesc desc = {SoundBufferSecondary, wave->dataSize, wave->format};
  SoundBuffer buffer = nullptr;
  if (d->DeviceCreateBuffer(s->deviceObject, &desc, &buffer) != 0 || !buffer) return 0;
  void *region = nullptr;
  uint32_t regionBytes = 0;
  if (d->BufferLock(buffer, wave->dataSize, &region, &regionBytes) != 0) {
    d->BufferRelease(buffer);
    return 0;
  }
  if (!region || regionBytes < wave->dataSize) {
    d->BufferUnlock(buffer, region, regionBytes);
    d->BufferRelease(buffer);
    return 0;
  }
  memcpy(region, wave->data, wave->dataSize);

  // Claiming the number frees a sound registered there before, only now
  // that the new one is ready.
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableAllocate(s->table, number));
  if (!record) {
    d->BufferUnlock(buffer, region, regionBytes);
    d->BufferRelease(buffer);
    return 0;
  }
  record->buffer = buffer;
  record->pan = 0;
  record->frequency = 0;
  record->volume = 0;
  d->BufferGetPan(buffer, &record->pan);
  d->BufferGetFrequency(buffer, &record->frequency);
  d->BufferGetVolume(buffer, &record->volume);
  d->BufferUnlock(buffer, region, regionBytes);
  return number == AutoNumber ? reinterpret_cast<intptr_t>(record) : reinterpret_cast<intptr_t>(buffer);
}

}  // namespace

int SoundParseWave(const void *image, size_t length, SoundWave *wave) {
  if (!image || !wave) return 0;
  const unsigned char *bytes = static_cast<const unsigned char *>(image);
  if (length < 20 || memcmp(bytes, "RIFF", 4) != 0) return 0;
  // The image ends where its RIFF size says, or at length if that is sooner.
  uint64_t end = 8 + static_cast<uint64_t>(ReadLe32(bytes + 4));
  if (end > length) end = length;
  if (end < 20 || memcmp(bytes + 12, "fmt ", 4) != 0) return 0;

  uint32_t formatSize = ReadLe32(bytes + 16);
  if (formatSize > end - 20 || !FormatFits(bytes + 20, formatSize)) return 0;
  // Chunks start on even offsets: an odd-sized chunk is followed by a pad byte.
  uint64_t at = 20 + static_cast<uint64_t>(formatSize) + (formatSize & 1);
  while (at <= end && end - at >= 8) {
    const unsigned char *chunk = bytes + static_cast<size_t>(at);
    uint32_t size = ReadLe32(chunk + 4);
    if (memcmp(chunk, "data", 4) == 0) {
      if (size > end - at - 8) return 0;
      wave->format = bytes + 20;
      wave->formatSize = formatSize;
      wave->data = chunk + 8;
      wave->dataSize = size;
      return 1;
    }
    at += 8 + static_cast<uint64_t>(size) + (size & 1);
  }
  return 0;
}

intptr_t SoundFromMemory(intptr_t number, const void *image) {
  if (!image) return 0;
  const unsigned char *bytes = static_cast<const unsigned char *>(image);
  if (memcmp(bytes, "RIFF", 4) != 0) return 0;
  uint64_t length = 8 + static_cast<uint64_t>(ReadLe32(bytes + 4));
  if (length > SIZE_MAX) return 0;
  SoundWave wave;
  if (!SoundParseWave(image, static_cast<size_t>(length), &wave)) return 0;
  return SoundFromWave(number, &wave);
}
