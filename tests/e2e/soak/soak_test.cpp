// Soak run of the real Tamrix.exe: for TAMRIX_SOAK_SECONDS (600 unless set)
// the clock, with an alarm armed an hour ahead, is moved, minimised, restored
// and activated, and keys are pressed in it, twice a second, while its text
// is read ten times a second. Printed at the start and at the end: GDI
// objects, windows, resident memory (VmRSS of the program's Unix process),
// and the distinct seconds seen in the clock text against the seconds
// elapsed. More GDI objects or windows at the end than at the start fails
// the run, as does a text that is not the clock text of its moment; memory
// and seconds seen are figures.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "e2e/faults/fault_support.h"
#include "harness/gdi_count.h"

using namespace driver;

namespace {

constexpr int DefaultSeconds = 600;
// The first rounds make what stays cached; counting starts after them.
constexpr DWORD WarmUpMs = 4000;
constexpr DWORD RoundMs = 500;
constexpr DWORD ReadMs = 100;

int SoakSeconds() {
  const char *value = getenv("TAMRIX_SOAK_SECONDS");
  int seconds = value ? atoi(value) : DefaultSeconds;
  return seconds > 0 ? seconds : DefaultSeconds;
}

// Whole contents of a file, also of /proc files whose size reads as 0.
std::string ReadWhole(const std::string &path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string out;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
  CloseHandle(file);
  return out;
}

// Tamrix.exe processes in /proc (drive Z:) started from this driver run.
// Wine's Windows pid is not the Unix pid, and /proc/self names the
// wineserver when opened through Wine. A Windows process's Unix environment
// is its parent's Unix environment (not the block given to CreateProcess),
// so the capture file that wine-run makes for each driver run tells this
// run's clocks from others'; outside wine-run every Tamrix.exe counts.
std::set<long> ClockUnixPids() {
  std::set<long> pids;
  const char *capture = getenv("TAMRIX_CAPTURE");
  std::string mark = capture ? std::string(1, '\0') + "TAMRIX_CAPTURE=" + capture + '\0' : "";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return pids;
  do {
    char *end = nullptr;
    long pid = strtol(found.cFileName, &end, 10);
    if (pid <= 0 || *end) continue;
    std::string dir = std::string("Z:\\proc\\") + found.cFileName;
    if (ReadWhole(dir + "\\cmdline").find("Tamrix.exe") == std::string::npos) continue;
    if (!mark.empty() && ('\0' + ReadWhole(dir + "\\environ")).find(mark) == std::string::npos) continue;
    pids.insert(pid);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return pids;
}

// The one clock process that is new since before; 0 when none or several.
long NewClockUnixPid(const std::set<long> &before) {
  long match = 0;
  int matches = 0;
  for (long pid : ClockUnixPids()) {
    if (before.count(pid)) continue;
    match = pid;
    matches++;
  }
  return matches == 1 ? match : 0;
}

// VmRSS in kB, or -1.
long ResidentKb(long unixPid) {
  std::string status = ReadWhole("Z:\\proc\\" + std::to_string(unixPid) + "\\status");
  size_t at = status.find("VmRSS:");
  if (at == std::string::npos) return -1;
  return strtol(status.c_str() + at + 6, nullptr, 10);
}

struct Figures {
  int64_t gdi = -1, windows = -1;
  long rssKb = -1;
};

Figures Measure(ClockProcess &clock, long unixPid) {
  Figures f;
  f.gdi = harness::GdiObjectCount(clock.Process());
  f.windows = faults::WindowCount(clock);
  f.rssKb = unixPid ? ResidentKb(unixPid) : -1;
  return f;
}

void Print(const char *when, const Figures &f) {
  printf("soak %-6s GDI objects %lld, windows %lld, VmRSS %ld kB\n", when, static_cast<long long>(f.gdi),
         static_cast<long long>(f.windows), f.rssKb);
  fflush(stdout);
}

// Keys pressed in turn; none of them opens a menu or closes the window.
struct Key {
  WORD key;
  bool shift;
};
const Key Keys[] = {{VK_TAB, false}, {VK_TAB, true}, {VK_SPACE, false}, {'A', false}, {'7', false},
                     {VK_RETURN, false}, {VK_ESCAPE, false}, {VK_LEFT, false}, {VK_DOWN, true}, {VK_F5, false}};

// One half-second round: one window action in turn, then a key.
void Round(HWND window, unsigned round) {
  switch (round % 4) {
    case 0:
      SetWindowPos(window, nullptr, 20 + static_cast<int>(round * 37 % 760), 20 + static_cast<int>(round * 53 % 560), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
      break;
    case 1:
      ShowWindowAsync(window, SW_MINIMIZE);
      break;
    case 2:
      ShowWindowAsync(window, SW_RESTORE);
      break;
    case 3:
      faults::Activate(window);
      break;
  }
  const Key &k = Keys[round % (sizeof Keys / sizeof Keys[0])];
  faults::SendKey(k.key, k.shift);
}

// The second (local milliseconds / 1000) between from and to whose clock
// text this is, or -1.
int64_t SecondShown(const std::string &text, const char *alarm, int64_t from, int64_t to) {
  for (int64_t second = from / 1000; second <= to / 1000; second++)
    if (text == ExpectedClockText(FromMilliseconds(second * 1000), alarm)) return second;
  return -1;
}

struct Watched {
  std::set<int64_t> seconds;      // seconds the clock text showed
  std::vector<std::string> wrong;  // texts that were no clock text of their moment (first 20)
  size_t wrongCount = 0;
  int64_t lastReadMs = 0, longestGapMs = 0;  // between two reads of the text
  int iconic = 0, foreground = 0;  // rounds that ended minimised, or with the clock in front
};

// Reads the clock text until the given tick count. A text may show any
// moment of the last three seconds: the churn may hold up a pass.
void Watch(HWND gadget, const char *alarm, DWORD until, Watched *watched) {
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    int64_t before = LocalNowMs();
    std::string text = WindowText(gadget);
    int64_t after = LocalNowMs();
    if (watched->lastReadMs && after - watched->lastReadMs > watched->longestGapMs)
      watched->longestGapMs = after - watched->lastReadMs;
    watched->lastReadMs = after;
    int64_t second = SecondShown(text, alarm, before - 3000, after);
    if (second >= 0) {
      watched->seconds.insert(second);
    } else if (watched->wrongCount++ < 20) {
      watched->wrong.push_back(Printable(text));
    }
    LONG left = static_cast<LONG>(until - GetTickCount());
    if (left > 0) Sleep(left < static_cast<LONG>(ReadMs) ? static_cast<DWORD>(left) : ReadMs);
  }
}

void Settle(HWND window) {
  ShowWindowAsync(window, SW_RESTORE);
  Sleep(1500);
}

}  // namespace

TEST(Soak, ClockSurvivesWindowAndKeyChurn) {
  int seconds = SoakSeconds();
  std::string alarm = faults::AlarmInAnHour();
  std::set<long> clocksBefore = ClockUnixPids();
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr);
  TypeText(parts.edit, alarm);
  PressKey(parts.edit, VK_RETURN);
  ASSERT_NE(clock.WaitDialog(NameTitle, &parts), nullptr);
  PressKey(parts.edit, VK_RETURN);
  ClockWindows w = WaitClock(clock);
  ASSERT_NE(w.gadget, nullptr);

