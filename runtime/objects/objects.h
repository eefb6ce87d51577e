// Object registry and memory: the runtime heap, lists, block pools, library
// state blocks and the numbered-object tables that every library keeps its
// windows, gadgets, fonts and sounds in. Portable (but for RuntimeWideText,
// which only the Windows libraries use); stands on the platform's heap alone.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "runtime/platform/platform.h"

// ---- Runtime heap -------------------------------------------------------
// Created first by the program's entry point (or a test) and destroyed last;
// every library allocates its tables, records and nodes from it.
extern PlatformHeap RuntimeHeap;

void *RuntimeAlloc(size_t size);        // zero-filled
void *RuntimeAllocRaw(size_t size);     // not zero-filled
void *RuntimeRealloc(void *block, size_t size);  // grown part zero-filled
void RuntimeFree(void *block);          // null is ignored

#ifdef _WIN32
// Text on its way into Windows. Inside the program text is cp1252; the
// system is given a UTF-16 copy made by code page 1252, for the ...W
// functions, so the same bytes show the same letters whatever the system's
// ANSI code page is. The copy is a runtime heap block (RuntimeFree); null
// for a null text or when no block can be had.
wchar_t *RuntimeWideText(const char *text);
#endif

// ---- Lists --------------------------------------------------------------
// Doubly linked, newest at the front. Callers see only payload addresses; the
// node's two links lie just before the payload.
struct ListNode {
  ListNode *next;  // toward the older end
  ListNode *prev;  // toward the front
};

// The node size ListAdd takes for a payload of the given size.
constexpr size_t ListNodeSize(size_t payloadSize) {
  return sizeof(ListNode) + payloadSize;
}

// size counts the two links plus the payload (ListNodeSize). Returns the
// zero-filled payload of the new front node, or null (list unchanged) when no
// node can be had.
void *ListAdd(void **front, size_t size);
void ListRemove(void **front, void *payload);
void *ListContains(void *front, void *payload);
// The payload after this one toward the older end, or null at the last node.
// Read it before removing payload when walking while removing.
void *ListNext(void *payload);

// ---- Block pool ---------------------------------------------------------
struct PoolBlock {
  PoolBlock *next;
  PoolBlock *prev;
  void *freeList;    // most recently returned position, or null
  int32_t capacity;
  int32_t issued;
  int32_t freeCount;
};

struct BlockPool {
  PoolBlock *fullBlocks;
  PoolBlock *openBlocks;
  int32_t totalElements;
  int32_t stride;    // element size + a pointer-wide owner, rounded to pointer size
  int32_t minBlock;
  int32_t maxBlock;
};

BlockPool *PoolCreate(int32_t elementSize, int32_t minBlock, int32_t maxBlock);
void *PoolAlloc(BlockPool *pool);  // null only when not even one element can be had
void PoolFree(BlockPool *pool, void *element);

// ---- Library state ------------------------------------------------------
void *LibraryStateCreate(size_t size, void (*init)(void *state));
void *LibraryStateGet(void *state);

// ---- Numbered object tables -----------------------------------------------
// Numbers 0 and up are slots; AutoNumber makes a record in a list node whose
// address is the object's number from then on. A record whose first
// (pointer-wide) field is zero is absent.
constexpr intptr_t AutoNumber = -1;

typedef void (*ObjectFreeHook)(intptr_t number);

struct ObjectTable {
  int32_t recordSize;
  int32_t growStep;
  int32_t capacity;
  void *autoList;
  ObjectFreeHook freeHook;
  int32_t iterIndex;
  ListNode *iterNode;
  char *slots;
};

// Null when the table or its first slot array cannot be allocated.
ObjectTable *ObjectTableCreate(int32_t recordSize, int32_t growStep, ObjectFreeHook freeHook);
// Record to fill, or null: a negative number other than AutoNumber, a number
// whose slot array cannot be had, or no memory for a node.
void *ObjectTableAllocate(ObjectTable *table, intptr_t number);
// The live record, or null. Numbers that name nothing (handles this table
// never gave out or already released included) never become addresses.
void *ObjectTableLookup(ObjectTable *table, intptr_t number);
void ObjectTableRelease(ObjectTable *table, intptr_t number);
void ObjectTableRewind(ObjectTable *table);
void *ObjectTableNext(ObjectTable *table, intptr_t *number);
// Every live object goes through the table's free hook (or, without one, is
// released): slots in ascending order, then AutoNumber objects oldest first.
// This is what every library's end function does.
void ObjectTableFreeAll(ObjectTable *table);
// Where the record of number lies while it is not live yet (between
// ObjectTableAllocate and setting its first field): the slot, or the handle's
// own record; null when number names neither. Slot addresses move when the
// table grows, so ask again after anything that may allocate.
void *ObjectTableRecord(ObjectTable *table, intptr_t number);
