// The Windows sound device: the hidden sound window and DirectSound, loaded
// from DSOUND.DLL at run time so that the program runs without it.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include "runtime/platform/program_instance.h"
#include "runtime/sound/sound_device.h"

#if defined(__i386__)
static_assert(sizeof(DSBUFFERDESC) == 36, "the 32-bit DSBUFFERDESC is 36 bytes");
#endif
static_assert(SoundLevelPriority == DSSCL_PRIORITY);
static_assert(SoundBufferPrimary == DSBCAPS_PRIMARYBUFFER);
static_assert(SoundBufferSecondary == (DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                       DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2));
static_assert(SoundPlayLooping == DSBPLAY_LOOPING);
static_assert(SoundStatusPlaying == DSBSTATUS_PLAYING);
static_assert(SoundVolumeSilence == DSBVOLUME_MIN);

namespace {

constexpr WCHAR SoundClassName[] = L"MultimediaBase Class";

typedef HRESULT(WINAPI *DirectSoundCreateEntry)(LPCGUID device, LPDIRECTSOUND *out, LPUNKNOWN outer);

IDirectSoundBuffer *AsBuffer(SoundBuffer buffer) {
  return static_cast<IDirectSoundBuffer *>(buffer);
}

// The window exists only for the cooperative level; it takes no input.
LRESULT CALLBACK SoundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 1;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      return 0;
    case WM_ACTIVATE:
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

intptr_t WindowMake(void) {
  // A retry after a failed CreateWindowExW finds the class already there.
  WNDCLASSEXW known = {};
  known.cbSize = sizeof known;
  if (!GetClassInfoExW(ProgramInstance, SoundClassName, &known) || known.lpfnWndProc != SoundWindowProc) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = SoundWindowProc;
    windowClass.hInstance = ProgramInstance;
    windowClass.hIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(1));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = SoundClassName;
    if (!RegisterClassExW(&windowClass)) return 0;
  }
  HWND window = CreateWindowExW(0, SoundClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ProgramInstance, nullptr);
  return reinterpret_cast<intptr_t>(window);
}

intptr_t LibraryLoad(void) {
  return reinterpret_cast<intptr_t>(LoadLibraryA("DSOUND.DLL"));
}

intptr_t LibraryEntry(intptr_t library) {
  return reinterpret_cast<intptr_t>(GetProcAddress(reinterpret_cast<HMODULE>(library), "DirectSoundCreate"));
}

void LibraryUnload(intptr_t library) {
  FreeLibrary(reinterpret_cast<HMODULE>(library));
}

int32_t DeviceCreate(intptr_t entry, void **device) {
  DirectSoundCreateEntry create = reinterpret_cast<DirectSoundCreateEntry>(entry);
  IDirectSound *created = nullptr;
  HRESULT result = create(nullptr, &created, nullptr);
  *device = created;
  return result;
}

int32_t DeviceSetLevel(void *device, intptr_t window, uint32_t level) {
  return static_cast<IDirectSound *>(device)->SetCooperativeLevel(reinterpret_cast<HWND>(window), level);
}

int32_t DeviceCreateBuffer(void *device, const SoundBufferDesc *desc, SoundBuffer *buffer) {
  DSBUFFERDESC description = {};
  description.dwSize = sizeof description;
  description.dwFlags = desc->flags;
  description.dwBufferBytes = desc->bytes;
  description.lpwfxFormat = static_cast<LPWAVEFORMATEX>(const_cast<void *>(desc->format));
  IDirectSoundBuffer *created = nullptr;
  HRESULT result = static_cast<IDirectSound *>(device)->CreateSoundBuffer(&description, &created, nullptr);
  *buffer = created;
  return result;
}

int32_t DeviceDuplicateBuffer(void *device, SoundBuffer source, SoundBuffer *buffer) {
  IDirectSoundBuffer *created = nullptr;
  HRESULT result = static_cast<IDirectSound *>(device)->DuplicateSoundBuffer(AsBuffer(source), &created);
  *buffer = created;
  return result;
}

void DeviceRelease(void *device) {
  static_cast<IDirectSound *>(device)->Release();
}

int32_t BufferLock(SoundBuffer buffer, uint32_t bytes, void **region, uint32_t *regionBytes) {
  DWORD size = 0;
  HRESULT result = AsBuffer(buffer)->Lock(0, bytes, region, &size, nullptr, nullptr, 0);
  *regionBytes = size;
  return result;
}

void BufferUnlock(SoundBuffer buffer, void *region, uint32_t regionBytes) {
  AsBuffer(buffer)->Unlock(region, regionBytes, nullptr, 0);
}

int32_t BufferPlay(SoundBuffer buffer, uint32_t flags) {
  return AsBuffer(buffer)->Play(0, 0, flags);
}

void BufferStop(SoundBuffer buffer) {
  AsBuffer(buffer)->Stop();
}

void BufferSetPosition(SoundBuffer buffer, uint32_t position) {
  AsBuffer(buffer)->SetCurrentPosition(position);
}

int32_t BufferGetStatus(SoundBuffer buffer, uint32_t *status) {
  DWORD word = 0;
  HRESULT result = AsBuffer(buffer)->GetStatus(&word);
  *status = word;
  return result;
}

int32_t BufferGetVolume(SoundBuffer buffer, int32_t *volume) {
  LONG value = *volume;
  HRESULT result = AsBuffer(buffer)->GetVolume(&value);
  *volume = value;
  return result;
}

void BufferSetVolume(SoundBuffer buffer, int32_t volume) {
  AsBuffer(buffer)->SetVolume(volume);
}

int32_t BufferGetPan(SoundBuffer buffer, int32_t *pan) {
  LONG value = *pan;
  HRESULT result = AsBuffer(buffer)->GetPan(&value);
  *pan = value;
  return result;
}

void BufferSetPan(SoundBuffer buffer, int32_t pan) {
  AsBuffer(buffer)->SetPan(pan);
}

int32_t BufferGetFrequency(SoundBuffer buffer, uint32_t *frequency) {
  DWORD value = *frequency;
  HRESULT result = AsBuffer(buffer)->GetFrequency(&value);
  *frequency = value;
  return result;
}

void BufferSetFrequency(SoundBuffer buffer, uint32_t frequency) {
  AsBuffer(buffer)->SetFrequency(frequency);
}

void BufferRelease(SoundBuffer buffer) {
  AsBuffer(buffer)->Release();
}

}  // namespace

const SoundDevice SoundDirectSound = {
    WindowMake,         LibraryLoad,        LibraryEntry,     LibraryUnload,      DeviceCreate,
    DeviceSetLevel,     DeviceCreateBuffer, DeviceDuplicateBuffer, DeviceRelease, BufferLock,
    BufferUnlock,       BufferPlay,         BufferStop,       BufferSetPosition,  BufferGetStatus,
    BufferGetVolume,    BufferSetVolume,    BufferGetPan,     BufferSetPan,       BufferGetFrequency,
    BufferSetFrequency, BufferRelease,
};
