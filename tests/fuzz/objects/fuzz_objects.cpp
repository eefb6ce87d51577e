// Object tables and the block pool under arbitrary operation sequences, each
// step checked against a plain model: slot and AutoNumber records with their
// contents, the free hook, lookups of numbers that name nothing, iteration
// with objects freed as it goes, and the pool's blocks, reuse order and sizes.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <list>
#include <map>
#include <vector>

#include "runtime/objects/objects.h"

namespace {

#define CHECK(cond)                                                              \
  do {                                                                           \
    if (!(cond)) {                                                               \
      fprintf(stderr, "fuzz_objects: check failed at line %d: %s\n", __LINE__, #cond); \
      abort();                                                                   \
    }                                                                            \
  } while (0)

// ---- Table model ----------------------------------------------------------

struct Content {
  uintptr_t token;  // the record's first field; 0 makes the record absent
  uint8_t fill;     // every byte after the first field
};

struct AutoObject {
  intptr_t handle;
  uint64_t seq;  // creation order
  Content content;
};

struct TableModel {
  int32_t recordSize = 0;
  int32_t growStep = 0;
  int64_t capacity = 0;
  std::map<intptr_t, Content> slots;  // live slot records
  std::vector<AutoObject> autos;      // live AutoNumber records, oldest first
  std::vector<intptr_t> stale;        // handles released earlier
  uint64_t nextSeq = 0;
  uintptr_t nextToken = 1;
  // Iteration.
  bool iterating = false;
  bool iterDefined = false;  // false after an allocation during the iteration
  int64_t iterIndex = 0;
  bool iterHasAuto = false;
  uint64_t iterAutoSeq = 0;
};

ObjectTable *table;
TableModel model;
bool hookSet;
std::vector<intptr_t> hookCalls;

AutoObject *FindAuto(intptr_t handle) {
  for (AutoObject &a : model.autos)
    if (a.handle == handle) return &a;
  return nullptr;
}

void WriteRecord(void *record, const Content &c) {
  memcpy(record, &c.token, sizeof c.token);
  memset(static_cast<char *>(record) + sizeof c.token, c.fill, static_cast<size_t>(model.recordSize) - sizeof c.token);
}

void CheckRecord(const void *record, const Content &c) {
  uintptr_t first;
  memcpy(&first, record, sizeof first);
  CHECK(first == c.token);
  const unsigned char *p = static_cast<const unsigned char *>(record);
  for (size_t i = sizeof first; i < static_cast<size_t>(model.recordSize); i++) CHECK(p[i] == c.fill);
}

bool AllZero(const void *record) {
  const unsigned char *p = static_cast<const unsigned char *>(record);
  for (int32_t i = 0; i < model.recordSize; i++)
    if (p[i]) return false;
  return true;
}

Content NewContent() {
  Content c;
  c.token = (model.nextToken++ << 4) | 1;
  c.fill = static_cast<uint8_t>(c.token >> 4);
  return c;
}

// What a lookup of number must give: null, or the live record with its content.
const Content *ExpectedLookup(intptr_t number, bool *isSlot) {
  *isSlot = number >= 0 && number < model.capacity;
  if (*isSlot) {
    auto it = model.slots.find(number);
    return it == model.slots.end() ? nullptr : &it->second;
  }
  AutoObject *a = FindAuto(number);
  return a && a->content.token ? &a->content : nullptr;
}

void CheckLookup(intptr_t number) {
  bool isSlot;
  const Content *expected = ExpectedLookup(number, &isSlot);
  void *record = ObjectTableLookup(table, number);
  if (!expected) {
    CHECK(record == nullptr);
    return;
  }
  CHECK(record != nullptr);
  if (isSlot)
    CHECK(record == table->slots + static_cast<size_t>(number) * static_cast<size_t>(model.recordSize));
  else
    CHECK(record == reinterpret_cast<void *>(number));
  CheckRecord(record, *expected);
}

// The next newer live AutoNumber record after seq, as the iteration moves on.
void AdvanceIterAuto(uint64_t afterSeq) {
  model.iterHasAuto = false;
  for (AutoObject &a : model.autos)
    if (a.seq > afterSeq) {
      model.iterHasAuto = true;
      model.iterAutoSeq = a.seq;
      return;
    }
}

// Model side of ObjectTableRelease.
void ModelRelease(intptr_t number) {
  if (number >= 0 && number < model.capacity) {
    model.slots.erase(number);
    return;
  }
  for (size_t i = 0; i < model.autos.size(); i++) {
    if (model.autos[i].handle != number) continue;
    uint64_t seq = model.autos[i].seq;
    model.autos.erase(model.autos.begin() + static_cast<ptrdiff_t>(i));
    model.stale.push_back(number);
    if (model.iterating && model.iterHasAuto && model.iterAutoSeq == seq) AdvanceIterAuto(seq);
    return;
  }
}

// A library's free function: look up, release the resource, release the record.
void LibraryFree(intptr_t number) {
  if (!ObjectTableLookup(table, number)) return;
  ObjectTableRelease(table, number);
  ModelRelease(number);
}

void Hook(intptr_t number) {
  hookCalls.push_back(number);
  LibraryFree(number);
}

void CheckAll() {
  CHECK(table->capacity == model.capacity);
  for (intptr_t n = 0; n < model.capacity; n++) CheckLookup(n);
  for (const AutoObject &a : model.autos) CheckLookup(a.handle);
}

intptr_t PickNumber(FuzzedDataProvider &in) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      return in.ConsumeIntegralInRange<intptr_t>(0, 400);
    case 1:
      if (!model.autos.empty())
        return model.autos[in.ConsumeIntegralInRange<size_t>(0, model.autos.size() - 1)].handle;
      return 0;
    case 2:
      if (!model.stale.empty())
        return model.stale[in.ConsumeIntegralInRange<size_t>(0, model.stale.size() - 1)];
      return 1;
    case 3:  // inside or just around a live record: never a handle
      if (!model.autos.empty()) {
        intptr_t h = model.autos[in.ConsumeIntegralInRange<size_t>(0, model.autos.size() - 1)].handle;
        return h + in.ConsumeIntegralInRange<intptr_t>(-32, 32);
      }
      return 2;
    case 4:
      return in.ConsumeIntegral<intptr_t>();
    case 5:
      return -in.ConsumeIntegralInRange<intptr_t>(1, 1000);
    case 6:  // the slot array's own addresses
      return reinterpret_cast<intptr_t>(table->slots) + in.ConsumeIntegralInRange<intptr_t>(0, 256);
    default:
      return AutoNumber;
  }
}

