#include <gtest/gtest.h>

#include <string.h>

#include "runtime/platform/program_instance.h"
#include "runtime/font/font.h"

namespace {

class FontEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ProgramInstance = GetModuleHandleA(nullptr);
    RuntimeHeap = PlatformHeapCreate(4096);
    FontInit();
  }
};

const ::testing::Environment *const Environment = ::testing::AddGlobalTestEnvironment(new FontEnvironment);

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
}

bool ReadLogFont(HFONT font, LOGFONTA *lf) {
  memset(lf, 0, sizeof *lf);
  return GetObjectA(font, sizeof *lf, lf) == static_cast<int>(sizeof *lf);
}

// The face the system actually selected for the font, and its metrics.
void ReadSelectedFace(HFONT font, char *face, int faceSize, TEXTMETRICA *metrics) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  face[0] = 0;
  GetTextFaceA(dc, faceSize, face);
  GetTextMetricsA(dc, metrics);
  SelectObject(dc, old);
  DeleteDC(dc);
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(ScreenDpi(), 96) << "the test prefix sets 96 pixels per inch"; }
  void TearDown() override { FontEnd(); }
};

TEST_F(FontTest, StyleBitsGiveWeightSlantLinesAndQuality) {
  struct Row {
    uint32_t style;
    LONG weight;
    BYTE italic, underline, strikeOut, quality;
  };
  const Row rows[] = {
      {0, 400, 0, 0, 0, 0},
      {0x100, 700, 0, 0, 0, 0},
      {0x200, 400, 1, 0, 0, 0},
      {0x4, 400, 0, 1, 0, 0},
      {0x8, 400, 0, 0, 1, 0},
      {0x10, 400, 0, 0, 0, 2},
      {0x21C, 400, 1, 1, 1, 2},
      {0x31C, 700, 1, 1, 1, 2},
      {0x1 | 0x2 | 0x20 | 0x40 | 0x80 | 0x400 | 0x80000000u, 400, 0, 0, 0, 0},  // ignored bits
      {0xFFFFFFFFu, 700, 1, 1, 1, 2},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(::testing::Message() << "style 0x" << std::hex << row.style);
    intptr_t result = FontLoad(4, "Arial", 10, row.style);
    ASSERT_NE(result, 0);
    HFONT font = FontHandle(4);
    EXPECT_EQ(reinterpret_cast<intptr_t>(font), result) << "a slot number returns the system handle";
    LOGFONTA lf;
    ASSERT_TRUE(ReadLogFont(font, &lf));
    EXPECT_EQ(lf.lfWeight, row.weight);
    EXPECT_EQ(lf.lfItalic, row.italic);
    EXPECT_EQ(lf.lfUnderline, row.underline);
    EXPECT_EQ(lf.lfStrikeOut, row.strikeOut);
    EXPECT_EQ(lf.lfQuality, row.quality);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, 0);
    EXPECT_EQ(lf.lfOutPrecision, 0);
    EXPECT_EQ(lf.lfClipPrecision, 0);
    EXPECT_EQ(lf.lfPitchAndFamily, 0);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
  }
}

TEST_F(FontTest, PointSizeBecomesNegativePixelHeightAt96Dpi) {
  struct Row {
    int32_t size;
    LONG height;
  };
  // MulDiv rounds to the nearest pixel.
  const Row rows[] = {{10, -13}, {1, -1}, {7, -9}, {8, -11}, {9, -12}, {12, -16}, {72, -96}, {0, 0}, {-10, 13}};
  for (const Row &row : rows) {
    SCOPED_TRACE(::testing::Message() << "size " << row.size);
    ASSERT_NE(FontLoad(0, "Arial", row.size, 0), 0);
    LOGFONTA lf;
    ASSERT_TRUE(ReadLogFont(FontHandle(0), &lf));
    EXPECT_EQ(lf.lfHeight, row.height);
  }
}

TEST_F(FontTest, ClockFontIsBoldArialOfEmHeight13) {
  intptr_t number = FontLoad(AutoNumber, "Arial", 10, FontStyleBold);
  ASSERT_NE(number, 0);
  HFONT font = FontHandle(number);
  ASSERT_NE(font, nullptr);
  EXPECT_NE(reinterpret_cast<intptr_t>(font), number) << "AutoNumber returns the record's handle, not the font";
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));

  char face[LF_FACESIZE];
  TEXTMETRICA metrics;
  ReadSelectedFace(font, face, sizeof face, &metrics);
  EXPECT_STREQ(face, "Arial");
  EXPECT_EQ(metrics.tmWeight, 700);
  EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 13) << "character height, not cell height";
}

TEST_F(FontTest, AutoNumberHandlesAreDistinctAndFreedOneByOne) {
  intptr_t a = FontLoad(AutoNumber, "Arial", 10, 0);
  intptr_t b = FontLoad(AutoNumber, "Arial", 12, 0);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  HFONT fontA = FontHandle(a);
  HFONT fontB = FontHandle(b);
  ASSERT_NE(fontA, fontB);
  FontFree(a);
  EXPECT_EQ(FontHandle(a), nullptr);
  EXPECT_EQ(GetObjectType(fontA), 0u) << "freeing deletes the system font";
  EXPECT_EQ(FontHandle(b), fontB);
  EXPECT_EQ(GetObjectType(fontB), static_cast<DWORD>(OBJ_FONT));
}

