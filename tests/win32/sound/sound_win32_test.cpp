// The sound library against Wine's real DirectSound and user32: the hidden
// sound window, the buffer the built-in image makes, restarts, instances,
// volumes and the end of the library. Without a device every test says
// "skipped: no device".
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <string>
#include <vector>

#include "resources/alarm/alarm_image.h"
#include "runtime/platform/program_instance.h"
#include "runtime/sound/sound_internal.h"
#include "runtime/sound/sound_internal.h"

namespace {

intptr_t SoundTable = 0;

class SoundEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ProgramInstance = GetModuleHandleA(nullptr);
    RuntimeHeap = PlatformHeapCreate(4096);
    SoundTable = SoundInit();
  }
};
const auto *const Environment = ::testing::AddGlobalTestEnvironment(new SoundEnvironment);

#define REQUIRE_DEVICE() \
  if (!SoundTable) GTEST_SKIP() << "skipped: no device"

IDirectSoundBuffer *MainBuffer(intptr_t number) {
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, number));
  return record ? static_cast<IDirectSoundBuffer *>(record->buffer) : nullptr;
}

IDirectSoundBuffer *InstanceBuffer(intptr_t instance) {
  return static_cast<IDirectSoundBuffer *>(*reinterpret_cast<SoundBuffer *>(instance));
}

bool Playing(IDirectSoundBuffer *buffer) {
  DWORD status = 0;
  return SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
}

DWORD PlayPosition(IDirectSoundBuffer *buffer) {
  DWORD play = 0, write = 0;
  buffer->GetCurrentPosition(&play, &write);
  return play;
}

// Waits (at most five seconds) until every buffer has stopped.
bool WaitUntilStopped(const std::vector<IDirectSoundBuffer *> &buffers) {
  for (int i = 0; i < 5000; ++i) {
    bool any = false;
    for (IDirectSoundBuffer *b : buffers) any = any || Playing(b);
    if (!any) return true;
    Sleep(1);
  }
  return false;
}

int InstanceCount(intptr_t number) {
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, number));
  int count = 0;
  for (void *p = record ? record->instances : nullptr; p; p = ListNext(p)) ++count;
  return count;
}

// ---- The sound window ----

BOOL CALLBACK CollectSoundWindows(HWND window, LPARAM found) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "MultimediaBase Class") reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
  return TRUE;
}

HWND SoundWindow() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), CollectSoundWindows, reinterpret_cast<LPARAM>(&found));
  return found.size() == 1 ? found[0] : nullptr;
}

TEST(SoundWindow, IsAnInvisibleOnePixelPopupAtTheOrigin) {
  REQUIRE_DEVICE();
  HWND window = SoundWindow();
  ASSERT_NE(window, nullptr) << "exactly one sound window on this thread";
  EXPECT_EQ(reinterpret_cast<intptr_t>(window), SoundLibrary.window);
  RECT rect;
  ASSERT_TRUE(GetWindowRect(window, &rect));
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 1);
  EXPECT_EQ(rect.bottom, 1);
  // The system adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~static_cast<DWORD>(WS_CLIPSIBLINGS),
            static_cast<DWORD>(WS_POPUP));
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE), 0);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_EQ(GetWindowTextLengthA(window), 0);
  EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HCURSOR), 0u);
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HICON),
            reinterpret_cast<ULONG_PTR>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1))));
  EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0u) << "icon resource 1";
  EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)), GetModuleHandleA(nullptr));
}

// A recording subclass logs what reaches the sound window while a message is
// sent; the window's own answer is compared too.
std::vector<UINT> Received;
WNDPROC SoundProc = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Received.push_back(message);
  return CallWindowProcA(SoundProc, window, message, wParam, lParam);
}

// Messages that Wine and Windows send around others in different ways.
bool IgnoreMessage(UINT message) {
  switch (message) {
    case WM_GETICON:
    case WM_NCPAINT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_GETMINMAXINFO:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      return true;
    default:
      return false;
  }
}

