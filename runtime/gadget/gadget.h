// Gadget library: numbered controls inside library windows. The text gadget
// (a "Static") is the one kind built here; every gadget has a text, two
// colours and a font. A gadget's number is its control identifier and its
// "ZX_ID" property; with AutoNumber it is the handle GadgetCreateText returns.
//
// Stands on the objects library (gadget table, state block, brush list) and on
// the window library: a new gadget becomes a child of the current gadget list
// (GadgetListSelect), and GadgetInit hands the window procedure the forwarder
// through which control messages reach a gadget's kind. Fonts given to
// GadgetSetFont stay owned by whoever made them.
#pragma once
#include <stdint.h>
#include <windows.h>

#include "runtime/objects/objects.h"  // AutoNumber

// Colour types of GadgetSetColor and GadgetGetColor.
enum : int32_t { ColorFront = 1, ColorBack = 2 };

constexpr COLORREF ColorDefault = 0xFFFFFFFFu;  // -1: the system's colour

void GadgetInit(void);
// Frees every gadget still registered (their controls are destroyed).
void GadgetEnd(void);

// For AutoNumber the new gadget's handle, otherwise the control's window
// handle; 0 when the control cannot be created, the number is invalid or no
// gadget list is current. A number in use loses its earlier control. The
// place is in pixels at 96 dpi, laid out for the DPI of the window's monitor,
// and again, with the gadget's font, when the window moves to a monitor of
// another DPI.
intptr_t GadgetCreateText(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char *text, uint32_t flags);
void GadgetFree(intptr_t number);
HWND GadgetHandle(intptr_t number);  // the control, or 0

void GadgetSetText(intptr_t number, const char *text);  // null: empty
void GadgetSetColor(intptr_t number, int32_t type, COLORREF colour);
// ColorDefault for an unknown gadget, a kind without colours or another type.
COLORREF GadgetGetColor(intptr_t number, int32_t type);
// Number -1: the font of gadgets made from now on. Font (HFONT)-1: the stock
// DEFAULT_GUI_FONT. The font is taken as made for the system DPI; a gadget on
// a monitor of another DPI shows a copy of it made for that DPI (its own,
// deleted when the gadget goes).
void GadgetSetFont(intptr_t number, HFONT font);