// Numbers whose slot array cannot be had at any record size.
intptr_t PickHugeNumber(FuzzedDataProvider &in) {
  switch (in.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: return INT32_MAX;
    case 1: return INT32_MAX - model.growStep + 1;
    case 2: return INT32_MAX / model.recordSize + 1;
    case 3: return INTPTR_MAX;
    default: return static_cast<intptr_t>(1) << in.ConsumeIntegralInRange<int>(31, 62);
  }
}

void AllocateFixed(intptr_t number, bool huge) {
  hookCalls.clear();
  std::map<intptr_t, Content> before = model.slots;
  void *record = ObjectTableAllocate(table, number);
  if (model.iterating) model.iterDefined = false;
  if (huge) {
    CHECK(record == nullptr);
    CHECK(table->capacity == model.capacity);
    CHECK(model.slots.size() == before.size());
    return;
  }
  CHECK(record != nullptr);
  if (number >= model.capacity) model.capacity = number + model.growStep;
  CHECK(table->capacity == model.capacity);
  if (hookSet) {
    CHECK(hookCalls.size() == 1 && hookCalls[0] == number);
  } else {
    CHECK(hookCalls.empty());
    model.slots.erase(number);  // the earlier object's record is simply reused
  }
  CHECK(model.slots.count(number) == 0);
  CHECK(record == table->slots + static_cast<size_t>(number) * static_cast<size_t>(model.recordSize));
  CHECK(AllZero(record));
  Content c = NewContent();
  WriteRecord(record, c);
  model.slots[number] = c;
}

