// Part of every GoogleTest program (cmake/tests.cmake): says so when the
// filter left no test to run, ends a program that exits before its tests
// have finished with failure, and, in the Windows programs of the tiers that
// show windows (built with TAMRIX_SCREENSHOTS), saves a picture of the screen
// the moment a check of a test first fails, while its windows still stand,
// into the case folder that scripts/wine-run keeps for a failed case.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

bool running = false;

#ifdef TAMRIX_SCREENSHOTS
// The whole screen as a 24-bit BMP file; false when it cannot be written.
bool SaveScreen(const std::string &path) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u, size = rowBytes * height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + size;
  bool saved = false;
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (bits && out != INVALID_HANDLE_VALUE) {
    DWORD written = 0, total = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    total += written;
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    total += written;
    WriteFile(out, bits, size, &written, nullptr);
    saved = total + written == file.bfSize;
  }
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}
#endif

class CaseListener : public testing::EmptyTestEventListener {
  bool shot_ = false;

  void OnTestProgramStart(const testing::UnitTest &) override { running = true; }
  void OnTestStart(const testing::TestInfo &) override { shot_ = false; }

  void OnTestPartResult(const testing::TestPartResult &result) override {
#ifdef TAMRIX_SCREENSHOTS
    char folder[MAX_PATH];
    if (!result.failed() || shot_ || !GetEnvironmentVariableA("TAMRIX_CASE_DIR_WIN", folder, sizeof folder)) return;
    shot_ = true;
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "program";
    for (char &c : name)
      if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') c = '_';
    std::string path = std::string(folder) + "\\screenshot-" + name + ".bmp";
    printf("%s %s\n", SaveScreen(path) ? "screenshot:" : "no screenshot could be saved to", path.c_str());
#else
    (void)result;
#endif
  }

  void OnTestProgramEnd(const testing::UnitTest &unit) override {
    running = false;
    if (unit.test_to_run_count() == 0)
      printf("no test matches the filter '%s'\n", GTEST_FLAG_GET(filter).c_str());
  }
};

// A test that ends the whole program (exit(0) among others) would leave no
// result behind and the exit code 0.
void EndedEarly() {
  if (!running) return;
  fprintf(stderr, "the program ended before its tests had finished\n");
  fflush(nullptr);
  _exit(1);
}

const bool registered = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new CaseListener);
  atexit(EndedEarly);
  return true;
}();

}  // namespace
