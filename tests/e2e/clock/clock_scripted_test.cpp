// Cases that need an environment of their own (cmake/tests.cmake): a time
// zone, and faked clocks: just before midnight, the spring night, 2038.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "clock_driver.h"
#include "harness/captured_sound.h"

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

// The plain clock from a faked instant (TAMRIX_AT, registered with each
// row's) until its text shows lastDate and the time until: the first text,
// the last, and every one between a reading of the first or the last day.
struct FakedRun {
  const char *at;
  const char *firstWeekday, *firstDate, *firstMinute;
  const char *lastWeekday, *lastDate, *until;
};
const FakedRun FakedRuns[] = {
    {"2026-12-31 23:59:50", "Donnerstag", " 31.12.2026", "23:59:", "Freitag", " 01.01.2027", "00:00:01"},
    // On past the last second of signed 32-bit seconds.
    {"2038-01-19 03:14:00", "Dienstag", " 19.01.2038", "03:14:", "Dienstag", " 19.01.2038", "03:14:09"},
};

TEST(Scripted, ClockRunsOnFromFakedTime) {
  const char *at = getenv("TAMRIX_AT");
  if (!at) GTEST_SKIP() << "needs TAMRIX_AT";
  const FakedRun *row = nullptr;
  for (const FakedRun &r : FakedRuns)
    if (strcmp(r.at, at) == 0) row = &r;
  ASSERT_NE(row, nullptr) << "no row for TAMRIX_AT=" << at;
  SYSTEMTIME now;
  GetLocalTime(&now);
  ASSERT_EQ(now.wYear, atoi(at)) << "faketime does not reach GetLocalTime";

  ClockProcess clock;
  ClockWindows w = StartPlainClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  // Each faked process starts its clock when it loads: judged by the clock's
  // own text.
  std::vector<std::string> texts;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 30000) {
    std::string text = WindowText(w.gadget);
    std::vector<std::string> lines = SplitLines(text);
    // Until its first pass the gadget shows its creation text "-.-.-".
    if (lines.size() != 3) {
      Sleep(50);
      continue;
    }
    if (texts.empty() || texts.back() != text) texts.push_back(text);
    if (lines[1] == row->lastDate && lines[2] >= row->until) break;
    Sleep(50);
  }
  std::string all;
  for (const std::string &t : texts) all += "  " + Printable(t) + "\n";
  ASSERT_FALSE(texts.empty());
  ASSERT_EQ(SplitLines(texts.front()).size(), 3u) << all;
  EXPECT_EQ(SplitLines(texts.front())[0], row->firstWeekday) << all;
  EXPECT_EQ(SplitLines(texts.front())[1], row->firstDate) << all;
  EXPECT_EQ(SplitLines(texts.front())[2].substr(0, 6), row->firstMinute) << all;
  std::vector<std::string> last = SplitLines(texts.back());
  ASSERT_EQ(last.size(), 3u) << all;
  EXPECT_EQ(last[0], row->lastWeekday) << all;
  EXPECT_EQ(last[1], row->lastDate) << all;
  EXPECT_GE(last[2], row->until) << all;
  EXPECT_EQ(last[2].substr(0, 6), std::string(row->until).substr(0, 6)) << all;
  for (const std::string &t : texts) {
    std::vector<std::string> lines = SplitLines(t);
    ASSERT_EQ(lines.size(), 3u) << all;
    EXPECT_TRUE(lines[1] == row->firstDate || lines[1] == row->lastDate) << all;
  }
  PostMessageA(w.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(clock.WaitExit(), 0u);
}

// Run under faketime (TAMRIX_AT) in Europe/Berlin from 2027-03-28 01:59:30,
// the night whose clocks go from 02:00 to 03:00: an alarm at 02:30, a time
// that night never shows, rings with the first second after the gap.
TEST(Scripted, AlarmInTheSkippedHourRingsAfterIt) {
  if (!getenv("TAMRIX_AT")) GTEST_SKIP() << "needs TAMRIX_AT";
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr);
  TypeText(parts.edit, "02:30");
  PressKey(parts.edit, VK_RETURN);
  ASSERT_NE(clock.WaitDialog(NameTitle, &parts), nullptr);
  PressKey(parts.edit, VK_RETURN);
  ClockWindows w = WaitClock(clock);
  ASSERT_NE(w.gadget, nullptr);

  std::vector<std::string> times;  // each time line shown, once
  HWND box = nullptr;
  for (DWORD start = GetTickCount(); !box && GetTickCount() - start < 90000;) {
    std::vector<std::string> lines = SplitLines(WindowText(w.gadget));
    if (lines.size() == 4 && (times.empty() || times.back() != lines[2])) times.push_back(lines[2]);
    box = clock.WaitMessageBox(AlarmTitle, 20);
  }
  std::string all;
  for (const std::string &t : times) all += t + ";";
  ASSERT_NE(box, nullptr) << "no alarm; the clock showed" << all;
  EXPECT_EQ(MessageBoxText(box), std::string("02:30:00\r\r") + NameDefault);
  // The clock stands on the pass that rang while the message is open.
  std::vector<std::string> lines = SplitLines(WindowText(w.gadget));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], " 03:00:00") << all;
  EXPECT_EQ(lines[3], " *02:30:00*");
  ASSERT_GE(times.size(), 2u) << all;
  EXPECT_EQ(times[times.size() - 2], " 01:59:59") << all;
  ConfirmMessage(box);
  EXPECT_EQ(clock.WaitExit(), 0u);
  std::string why;
  double seconds = harness::CapturedSoundSeconds(&why);
  ASSERT_GE(seconds, 0) << why;
  EXPECT_GE(seconds, harness::ChimeShortestSeconds);
  EXPECT_LE(seconds, harness::ChimeLongestSeconds());
}
