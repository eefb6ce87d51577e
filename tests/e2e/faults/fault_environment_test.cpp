// The clock in a poor environment, registered in CMake (Wine takes
// HOME and WINE* of a new process from the Unix side, so the driver cannot
// set them for the program): no DSOUND.DLL, no audio device, no Arial. The
// alarm firing without sound is the clock e2e's; here the clock runs on,
// is minimised and restored, draws its text, and closes with exit code 0.
// Each case first proves, in the driver's own process, that the environment
// really lacks what it should.
#include <gtest/gtest.h>

#include <unknwn.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "fault_support.h"
#include "harness/case_env.h"
#include "harness/gdi_count.h"

using namespace driver;

namespace {

std::string FaultEnvironment() {
  if (DsoundDisabled()) return "no-dsound";
  if (AudioAbsent()) return "no-audio";
  if (PrefixHas("no-arial")) return "no-arial";
  return "";
}

// Why the sound device of this environment cannot be had, or "" if it can.
std::string SoundAbsence() {
  HMODULE dsound = LoadLibraryA("DSOUND.DLL");
  if (!dsound) return "DSOUND.DLL does not load (error " + std::to_string(GetLastError()) + ")";
  typedef HRESULT(WINAPI * CreateProc)(const GUID *, void **, void *);
  CreateProc create = reinterpret_cast<CreateProc>(reinterpret_cast<void *>(GetProcAddress(dsound, "DirectSoundCreate")));
  std::string absence;
  void *device = nullptr;
  HRESULT result = create ? create(nullptr, &device, nullptr) : E_FAIL;
  if (FAILED(result)) {
    char code[16];
    snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    absence = std::string("DirectSoundCreate fails (") + code + ")";
  } else {
    static_cast<IUnknown *>(device)->Release();
  }
  FreeLibrary(dsound);
  return absence;
}

// The face GDI gives for bold Arial 10 in this environment.
std::string FaceForArial() {
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontA(-MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  HGDIOBJ old = SelectObject(screen, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(screen, sizeof face, face);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return face;
}

struct InkCount {
  int red = 0, dark = 0;
};

// Red and near-black pixels inside the gadget, its frame left out.
InkCount CountInk(HWND gadget) {
  RECT r;
  GetWindowRect(gadget, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  InkCount ink;
  const uint32_t *pixels = static_cast<const uint32_t *>(bits);
  const int edge = 3;
  for (int y = edge; y < height - edge; y++)
    for (int x = edge; x < width - edge; x++) {
      uint32_t p = pixels[y * width + x];
      int red = (p >> 16) & 255, green = (p >> 8) & 255, blue = p & 255;
      if (red > 150 && green < 110 && blue < 110) ink.red++;
      if (red < 100 && green < 100 && blue < 100) ink.dark++;
    }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ink;
}

}  // namespace

// Run with WINEDLLOVERRIDES=dsound=d and with TAMRIX_AUDIO=none.
TEST(Environment, WithoutSoundClockRunsOnAndCloses) {
  std::string mode = FaultEnvironment();
  if (mode != "no-dsound" && mode != "no-audio") GTEST_SKIP() << "needs WINEDLLOVERRIDES=dsound=d or TAMRIX_AUDIO=none";
  std::string absence = SoundAbsence();
  ASSERT_NE(absence, "") << "the " << mode << " environment has a working sound device";
  RecordProperty("sound_absence", absence);
  printf("%s: %s\n", mode.c_str(), absence.c_str());

  // Armed: the alarm is an hour away, so the clock runs on with its alarm line.
  std::string alarm = faults::AlarmInAnHour();
  ClockProcess clock;
  ClockWindows w = faults::StartArmedClock(clock, alarm);
  ASSERT_NE(w.gadget, nullptr);
  std::string why;
  EXPECT_TRUE(faults::ClockTicks(w.gadget, alarm.c_str(), &why)) << why;
  ShowWindowAsync(w.window, SW_MINIMIZE);
  Sleep(300);
  ShowWindowAsync(w.window, SW_RESTORE);
  Sleep(1200);
  int64_t gdiBefore = harness::GdiObjectCount(clock.Process());
  int64_t windowsBefore = faults::WindowCount(clock);
  EXPECT_TRUE(faults::ClockTicks(w.gadget, alarm.c_str(), &why)) << "after minimise and restore: " << why;
  Sleep(1500);
  if constexpr (harness::GdiCounts) {
    EXPECT_GE(gdiBefore, 0) << "the GDI handle table of the program cannot be read";
    EXPECT_EQ(harness::GdiObjectCount(clock.Process()), gdiBefore);
  }
  EXPECT_EQ(faults::WindowCount(clock), windowsBefore);
  EXPECT_EQ(faults::CloseClock(clock, w.window), 0u);

  // Plain: the error path and the three-line clock.
  ClockProcess plain;
  ClockWindows p = StartPlainClock(plain);
  ASSERT_NE(p.gadget, nullptr);
  EXPECT_TRUE(faults::ClockTicks(p.gadget, nullptr, &why)) << why;
  EXPECT_EQ(faults::CloseClock(plain, p.window), 0u);
}

// Run in the prefix variant no-arial, without the Arial
// replacement: GDI falls back to another face, and the clock must still
// show its text there, in red.
TEST(Environment, WithoutArialTextShowsInFallbackFont) {
  if (FaultEnvironment() != "no-arial") GTEST_SKIP() << "needs PREFIX no-arial";
  std::string face = FaceForArial();
  ASSERT_NE(face, "Arial") << "this prefix still maps Arial to a real font";
  RecordProperty("fallback_face", face);
  printf("no-arial: bold Arial 10 falls back to \"%s\"\n", face.c_str());

  std::string alarm = faults::AlarmInAnHour();
  ClockProcess clock;
  ClockWindows w = faults::StartArmedClock(clock, alarm);
  ASSERT_NE(w.gadget, nullptr);
  std::string why;
  EXPECT_TRUE(faults::ClockTicks(w.gadget, alarm.c_str(), &why)) << why;
  faults::Activate(w.window);
  Sleep(300);
  InkCount ink = CountInk(w.gadget);
  RecordProperty("red_pixels", ink.red);
  printf("no-arial: %d red pixels, %d dark pixels in the text gadget\n", ink.red, ink.dark);
  EXPECT_GT(ink.red, 100) << "hardly any red text on the screen";
  EXPECT_EQ(ink.dark, 0) << "text in the default colour";
  EXPECT_EQ(faults::CloseClock(clock, w.window), 0u);
}
