// The wave parser on arbitrary buffers of arbitrary length. The input lies in
// an exactly sized heap block, and the bytes past the image's own end (its
// RIFF size + 8) are poisoned, so reading outside the buffer or past the
// image is an AddressSanitizer error. Results are compared with a reference
// reading of the layout; SoundFromMemory then makes a sound from the same
// image on the recording device, which reads the format as DirectSound does.
#include <sanitizer/asan_interface.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "runtime/sound/sound_internal.h"
#include "sound/recording_device.h"

namespace {

#define CHECK(cond)                                                                 \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      fprintf(stderr, "fuzz_wave: check failed at line %d: %s\n", __LINE__, #cond); \
      abort();                                                                      \
    }                                                                               \
  } while (0)

uint32_t Le16(const uint8_t *p) {
  return p[0] | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t Le32(const uint8_t *p) {
  return Le16(p) | Le16(p + 2) << 16;
}

struct Layout {
  bool ok;
  size_t formatSize;
  size_t data;  // offset of the samples
  size_t dataSize;
};

// Where the parts lie: "RIFF", "fmt " first with a format block the device
// can read (16 bytes for PCM, else 18 + cbSize), then chunks on even offsets
// up to the first "data" chunk, all inside min(length, RIFF size + 8).
Layout Reference(const uint8_t *image, size_t length) {
  Layout none{};
  if (length < 20 || memcmp(image, "RIFF", 4) != 0) return none;
  size_t end = static_cast<size_t>(std::min<uint64_t>(length, 8 + static_cast<uint64_t>(Le32(image + 4))));
  if (end < 20 || memcmp(image + 12, "fmt ", 4) != 0) return none;
  uint64_t formatSize = Le32(image + 16);
  if (20 + formatSize > end || formatSize < 16) return none;
  if (Le16(image + 20) != 1 && (formatSize < 18 || 18 + Le16(image + 36) > formatSize)) return none;
  uint64_t at = 20 + formatSize + (formatSize % 2);
  while (at + 8 <= end) {
    uint64_t size = Le32(image + at + 4);
    if (memcmp(image + at, "data", 4) == 0) {
      if (at + 8 + size > end) return none;
      return {true, static_cast<size_t>(formatSize), static_cast<size_t>(at + 8), static_cast<size_t>(size)};
    }
    at += 8 + size + (size % 2);
  }
  return none;
}

// The parser on image[0..length) of a block of size bytes, with every byte
// past the image's end poisoned.
void Parse(uint8_t *block, size_t size, size_t length) {
  size_t end = length;
  if (length >= 8 && memcmp(block, "RIFF", 4) == 0) end = std::min<uint64_t>(length, 8 + static_cast<uint64_t>(Le32(block + 4)));
  ASAN_POISON_MEMORY_REGION(block + end, size - end);
  SoundWave wave;
  memset(&wave, 0xAB, sizeof wave);
  int result = SoundParseWave(block, length, &wave);
  ASAN_UNPOISON_MEMORY_REGION(block + end, size - end);
  Layout want = Reference(block, length);
  if ((result != 0) != want.ok) {
    fprintf(stderr, "fuzz_wave: %zu bytes parsed as %d, the reference says %d\n", length, result, want.ok);
    abort();
  }
  if (!want.ok) return;
  CHECK(result == 1);
  CHECK(wave.format == block + 20);
  CHECK(wave.formatSize == want.formatSize);
  CHECK(wave.data == block + want.data);
  CHECK(wave.dataSize == want.dataSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  uint8_t *block = static_cast<uint8_t *>(malloc(size ? size : 1));
  if (size) memcpy(block, data, size);
  Parse(block, size, size);
  // A length shorter than the block, as a caller with a smaller view gives.
  if (size >= 2) Parse(block, size, (data[size - 1] | data[size - 2] << 8) % (size + 1));
  CHECK(SoundParseWave(nullptr, size, nullptr) == 0);

  // SoundFromMemory takes no length: the image's RIFF size says where it
  // ends, so that field is set to the block's own size.
  if (size >= 8 && memcmp(block, "RIFF", 4) == 0) {
    uint32_t riff = static_cast<uint32_t>(size - 8);
    memcpy(block + 4, &riff, 4);
    Layout want = Reference(block, size);
    RuntimeHeap = PlatformHeapCreate(4096);
    Rec.Reset();
    SoundUseDevice(&RecordingDevice);
    CHECK(SoundInit() != 0);
    intptr_t number = size % 3 == 0 ? AutoNumber : 1;
    intptr_t made = SoundFromMemory(number, block);
    // The device, like DirectSound, refuses buffers below 4 bytes, so such a
    // data chunk makes no sound.
    CHECK(made == 0 || want.ok);
    CHECK(made != 0 || !want.ok || want.dataSize < 4);
    if (made) {
      intptr_t name = number == AutoNumber ? made : number;
      CHECK(SoundPlay(name) == 1);
      // The sound's buffer holds the data chunk's bytes and the format block.
      FakeBuffer *buffer = nullptr;
      for (auto &b : Rec.buffers)
        if (!b->released && b->data && b->bytes == want.dataSize && !(b->flags & SoundBufferPrimary)) buffer = b.get();
      CHECK(buffer != nullptr);
      CHECK(memcmp(buffer->data->data(), block + want.data, want.dataSize) == 0);
      CHECK(memcmp(buffer->format.data(), block + 20, buffer->format.size()) == 0);
    }
    SoundEnd();
    CHECK(Rec.misuse == 0);
    SoundUseDevice(nullptr);
    PlatformHeapDestroy(RuntimeHeap);
    RuntimeHeap = nullptr;
  }
  free(block);
  return 0;
}
