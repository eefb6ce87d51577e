#include "resources/alarm/alarm_image.h"

#include "resources/alarm/alarm_packing.h"

// Zero-initialised, so it lands in .bss: no file bytes, and no allocation
// that could fail at start-up.
alignas(4) unsigned char AlarmImage[10164];

namespace {

constexpr int32_t MaxSamples = static_cast<int32_t>(sizeof AlarmImage) - AlarmHeaderBytes;

struct BitReader {
  uint32_t position;
  uint32_t end;
};

// Past the end reads 0, which ends any unary count.
uint32_t ReadBit(BitReader *reader) {
  if (reader->position >= reader->end) return 0;
  uint32_t bit = static_cast<uint32_t>(AlarmBits[reader->position >> 3] >> (7 - (reader->position & 7)) & 1);
  reader->position++;
  return bit;
}

}  // namespace

void AlarmImageExpand(void) {
  const AlarmPacking *pack = &AlarmPacked;
  for (int32_t i = 0; i < AlarmHeaderBytes; ++i) AlarmImage[i] = pack->header[i];
  unsigned char *samples = AlarmImage + AlarmHeaderBytes;
  int32_t count = pack->sampleCount;
  if (count > MaxSamples) count = MaxSamples;
  BitReader reader = {0, static_cast<uint32_t>(pack->bitBytes) * 8};
  for (int32_t n = 0; n < count; ++n) {
    uint32_t code = 0;
    while (ReadBit(&reader)) code++;
    for (int32_t i = 0; i < pack->riceParameter; ++i) code = code << 1 | ReadBit(&reader);
    int32_t difference = static_cast<int32_t>(code >> 1) ^ -static_cast<int32_t>(code & 1);
    int32_t prediction = 1 << (pack->shift - 1);
    for (int32_t j = 0; j < AlarmPredictorTaps && j < n; ++j) {
      prediction += pack->coefficients[j] * (samples[n - 1 - j] - 128);
    }
    samples[n] = static_cast<unsigned char>((prediction >> pack->shift) - difference + 128);
  }
}