void AllocateAuto() {
  hookCalls.clear();
  void *record = ObjectTableAllocate(table, AutoNumber);
  if (model.iterating) model.iterDefined = false;
  CHECK(record != nullptr);
  CHECK(hookCalls.empty());
  CHECK(AllZero(record));
  intptr_t handle = reinterpret_cast<intptr_t>(record);
  CHECK(handle < 0 || handle >= model.capacity);
  CHECK(FindAuto(handle) == nullptr);
  Content c = NewContent();
  WriteRecord(record, c);
  model.autos.push_back({handle, model.nextSeq++, c});
  model.stale.erase(std::remove(model.stale.begin(), model.stale.end(), handle), model.stale.end());
}

void Rewind() {
  ObjectTableRewind(table);
  model.iterating = model.iterDefined = true;
  model.iterIndex = 0;
  model.iterHasAuto = !model.autos.empty();
  if (model.iterHasAuto) model.iterAutoSeq = model.autos.front().seq;
}

// One ObjectTableNext; returns whether it yielded an object.
bool Next(intptr_t *out) {
  const intptr_t sentinel = static_cast<intptr_t>(0x5a5a5a5a);
  intptr_t number = sentinel;
  void *record = ObjectTableNext(table, &number);
  if (!model.iterating || !model.iterDefined) {
    // No rewind yet, or the table changed under the iteration: whatever it
    // yields must at least be a live object.
    if (record) {
      bool isSlot;
      CHECK(ExpectedLookup(number, &isSlot) != nullptr || FindAuto(number));
    }
    *out = number;
    return record != nullptr;
  }
  while (model.iterIndex < model.capacity) {
    intptr_t n = model.iterIndex++;
    auto it = model.slots.find(n);
    if (it == model.slots.end()) continue;
    CHECK(record != nullptr);
    CHECK(number == n);
    CheckRecord(record, it->second);
    *out = n;
    return true;
  }
  if (model.iterHasAuto) {
    AutoObject *a = nullptr;
    for (AutoObject &x : model.autos)
      if (x.seq == model.iterAutoSeq) a = &x;
    CHECK(a != nullptr);
    CHECK(record == reinterpret_cast<void *>(a->handle));
    CHECK(number == a->handle);
    CheckRecord(record, a->content);
    AdvanceIterAuto(a->seq);
    *out = number;
    return true;
  }
  CHECK(record == nullptr);
  CHECK(number == sentinel);
  return false;
}

// An end function: free every object as the iteration yields it.
void Drain() {
  Rewind();
  size_t expected = model.slots.size() + model.autos.size();
  size_t seen = 0;
  intptr_t number;
  while (Next(&number)) {
    seen++;
    CHECK(seen <= expected);
    ObjectTableRelease(table, number);
    ModelRelease(number);
  }
  CHECK(seen == expected);
  CHECK(model.slots.empty() && model.autos.empty());
  Rewind();
  CHECK(!Next(&number));
}

// ---- Pool model -------------------------------------------------------------

struct PoolModelBlock {
  PoolBlock *block;
  char *first;
  int32_t capacity;
  int32_t issued;
  std::vector<char *> freeStack;  // most recently returned last
};

struct LiveElement {
  char *address;
  PoolModelBlock *block;
  uint8_t fill;
};

BlockPool *pool;
int32_t elementSize;
int32_t stride;
std::list<PoolModelBlock> poolBlocks;      // storage
std::vector<PoolModelBlock *> openBlocks;  // front first
std::vector<PoolModelBlock *> fullBlocks;
std::vector<LiveElement> liveElements;
int32_t totalElements;
uint8_t nextFill;

void MoveToFront(std::vector<PoolModelBlock *> &from, std::vector<PoolModelBlock *> &to, PoolModelBlock *b) {
  from.erase(std::find(from.begin(), from.end(), b));
  to.insert(to.begin(), b);
}

