#include <vector>

#include "gadget_env.h"

namespace gadgettest {
namespace {

using GadgetColorTest = GadgetTest;

constexpr COLORREF Sentinel = 0x00123456;  // a DC colour no handler sets

LRESULT ButtonFaceBrush() {
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH lb = {};
  GetObjectA(brush, sizeof lb, &lb);
  return lb.lbColor;
}

struct ColourAnswer {
  LRESULT result;
  COLORREF text;
  COLORREF background;
};

// Asks the gadget's parent for the colours of the control, as a "Static" does.
ColourAnswer AskParent(HWND parent, HWND control) {
  HDC dc = CreateCompatibleDC(nullptr);
  SetTextColor(dc, Sentinel);
  SetBkColor(dc, Sentinel);
  ColourAnswer answer;
  answer.result = SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  answer.text = GetTextColor(dc);
  answer.background = GetBkColor(dc);
  DeleteDC(dc);
  return answer;
}

TEST_F(GadgetColorTest, ColourMessageAnswersFollowTheGadgetsColours) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 2, 2, 110, 52, "text", 0x20001));
  ASSERT_NE(control, nullptr);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  enum Brush { Default, ButtonFace, Cached };
  struct Row {
    COLORREF front, back;
    Brush brush;
    COLORREF text, background;  // Sentinel: left alone
  };
  const Row rows[] = {
      {ColorDefault, ColorDefault, Default, Sentinel, Sentinel},
      {255, ColorDefault, ButtonFace, 255, face},  // the clock: red on the button face
      {0, ColorDefault, ButtonFace, 0, face},      // black is a colour, not the default
      {ColorDefault, 0x0000FF00, Cached, Sentinel, 0x0000FF00},
      {255, 0x00FF0000, Cached, 255, 0x00FF0000},
      {0x00FFFFFF, 0, Cached, 0x00FFFFFF, 0},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
    const Row &row = rows[i];
    SCOPED_TRACE(::testing::Message() << "row " << i << std::hex << ": front 0x" << row.front << ", back 0x" << row.back);
    GadgetSetColor(1, ColorFront, row.front);
    GadgetSetColor(1, ColorBack, row.back);
    EXPECT_EQ(GadgetGetColor(1, ColorFront), row.front);
    EXPECT_EQ(GadgetGetColor(1, ColorBack), row.back);
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, Sentinel);
    SetBkColor(dc, Sentinel);
    LRESULT result = GadgetForward(control, parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(GetTextColor(dc), row.text);
    EXPECT_EQ(GetBkColor(dc), row.background);
    DeleteDC(dc);
    HBRUSH cached = GadgetLookup(1)->backBrush;
    switch (row.brush) {
      case Default:
        EXPECT_EQ(result, NotHandled);
        EXPECT_EQ(cached, nullptr);
        break;
      case ButtonFace:
        EXPECT_EQ(result, ButtonFaceBrush());
        EXPECT_EQ(cached, nullptr);
        break;
      case Cached:
        ASSERT_NE(cached, nullptr);
        EXPECT_EQ(result, reinterpret_cast<LRESULT>(cached));
        EXPECT_EQ(BrushColour(cached), row.back);
        break;
    }
    // Through the window procedure: the gadget's answer, or the default one.
    ColourAnswer answer = AskParent(parent, control);
    if (row.brush == Default) {
      EXPECT_NE(answer.result, NotHandled) << "never handed to the system";
      EXPECT_NE(answer.text, Sentinel) << "the default processing set the DC up";
    } else {
      EXPECT_EQ(answer.result, result);
      EXPECT_EQ(answer.text, row.text);
      EXPECT_EQ(answer.background, row.background);
    }
  }
}

TEST_F(GadgetColorTest, OtherColourTypesChangeNothingButRepaint) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 2, 2, 110, 52, "text", 0));
  ASSERT_NE(control, nullptr);
  GadgetSetColor(1, ColorFront, 255);
  struct Row {
    int32_t type;
    COLORREF front, back;
  };
  const Row rows[] = {{0, 255, ColorDefault}, {3, 255, ColorDefault}, {-1, 255, ColorDefault}, {1, 7, ColorDefault},
                      {2, 7, 9}};
  for (const Row &row : rows) {
    SCOPED_TRACE(::testing::Message() << "type " << row.type);
    UpdateWindow(parent);
    ValidateRect(control, nullptr);
    RECT update;
    ASSERT_FALSE(GetUpdateRect(control, &update, FALSE));
    GadgetSetColor(1, row.type, row.type == 1 ? 7 : 9);
    EXPECT_TRUE(GetUpdateRect(control, &update, FALSE)) << "the control is invalidated";
    EXPECT_EQ(GadgetGetColor(1, ColorFront), row.front);
    EXPECT_EQ(GadgetGetColor(1, ColorBack), row.back);
    EXPECT_EQ(GadgetGetColor(1, row.type == 1 || row.type == 2 ? 3 : row.type), ColorDefault);
  }
  EXPECT_EQ(GadgetGetColor(99, ColorFront), ColorDefault) << "no gadget";
}