std::string Names(const std::vector<UINT> &messages) {
  std::string out;
  char text[16];
  for (UINT m : messages) {
    wsprintfA(text, "0x%04X ", m);
    out += text;
  }
  return out;
}

TEST(SoundWindow, AnswersEachMessageAsItsProcedureSays) {
  REQUIRE_DEVICE();
  HWND window = SoundWindow();
  ASSERT_NE(window, nullptr);
  struct Row {
    const char *name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    std::vector<UINT> sequence;
  };
  const Row rows[] = {
      {"close request", WM_CLOSE, 0, 0, 0, {WM_CLOSE}},
      {"erase", WM_ERASEBKGND, 0, 0, 1, {WM_ERASEBKGND}},
      {"paint", WM_PAINT, 0, 0, 1, {WM_PAINT}},
      {"activate", WM_ACTIVATE, WA_ACTIVE, 0, 0, {WM_ACTIVATE}},
      {"key up", WM_KEYUP, VK_SPACE, MAKELPARAM(1, 0xC039), 0, {WM_KEYUP}},
      {"system key up", WM_SYSKEYUP, VK_MENU, MAKELPARAM(1, 0xC038), 0, {WM_SYSKEYUP}},
      {"left down", WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {WM_LBUTTONDOWN}},
      {"left up", WM_LBUTTONUP, 0, 0, 0, {WM_LBUTTONUP}},
      {"right down", WM_RBUTTONDOWN, MK_RBUTTON, 0, 0, {WM_RBUTTONDOWN}},
      {"right up", WM_RBUTTONUP, 0, 0, 0, {WM_RBUTTONUP}},
      // The default procedure turns a close command into a close request,
      // which the window ignores.
      {"close command", WM_SYSCOMMAND, SC_CLOSE, 0, 0, {WM_SYSCOMMAND, WM_CLOSE}},
      {"double click goes to the default procedure", WM_LBUTTONDBLCLK, MK_LBUTTON, 0, 0, {WM_LBUTTONDBLCLK}},
      {"set text goes to the default procedure", WM_SETTEXT, 0, reinterpret_cast<LPARAM>("probe"), TRUE,
       {WM_SETTEXT}},
  };
  SoundProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
  ASSERT_NE(SoundProc, nullptr);
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Received.clear();
    LRESULT result = SendMessageA(window, row.message, row.wParam, row.lParam);
    std::vector<UINT> got;
    for (UINT m : Received)
      if (!IgnoreMessage(m)) got.push_back(m);
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(got, row.sequence) << "received: " << Names(Received);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
  }
  char text[16] = {};
  GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ(text, "probe");
  SetWindowTextA(window, "");
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SoundProc));
}

TEST(SoundWindow, StaysAfterAPostedCloseRequest) {
  REQUIRE_DEVICE();
  HWND window = SoundWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(SoundWindow(), window);
}

TEST(SoundInitAgain, ReturnsTheSameTableAndMakesNoSecondWindow) {
  REQUIRE_DEVICE();
  EXPECT_EQ(SoundInit(), SoundTable);
  EXPECT_NE(SoundWindow(), nullptr);
}

// ---- Sounds on the real device ----