PoolBlock *OwnerOf(void *element) {
  PoolBlock *owner;
  memcpy(&owner, static_cast<char *>(element) - sizeof(void *), sizeof owner);
  return owner;
}

void CheckBlockList(PoolBlock *front, const std::vector<PoolModelBlock *> &expected) {
  PoolBlock *prev = nullptr;
  size_t i = 0;
  for (PoolBlock *b = front; b; prev = b, b = b->next, i++) {
    CHECK(i < expected.size());
    const PoolModelBlock *m = expected[i];
    CHECK(b == m->block);
    CHECK(b->prev == prev);
    CHECK(b->capacity == m->capacity);
    CHECK(b->issued == m->issued);
    CHECK(b->freeCount == static_cast<int32_t>(m->freeStack.size()));
  }
  CHECK(i == expected.size());
}

void CheckPool() {
  CHECK(pool->totalElements == totalElements);
  CheckBlockList(pool->openBlocks, openBlocks);
  CheckBlockList(pool->fullBlocks, fullBlocks);
  for (const LiveElement &e : liveElements) {
    CHECK(OwnerOf(e.address) == e.block->block);
    for (int32_t i = 0; i < elementSize; i++) CHECK(static_cast<unsigned char>(e.address[i]) == e.fill);
  }
}

void PoolAllocStep() {
  char *expected = nullptr;
  PoolModelBlock *b = nullptr;
  if (!openBlocks.empty()) {
    b = openBlocks.front();
    if (!b->freeStack.empty()) {
      expected = b->freeStack.back();
      b->freeStack.pop_back();
    } else {
      expected = b->first + static_cast<size_t>(b->issued) * static_cast<size_t>(stride);
      b->issued++;
    }
    if (b->freeStack.empty() && b->issued >= b->capacity) MoveToFront(openBlocks, fullBlocks, b);
  }
  char *e = static_cast<char *>(PoolAlloc(pool));
  CHECK(e != nullptr);
  CHECK(reinterpret_cast<uintptr_t>(e) % sizeof(void *) == 0);
  if (b) {
    CHECK(e == expected);
  } else {
    int32_t n = (totalElements / 16) & ~15;
    if (n < pool->minBlock) n = pool->minBlock;
    else if (n > pool->maxBlock) n = pool->maxBlock;
    PoolBlock *real = OwnerOf(e);
    CHECK(real->capacity == n);
    for (const PoolModelBlock &m : poolBlocks) CHECK(m.block != real);
    poolBlocks.push_back({real, e, n, 1, {}});
    b = &poolBlocks.back();
    totalElements += n;
    if (n > 1) openBlocks.insert(openBlocks.begin(), b);
    else fullBlocks.insert(fullBlocks.begin(), b);
  }
  for (const LiveElement &le : liveElements) CHECK(le.address != e);
  CHECK(OwnerOf(e) == b->block);
  LiveElement le{e, b, nextFill++};
  memset(e, le.fill, static_cast<size_t>(elementSize));
  liveElements.push_back(le);
}

