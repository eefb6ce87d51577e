#include "runtime/objects/objects_internal.h"

#include <string.h>

namespace {

// Slot arrays are limited so that recordSize * capacity cannot wrap on i686.
constexpr size_t MaxSlotBytes = static_cast<size_t>(INT32_MAX);

char *SlotRecord(ObjectTable *table, intptr_t number) {
  return table->slots + static_cast<size_t>(number) * static_cast<size_t>(table->recordSize);
}

bool IsSlot(ObjectTable *table, intptr_t number) {
  return number >= 0 && number < table->capacity;
}

bool IsLive(const void *record) {
  void *first;
  memcpy(&first, record, sizeof first);
  return first != nullptr;
}

}  // namespace

ObjectTable *ObjectTableCreate(int32_t recordSize, int32_t growStep, ObjectFreeHook freeHook) {
  if (recordSize < static_cast<int32_t>(sizeof(void *)) || growStep < 1) return nullptr;
  if (static_cast<size_t>(recordSize) * static_cast<size_t>(growStep) > MaxSlotBytes) return nullptr;
  ObjectTable *table = static_cast<ObjectTable *>(RuntimeAlloc(sizeof(ObjectTable)));
  if (!table) return nullptr;
  table->autoList = nullptr;
  table->freeHook = freeHook;
  table->recordSize = recordSize;
  table->growStep = growStep;
  table->capacity = growStep;
  table->slots = static_cast<char *>(RuntimeAlloc(static_cast<size_t>(recordSize) * static_cast<size_t>(growStep)));
  if (!table->slots) {
    RuntimeFree(table);
    return nullptr;
  }
  return table;
}

void *ObjectTableAllocate(ObjectTable *table, intptr_t number) {
  if (!table) return nullptr;
  if (number == AutoNumber)
    return ListAdd(&table->autoList, ListNodeSize(static_cast<size_t>(table->recordSize)));
  if (number < 0) return nullptr;
  if (number >= table->capacity) {
    // The new capacity and the array's byte size must both stay in range;
    // a number that asks for more names nothing and allocates nothing.
    if (number > INT32_MAX - table->growStep) return nullptr;
    intptr_t capacity = number + table->growStep;
    size_t bytes = static_cast<size_t>(capacity) * static_cast<size_t>(table->recordSize);
    if (bytes / static_cast<size_t>(table->recordSize) != static_cast<size_t>(capacity) || bytes > MaxSlotBytes)
      return nullptr;
    char *slots = static_cast<char *>(RuntimeRealloc(table->slots, bytes));
    if (!slots) return nullptr;
    table->slots = slots;
    table->capacity = static_cast<int32_t>(capacity);
  }
  if (table->freeHook) table->freeHook(number);
  char *record = SlotRecord(table, number);
  // The hook normally leaves the slot zeroed; a record of a library without a
  // hook is reused as it stands, so clear it here as well.
  if (!table->freeHook) memset(record, 0, static_cast<size_t>(table->recordSize));
  return record;
}

void *ObjectTableLookup(ObjectTable *table, intptr_t number) {
  if (!table) return nullptr;
  void *record;
  if (IsSlot(table, number)) {
    record = SlotRecord(table, number);
  } else {
    if (number == 0 || number == AutoNumber) return nullptr;
    record = ListContains(table->autoList, reinterpret_cast<void *>(number));
    if (!record) return nullptr;
  }
  return IsLive(record) ? record : nullptr;
}

void ObjectTableRelease(ObjectTable *table, intptr_t number) {
  if (!table) return;
  if (IsSlot(table, number)) {
    memset(SlotRecord(table, number), 0, static_cast<size_t>(table->recordSize));
    return;
  }
  void *payload = ListContains(table->autoList, reinterpret_cast<void *>(number));
  if (!payload) return;
  // An iteration in progress must not be left pointing at the freed node.
  if (table->iterNode == ListNodeOf(payload)) table->iterNode = table->iterNode->prev;
  ListRemove(&table->autoList, payload);
}

void ObjectTableRewind(ObjectTable *table) {
  if (!table) return;
  table->iterIndex = 0;
  ListNode *node = table->autoList ? ListNodeOf(table->autoList) : nullptr;
  while (node && node->next) node = node->next;
  table->iterNode = node;
}

void *ObjectTableNext(ObjectTable *table, intptr_t *number) {
  if (!table) return nullptr;
  while (table->iterIndex >= 0 && table->iterIndex < table->capacity) {
    intptr_t n = table->iterIndex++;
    char *record = SlotRecord(table, n);
    if (IsLive(record)) {
      *number = n;
      return record;
    }
  }
  if (table->iterNode) {
    ListNode *node = table->iterNode;
    table->iterNode = node->prev;  // toward the newer end
    *number = reinterpret_cast<intptr_t>(node + 1);
    return node + 1;
  }
  return nullptr;
}

void ObjectTableFreeAll(ObjectTable *table) {
  if (!table) return;
  ObjectTableRewind(table);
  intptr_t number;
  while (ObjectTableNext(table, &number)) {
    if (table->freeHook) table->freeHook(number);
    else ObjectTableRelease(table, number);
  }
}

void *ObjectTableRecord(ObjectTable *table, intptr_t number) {
  if (!table) return nullptr;
  if (IsSlot(table, number)) return SlotRecord(table, number);
  if (number == 0 || number == AutoNumber) return nullptr;
  return ListContains(table->autoList, reinterpret_cast<void *>(number));
}
