// The length of what a program played into the capture file that
// scripts/wine-run names (TAMRIX_CAPTURE_WIN: raw S16_LE, stereo, 44100 Hz),
// silence at both ends left out as sox's "silence 1 0.001 1%" does it.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace harness {

// How long the built-in chime sounds, measured so. Emulated (QEMU, which
// scripts/wine-run says with TAMRIX_EMULATED), Wine's mixer runs late against
// a capture device that never paces it, and its underruns put gaps into the
// capture: there only a sound stuck playing is too long.
constexpr double ChimeShortestSeconds = 0.85;
inline double ChimeLongestSeconds() {
  return GetEnvironmentVariableA("TAMRIX_EMULATED", nullptr, 0) ? 10.0 : 0.95;
}

// Seconds of sound from the first to the last sample above 1% of full
// scale; -1 with WHY when there is no capture to read.
inline double CapturedSoundSeconds(std::string *why) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("TAMRIX_CAPTURE_WIN", path, sizeof path)) {
    *why = "no capture file (TAMRIX_CAPTURE_WIN)";
    return -1;
  }
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *why = std::string("nothing was captured (") + path + ")";
    return -1;
  }
  std::vector<int16_t> samples;
  int16_t buffer[8192];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    samples.insert(samples.end(), buffer, buffer + got / sizeof buffer[0]);
  CloseHandle(file);
  const int threshold = 32768 / 100;
  size_t frames = samples.size() / 2, first = frames, last = 0;
  for (size_t i = 0; i < frames; i++) {
    int left = samples[2 * i], right = samples[2 * i + 1];
    if (left > threshold || -left > threshold || right > threshold || -right > threshold) {
      if (first == frames) first = i;
      last = i;
    }
  }
  if (first == frames) {
    *why = "the capture holds only silence";
    return -1;
  }
  return static_cast<double>(last - first + 1) / 44100.0;
}

}  // namespace harness