TEST_F(GadgetColorTest, GadgetsOfOneBackgroundShareOneBrush) {
  ASSERT_NE(GadgetCreateText(1, 0, 0, 50, 20, "one", 0), 0);
  ASSERT_NE(GadgetCreateText(2, 0, 30, 50, 20, "two", 0), 0);
  GadgetSetColor(1, ColorBack, 0x00ABCDEF);
  GadgetSetColor(2, ColorBack, 0x00ABCDEF);
  HBRUSH brush = GadgetLookup(1)->backBrush;
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(GadgetLookup(2)->backBrush, brush);
  EXPECT_EQ(BrushCacheUses(brush), 2);
  EXPECT_EQ(BrushColour(brush), 0x00ABCDEFu);

  GadgetFree(1);
  EXPECT_EQ(BrushCacheUses(brush), 1);
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH)) << "still used by gadget 2";
  GadgetFree(2);
  EXPECT_EQ(BrushCacheUses(brush), 0);
  EXPECT_EQ(GetObjectType(brush), 0u) << "the last user deleted it";
}

TEST_F(GadgetColorTest, BackgroundBackToDefaultReleasesTheBrush) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "one", 0));
  ASSERT_NE(control, nullptr);
  struct Row {
    COLORREF front;
    LRESULT afterwards;  // answer once the background is default again
  };
  const Row rows[] = {{ColorDefault, NotHandled}, {255, ButtonFaceBrush()}};
  for (const Row &row : rows) {
    SCOPED_TRACE(::testing::Message() << "front 0x" << std::hex << row.front);
    GadgetSetColor(1, ColorFront, row.front);
    GadgetSetColor(1, ColorBack, 0x00224466);
    HBRUSH brush = GadgetLookup(1)->backBrush;
    ASSERT_NE(brush, nullptr);
    GadgetSetColor(1, ColorBack, ColorDefault);
    EXPECT_EQ(GadgetLookup(1)->backBrush, nullptr);
    EXPECT_EQ(GetObjectType(brush), 0u);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GadgetForward(control, parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)),
              row.afterwards);
    DeleteDC(dc);
  }
}

TEST_F(GadgetColorTest, ChangingTheBackgroundSwapsBrushes) {
  ASSERT_NE(GadgetCreateText(1, 0, 0, 50, 20, "one", 0), 0);
  GadgetSetColor(1, ColorBack, 0x00000011);
  HBRUSH first = GadgetLookup(1)->backBrush;
  GadgetSetColor(1, ColorBack, 0x00000022);
  HBRUSH second = GadgetLookup(1)->backBrush;
  ASSERT_TRUE(first && second);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(BrushColour(second), 0x00000022u);
  EXPECT_EQ(BrushCacheUses(second), 1);
  GadgetSetColor(1, ColorBack, 0x00000022);  // the same colour again: still one use
  EXPECT_EQ(BrushCacheUses(GadgetLookup(1)->backBrush), 1);
}

TEST_F(GadgetColorTest, BrushCacheCountsUsesAndIgnoresForeignBrushes) {
  HBRUSH a = BrushCacheGet(0x00010101);
  HBRUSH b = BrushCacheGet(0x00010101);
  HBRUSH c = BrushCacheGet(0x00020202);
  ASSERT_TRUE(a && c);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(BrushCacheUses(a), 2);
  EXPECT_EQ(BrushCacheUses(c), 1);

  HBRUSH foreign = CreateSolidBrush(0x00010101);
  BrushCacheRelease(foreign);
  BrushCacheRelease(nullptr);
  EXPECT_EQ(GetObjectType(foreign), static_cast<DWORD>(OBJ_BRUSH)) << "not the cache's to delete";
  EXPECT_EQ(BrushCacheUses(a), 2);
  DeleteObject(foreign);

  BrushCacheRelease(a);
  EXPECT_EQ(GetObjectType(a), static_cast<DWORD>(OBJ_BRUSH));
  BrushCacheRelease(a);
  EXPECT_EQ(GetObjectType(a), 0u);
  BrushCacheRelease(a);  // gone from the cache: nothing happens
  EXPECT_EQ(BrushCacheUses(c), 1);
  BrushCacheRelease(c);
  EXPECT_EQ(GetObjectType(c), 0u);
}

struct BrushWork {
  COLORREF colour;
  HBRUSH seen;      // a brush the thread got while it held one use
  bool consistent;  // every get of the colour gave a live brush
};

DWORD WINAPI HammerBrushCache(void *param) {
  BrushWork *work = static_cast<BrushWork *>(param);
  work->consistent = true;
  for (int i = 0; i < 2000; i++) {
    HBRUSH brush = BrushCacheGet(work->colour);
    if (!brush || GetObjectType(brush) != OBJ_BRUSH) work->consistent = false;
    if (i == 1000) work->seen = brush;
    BrushCacheRelease(brush);
  }
  return 0;
}