TEST_F(FontTest, ReloadingANumberDeletesTheEarlierFont) {
  intptr_t first = FontLoad(2, "Arial", 10, 0);
  ASSERT_NE(first, 0);
  HFONT firstFont = reinterpret_cast<HFONT>(first);
  ASSERT_EQ(GetObjectType(firstFont), static_cast<DWORD>(OBJ_FONT));
  intptr_t second = FontLoad(2, "Arial", 10, FontStyleBold);
  ASSERT_NE(second, 0);
  EXPECT_EQ(GetObjectType(firstFont), 0u);
  EXPECT_EQ(FontHandle(2), reinterpret_cast<HFONT>(second));
  LOGFONTA lf;
  ASSERT_TRUE(ReadLogFont(FontHandle(2), &lf));
  EXPECT_EQ(lf.lfWeight, 700);
}

TEST_F(FontTest, NumbersThatNameNoFontYieldNothingAndFreeNothing) {
  intptr_t live = FontLoad(1, "Arial", 10, 0);
  ASSERT_NE(live, 0);
  intptr_t autoLive = FontLoad(AutoNumber, "Arial", 10, 0);
  ASSERT_NE(autoLive, 0);
  int local = 0;
  const intptr_t rows[] = {
      3,                                   // a slot never loaded
      15,                                  // the last slot of the first array
      16,                                  // one past the slot array
      1000000,                             // far beyond it
      -1,                                  // AutoNumber is no number
      -2,
      INTPTR_MIN,
      INTPTR_MAX,
      reinterpret_cast<intptr_t>(&local),  // an address this table never gave out
      autoLive + 8,                        // inside a live record, not its handle
  };
  for (intptr_t number : rows) {
    SCOPED_TRACE(::testing::Message() << "number " << number);
    EXPECT_EQ(FontHandle(number), nullptr);
    FontFree(number);
    EXPECT_EQ(FontHandle(1), reinterpret_cast<HFONT>(live));
    EXPECT_NE(FontHandle(autoLive), nullptr);
  }
  EXPECT_EQ(GetObjectType(reinterpret_cast<HFONT>(live)), static_cast<DWORD>(OBJ_FONT));
}

TEST_F(FontTest, NegativeNumbersOtherThanAutoNumberLoadNothing) {
  const intptr_t rows[] = {-2, -100, INTPTR_MIN};
  for (intptr_t number : rows) {
    SCOPED_TRACE(::testing::Message() << "number " << number);
    EXPECT_EQ(FontLoad(number, "Arial", 10, 0), 0);
  }
}

TEST_F(FontTest, FontEndDeletesEveryFont) {
  const intptr_t slots[] = {0, 5, 40};  // 40 grows the table
  HFONT fonts[5];
  intptr_t numbers[5];
  int n = 0;
  for (intptr_t slot : slots) {
    numbers[n] = slot;
    fonts[n] = reinterpret_cast<HFONT>(FontLoad(slot, "Arial", 10, 0));
    ASSERT_NE(fonts[n], nullptr);
    n++;
  }
  for (int i = 0; i < 2; i++) {
    numbers[n] = FontLoad(AutoNumber, "Arial", 10 + i, 0);
    ASSERT_NE(numbers[n], 0);
    fonts[n] = FontHandle(numbers[n]);
    n++;
  }
  FontEnd();
  for (int i = 0; i < n; i++) {
    SCOPED_TRACE(::testing::Message() << "font " << i);
    EXPECT_EQ(GetObjectType(fonts[i]), 0u);
    EXPECT_EQ(FontHandle(numbers[i]), nullptr);
  }
  FontEnd();  // nothing left: harmless
}

TEST_F(FontTest, FreeingReturnsTheRecordMemory) {
  PlatformHeapStats before, after;
  PlatformHeapGetStats(RuntimeHeap, &before);
  for (int i = 0; i < 50; i++) {
    intptr_t number = FontLoad(AutoNumber, "Arial", 10, 0);
    ASSERT_NE(number, 0);
    FontFree(number);
  }
  PlatformHeapGetStats(RuntimeHeap, &after);
  EXPECT_EQ(after.liveBlocks, before.liveBlocks);
}

TEST_F(FontTest, LongFaceNamesAreCutToTheSystemLimit) {
  const char *face = "Arial Arial Arial Arial Arial Arial Arial Arial";
  ASSERT_NE(FontLoad(6, face, 10, 0), 0);
  LOGFONTA lf;
  ASSERT_TRUE(ReadLogFont(FontHandle(6), &lf));
  EXPECT_EQ(strlen(lf.lfFaceName), static_cast<size_t>(LF_FACESIZE - 1));
  EXPECT_EQ(strncmp(lf.lfFaceName, face, LF_FACESIZE - 1), 0);
}

}  // namespace
