// Inside the gadget library: the record, the kind tables, the state block and
// the procedures it installs. Tests reach in through this header too.
#pragma once
#include <windows.h>

#include "runtime/gadget/gadget.h"
#include "runtime/objects/objects.h"
#include "runtime/platform/program_instance.h"

struct GadgetRecord;

// One static table per kind of gadget, filled on the first creation of that
// kind; a slot left empty means the generic behaviour.
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
  int32_t place[4];     // x, y, width, height at 96 dpi
  int32_t dpi;          // the DPI the control is laid out for
  // The font as given (made for the system DPI; not the gadget's) and the
  // gadget's own copy of it for dpi, or null (ScreenLayOut).
  HFONT fonts[2];
};

// The block GadgetInit makes.
struct GadgetState {
  HFONT font;            // given to every new gadget
  ObjectTable *table;    // GadgetRecords
  // The brush cache: shared solid background brushes, counted by use. It is
  // the one structure of the libraries that may be reached from more than
  // one thread, so it has a lock (GadgetBrushLock).
  void *brushes;  // BrushEntry payloads, newest first
};

extern GadgetState *GadgetLibrary;
// Static, not in the state block: the block goes with the runtime heap, and a
// live lock must not be freed under a heap checker's eyes.
extern CRITICAL_SECTION GadgetBrushLock;
extern GadgetKind TextGadgetKind;

constexpr const char GadgetIdProperty[] = "ZX_ID";

GadgetRecord *GadgetLookup(intptr_t number);  // null when no gadget lives under it
// Fills a record that ObjectTableAllocate gave for number, whose place and
// dpi the caller has set, and hooks the control up: procedure, identifier,
// "ZX_ID", its place and the library's font at that DPI. Returns what
// GadgetCreateText returns.
intptr_t GadgetRegister(intptr_t number, GadgetRecord *record, HWND control, GadgetKind *kind);
// Lays the control out for record->dpi: at place (record->place, or null to
// leave it where it is) and in record->fonts[0] (ScreenLayOut).
void GadgetLayOut(GadgetRecord *record, const int32_t (*place)[4]);
// The procedure installed on every gadget control.
LRESULT CALLBACK GadgetProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
// Handed to the window library: passes a control message to the gadget's kind.
LRESULT GadgetForward(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);

// The text gadget's handlers.
LRESULT TextGadgetMessage(GadgetRecord *record, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
void TextGadgetFree(GadgetRecord *record);
void TextGadgetSetColor(GadgetRecord *record, int32_t type, COLORREF colour);
COLORREF TextGadgetGetColor(GadgetRecord *record, int32_t type);

HBRUSH BrushCacheGet(COLORREF colour);  // null when no brush can be made
void BrushCacheRelease(HBRUSH brush);   // a brush not in the cache is ignored
int32_t BrushCacheUses(HBRUSH brush);   // gadgets holding the brush; 0 when not cached
