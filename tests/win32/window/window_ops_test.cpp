// Window operations against the real user32 and gdi32: resizing with
// IgnoreValue, the topmost group, and the flicker-free background painter
// read back pixel by pixel from a memory device context.
#include "window_test_support.h"

namespace {

RECT WindowRectOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientRectOf(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  return rect;
}

class OpsTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_NE(WindowOpen(0, 100, 100, 200, 120, "ops", 0xCA0000), 0);
    window = WindowHandle(0);
    WaitAll();
  }
  HWND window = nullptr;
};

TEST_F(OpsTest, ResizeWithIgnoreValue) {
  const int32_t I = IgnoreValue;
  struct Case {
    const char *name;
    int32_t x, y, width, height;
    LONG left, top, clientWidth, clientHeight;
  } cases[] = {
      {"four IgnoreValue: unchanged", I, I, I, I, 100, 100, 200, 120},
      {"left edge only", 10, I, I, I, 10, 100, 200, 120},
      {"top edge only", I, 20, I, I, 100, 20, 200, 120},
      {"client size only", I, I, 200, 100, 100, 100, 200, 100},
      {"width only", I, I, 300, I, 100, 100, 300, 120},
      {"height only", I, I, I, 90, 100, 100, 200, 90},
      {"everything", 30, 40, 250, 150, 30, 40, 250, 150},
      {"position, size kept", 0, 0, I, I, 0, 0, 200, 120},
      {"narrower than the minimum tracking size", I, I, 30, 10, 100, 100, 30, 10},
  };
  RECT start = WindowRectOf(window);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SetWindowPos(window, nullptr, start.left, start.top, start.right - start.left, start.bottom - start.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(ClientRectOf(window).right, 200);
    EXPECT_NE(WindowResize(0, c.x, c.y, c.width, c.height), 0);
    RECT outer = WindowRectOf(window), client = ClientRectOf(window);
    EXPECT_EQ(outer.left, c.left);
    EXPECT_EQ(outer.top, c.top);
    EXPECT_EQ(client.right, c.clientWidth);
    EXPECT_EQ(client.bottom, c.clientHeight);
  }
}

TEST_F(OpsTest, ResizeOfAnUnknownNumberChangesNothing) {
  RECT before = WindowRectOf(window);
  const intptr_t numbers[] = {1, 16, 5000, -2, reinterpret_cast<intptr_t>(window)};
  for (intptr_t number : numbers) {
    SCOPED_TRACE(number);
    EXPECT_EQ(WindowResize(number, 5, 5, 50, 50), 0);
    RECT after = WindowRectOf(window);
    EXPECT_TRUE(EqualRect(&before, &after));
  }
}

TEST_F(OpsTest, KeepingEverythingQueuesNoEventAndLeavesZOrderAndActivation) {
  ASSERT_NE(WindowOpen(1, 150, 150, 100, 60, "above", 0), 0);
  HWND above = WindowHandle(1);
  SetActiveWindow(above);
  WaitAll();
  ASSERT_EQ(GetActiveWindow(), above);
  EXPECT_NE(WindowResize(0, IgnoreValue, IgnoreValue, IgnoreValue, IgnoreValue), 0);
  EXPECT_EQ(GetActiveWindow(), above);
  // "above" is still higher in the z-order than window 0.
  bool aboveFirst = false;
  for (HWND walk = GetTopWindow(nullptr); walk; walk = GetWindow(walk, GW_HWNDNEXT)) {
    if (walk == above) { aboveFirst = true; break; }
    if (walk == window) break;
  }
  EXPECT_TRUE(aboveFirst);
  std::vector<WaitResult> results = WaitAll();
  EXPECT_TRUE(MatchEvents(results, static_cast<const ExpectedEvent *>(nullptr), 0));
}

TEST_F(OpsTest, ResizeQueuesMoveAndSize) {
  EXPECT_NE(WindowResize(0, 50, 60, 150, 70), 0);
  const ExpectedEvent events[] = {{EventMoved, 0, 0, 0, 0}, {EventResized, 0, 0, 0, 0}};
  EXPECT_TRUE(MatchEvents(WaitAll(), events));
}