// The cache is the one structure guarded for use from several threads.
TEST_F(GadgetColorTest, BrushCacheStaysConsistentAcrossThreads) {
  HBRUSH held = BrushCacheGet(0x00000101);  // one colour stays in use throughout
  ASSERT_NE(held, nullptr);
  BrushWork work[4] = {{0x00000101, nullptr, false}, {0x00000101, nullptr, false}, {0x00000202, nullptr, false},
                       {0x00000303, nullptr, false}};
  HANDLE threads[4];
  for (int i = 0; i < 4; i++) {
    threads[i] = CreateThread(nullptr, 0, HammerBrushCache, &work[i], 0, nullptr);
    ASSERT_NE(threads[i], nullptr);
  }
  WaitForMultipleObjects(4, threads, TRUE, INFINITE);
  for (int i = 0; i < 4; i++) {
    SCOPED_TRACE(::testing::Message() << "thread " << i);
    CloseHandle(threads[i]);
    EXPECT_TRUE(work[i].consistent);
  }
  EXPECT_EQ(work[0].seen, held) << "the held colour's brush was shared, never remade";
  EXPECT_EQ(work[1].seen, held);
  EXPECT_EQ(BrushCacheUses(held), 1);
  EXPECT_EQ(BrushCacheUses(work[2].seen), 0);
  EXPECT_EQ(BrushCacheUses(work[3].seen), 0);
  BrushCacheRelease(held);
  EXPECT_EQ(GetObjectType(held), 0u);
}

TEST_F(GadgetColorTest, OperationsOnNumbersWithoutAGadgetDoNothing) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 0, 0, 50, 20, "one", 0));
  ASSERT_NE(control, nullptr);
  int local = 0;
  const intptr_t rows[] = {0, 2, 50, 1000, -1, -2, INTPTR_MIN, reinterpret_cast<intptr_t>(&local)};
  for (intptr_t number : rows) {
    SCOPED_TRACE(::testing::Message() << "number " << number);
    GadgetSetText(number, "other");
    GadgetSetColor(number, ColorBack, 0x00FF00FF);
    GadgetSetColor(number, ColorFront, 0x00FF00FF);
    if (number != -1) GadgetSetFont(number, reinterpret_cast<HFONT>(static_cast<intptr_t>(-1)));
    char text[16];
    GetWindowTextA(control, text, sizeof text);
    EXPECT_STREQ(text, "one");
    EXPECT_EQ(GadgetGetColor(1, ColorBack), ColorDefault);
    EXPECT_EQ(GadgetGetColor(1, ColorFront), ColorDefault);
  }
}

// ---- real pixels ----

struct Capture {
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  int width = 0, height = 0;
  int Count(uint32_t rgb) const {
    int n = 0;
    for (uint32_t p : pixels) n += (p & 0x00FFFFFF) == rgb;
    return n;
  }
};

uint32_t ToRgb(COLORREF colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// Reads the control's client area as it is on the screen.
Capture CaptureClient(HWND control) {
  Capture capture;
  RECT client;
  GetClientRect(control, &client);
  capture.width = client.right;
  capture.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HDC screen = GetDC(control);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const uint32_t *p = static_cast<const uint32_t *>(bits);
  capture.pixels.assign(p, p + static_cast<size_t>(capture.width) * static_cast<size_t>(capture.height));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(control, screen);
  return capture;
}

void Repaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages();
  GdiFlush();
}

TEST_F(GadgetColorTest, RedTextIsPaintedOnTheButtonFace) {
  HWND control = reinterpret_cast<HWND>(GadgetCreateText(1, 2, 2, 110, 52, "Mittwoch\r88:88:88", 0x20001));
  ASSERT_NE(control, nullptr);
  HFONT font = FontHandle(FontLoad(AutoNumber, "Arial", 10, FontStyleBold));
  ASSERT_NE(font, nullptr);
  GadgetSetFont(1, font);
  SetForegroundWindow(parent);
  const uint32_t face = ToRgb(GetSysColor(COLOR_BTNFACE));
  const uint32_t red = 0x00FF0000;
  const uint32_t black = ToRgb(GetSysColor(COLOR_WINDOWTEXT));

  Repaint(parent);
  Capture before = CaptureClient(control);
  ASSERT_GT(before.width * before.height, 0);
  EXPECT_GT(before.Count(face), before.width * before.height / 2) << "the background is the button face";
  EXPECT_GT(before.Count(black), 20) << "default text colour";
  EXPECT_EQ(before.Count(red), 0);

  GadgetSetColor(1, ColorFront, 255);
  Repaint(parent);
  Capture after = CaptureClient(control);
  EXPECT_GT(after.Count(face), after.width * after.height / 2) << "the background stays the button face";
  EXPECT_GT(after.Count(red), 20) << "pure red text pixels";
  EXPECT_EQ(after.Count(black), 0);

  GadgetSetColor(1, ColorBack, 0x0000FF00);
  Repaint(parent);
  Capture green = CaptureClient(control);
  EXPECT_GT(green.Count(0x0000FF00), green.width * green.height / 2) << "a background colour paints with its brush";
  EXPECT_GT(green.Count(red), 20);
}

}  // namespace
}  // namespace gadgettest
