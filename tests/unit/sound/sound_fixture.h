// Shared by the sound unit tests: a fresh library on the recording device for
// every test, and helpers to compare the device log with a table.
#pragma once
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <vector>

#include "recording_device.h"
#include "runtime/sound/sound_internal.h"
#include "runtime/sound/sound_internal.h"

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RuntimeHeap = PlatformHeapCreate(4096);
    Rec.Reset();
    SoundUseDevice(&RecordingDevice);
  }
  void TearDown() override {
    EXPECT_EQ(Rec.misuse, 0) << "a call reached a released or unknown buffer";
    SoundUseDevice(nullptr);
    PlatformHeapDestroy(RuntimeHeap);
    RuntimeHeap = nullptr;
  }
  // Opens the device (buffer 1 is the primary buffer) and clears the log.
  void Open() {
    ASSERT_NE(SoundInit(), 0);
    Rec.Take();
  }
  static int64_t LiveHeapBlocks() {
    PlatformHeapStats stats;
    PlatformHeapGetStats(RuntimeHeap, &stats);
    return stats.liveBlocks;
  }
};

inline void ExpectLog(const std::vector<Call> &expected) {
  std::vector<Call> got = Rec.Take();
  if (got == expected) return;
  ADD_FAILURE() << "device calls differ";
  size_t n = got.size() > expected.size() ? got.size() : expected.size();
  for (size_t i = 0; i < n; ++i) {
    std::ostringstream line;
    line << i << ": got ";
    if (i < got.size()) line << got[i]; else line << "(none)";
    line << "  expected ";
    if (i < expected.size()) line << expected[i]; else line << "(none)";
    if (i < got.size() && i < expected.size() && got[i] == expected[i]) line << "  ok";
    std::cout << line.str() << "\n";
  }
}

// Little-endian bytes and RIFF chunks for building wave images in tables.
typedef std::vector<unsigned char> Bytes;

inline Bytes Le16(uint32_t v) { return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)}; }
inline Bytes Le32(uint32_t v) {
  return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
          static_cast<unsigned char>(v >> 24)};
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes &p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
inline Bytes Tag(const char *id) { return Bytes(id, id + 4); }
// A chunk with its true size, padded to an even length.
inline Bytes Chunk(const char *id, const Bytes &body) {
  Bytes out = Cat({Tag(id), Le32(static_cast<uint32_t>(body.size())), body});
  if (body.size() & 1) out.push_back(0);
  return out;
}
// A chunk whose size field says whatever the row needs.
inline Bytes ChunkSized(const char *id, uint32_t size, const Bytes &body) {
  return Cat({Tag(id), Le32(size), body});
}
// "RIFF", the true RIFF size, "WAVE", then the chunks.
inline Bytes Riff(std::initializer_list<Bytes> chunks) {
  Bytes body = Cat({Tag("WAVE")});
  for (const Bytes &c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Cat({Tag("RIFF"), Le32(static_cast<uint32_t>(body.size())), body});
}
inline Bytes Pcm8Mono(uint32_t rate = 11025) {
  return Cat({Le16(1), Le16(1), Le32(rate), Le32(rate), Le16(1), Le16(8)});
}