TEST_F(OpsTest, ResizeOfAWindowWithAMenu) {
  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 100, "Datei");
  SetMenu(window, menu);
  ASSERT_NE(WindowOpen(1, 300, 300, 200, 120, "plain", 0xCA0000), 0);
  WindowResize(0, IgnoreValue, IgnoreValue, 200, 120);
  RECT client = ClientRectOf(window);
  RECT outer = WindowRectOf(window), plain = WindowRectOf(WindowHandle(1));
  // A given height includes the menu bar.
  EXPECT_EQ(outer.bottom - outer.top, plain.bottom - plain.top);
  EXPECT_LT(client.bottom, 120);
  EXPECT_EQ(client.right, 200);
  // A kept height keeps the outer height.
  RECT before = WindowRectOf(window);
  WindowResize(0, IgnoreValue, IgnoreValue, 240, IgnoreValue);
  RECT after = WindowRectOf(window);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  EXPECT_EQ(ClientRectOf(window).right, 240);
  SetMenu(window, nullptr);
  DestroyMenu(menu);
}

TEST_F(OpsTest, TopmostOnAndOff) {
  ASSERT_NE(WindowOpen(1, 150, 150, 100, 60, "other", 0), 0);
  SetActiveWindow(WindowHandle(1));
  ASSERT_EQ(GetActiveWindow(), WindowHandle(1));
  RECT before = WindowRectOf(window);
  struct Case {
    int32_t on;
    bool topmost;
  } cases[] = {{1, true}, {1, true}, {0, false}, {7, true}, {0, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.on);
    WindowSetTopmost(0, c.on);
    EXPECT_EQ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, c.topmost);
    RECT after = WindowRectOf(window);
    EXPECT_TRUE(EqualRect(&before, &after));
  }
  EXPECT_EQ(GetActiveWindow(), window);  // no SWP_NOACTIVATE: the window was activated
  WindowSetTopmost(1, 1);
  WindowSetTopmost(99, 1);  // names no window
  EXPECT_TRUE(GetWindowLongPtrA(WindowHandle(1), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(OpsTest, FlickerFreeSwitchesThePainter) {
  RECT update;
  ASSERT_FALSE(GetUpdateRect(window, &update, FALSE));
  WindowSetFlickerFree(0, 1);
  EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));  // nothing is repainted at once
  EXPECT_EQ(WindowLookup(0)->painter, WindowPaintBackground);
  WindowSetFlickerFree(0, 0);
  EXPECT_EQ(WindowLookup(0)->painter, nullptr);
  WindowSetFlickerFree(0, 5);
  EXPECT_EQ(WindowLookup(0)->painter, WindowPaintBackground);
}

