#include "runtime/gadget/gadget_internal.h"

namespace {

struct BrushEntry {
  COLORREF colour;
  HBRUSH brush;
  int32_t uses;
};

// Guarded by Lock: the cache is the one structure of the libraries that may
// be reached from more than one thread.
CRITICAL_SECTION Lock;
void *Brushes;

BrushEntry *FindBrush(HBRUSH brush) {
  for (ListNode *node = Brushes ? static_cast<ListNode *>(Brushes) - 1 : nullptr; node; node = node->next) {
    BrushEntry *entry = reinterpret_cast<BrushEntry *>(node + 1);
    if (entry->brush == brush) return entry;
  }
  return nullptr;
}

}  // namespace

void BrushCacheInit(void) {
  InitializeCriticalSection(&Lock);
}

HBRUSH BrushCacheGet(COLORREF colour) {
  EnterCriticalSection(&Lock);
  for (ListNode *node = Brushes ? static_cast<ListNode *>(Brushes) - 1 : nullptr; node; node = node->next) {
    BrushEntry *entry = reinterpret_cast<BrushEntry *>(node + 1);
    if (entry->colour == colour) {
      entry->uses++;
      LeaveCriticalSection(&Lock);
      return entry->brush;
    }
  }
  // Only brushes that exist are cached, so a failed CreateSolidBrush leaves
  // no entry behind that a later release of "no brush" could hit.
  HBRUSH brush = CreateSolidBrush(colour);
  if (brush) {
    BrushEntry *entry = static_cast<BrushEntry *>(ListAdd(&Brushes, sizeof(ListNode) + sizeof(BrushEntry)));
    if (entry) {
      entry->colour = colour;
      entry->brush = brush;
      entry->uses = 1;
    } else {
      DeleteObject(brush);
      brush = nullptr;
    }
  }
  LeaveCriticalSection(&Lock);
  return brush;
}

void BrushCacheRelease(HBRUSH brush) {
  if (!brush) return;
  EnterCriticalSection(&Lock);
  BrushEntry *entry = FindBrush(brush);
  if (entry && --entry->uses <= 0) {
    DeleteObject(brush);
    ListRemove(&Brushes, entry);
  }
  LeaveCriticalSection(&Lock);
}

int32_t BrushCacheUses(HBRUSH brush) {
  if (!brush) return 0;
  EnterCriticalSection(&Lock);
  BrushEntry *entry = FindBrush(brush);
  int32_t uses = entry ? entry->uses : 0;
  LeaveCriticalSection(&Lock);
  return uses;
}
