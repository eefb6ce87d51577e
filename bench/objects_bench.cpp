// The block pool against malloc/free for event-sized elements, and table
// lookups by slot number and by AutoNumber handle.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <vector>

#include "runtime/objects/objects.h"

namespace {

constexpr int32_t EventSize = 20;  // the event queue's element

struct HeapScope {
  HeapScope() { RuntimeHeap = PlatformHeapCreate(4096); }
  ~HeapScope() {
    PlatformHeapDestroy(RuntimeHeap);
    RuntimeHeap = nullptr;
  }
};

void BM_PoolPair_Tamrix(benchmark::State &st) {
  HeapScope heap;
  BlockPool *pool = PoolCreate(EventSize, 16, 256);
  void *kept = PoolAlloc(pool);  // as the event queue keeps its first block
  for (auto _ : st) {
    void *e = PoolAlloc(pool);
    benchmark::DoNotOptimize(e);
    PoolFree(pool, e);
  }
  PoolFree(pool, kept);
}
BENCHMARK(BM_PoolPair_Tamrix);

void BM_PoolPair_Malloc(benchmark::State &st) {
  for (auto _ : st) {
    void *e = malloc(EventSize);
    benchmark::DoNotOptimize(e);
    free(e);
  }
}
BENCHMARK(BM_PoolPair_Malloc);

// 64 elements taken, then all given back: per element.
void BM_PoolBatch_Tamrix(benchmark::State &st) {
  HeapScope heap;
  BlockPool *pool = PoolCreate(EventSize, 16, 256);
  void *kept = PoolAlloc(pool);
  void *held[64];
  for (auto _ : st) {
    for (void *&e : held) e = PoolAlloc(pool);
    benchmark::DoNotOptimize(held);
    for (void *e : held) PoolFree(pool, e);
  }
  PoolFree(pool, kept);
  st.SetItemsProcessed(st.iterations() * 64);
}
BENCHMARK(BM_PoolBatch_Tamrix);

void BM_PoolBatch_Malloc(benchmark::State &st) {
  void *held[64];
  for (auto _ : st) {
    for (void *&e : held) e = malloc(EventSize);
    benchmark::DoNotOptimize(held);
    for (void *e : held) free(e);
  }
  st.SetItemsProcessed(st.iterations() * 64);
}
BENCHMARK(BM_PoolBatch_Malloc);

struct Record {
  void *handle;
  int32_t value;
};

void BM_Lookup_Number(benchmark::State &st) {
  HeapScope heap;
  ObjectTable *table = ObjectTableCreate(sizeof(Record), 16, nullptr);
  for (intptr_t n = 0; n < 16; n++) static_cast<Record *>(ObjectTableAllocate(table, n))->handle = table;
  intptr_t n = 0;
  for (auto _ : st) {
    benchmark::DoNotOptimize(ObjectTableLookup(table, n));
    n = (n + 1) & 15;
  }
}
BENCHMARK(BM_Lookup_Number);

// Looks up the oldest of Arg() AutoNumber objects: the handle is checked
// against the whole list of the table's handles.
void BM_Lookup_Handle(benchmark::State &st) {
  HeapScope heap;
  ObjectTable *table = ObjectTableCreate(sizeof(Record), 16, nullptr);
  intptr_t oldest = 0;
  for (int64_t i = 0; i < st.range(0); i++) {
    Record *r = static_cast<Record *>(ObjectTableAllocate(table, AutoNumber));
    r->handle = table;
    if (i == 0) oldest = reinterpret_cast<intptr_t>(r);
  }
  for (auto _ : st) benchmark::DoNotOptimize(ObjectTableLookup(table, oldest));
}
BENCHMARK(BM_Lookup_Handle)->Arg(1)->Arg(16);

}  // namespace
