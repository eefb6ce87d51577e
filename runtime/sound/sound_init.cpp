#include <math.h>

#include "runtime/sound/sound_internal.h"

// Constant-initialised: the program starts without C++ start-up code.
constinit SoundState SoundLibrary;

namespace {

// Entry k is the device volume of k percent, offset by 10000 so that it is
// never negative: 2000 * log10(k / 100) hundredths of a decibel.
void FillVolumeTable(int32_t *table) {
  table[0] = 0;
  for (int k = 1; k <= 99; ++k)
    table[k] = static_cast<int32_t>(log10(static_cast<double>(1000 * k)) * 20.0 * 100.0);
  table[100] = 10000;
}

}  // namespace

void SoundUseDevice(const SoundDevice *device) {
  SoundLibrary = SoundState{};
  SoundLibrary.device = device;
  SoundLibrary.deviceChosen = 1;
}

intptr_t SoundInit(void) {
  SoundState *s = &SoundLibrary;
  // The table comes first so that it exists even when a later step fails.
  if (!s->table) {
    s->table = ObjectTableCreate(static_cast<int32_t>(sizeof(SoundRecord)), 64, SoundFree);
    if (!s->table) return 0;
  }
  FillVolumeTable(s->volumeTable);
  if (!s->deviceChosen) {
    s->device = SoundStartDevice;
    s->deviceChosen = 1;
  }
  const SoundDevice *d = s->device;
  if (!d) return 0;

  if (!s->windowMade) {
    intptr_t window = d->WindowMake();
    if (!window) return 0;
    s->window = window;
    s->windowMade = 1;
  }
  if (s->open) return reinterpret_cast<intptr_t>(s->table);

  // Each step below is skipped when an earlier call got through it, so a
  // retry neither loads the library twice nor makes a second device.
  if (!s->library) {
    s->library = d->LibraryLoad();
    if (!s->library) return 0;
  }
  if (!s->entry) {
    s->entry = d->LibraryEntry(s->library);
    if (!s->entry) return 0;
  }
  if (!s->deviceObject) {
    void *device = nullptr;
    if (d->DeviceCreate(s->entry, &device) != 0 || !device) return 0;
    s->deviceObject = device;
  }
  if (!s->levelSet) {
    if (d->DeviceSetLevel(s->deviceObject, s->window, SoundLevelPriority) != 0) return 0;
    s->levelSet = 1;
  }
  SoundBufferDesc desc = {SoundBufferPrimary, 0, nullptr};
  SoundBuffer primary = nullptr;
  if (d->DeviceCreateBuffer(s->deviceObject, &desc, &primary) != 0 || !primary) return 0;
  s->primary = primary;
  s->open = 1;
  return reinterpret_cast<intptr_t>(s->table);
}

void SoundEnd(void) {
  SoundState *s = &SoundLibrary;
  if (!s->table) return;
  ObjectTableFreeAll(s->table);

  const SoundDevice *d = s->device;
  if (!d) return;
  // The device's code lives in its library: let go of the device before the
  // library goes.
  if (s->primary) d->BufferRelease(s->primary);
  if (s->deviceObject) d->DeviceRelease(s->deviceObject);
  if (s->library) d->LibraryUnload(s->library);
  s->primary = nullptr;
  s->deviceObject = nullptr;
  s->levelSet = 0;
  s->open = 0;
  s->library = 0;
  s->entry = 0;
}