TEST(SoundDirect, BuiltInImageMakesAStaticPcmBufferWithItsSamples) {
  REQUIRE_DEVICE();
  intptr_t result = SoundFromMemory(1, AlarmImage);
  ASSERT_NE(result, 0);
  IDirectSoundBuffer *buffer = MainBuffer(1);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(result, reinterpret_cast<intptr_t>(buffer));
  WAVEFORMATEX format = {};
  DWORD written = 0;
  ASSERT_EQ(buffer->GetFormat(&format, sizeof format, &written), DS_OK);
  EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(format.nChannels, 1);
  EXPECT_EQ(format.nSamplesPerSec, 11025u);
  EXPECT_EQ(format.nAvgBytesPerSec, 11025u);
  EXPECT_EQ(format.nBlockAlign, 1);
  EXPECT_EQ(format.wBitsPerSample, 8);
  DSBCAPS caps = {};
  caps.dwSize = sizeof caps;
  ASSERT_EQ(buffer->GetCaps(&caps), DS_OK);
  EXPECT_EQ(caps.dwBufferBytes, 10119u);
  EXPECT_EQ(caps.dwFlags & SoundBufferSecondary, SoundBufferSecondary);
  void *region = nullptr;
  DWORD bytes = 0;
  ASSERT_EQ(buffer->Lock(0, 10119, &region, &bytes, nullptr, nullptr, 0), DS_OK);
  ASSERT_EQ(bytes, 10119u);
  EXPECT_EQ(memcmp(region, AlarmImage + 44, 10119), 0);
  buffer->Unlock(region, bytes, nullptr, 0);
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, 1));
  EXPECT_EQ(record->frequency, 11025u);
  EXPECT_EQ(record->pan, 0);
  EXPECT_EQ(record->volume, 0);
  EXPECT_EQ(record->instances, nullptr);
}

TEST(SoundDirect, SecondPlayWhilePlayingRestartsFromTheBeginning) {
  REQUIRE_DEVICE();
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);
  IDirectSoundBuffer *buffer = MainBuffer(1);
  ASSERT_EQ(SoundPlay(1), 1);
  EXPECT_TRUE(Playing(buffer));
  DWORD before = 0;
  for (int i = 0; i < 3000 && Playing(buffer); ++i) {
    before = PlayPosition(buffer);
    if (before >= 3000) break;
    Sleep(1);
  }
  ASSERT_GE(before, 3000u) << "the sound never got a third of the way";
  ASSERT_EQ(SoundPlay(1), 1);
  DWORD after = PlayPosition(buffer);
  EXPECT_TRUE(Playing(buffer));
  EXPECT_LT(after, before);
  EXPECT_LT(after, 1500u) << "started again near the beginning";
  EXPECT_TRUE(WaitUntilStopped({buffer})) << "a sound played once stops by itself";
}

TEST(SoundDirect, ThreeInstancesPlayTogetherBesideAnUntouchedMainBuffer) {
  REQUIRE_DEVICE();
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);
  IDirectSoundBuffer *main = MainBuffer(1);
  intptr_t handles[3];
  for (intptr_t &h : handles) h = SoundPlay(1, SoundFlagInstance);
  std::vector<IDirectSoundBuffer *> copies;
  for (intptr_t h : handles) {
    ASSERT_NE(h, 0);
    copies.push_back(InstanceBuffer(h));
  }
  EXPECT_NE(handles[0], handles[1]);
  EXPECT_NE(handles[1], handles[2]);
  EXPECT_NE(handles[0], handles[2]);
  int playing = 0;
  for (IDirectSoundBuffer *c : copies) playing += Playing(c) ? 1 : 0;
  EXPECT_EQ(playing, 3);
  EXPECT_FALSE(Playing(main));
  EXPECT_EQ(PlayPosition(main), 0u);
  EXPECT_EQ(InstanceCount(1), 3);
  DWORD frequency = 0;
  copies[0]->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 11025u);

  ASSERT_TRUE(WaitUntilStopped(copies));
  intptr_t next = SoundPlay(1, SoundFlagInstance);
  ASSERT_NE(next, 0);
  EXPECT_EQ(InstanceCount(1), 1) << "the three finished copies were released";
  EXPECT_TRUE(WaitUntilStopped({InstanceBuffer(next)}));
}

