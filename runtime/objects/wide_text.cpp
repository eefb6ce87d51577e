// The runtime heap's UTF-16 copies of texts for the system. Windows only.
#include <windows.h>
#include <string.h>

#include "runtime/objects/objects.h"

wchar_t *RuntimeWideText(const char *text) {
  if (!text) return nullptr;
  // Code page 1252 turns every byte into one UTF-16 unit.
  size_t count = strlen(text) + 1;
  wchar_t *wide = static_cast<wchar_t *>(RuntimeAllocRaw(count * sizeof(wchar_t)));
  if (wide) MultiByteToWideChar(1252, 0, text, -1, wide, static_cast<int>(count));
  return wide;
}