void PoolFreeStep(size_t index) {
  LiveElement le = liveElements[index];
  liveElements.erase(liveElements.begin() + static_cast<ptrdiff_t>(index));
  for (int32_t i = 0; i < elementSize; i++) CHECK(static_cast<unsigned char>(le.address[i]) == le.fill);
  PoolFree(pool, le.address);
  PoolModelBlock *b = le.block;
  b->freeStack.push_back(le.address);
  int32_t freeCount = static_cast<int32_t>(b->freeStack.size());
  bool wasFull = freeCount == 1 && b->issued >= b->capacity;
  if (freeCount == b->issued) {
    std::vector<PoolModelBlock *> &list = wasFull ? fullBlocks : openBlocks;
    list.erase(std::find(list.begin(), list.end(), b));
    totalElements -= b->capacity;
    for (auto it = poolBlocks.begin(); it != poolBlocks.end(); ++it)
      if (&*it == b) {
        poolBlocks.erase(it);
        break;
      }
  } else if (wasFull) {
    MoveToFront(fullBlocks, openBlocks, b);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider in(data, size);
  RuntimeHeap = PlatformHeapCreate(4096);

  model = TableModel();
  model.recordSize = 8 * in.ConsumeIntegralInRange<int32_t>(1, 12);
  model.growStep = in.ConsumeIntegralInRange<int32_t>(1, 40);
  model.capacity = model.growStep;
  hookSet = in.ConsumeBool();
  hookCalls.clear();
  table = ObjectTableCreate(model.recordSize, model.growStep, hookSet ? Hook : nullptr);
  CHECK(table != nullptr);

  elementSize = in.ConsumeIntegralInRange<int32_t>(0, 200);
  int32_t minBlock = in.ConsumeIntegralInRange<int32_t>(1, 48);
  int32_t maxBlock = in.ConsumeIntegralInRange<int32_t>(minBlock, minBlock + 300);
  pool = PoolCreate(elementSize, minBlock, maxBlock);
  CHECK(pool != nullptr);
  stride = pool->stride;
  CHECK(stride % static_cast<int32_t>(sizeof(void *)) == 0);
  CHECK(stride >= elementSize + static_cast<int32_t>(sizeof(void *)) &&
        stride < elementSize + 2 * static_cast<int32_t>(sizeof(void *)));
  poolBlocks.clear();
  openBlocks.clear();
  fullBlocks.clear();
  liveElements.clear();
  totalElements = 0;
  nextFill = 1;

  PlatformHeapStats base;
  PlatformHeapGetStats(RuntimeHeap, &base);

  int steps = 0;
  while (in.remaining_bytes() > 0 && steps++ < 4000) {
    switch (in.ConsumeIntegralInRange<int>(0, 15)) {
      case 0:
      case 1:
        AllocateFixed(in.ConsumeIntegralInRange<intptr_t>(0, 3 * model.growStep + 60), false);
        break;
      case 2:
        AllocateFixed(PickHugeNumber(in), true);
        break;
      case 3:
        AllocateAuto();
        break;
      case 4:
        CheckLookup(PickNumber(in));
        break;
      case 5: {
        intptr_t n = PickNumber(in);
        ObjectTableRelease(table, n);
        ModelRelease(n);
        break;
      }
      case 6:
        LibraryFree(PickNumber(in));
        break;
      case 7:
        Rewind();
        break;
      case 8: {
        intptr_t number;
        if (Next(&number) && in.ConsumeBool()) LibraryFree(number);
        break;
      }
      case 9:  // an AutoNumber record whose first field is cleared is still listed
        if (!model.autos.empty()) {
          AutoObject &a = model.autos[in.ConsumeIntegralInRange<size_t>(0, model.autos.size() - 1)];
          a.content.token = 0;
          WriteRecord(reinterpret_cast<void *>(a.handle), a.content);
        }
        break;
      case 10:
        CheckAll();
        break;
      case 11:
        Drain();
        break;
      case 12:
      case 13:
        PoolAllocStep();
        break;
      case 14:
        if (!liveElements.empty()) PoolFreeStep(in.ConsumeIntegralInRange<size_t>(0, liveElements.size() - 1));
        else PoolFree(pool, nullptr);
        break;
      default:
        CheckPool();
        break;
    }
  }

  CheckAll();
  CheckPool();
  Drain();
  while (!liveElements.empty()) PoolFreeStep(liveElements.size() - 1);
  CheckPool();
  CHECK(pool->openBlocks == nullptr && pool->fullBlocks == nullptr && pool->totalElements == 0);
  // Everything given back: only the table, its slot array and the pool header remain.
  PlatformHeapStats end;
  PlatformHeapGetStats(RuntimeHeap, &end);
  CHECK(end.liveBlocks == base.liveBlocks);

  PlatformHeapDestroy(RuntimeHeap);
  RuntimeHeap = nullptr;
  return 0;
}
