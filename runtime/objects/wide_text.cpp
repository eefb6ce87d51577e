// The runtime heap's UTF-16 copies of texts for the system. Windows only.
#include <windows.h>
#include <string.h>

#include "runtime/objects/objects.h"

wchar_t *RuntimeWideText(const char *text) {
  if (!text) return nullptr;
  // No code page makes more UTF-16 units of a text than it has bytes. The
  // block is not zero-filled: a conversion that fails leaves it empty.
  int count = static_cast<int>(strlen(text)) + 1;
  wchar_t *wide = static_cast<wchar_t *>(RuntimeAllocRaw(static_cast<size_t>(count) * sizeof(wchar_t)));
  if (wide && !MultiByteToWideChar(1252, 0, text, -1, wide, count)) *wide = 0;
  return wide;
}