// A memory device context of the window's client size filled with a colour
// the painter never uses.
class Canvas {
 public:
  explicit Canvas(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
    HBRUSH marker = CreateSolidBrush(Marker);
    FillRect(dc, &client, marker);
    DeleteObject(marker);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  static constexpr COLORREF Marker = RGB(1, 2, 3);
  HDC dc;

 private:
  HBITMAP bitmap;
  HGDIOBJ old;
};

struct ChildCase {
  const char *name;
  const char *className;
  DWORD style;
  int x, y;
  bool paintedUnder;
};

const ChildCase childCases[] = {
    {"static", "STATIC", WS_VISIBLE | SS_LEFT, 10, 10, false},
    {"group box", "BUTTON", WS_VISIBLE | BS_GROUPBOX, 60, 10, true},
    {"check box", "BUTTON", WS_VISIBLE | BS_AUTOCHECKBOX, 110, 10, true},
    {"radio button", "BUTTON", WS_VISIBLE | BS_AUTORADIOBUTTON, 150, 10, true},
    {"push button", "BUTTON", WS_VISIBLE | BS_PUSHBUTTON, 10, 50, false},
    {"default push button", "BUTTON", WS_VISIBLE | BS_DEFPUSHBUTTON, 150, 50, true},
    {"edit", "EDIT", WS_VISIBLE, 60, 50, false},
    {"hidden static", "STATIC", 0, 110, 50, true},
    {"hidden push button", "BUTTON", BS_PUSHBUTTON, 10, 85, true},
};

TEST_F(OpsTest, PainterFillsOnlyAroundOpaqueChildren) {
  int id = 10;
  for (const ChildCase &c : childCases) ASSERT_NE(CreateChild(window, c.className, c.style, c.x, c.y, 30, 20, id++), nullptr);
  WaitAll();  // the children's first painting
  struct Variant {
    const char *name;
    bool painter;
    bool viaMessage;
  } variants[] = {{"painter called", true, false}, {"erase message, painter on", true, true},
                  {"erase message, painter off", false, true}};
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const Variant &v : variants) {
    SCOPED_TRACE(v.name);
    Canvas canvas(window);
    WindowSetFlickerFree(0, v.painter);
    if (v.viaMessage) {
      LRESULT result = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc), 0);
      if (v.painter) {
        EXPECT_EQ(result, 0);  // the painter's result
      } else {
        EXPECT_NE(result, 0);  // the class brush erased it
      }
      const ExpectedEvent redraw[] = {{EventRedraw, 0, 0, 0, 0}};
      EXPECT_TRUE(MatchEvents(WaitAll(), redraw));
    } else {
      EXPECT_EQ(WindowPaintBackground(canvas.dc, window), 0);
    }
    EXPECT_EQ(canvas.At(2, 2), face);
    EXPECT_EQ(canvas.At(199, 119), face);
    EXPECT_EQ(canvas.At(45, 15), face);  // between two children
    for (const ChildCase &c : childCases) {
      SCOPED_TRACE(c.name);
      bool painted = c.paintedUnder || !v.painter;
      EXPECT_EQ(canvas.At(c.x + 15, c.y + 10), painted ? face : Canvas::Marker);
      EXPECT_EQ(canvas.At(c.x, c.y), painted ? face : Canvas::Marker);           // first pixel inside
      EXPECT_EQ(canvas.At(c.x + 29, c.y + 19), painted ? face : Canvas::Marker);  // last pixel inside
      EXPECT_EQ(canvas.At(c.x + 30, c.y + 20), face);                           // just outside
    }
  }
}

TEST_F(OpsTest, PainterRestoresTheClipRegion) {
  ASSERT_NE(CreateChild(window, "STATIC", WS_VISIBLE, 10, 10, 30, 20, 1), nullptr);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  struct Case {
    const char *name;
    bool clip;
  } cases[] = {{"had a clip region", true}, {"had none", false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(window);
    HRGN clip = CreateRectRgn(0, 0, 100, 60);
    if (c.clip) SelectClipRgn(canvas.dc, clip);
    WindowPaintBackground(canvas.dc, window);
    HRGN after = CreateRectRgn(0, 0, 0, 0);
    int got = GetClipRgn(canvas.dc, after);
    if (c.clip) {
      EXPECT_EQ(got, 1);
      EXPECT_TRUE(EqualRgn(after, clip));
      EXPECT_EQ(canvas.At(150, 100), Canvas::Marker);  // outside the caller's clip region
    } else {
      EXPECT_EQ(got, 0);
      EXPECT_EQ(canvas.At(150, 100), face);
    }
    EXPECT_EQ(canvas.At(5, 5), face);
    EXPECT_EQ(canvas.At(20, 20), Canvas::Marker);
    DeleteObject(after);
    DeleteObject(clip);
  }
}

TEST_F(OpsTest, PainterOnTheWindowsOwnDeviceContext) {
  ASSERT_NE(CreateChild(window, "STATIC", WS_VISIBLE, 10, 10, 30, 20, 1), nullptr);
  HDC dc = GetDC(window);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  int before = GetClipRgn(dc, region);
  EXPECT_EQ(WindowPaintBackground(dc, window), 0);
  EXPECT_EQ(GetClipRgn(dc, region), before);
  DeleteObject(region);
  ReleaseDC(window, dc);
}

}  // namespace
