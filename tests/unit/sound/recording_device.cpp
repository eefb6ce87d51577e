#include "recording_device.h"

#include <string.h>

Recorder Rec;

namespace {

const char *const OpNames[] = {
    "WindowMake", "LibraryLoad", "LibraryEntry", "LibraryUnload", "DeviceCreate", "DeviceSetLevel",
    "DeviceCreateBuffer", "DeviceDuplicateBuffer", "DeviceRelease", "BufferLock", "BufferUnlock",
    "BufferPlay", "BufferStop", "BufferSetPosition", "BufferGetStatus", "BufferGetVolume",
    "BufferSetVolume", "BufferGetPan", "BufferSetPan", "BufferGetFrequency", "BufferSetFrequency",
    "BufferRelease"};
static_assert(sizeof OpNames / sizeof OpNames[0] == static_cast<size_t>(Op::Count));

void Log(Op op, int buffer = 0, int64_t a = 0, int64_t b = 0) {
  Rec.log.push_back({op, buffer, a, b});
}

FakeBuffer *NewBuffer(uint32_t flags, uint32_t bytes) {
  auto buffer = std::make_unique<FakeBuffer>();
  buffer->index = static_cast<int>(Rec.buffers.size()) + 1;
  buffer->flags = flags;
  buffer->bytes = bytes;
  buffer->pan = Rec.newPan;
  buffer->volume = Rec.newVolume;
  Rec.buffers.push_back(std::move(buffer));
  return Rec.buffers.back().get();
}

int IndexOf(SoundBuffer handle) {
  FakeBuffer *buffer = Rec.Find(handle);
  return buffer ? buffer->index : -1;
}

intptr_t WindowMake(void) {
  Log(Op::WindowMake);
  return Rec.Failing(Op::WindowMake) ? 0 : FakeWindow;
}

intptr_t LibraryLoad(void) {
  Log(Op::LibraryLoad);
  return Rec.Failing(Op::LibraryLoad) ? 0 : FakeLibrary;
}

intptr_t LibraryEntry(intptr_t library) {
  Log(Op::LibraryEntry, 0, library);
  return Rec.Failing(Op::LibraryEntry) ? 0 : FakeEntry;
}

void LibraryUnload(intptr_t library) {
  Log(Op::LibraryUnload, 0, library);
}

int32_t DeviceCreate(intptr_t entry, void **device) {
  Log(Op::DeviceCreate, 0, entry);
  if (Rec.Failing(Op::DeviceCreate)) {
    *device = nullptr;
    return FakeFailure;
  }
  *device = &Rec.deviceObject;
  Rec.deviceReleased = false;
  return 0;
}

bool IsDevice(void *device) {
  if (device == &Rec.deviceObject && !Rec.deviceReleased) return true;
  ++Rec.misuse;
  return false;
}

int32_t DeviceSetLevel(void *device, intptr_t window, uint32_t level) {
  IsDevice(device);
  Log(Op::DeviceSetLevel, 0, window, level);
  return Rec.Failing(Op::DeviceSetLevel) ? FakeFailure : 0;
}

int32_t DeviceCreateBuffer(void *device, const SoundBufferDesc *desc, SoundBuffer *out) {
  IsDevice(device);
  *out = nullptr;
  // DirectSound takes secondary buffers of DSBSIZE_MIN (4) to DSBSIZE_MAX bytes.
  bool badSize = !(desc->flags & SoundBufferPrimary) && (desc->bytes < 4 || desc->bytes > 0x0FFFFFFF);
  if (Rec.Failing(Op::DeviceCreateBuffer) || badSize) {
    Log(Op::DeviceCreateBuffer, 0, desc->flags, desc->bytes);
    return FakeFailure;
  }
  FakeBuffer *buffer = NewBuffer(desc->flags, desc->bytes);
  if (desc->format) {
    // The device reads the format header like DirectSound: 16 bytes for PCM,
    // 18 + cbSize for anything else.
    const unsigned char *format = static_cast<const unsigned char *>(desc->format);
    size_t size = 16;
    if (format[0] != 1 || format[1] != 0) size = 18 + (format[16] | format[17] << 8);
    buffer->format.assign(format, format + size);
    buffer->frequency = static_cast<uint32_t>(format[4] | format[5] << 8 | format[6] << 16 | format[7] << 24);
  }
  buffer->data = std::make_shared<std::vector<unsigned char>>(desc->bytes);
  Log(Op::DeviceCreateBuffer, buffer->index, desc->flags, desc->bytes);
  *out = buffer;
  return 0;
}

int32_t DeviceDuplicateBuffer(void *device, SoundBuffer source, SoundBuffer *out) {
  IsDevice(device);
  *out = nullptr;
  FakeBuffer *from = Rec.Find(source);
  if (!from || Rec.Failing(Op::DeviceDuplicateBuffer)) {
    Log(Op::DeviceDuplicateBuffer, 0, from ? from->index : -1);
    return FakeFailure;
  }
  FakeBuffer *buffer = NewBuffer(from->flags, from->bytes);
  buffer->format = from->format;
  buffer->data = from->data;
  buffer->source = from->index;
  buffer->pan = from->pan;
  buffer->volume = from->volume;
  buffer->frequency = from->frequency;
  Log(Op::DeviceDuplicateBuffer, buffer->index, from->index);
  *out = buffer;
  return 0;
}

void DeviceRelease(void *device) {
  IsDevice(device);
  Log(Op::DeviceRelease);
  Rec.deviceReleased = true;
}

int32_t BufferLock(SoundBuffer handle, uint32_t bytes, void **region, uint32_t *regionBytes) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferLock, IndexOf(handle), bytes);
  *region = nullptr;
  *regionBytes = 0;
  if (!buffer || Rec.Failing(Op::BufferLock) || bytes > buffer->bytes) return FakeFailure;
  buffer->locked = true;
  *region = buffer->data->data();
  *regionBytes = bytes - Rec.lockShortBy;
  return 0;
}

