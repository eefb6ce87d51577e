// Gadget library: numbered controls inside library windows; the text gadget
// (a "Static"), its text, colours and font, and the shared brush cache.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/objects/objects.h"

enum : int32_t { ColorFront = 1, ColorBack = 2 };

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

struct GadgetRecord {
  HWND window;
  GadgetKind *kind;
  WNDPROC previousProc;
  COLORREF backColor;   // (COLORREF)-1: system default
  COLORREF frontColor;
  HBRUSH backBrush;
};

void GadgetInit(void);
void GadgetEnd(void);
intptr_t GadgetCreateText(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char *text, uint32_t flags);
void GadgetFree(intptr_t number);
intptr_t GadgetRegister(intptr_t number, GadgetRecord *record, HWND control, GadgetKind *kind);
LRESULT CALLBACK GadgetProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT GadgetForward(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
GadgetRecord *GadgetLookup(intptr_t number);

void GadgetSetText(intptr_t number, const char *text);
void GadgetSetColor(intptr_t number, int32_t type, COLORREF colour);
void GadgetSetFont(intptr_t number, HFONT font);  // number -1: font of gadgets made from now on

HBRUSH BrushCacheGet(COLORREF colour);
void BrushCacheRelease(HBRUSH brush);
