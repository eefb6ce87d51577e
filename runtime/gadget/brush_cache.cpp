// The brush cache: one solid brush per background colour, shared by the
// gadgets that use it and deleted when the last one lets go.
#include "runtime/gadget/gadget_internal.h"

CRITICAL_SECTION GadgetBrushLock;

namespace {

struct BrushEntry {
  COLORREF colour;
  HBRUSH brush;
  int32_t uses;
};

BrushEntry *FindBrush(HBRUSH brush) {
  for (void *p = GadgetLibrary->brushes; p; p = ListNext(p)) {
    BrushEntry *entry = static_cast<BrushEntry *>(p);
    if (entry->brush == brush) return entry;
  }
  return nullptr;
}

}  // namespace

HBRUSH BrushCacheGet(COLORREF colour) {
  if (!GadgetLibrary) return nullptr;
  EnterCriticalSection(&GadgetBrushLock);
  for (void *p = GadgetLibrary->brushes; p; p = ListNext(p)) {
    BrushEntry *entry = static_cast<BrushEntry *>(p);
    if (entry->colour == colour) {
      entry->uses++;
      LeaveCriticalSection(&GadgetBrushLock);
      return entry->brush;
    }
  }
  // Only brushes that exist are cached, so a failed CreateSolidBrush leaves
  // no entry behind that a later release of "no brush" could hit.
  HBRUSH brush = CreateSolidBrush(colour);
  if (brush) {
    BrushEntry *entry = static_cast<BrushEntry *>(ListAdd(&GadgetLibrary->brushes, ListNodeSize(sizeof(BrushEntry))));
    if (entry) {
      entry->colour = colour;
      entry->brush = brush;
      entry->uses = 1;
    } else {
      DeleteObject(brush);
      brush = nullptr;
    }
  }
  LeaveCriticalSection(&GadgetBrushLock);
  return brush;
}

void BrushCacheRelease(HBRUSH brush) {
  if (!brush || !GadgetLibrary) return;
  EnterCriticalSection(&GadgetBrushLock);
  BrushEntry *entry = FindBrush(brush);
  if (entry && --entry->uses <= 0) {
    DeleteObject(brush);
    ListRemove(&GadgetLibrary->brushes, entry);
  }
  LeaveCriticalSection(&GadgetBrushLock);
}

int32_t BrushCacheUses(HBRUSH brush) {
  if (!brush || !GadgetLibrary) return 0;
  EnterCriticalSection(&GadgetBrushLock);
  BrushEntry *entry = FindBrush(brush);
  int32_t uses = entry ? entry->uses : 0;
  LeaveCriticalSection(&GadgetBrushLock);
  return uses;
}
