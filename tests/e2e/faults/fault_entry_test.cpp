// Hostile alarm-time entries in the first dialog: a 30,000-character paste,
// bytes 128-255, control characters. Each gives the error message and then
// the plain clock, or, where the entry passes the length, digit and range
// rules, the name dialog and the clock with that alarm line; never a crash. The clock
// keeps ticking afterwards and ends with exit code 0 when closed. A
// 30,000-character name goes whole into the alarm message.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "fault_support.h"

using namespace driver;

// The row type is a test parameter, so it has linkage.
enum class Put {
  Paste,    // CF_TEXT on the clipboard, then WM_PASTE to the field
  SetText,  // WM_SETTEXT to the field, as another program would fill it
  Typed,    // WM_CHAR per byte, as typing does
};

struct EntryRow {
  const char *name;
  Put put;
  std::string entry;
  const char *alarm;  // the normalised alarm line's time, or null: the error message
};

namespace {

std::string Repeat(const char *pattern, size_t length) {
  std::string out;
  for (size_t i = 0; out.size() < length; i++) out.push_back(pattern[i % strlen(pattern)]);
  return out;
}

std::string Range(int first, int last, size_t length) {
  std::string out;
  for (size_t i = 0; out.size() < length; i++) out.push_back(static_cast<char>(first + static_cast<int>(i) % (last - first + 1)));
  return out;
}

const EntryRow EntryRows[] = {
    {"Paste30000Digits", Put::Paste, Repeat("7", 30000), nullptr},
    {"Paste30000Bytes32To255", Put::Paste, Range(32, 255, 30000), nullptr},
    {"PasteAllHighBytes", Put::Paste, Range(128, 255, 128), nullptr},
    {"PasteSuperscriptHour", Put::Paste, "\xB9\xB2", nullptr},
    {"PasteUmlautsFiveLong", Put::Paste, "\xFC\xE4:\xF6\xDF", nullptr},
    {"PasteMiddleDotSeparators", Put::Paste, "23\xB7" "00\xB7" "00", "23:00:00"},
    {"PasteSixByteFF", Put::Paste, "\xFF\xFF\xFF\xFF\xFF\xFF", nullptr},
    {"PasteControlFiveLong", Put::Paste, "\x01\x02\x03\x04\x05", nullptr},
    {"TypedUmlautsFourLong", Put::Typed, "\xE4\xF6\xFC\xDF", nullptr},
    {"TypedSuperscriptTwo", Put::Typed, "\xB2", nullptr},
    {"SetTextTabBeforeHour", Put::SetText, "\t7", nullptr},
    {"SetTextThreeEscapes", Put::SetText, "\x1B\x1B\x1B", nullptr},
    {"SetTextEightDeletes", Put::SetText, Repeat("\x7F", 8), nullptr},
    {"SetTextCarriageReturn", Put::SetText, "\r7", nullptr},
    {"SetText30000Controls", Put::SetText, Range(1, 31, 30000), nullptr},
};

class FaultEntry : public testing::TestWithParam<EntryRow> {};

void PutEntry(HWND edit, const EntryRow &row) {
  DWORD_PTR result = 0;
  DWORD start = GetTickCount();
  switch (row.put) {
    case Put::Paste:
      ASSERT_TRUE(faults::SetClipboardText(row.entry)) << "clipboard busy";
      // An emulated edit control may still be pasting when the send gives up.
      SendMessageTimeoutA(edit, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
      while (faults::FieldText(edit).size() < row.entry.size() && GetTickCount() - start < 30000) Sleep(50);
      break;
    case Put::SetText:
      SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.entry.c_str()), SMTO_ABORTIFHUNG, 5000,
                          &result);
      break;
    case Put::Typed: {
      TypeText(edit, row.entry);
      while (faults::FieldText(edit).size() < row.entry.size() && GetTickCount() - start < 3000) Sleep(20);
      break;
    }
  }
}

