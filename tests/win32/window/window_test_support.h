// Shared helpers of the window library's tests: program set-up, a recording
// subclass that logs {window index, message, wParam, lParam}, comparison of
// the log and of the events returned by waits with const tables.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/window/window_internal.h"
#include "runtime/window/window_internal.h"

struct LoggedMessage {
  int window;  // index in the order the recorder met the window
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

enum : unsigned {
  MatchOptional = 1,  // may be missing
  MatchAnyWParam = 2,
  MatchAnyLParam = 4,
};

struct ExpectedMessage {
  int window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  unsigned match;
};

// One result of WindowWaitEvent with the fields that describe it.
struct WaitResult {
  int32_t code;
  intptr_t object;
  intptr_t window;
  int32_t type;
};

struct ExpectedEvent {
  int32_t code;
  intptr_t object;
  intptr_t window;
  int32_t type;
  unsigned match;  // MatchOptional only
};

// Messages whose presence or order differs between Wine, Windows versions and
// desktops, and that the library does not act on.
bool IgnoreMessage(UINT message);
std::string MessageName(UINT message);

// Every top-level window created from now on is subclassed and logged, in
// creation order; RecorderTrack adds an existing window.
void RecorderStart(void);
void RecorderStop(void);
int RecorderTrack(HWND window);
void RecorderClear(void);
const std::vector<LoggedMessage> &RecorderLog(void);
std::string RecorderDump(void);

testing::AssertionResult MatchSequence(const ExpectedMessage *expected, size_t count);
template <size_t N>
testing::AssertionResult MatchSequence(const ExpectedMessage (&expected)[N]) {
  return MatchSequence(expected, N);
}

// Collects wait results with time-out 0 until a wait returns 0 (at most limit).
std::vector<WaitResult> WaitAll(size_t limit = 200);
std::string DumpResults(const std::vector<WaitResult> &results);
// Compares the queue events among the results (type 0) with the table.
testing::AssertionResult MatchEvents(const std::vector<WaitResult> &results, const ExpectedEvent *expected, size_t count);
template <size_t N>
testing::AssertionResult MatchEvents(const std::vector<WaitResult> &results, const ExpectedEvent (&expected)[N]) {
  return MatchEvents(results, expected, N);
}

// Empties the event queue and the thread's message queue.
void DrainAll(void);

// Fixture: every test starts with no library window, an empty queue and the
// recorder running; every window left open is closed afterwards.
class WindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

HWND CreateChild(HWND parent, const char *className, DWORD style, int x, int y, int width, int height, int id);