TEST(SoundDirect, VolumeReachesTheDeviceInHundredthsOfADecibel) {
  REQUIRE_DEVICE();
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);
  IDirectSoundBuffer *buffer = MainBuffer(1);
  const struct {
    int32_t volume;
    LONG device;
  } rows[] = {{50, -603}, {-1, -603}, {150, 0}, {1, -4000}, {-5, -10000}, {99, -9}, {0, -10000}, {100, 0}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.volume);
    EXPECT_EQ(SoundPlay(1, 0, row.volume), 1);
    LONG level = 1;
    ASSERT_EQ(buffer->GetVolume(&level), DS_OK);
    EXPECT_EQ(level, row.device);
  }
  buffer->Stop();
  intptr_t instance = SoundPlay(1, SoundFlagInstance | SoundFlagLoop, 25);
  ASSERT_NE(instance, 0);
  LONG level = 1;
  InstanceBuffer(instance)->GetVolume(&level);
  EXPECT_EQ(level, -1205);
  SoundSetVolume(1, 75, instance);
  InstanceBuffer(instance)->GetVolume(&level);
  EXPECT_EQ(level, -250);
  DWORD status = 0;
  InstanceBuffer(instance)->GetStatus(&status);
  EXPECT_EQ(status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
  SoundFree(1);  // a looping instance goes with its sound
  EXPECT_EQ(SoundPlay(1), 0);
}

// A wave image: "fmt " with the given PCM fields, then count data bytes.
std::vector<unsigned char> PcmImage(WORD channels, DWORD rate, WORD align, WORD bits, DWORD count) {
  WAVEFORMATEX f = {WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
  std::vector<unsigned char> image(44 + count, 0x80);
  DWORD riff = 36 + count, formatSize = 16;
  memcpy(&image[0], "RIFF", 4);
  memcpy(&image[4], &riff, 4);
  memcpy(&image[8], "WAVEfmt ", 8);
  memcpy(&image[16], &formatSize, 4);
  memcpy(&image[20], &f, 16);
  memcpy(&image[36], "data", 4);
  memcpy(&image[40], &count, 4);
  return image;
}

// What the real device refuses makes no sound, and sound 1 stays playable.
TEST(SoundDirect, RefusedBufferLeavesTheEarlierSound) {
  REQUIRE_DEVICE();
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);
  IDirectSoundBuffer *before = MainBuffer(1);
  const struct {
    const char *name;
    std::vector<unsigned char> image;
  } rows[] = {
      {"no sample bytes", PcmImage(1, 11025, 1, 8, 0)},
      {"no channels", PcmImage(0, 11025, 1, 8, 64)},
      {"block alignment that does not fit the samples", PcmImage(2, 11025, 1, 16, 64)},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SoundFromMemory(1, row.image.data()), 0);
    EXPECT_EQ(MainBuffer(1), before);
  }
  EXPECT_NE(SoundFromMemory(2, PcmImage(2, 22050, 4, 16, 64).data()), 0) << "a well-formed stereo image";
  EXPECT_EQ(SoundPlay(1), 1);
  EXPECT_TRUE(WaitUntilStopped({before}));
  SoundFree(2);
}

// Runs last: the end of the library.
TEST(SoundZEnd, FreesTheSoundsAndUnloadsTheDeviceLibrary) {
  REQUIRE_DEVICE();
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);
  ASSERT_NE(SoundFromMemory(AutoNumber, AlarmImage), 0);
  EXPECT_NE(GetModuleHandleA("DSOUND.DLL"), nullptr);
  SoundEnd();
  EXPECT_EQ(SoundPlay(1), 0);
  // Wine's dsound takes a reference to itself when it loads, so there the
  // library stays after SoundEnd; one more release must then unload it,
  // which shows that SoundEnd gave back the reference it took.
  HMODULE left = GetModuleHandleA("DSOUND.DLL");
  if (left) FreeLibrary(left);
  EXPECT_EQ(GetModuleHandleA("DSOUND.DLL"), nullptr);
  EXPECT_TRUE(IsWindow(reinterpret_cast<HWND>(SoundLibrary.window))) << "the sound window outlives the library";
}

}  // namespace