void BufferUnlock(SoundBuffer handle, void *region, uint32_t regionBytes) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferUnlock, IndexOf(handle), regionBytes);
  if (!buffer) return;
  if (!buffer->locked || region != buffer->data->data()) ++Rec.misuse;
  buffer->locked = false;
}

int32_t BufferPlay(SoundBuffer handle, uint32_t flags) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferPlay, IndexOf(handle), flags);
  if (!buffer || Rec.Failing(Op::BufferPlay)) return FakeFailure;
  buffer->playing = true;
  buffer->playFlags = flags;
  return 0;
}

void BufferStop(SoundBuffer handle) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferStop, IndexOf(handle));
  if (buffer) buffer->playing = false;
}

void BufferSetPosition(SoundBuffer handle, uint32_t position) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferSetPosition, IndexOf(handle), position);
  if (buffer) buffer->position = position;
}

int32_t BufferGetStatus(SoundBuffer handle, uint32_t *status) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferGetStatus, IndexOf(handle));
  // A failing call leaves the word as the caller set it.
  if (!buffer || Rec.Failing(Op::BufferGetStatus)) return FakeFailure;
  *status = buffer->playing ? SoundStatusPlaying : 0;
  return 0;
}

int32_t BufferGetVolume(SoundBuffer handle, int32_t *volume) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferGetVolume, IndexOf(handle));
  if (!buffer || Rec.Failing(Op::BufferGetVolume)) return FakeFailure;
  *volume = buffer->volume;
  return 0;
}

void BufferSetVolume(SoundBuffer handle, int32_t volume) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferSetVolume, IndexOf(handle), volume);
  if (buffer) buffer->volume = volume;
}

int32_t BufferGetPan(SoundBuffer handle, int32_t *pan) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferGetPan, IndexOf(handle));
  if (!buffer || Rec.Failing(Op::BufferGetPan)) return FakeFailure;
  *pan = buffer->pan;
  return 0;
}

void BufferSetPan(SoundBuffer handle, int32_t pan) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferSetPan, IndexOf(handle), pan);
  if (buffer) buffer->pan = pan;
}

int32_t BufferGetFrequency(SoundBuffer handle, uint32_t *frequency) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferGetFrequency, IndexOf(handle));
  if (!buffer || Rec.Failing(Op::BufferGetFrequency)) return FakeFailure;
  *frequency = buffer->frequency;
  return 0;
}

void BufferSetFrequency(SoundBuffer handle, uint32_t frequency) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferSetFrequency, IndexOf(handle), frequency);
  if (buffer) buffer->frequency = frequency;
}

void BufferRelease(SoundBuffer handle) {
  FakeBuffer *buffer = Rec.Find(handle);
  Log(Op::BufferRelease, IndexOf(handle));
  if (!buffer) return;
  buffer->released = true;
  buffer->playing = false;
}

}  // namespace

std::ostream &operator<<(std::ostream &out, const Call &call) {
  return out << "{" << OpNames[static_cast<int>(call.op)] << ", buffer " << call.buffer << ", " << call.a << ", "
             << call.b << "}";
}

void Recorder::Reset() {
  *this = Recorder{};
}

FakeBuffer *Recorder::Find(SoundBuffer handle) {
  for (auto &buffer : buffers)
    if (buffer.get() == handle) {
      if (buffer->released) break;
      return buffer.get();
    }
  ++misuse;
  return nullptr;
}

int Recorder::LiveBuffers() const {
  int live = 0;
  for (auto &buffer : buffers) live += buffer->released ? 0 : 1;
  return live;
}

std::vector<Call> Recorder::Take() {
  std::vector<Call> taken;
  taken.swap(log);
  return taken;
}

const SoundDevice RecordingDevice = {
    WindowMake,      LibraryLoad,        LibraryEntry,          LibraryUnload,  DeviceCreate,       DeviceSetLevel,
    DeviceCreateBuffer, DeviceDuplicateBuffer, DeviceRelease,   BufferLock,     BufferUnlock,       BufferPlay,
    BufferStop,      BufferSetPosition,  BufferGetStatus,       BufferGetVolume, BufferSetVolume,   BufferGetPan,
    BufferSetPan,    BufferGetFrequency, BufferSetFrequency,    BufferRelease,
};
