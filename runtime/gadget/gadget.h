// Gadget library: numbered controls inside library windows; the text gadget
// (a "Static"), its text, colours and font, and the shared brush cache.
//
// The window library owns the gadget-list state: a new gadget becomes a child
// of GadgetListSelect(nullptr), the current list's window. With no current
// gadget list, GadgetCreateText creates nothing and returns 0, since a child
// control cannot exist without a parent.
//
// GadgetInit hands GadgetForward to the window library, whose window procedure
// then passes control messages (WM_COMMAND, WM_NOTIFY, scrolling,
// WM_CTLCOLOR*) to the gadget's kind.
//
// A gadget's number is its control identifier (GWLP_ID) and its "ZX_ID"
// property, pointer-wide, so AutoNumber handles survive whole. Fonts handed to
// GadgetSetFont stay owned by whoever made them.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/objects/objects.h"

enum : int32_t { ColorFront = 1, ColorBack = 2 };

constexpr COLORREF ColorDefault = 0xFFFFFFFFu;  // -1: the system's colour

struct GadgetRecord;

struct GadgetKind {
  int32_t kindCode;
  int32_t tableSize;
  LRESULT (*onMessage)(GadgetRecord *record, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
  void (*onFree)(GadgetRecord *record);
  void (*onSetText)(GadgetRecord *record, const char *text);
  void (*onSetColor)(GadgetRecord *record, int32_t type, COLORREF colour);
  COLORREF (*onGetColor)(GadgetRecord *record, int32_t type);
  void *reserved[8];  // slots of other gadget kinds
};

enum : int32_t { TextGadgetCode = 3 };

struct GadgetRecord {
  HWND window;  // the control; non-zero while the gadget lives
  GadgetKind *kind;
  WNDPROC previousProc;
  COLORREF backColor;   // ColorDefault: system default
  COLORREF frontColor;
  HBRUSH backBrush;     // cached brush of backColor, or null
};

// ---- creation ----
void GadgetInit(void);
// Frees every gadget still registered (their controls are destroyed).
void GadgetEnd(void);
// For AutoNumber the new gadget's handle, otherwise the control's window
// handle; 0 when the control cannot be created, the number is invalid or no
// gadget list is current.
intptr_t GadgetCreateText(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char *text, uint32_t flags);
void GadgetFree(intptr_t number);
intptr_t GadgetRegister(intptr_t number, GadgetRecord *record, HWND control, GadgetKind *kind);
LRESULT CALLBACK GadgetProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT GadgetForward(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
GadgetRecord *GadgetLookup(intptr_t number);  // null when no gadget lives under it
HWND GadgetHandle(intptr_t number);            // the control, or 0

// ---- text, colour, font ----
void GadgetSetText(intptr_t number, const char *text);  // null: empty
void GadgetSetColor(intptr_t number, int32_t type, COLORREF colour);
// ColorDefault for an unknown gadget, a kind without colours or another type.
COLORREF GadgetGetColor(intptr_t number, int32_t type);
// Number -1: the font of gadgets made from now on. Font (HFONT)-1: the stock
// DEFAULT_GUI_FONT.
void GadgetSetFont(intptr_t number, HFONT font);

// ---- the text gadget's kind ----
extern GadgetKind TextGadgetKind;
LRESULT TextGadgetMessage(GadgetRecord *record, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);

// ---- brush cache (shared solid background brushes, counted by use) ----
HBRUSH BrushCacheGet(COLORREF colour);  // null when no brush can be made
void BrushCacheRelease(HBRUSH brush);   // a brush not in the cache is ignored
int32_t BrushCacheUses(HBRUSH brush);   // gadgets holding the brush; 0 when not cached
