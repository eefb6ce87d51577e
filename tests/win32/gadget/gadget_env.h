// Start-up and helpers shared by the gadget test programs.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/font/font.h"
#include "runtime/gadget/gadget_internal.h"
#include "runtime/window/window_internal.h"

namespace gadgettest {

// Dispatches every pending message and drops the events the window
// procedure queued meanwhile.
void PumpMessages();

int CountChildren(HWND parent);

// Client-relative rectangle of a child window.
RECT ChildRect(HWND child);

// Records the messages a control receives, in front of its procedure.
struct RecordedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
void RecordMessages(HWND control);  // starts a fresh log
void StopRecording(HWND control);
// The log without painting noise, whose amount and order differ between
// Windows and Wine.
std::vector<RecordedMessage> RecordedLog();
std::string FormatLog(const std::vector<RecordedMessage> &log);

// Window 0 open and current for gadgets; everything closed afterwards.
class GadgetTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  HWND parent = nullptr;
};

}  // namespace gadgettest
