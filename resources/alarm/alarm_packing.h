// The packed alarm image, written by pack-alarm.py and expanded by
// alarm_image.cpp: the wave header as it stands, then each 8-bit sample
// predicted from the ones before it with fixed integer coefficients, and
// the differences between prediction and sample Rice-coded.
#pragma once

#include <stdint.h>

constexpr int32_t AlarmHeaderBytes = 44;
constexpr int32_t AlarmPredictorTaps = 20;

struct AlarmPacking {
  unsigned char header[AlarmHeaderBytes];
  // Applied to the samples before the one predicted, latest first, to
  // sample - 128; the sum is rounded and shifted right by `shift`.
  int16_t coefficients[AlarmPredictorTaps];
  int32_t sampleCount;
  int32_t shift;
  // Each difference d is coded as z = 2d (d >= 0) or -2d - 1: z >> riceParameter
  // one-bits and a zero-bit, then the low riceParameter bits of z, most
  // significant bit of each byte first.
  int32_t riceParameter;
  int32_t bitBytes;
};

extern const AlarmPacking AlarmPacked;
extern const unsigned char AlarmBits[];