std::string Shown(const std::string &text) {
  if (text.size() <= 40) return Printable(text);
  return Printable(text.substr(0, 40)) + "... (" + std::to_string(text.size()) + " bytes)";
}

}  // namespace

TEST_P(FaultEntry, GivesErrorOrClockNeverCrash) {
  const EntryRow &row = GetParam();
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr);
  PutEntry(parts.edit, row);
  if (HasFatalFailure()) return;
  // The field must hold the entry, or the case tests something else.
  std::string field = faults::FieldText(parts.edit);
  ASSERT_EQ(field.size(), row.entry.size()) << "field holds " << Shown(field);
  ASSERT_TRUE(field == row.entry) << "field holds " << Shown(field) << ", not " << Shown(row.entry);
  PressKey(parts.edit, VK_RETURN);

  std::string why;
  ClockWindows w;
  if (!row.alarm) {
    HWND box = clock.WaitMessageBox(ErrorTitle);
    ASSERT_NE(box, nullptr) << "no error message; windows seen: " << testing::PrintToString(clock.SeenSequence());
    EXPECT_EQ(MessageBoxText(box), ErrorText);
    ConfirmMessage(box);
    w = WaitClock(clock);
    ASSERT_NE(w.gadget, nullptr) << "no clock after the error message";
    EXPECT_TRUE(faults::ClockTicks(w.gadget, nullptr, &why)) << why;
  } else {
    HWND name = clock.WaitDialog(NameTitle, &parts);
    ASSERT_NE(name, nullptr) << "no name dialog; windows seen: " << testing::PrintToString(clock.SeenSequence());
    PressKey(parts.edit, VK_RETURN);
    w = WaitClock(clock);
    ASSERT_NE(w.gadget, nullptr) << "no clock after the name dialog";
    EXPECT_TRUE(faults::ClockTicks(w.gadget, row.alarm, &why)) << why;
    for (const std::string &seen : clock.SeenSequence())
      EXPECT_EQ(seen.find(ErrorTitle), std::string::npos) << "an accepted entry gave the error message";
  }
  EXPECT_EQ(faults::CloseClock(clock, w.window), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultEntry, testing::ValuesIn(EntryRows),
                         [](const testing::TestParamInfo<EntryRow> &info) { return std::string(info.param.name); });

// A 30,000-character name pasted into the second dialog travels whole into
// the alarm message (time, empty line, name).
TEST(FaultName, PastedLongNameReachesAlarmMessage) {
  std::string name = Range(32, 126, 30000);
  ClockProcess clock;
  ASSERT_TRUE(clock.Start());
  DialogParts parts;
  ASSERT_NE(clock.WaitDialog(TimeTitle, &parts), nullptr);
  int64_t now = LocalNowMs();
  std::string alarm = FormatTime(FromMilliseconds(now - now % 1000 + 5000));
  TypeText(parts.edit, alarm);
  PressKey(parts.edit, VK_RETURN);
  ASSERT_NE(clock.WaitDialog(NameTitle, &parts), nullptr);
  ASSERT_TRUE(faults::SetClipboardText(name));
  // Sent, not posted: the default name must be selected before the paste.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(parts.edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &result);
  SendMessageTimeoutA(parts.edit, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  ASSERT_EQ(faults::FieldText(parts.edit).size(), name.size());
  PressKey(parts.edit, VK_RETURN);
  ClockWindows w = WaitClock(clock);
  ASSERT_NE(w.gadget, nullptr);
  HWND box = clock.WaitMessageBox(AlarmTitle, 15000);
  ASSERT_NE(box, nullptr) << "the alarm did not fire";
  std::string text = faults::FieldText(GetDlgItem(box, 0xFFFF));
  EXPECT_EQ(text.size(), alarm.size() + 2 + name.size());
  EXPECT_TRUE(text == alarm + "\r\r" + name) << Shown(text);
  ConfirmMessage(box);
  EXPECT_EQ(clock.WaitExit(), 0u);
}
