// Cases that need an environment of their own (cmake/tests.cmake): a time
// zone, and a faked clock just before midnight.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "clock_driver.h"

using namespace driver;

// Registered with TZ; scripts/wine-run adds TAMRIX_UTC_OFFSET (+HHMM or
// -HHMM, from the host's date(1) for that zone): the clock must show UTC plus that offset.
TEST(Scripted, ClockFollowsTimeZone) {
  const char *offset = getenv("TAMRIX_UTC_OFFSET");
  if (!offset) GTEST_SKIP() << "needs TZ (scripts/wine-run then sets TAMRIX_UTC_OFFSET)";
  ASSERT_EQ(strlen(offset), 5u) << offset;
  int sign = offset[0] == '-' ? -1 : 1;
  int minutes = sign * (((offset[1] - '0') * 10 + (offset[2] - '0')) * 60 + (offset[3] - '0') * 10 + (offset[4] - '0'));

  ClockProcess clock;
  ClockWindows w = StartPlainClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  bool matched = false;
  std::string text;
  for (int attempt = 0; attempt < 20 && !matched; attempt++) {
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    int64_t local = ToMilliseconds(utc) + static_cast<int64_t>(minutes) * 60000;
    text = WindowText(w.gadget);
    for (int64_t ms : {local, local - 1000}) matched = matched || text == ExpectedClockText(FromMilliseconds(ms), nullptr);
    if (!matched) Sleep(100);
  }
  EXPECT_TRUE(matched) << "clock shows " << Printable(text) << ", UTC" << offset << " expected";
  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

// Run under faketime (TAMRIX_AT) from 2026-12-31 23:59:50.
TEST(Scripted, DateLineChangesAtMidnight) {
  if (!getenv("TAMRIX_AT")) GTEST_SKIP() << "needs TAMRIX_AT";
  SYSTEMTIME now;
  GetLocalTime(&now);
  ASSERT_EQ(now.wYear, 2026) << "faketime does not reach GetLocalTime";
  ASSERT_EQ(now.wMonth, 12);
  ASSERT_EQ(now.wDay, 31);

  ClockProcess clock;
  ClockWindows w = StartPlainClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  std::vector<std::string> texts;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000) {
    std::string text = WindowText(w.gadget);
    // Until its first pass the gadget shows its creation text "-.-.-".
    if (SplitLines(text).size() != 3) {
      Sleep(50);
      continue;
    }
    if (texts.empty() || texts.back() != text) texts.push_back(text);
    if (SplitLines(text).size() == 3 && SplitLines(text)[1] == " 01.01.2027" && SplitLines(text)[2] >= "00:00:01") break;
    Sleep(50);
  }
  std::string all;
  for (const std::string &t : texts) all += "  " + Printable(t) + "\n";
  ASSERT_FALSE(texts.empty());
  ASSERT_EQ(SplitLines(texts.front()).size(), 3u) << all;
  EXPECT_EQ(SplitLines(texts.front())[0], "Donnerstag") << all;
  EXPECT_EQ(SplitLines(texts.front())[1], " 31.12.2026") << all;
  EXPECT_EQ(SplitLines(texts.front())[2].substr(0, 6), "23:59:") << all;
  std::vector<std::string> last = SplitLines(texts.back());
  ASSERT_EQ(last.size(), 3u) << all;
  EXPECT_EQ(last[0], "Freitag") << all;
  EXPECT_EQ(last[1], " 01.01.2027") << all;
  EXPECT_EQ(last[2].substr(0, 6), "00:00:") << all;
  // Every text seen is a consistent reading or, at the turn, one second apart.
  for (const std::string &t : texts) {
    std::vector<std::string> lines = SplitLines(t);
    ASSERT_EQ(lines.size(), 3u) << all;
    bool oldDay = lines[1] == " 31.12.2026", newDay = lines[1] == " 01.01.2027";
    EXPECT_TRUE(oldDay || newDay) << all;
  }
  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}
