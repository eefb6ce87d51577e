#include <string.h>

#include <vector>

#include "gadget_env.h"

namespace gadgettest {
namespace {

using GadgetFontTest = GadgetTest;

const HFONT StockFontSign = reinterpret_cast<HFONT>(static_cast<intptr_t>(-1));

HFONT StockGuiFont() {
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

TEST_F(GadgetFontTest, ClockFontReachesTheControl) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 2, 2, 110, 52, "-.-.-", 0x20001));
  ASSERT_NE(control, nullptr);
  intptr_t number = FontLoad(AutoNumber, "Arial", 10, FontStyleBold);
  ASSERT_NE(number, 0);
  HFONT font = FontHandle(number);
  GadgetSetFont(1, font);
  ASSERT_EQ(FontOf(control), font);
  LOGFONTA lf = {};
  ASSERT_EQ(GetObjectA(FontOf(control), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfWeight, 700);

  GadgetFree(1);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << "the gadget never deletes a font";
}

TEST_F(GadgetFontTest, MinusOneAsFontIsTheStockGuiFont) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "x", 0));
  HFONT font = reinterpret_cast<HFONT>(FontLoad(0, "Arial", 12, 0));
  ASSERT_TRUE(control && font);
  GadgetSetFont(1, font);
  ASSERT_EQ(FontOf(control), font);
  GadgetSetFont(1, StockFontSign);
  EXPECT_EQ(FontOf(control), StockGuiFont());
}

TEST_F(GadgetFontTest, DefaultFontAppliesOnlyToGadgetsMadeLater) {
  HWND before = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "before", 0));
  HFONT font = reinterpret_cast<HFONT>(FontLoad(0, "Arial", 14, FontStyleItalic));
  ASSERT_TRUE(before && font);
  GadgetSetFont(-1, font);
  EXPECT_EQ(FontOf(before), StockGuiFont()) << "existing gadgets keep their font";
  HWND after = reinterpret_cast<HWND>(GadgetCreateText(2, 0, 30, 50, 20, "after", 0));
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(FontOf(after), font);
  intptr_t autoGadget = GadgetCreateText(AutoNumber, 0, 60, 50, 20, "auto", 0);
  EXPECT_EQ(FontOf(GadgetHandle(autoGadget)), font);

  GadgetSetFont(-1, StockFontSign);
  HWND reset = reinterpret_cast<HWND>(GadgetCreateText(3, 0, 90, 50, 20, "reset", 0));
  EXPECT_EQ(FontOf(reset), StockGuiFont());
  EXPECT_EQ(FontOf(after), font);
}

// Compares the recorded messages with the expected ones and prints the log.
void ExpectLog(const std::vector<RecordedMessage> &expected) {
  std::vector<RecordedMessage> log = RecordedLog();
  ASSERT_EQ(log.size(), expected.size()) << FormatLog(log);
  for (size_t i = 0; i < log.size(); i++) {
    EXPECT_EQ(log[i].message, expected[i].message) << "entry " << i << "\n" << FormatLog(log);
    EXPECT_EQ(log[i].wParam, expected[i].wParam) << "entry " << i << "\n" << FormatLog(log);
    EXPECT_EQ(log[i].lParam, expected[i].lParam) << "entry " << i << "\n" << FormatLog(log);
  }
}

TEST_F(GadgetFontTest, FontOperationsSendOneSetFontWithRedraw) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "x", 0));
  HFONT font = reinterpret_cast<HFONT>(FontLoad(0, "Arial", 12, 0));
  ASSERT_TRUE(control && font);
  struct Row {
    const char *name;
    intptr_t number;
    HFONT font;
    std::vector<RecordedMessage> expected;
  };
  const WPARAM stock = reinterpret_cast<WPARAM>(StockGuiFont());
  const Row rows[] = {
      {"a font", 1, font, {{WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE}}},
      {"the stock sign", 1, StockFontSign, {{WM_SETFONT, stock, TRUE}}},
      {"the default for new gadgets", -1, font, {}},
      {"another number", 2, font, {}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    RecordMessages(control);
    GadgetSetFont(row.number, row.font);
    PumpMessages();
    StopRecording(control);
    ExpectLog(row.expected);
  }
}

TEST_F(GadgetFontTest, SettingTextSendsOneSetText) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "x", 0));
  ASSERT_NE(control, nullptr);
  RecordMessages(control);
  GadgetSetText(1, "neu");
  StopRecording(control);
  std::vector<RecordedMessage> log = RecordedLog();
  ASSERT_EQ(log.size(), 1u) << FormatLog(log);
  EXPECT_EQ(log[0].message, static_cast<UINT>(WM_SETTEXT));
  EXPECT_STREQ(reinterpret_cast<const char *>(log[0].lParam), "neu");
}

}  // namespace
}  // namespace gadgettest