  long unixPid = NewClockUnixPid(clocksBefore);
  printf("soak: %d s, alarm armed for %s, Windows pid %lu, Unix pid %ld\n", seconds, alarm.c_str(), clock.ProcessId(),
         unixPid);
  EXPECT_NE(unixPid, 0) << "the program's Unix process was not found in /proc";
  Print("launch", Measure(clock, unixPid));

  Watched watched;
  unsigned round = 0;
  for (DWORD start = GetTickCount(); GetTickCount() - start < WarmUpMs; round++) {
    Round(w.window, round);
    Watch(w.gadget, alarm.c_str(), GetTickCount() + RoundMs, &watched);
  }
  Settle(w.window);
  Figures first = Measure(clock, unixPid);
  Print("start", first);

  watched.iconic = watched.foreground = 0;
  watched.longestGapMs = watched.lastReadMs = 0;
  int64_t startMs = LocalNowMs();
  DWORD start = GetTickCount(), lastReport = start;
  while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
    DWORD roundEnd = GetTickCount() + RoundMs;
    Round(w.window, round++);
    Watch(w.gadget, alarm.c_str(), roundEnd, &watched);
    watched.iconic += IsIconic(w.window) ? 1 : 0;
    watched.foreground += GetForegroundWindow() == w.window ? 1 : 0;
    if (!clock.Running()) break;
    if (GetTickCount() - lastReport >= 60000) {
      lastReport = GetTickCount();
      Print("running", Measure(clock, unixPid));
    }
  }
  int64_t endMs = LocalNowMs();
  ASSERT_TRUE(clock.Running()) << "the clock ended during the soak";
  Settle(w.window);
  Figures last = Measure(clock, unixPid);
  Print("end", last);

  // The clock seconds wholly inside the watched span, and those of them the
  // text showed.
  int64_t firstSecond = (startMs + 999) / 1000, endSecond = endMs / 1000;
  long span = static_cast<long>(endSecond - firstSecond);
  long seen = 0;
  std::string missed;
  for (int64_t second = firstSecond; second < endSecond; second++) {
    if (watched.seconds.count(second)) {
      seen++;
    } else if (missed.size() < 100) {
      missed += " " + FormatTime(FromMilliseconds(second * 1000));
    }
  }
  printf("soak: %ld distinct seconds seen in the clock text, %.1f s elapsed (%ld whole clock seconds); "
         "%u rounds, %d ended minimised, %d with the clock in front; VmRSS %+ld kB\n",
         seen, static_cast<double>(endMs - startMs) / 1000, span, round, watched.iconic, watched.foreground,
         last.rssKb >= 0 && first.rssKb >= 0 ? last.rssKb - first.rssKb : 0);
  printf("soak: seconds not seen:%s; longest time between two reads of the text %lld ms\n",
         missed.empty() ? " none" : missed.c_str(), static_cast<long long>(watched.longestGapMs));
  fflush(stdout);
  RecordProperty("gdi_start", static_cast<int>(first.gdi));
  RecordProperty("gdi_end", static_cast<int>(last.gdi));
  RecordProperty("windows_start", static_cast<int>(first.windows));
  RecordProperty("windows_end", static_cast<int>(last.windows));
  RecordProperty("rss_start_kb", static_cast<int>(first.rssKb));
  RecordProperty("rss_end_kb", static_cast<int>(last.rssKb));
  RecordProperty("seconds_seen", static_cast<int>(seen));
  RecordProperty("seconds_elapsed", static_cast<int>(span));

  if constexpr (harness::GdiCounts) {
    EXPECT_GE(first.gdi, 0) << "the GDI handle table of the program cannot be read";
    EXPECT_LE(last.gdi, first.gdi) << "GDI objects grew during the soak";
  }
  EXPECT_LE(last.windows, first.windows) << "windows grew during the soak";
  EXPECT_GT(watched.iconic, 0) << "the window was never seen minimised";
  EXPECT_GT(watched.foreground, 0) << "the clock was never seen in front";
  std::string wrongTexts;
  for (const std::string &t : watched.wrong) wrongTexts += "  " + t + "\n";
  EXPECT_EQ(watched.wrongCount, 0u) << "texts that were no clock text of their moment (first 20):\n" << wrongTexts;
  std::string text;
  EXPECT_TRUE(ClockShowsTime(w.gadget, alarm.c_str(), &text)) << Printable(text);
  EXPECT_EQ(faults::CloseClock(clock, w.window), 0u);
}
