// A sound device for tests: it logs every call, keeps buffers in memory and
// can be told to fail any operation. Buffers are named by their creation
// index (1, 2, ...) in the log, never by address.
#pragma once
#include <stdint.h>

#include <memory>
#include <ostream>
#include <vector>

#include "runtime/sound/sound_internal.h"

enum class Op {
  WindowMake, LibraryLoad, LibraryEntry, LibraryUnload, DeviceCreate, DeviceSetLevel,
  DeviceCreateBuffer, DeviceDuplicateBuffer, DeviceRelease, BufferLock, BufferUnlock,
  BufferPlay, BufferStop, BufferSetPosition, BufferGetStatus, BufferGetVolume,
  BufferSetVolume, BufferGetPan, BufferSetPan, BufferGetFrequency, BufferSetFrequency,
  BufferRelease, Count
};

// One call: the buffer it concerns (0: none) and up to two arguments.
struct Call {
  Op op;
  int buffer;
  int64_t a;
  int64_t b;
  bool operator==(const Call &) const = default;
};
std::ostream &operator<<(std::ostream &out, const Call &call);

struct FakeBuffer {
  int index;
  uint32_t flags;
  uint32_t bytes;
  std::vector<unsigned char> format;
  std::shared_ptr<std::vector<unsigned char>> data;  // shared with duplicates
  int source;  // buffer it duplicates, 0 for none
  bool released;
  bool locked;
  bool playing;
  uint32_t playFlags;
  uint32_t position;
  int32_t volume;
  int32_t pan;
  uint32_t frequency;
};

constexpr intptr_t FakeLibrary = 0x1100;
constexpr intptr_t FakeEntry = 0x2200;
constexpr intptr_t FakeWindow = 0x3300;
constexpr int32_t FakeFailure = static_cast<int32_t>(0x80070057);

struct Recorder {
  std::vector<Call> log;
  std::vector<std::unique_ptr<FakeBuffer>> buffers;
  bool fail[static_cast<int>(Op::Count)] = {};
  uint32_t lockShortBy = 0;   // the locked region is this much smaller
  int32_t newPan = -300;      // settings a new buffer starts with
  int32_t newVolume = -1200;
  int deviceObject = 0;       // its address is the device
  bool deviceReleased = false;
  int misuse = 0;             // calls on released or unknown buffers

  void Reset();
  void Fail(Op op, bool on = true) { fail[static_cast<int>(op)] = on; }
  bool Failing(Op op) const { return fail[static_cast<int>(op)]; }
  FakeBuffer *Buffer(int index) { return buffers.at(static_cast<size_t>(index - 1)).get(); }
  FakeBuffer *Find(SoundBuffer handle);  // null (and a misuse) if not live
  int LiveBuffers() const;
  // The log since the last Take, and a fresh log from here.
  std::vector<Call> Take();
};

extern Recorder Rec;
extern const SoundDevice RecordingDevice;
