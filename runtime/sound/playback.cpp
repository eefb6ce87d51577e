#include "runtime/sound/sound_internal.h"

namespace {

void ReleaseFinishedInstances(SoundRecord *record) {
  const SoundDevice *d = SoundLibrary.device;
  void *payload = record->instances;
  while (payload) {
    void *next = ListNext(payload);
    SoundBuffer buffer = *static_cast<SoundBuffer *>(payload);
    // A failed status call leaves the word at 0 and so reads as finished.
    uint32_t status = 0;
    d->BufferGetStatus(buffer, &status);
    if (!(status & SoundStatusPlaying)) {
      d->BufferRelease(buffer);
      ListRemove(&record->instances, payload);
    }
    payload = next;
  }
}

}  // namespace

intptr_t SoundPlay(intptr_t number, uint32_t flags, int32_t volume) {
  SoundRecord *record = SoundLookup(number);
  if (!record) return 0;
  const SoundDevice *d = SoundLibrary.device;
  uint32_t playFlags = (flags & SoundFlagLoop) ? SoundPlayLooping : 0;

  if (!(flags & SoundFlagInstance)) {
    // A sound still playing starts again from its beginning.
    d->BufferStop(record->buffer);
    d->BufferSetPosition(record->buffer, 0);
    if (volume != -1) SoundSetVolume(number, volume, 0);
    return d->BufferPlay(record->buffer, playFlags) == 0 ? 1 : 0;
  }

  ReleaseFinishedInstances(record);
  SoundBuffer *instance = static_cast<SoundBuffer *>(ListAdd(&record->instances, ListNodeSize(sizeof(SoundBuffer))));
  if (!instance) return 0;
  if (d->DeviceDuplicateBuffer(SoundLibrary.deviceObject, record->buffer, instance) != 0 || !*instance) {
    ListRemove(&record->instances, instance);
    return 0;
  }
  d->BufferSetFrequency(*instance, record->frequency);
  d->BufferSetPan(*instance, record->pan);
  // Without a volume an instance starts from the sound's original volume,
  // whatever the main buffer was set to since.
  if (volume != -1)
    SoundSetVolume(number, volume, reinterpret_cast<intptr_t>(instance));
  else
    d->BufferSetVolume(*instance, record->volume);
  d->BufferPlay(*instance, playFlags);
  return reinterpret_cast<intptr_t>(instance);
}

void SoundSetVolume(intptr_t number, int32_t volume, intptr_t instance) {
  SoundRecord *record = SoundLookup(number);
  if (!record) return;
  if (volume > 100) volume = 100;
  if (volume < 0) volume = 0;
  SoundBuffer buffer = record->buffer;
  if (instance) {
    void *payload = ListContains(record->instances, reinterpret_cast<void *>(instance));
    if (!payload) return;
    buffer = *static_cast<SoundBuffer *>(payload);
  }
  SoundLibrary.device->BufferSetVolume(buffer, SoundLibrary.volumeTable[volume] + SoundVolumeSilence);
}

void SoundFree(intptr_t number) {
  SoundRecord *record = SoundLookup(number);
  if (!record) return;
  const SoundDevice *d = SoundLibrary.device;
  while (record->instances) {
    d->BufferRelease(*static_cast<SoundBuffer *>(record->instances));
    ListRemove(&record->instances, record->instances);
  }
  d->BufferRelease(record->buffer);
  ObjectTableRelease(SoundLibrary.table, number);
}
