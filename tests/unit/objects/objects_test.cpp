#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "runtime/objects/objects.h"

namespace {

struct Record {
  void *handle;
  int32_t value;
};

class HeapFixture : public ::testing::Test {
 protected:
  void SetUp() override { RuntimeHeap = PlatformHeapCreate(4096); }
  void TearDown() override {
    PlatformHeapDestroy(RuntimeHeap);
    RuntimeHeap = nullptr;
  }
};

// ---- Lists ----

using ListTest = HeapFixture;

TEST_F(ListTest, NewNodesGoToTheFrontAndRemovalRelinks) {
  void *front = nullptr;
  int *a = static_cast<int *>(ListAdd(&front, ListNodeSize(sizeof(int))));
  int *b = static_cast<int *>(ListAdd(&front, ListNodeSize(sizeof(int))));
  int *c = static_cast<int *>(ListAdd(&front, ListNodeSize(sizeof(int))));
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(front, c);
  EXPECT_EQ(ListNext(c), b);  // stepping runs toward the older end
  EXPECT_EQ(ListNext(b), a);
  EXPECT_EQ(ListNext(a), nullptr);
  EXPECT_EQ(ListNext(nullptr), nullptr);
  EXPECT_EQ(*a, 0);  // zero-filled payload
  ListNode *nc = reinterpret_cast<ListNode *>(c) - 1;
  EXPECT_EQ(nc->prev, nullptr);
  EXPECT_EQ(nc->next + 1, static_cast<void *>(b));

  ListRemove(&front, c);  // the front: next becomes front with null prev
  EXPECT_EQ(front, b);
  EXPECT_EQ((reinterpret_cast<ListNode *>(b) - 1)->prev, nullptr);
  EXPECT_EQ(ListContains(front, c), nullptr);
  EXPECT_EQ(ListContains(front, a), a);

  ListRemove(&front, a);  // the last node
  EXPECT_EQ((reinterpret_cast<ListNode *>(b) - 1)->next, nullptr);
  ListRemove(&front, b);
  EXPECT_EQ(front, nullptr);
}

TEST_F(ListTest, PayloadOfAnotherListIsNotContained) {
  void *one = nullptr, *two = nullptr;
  void *p = ListAdd(&one, sizeof(ListNode) + 8);
  void *q = ListAdd(&two, sizeof(ListNode) + 8);
  EXPECT_EQ(ListContains(one, q), nullptr);
  EXPECT_EQ(ListContains(two, p), nullptr);
  EXPECT_EQ(ListContains(nullptr, p), nullptr);
}

// ---- Pool ----

using PoolTest = HeapFixture;

TEST_F(PoolTest, StrideHoldsAPointerWideOwner) {
  BlockPool *pool = PoolCreate(20, 16, 256);
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(pool->stride, sizeof(void *) == 4 ? 24 : 32);
  EXPECT_EQ(pool->totalElements, 0);
}

TEST_F(PoolTest, FirstBlockHasSixteenPositionsAndFillsInOrder) {
  BlockPool *pool = PoolCreate(20, 16, 256);
  std::vector<char *> got;
  for (int i = 0; i < 16; i++) got.push_back(static_cast<char *>(PoolAlloc(pool)));
  for (int i = 1; i < 16; i++) EXPECT_EQ(got[i] - got[i - 1], pool->stride) << i;
  EXPECT_EQ(pool->totalElements, 16);
  EXPECT_EQ(pool->openBlocks, nullptr);  // the full block moved
  ASSERT_NE(pool->fullBlocks, nullptr);
  EXPECT_EQ(pool->fullBlocks->issued, 16);

  char *seventeenth = static_cast<char *>(PoolAlloc(pool));
  EXPECT_EQ(pool->totalElements, 32);
  ASSERT_NE(pool->openBlocks, nullptr);
  EXPECT_EQ(pool->openBlocks->issued, 1);
  EXPECT_NE(seventeenth, nullptr);

  // A returned element of the full block moves it back to the open front and
  // is handed out next.
  PoolFree(pool, got[5]);
  EXPECT_EQ(pool->fullBlocks, nullptr);
  EXPECT_EQ(PoolAlloc(pool), got[5]);
}

TEST_F(PoolTest, EmptyBlockIsFreed) {
  BlockPool *pool = PoolCreate(20, 16, 256);
  void *keep = PoolAlloc(pool);
  std::vector<void *> second;
  for (int i = 0; i < 15; i++) PoolAlloc(pool);
  for (int i = 0; i < 3; i++) second.push_back(PoolAlloc(pool));
  EXPECT_EQ(pool->totalElements, 32);
  for (void *p : second) PoolFree(pool, p);
  EXPECT_EQ(pool->totalElements, 16);
  EXPECT_NE(keep, nullptr);
}

TEST_F(PoolTest, BlockSizeFollowsTheTotal) {
  struct Row { int total; int expected; };
  const Row rows[] = {{0, 16}, {496, 16}, {512, 32}, {767, 32}, {768, 48}, {1024, 64},
                      {2048, 128}, {4000, 240}, {4096, 256}, {9000, 256}};
  for (const Row &r : rows) {
    BlockPool *pool = PoolCreate(20, 16, 256);
    pool->totalElements = r.total;  // as if other blocks were held
    PoolAlloc(pool);
    PoolBlock *b = pool->openBlocks ? pool->openBlocks : pool->fullBlocks;
    EXPECT_EQ(b->capacity, r.expected) << "total " << r.total;
  }
}

// ---- Object tables ----

std::vector<intptr_t> freed;
ObjectTable *hookTable;

void FreeHook(intptr_t number) {
  Record *r = static_cast<Record *>(ObjectTableLookup(hookTable, number));
  if (!r) return;
  freed.push_back(number);
  ObjectTableRelease(hookTable, number);
}

class TableTest : public HeapFixture {
 protected:
  void SetUp() override {
    HeapFixture::SetUp();
    freed.clear();
    hookTable = table = ObjectTableCreate(sizeof(Record), 16, FreeHook);
    ASSERT_NE(table, nullptr);
  }
  Record *Make(intptr_t n, int value) {
    Record *r = static_cast<Record *>(ObjectTableAllocate(table, n));
    if (r) {
      r->handle = reinterpret_cast<void *>(static_cast<intptr_t>(0x1000 + value));
      r->value = value;
    }
    return r;
  }
  ObjectTable *table;
};

TEST_F(TableTest, GrowsBeyondTheRequestedNumber) {
  EXPECT_EQ(table->capacity, 16);
  Make(3, 3);
  Make(16, 16);
  EXPECT_EQ(table->capacity, 32);
  EXPECT_EQ(static_cast<Record *>(ObjectTableLookup(table, 3))->value, 3);
  Make(1000, 1);
  EXPECT_EQ(table->capacity, 1016);
}

TEST_F(TableTest, ReuseCallsTheFreeHookFirst) {
  Make(3, 1);
  EXPECT_TRUE(freed.empty());
  Record *r = Make(3, 2);
  ASSERT_EQ(freed.size(), 1u);
  EXPECT_EQ(freed[0], 3);
  EXPECT_EQ(r->value, 2);
}

// Neither a lookup nor ObjectTableRecord turns a number that names nothing
// into an address; ObjectTableRecord gives the slots of numbers below the
// capacity even while they are not live, and a new AutoNumber record before
// its first field is set.
TEST_F(TableTest, LookupRejectsWhatNamesNothing) {
  Record fake = {reinterpret_cast<void *>(1), 7};
  const struct {
    intptr_t number;
    bool slot;
  } rows[] = {{0, true}, {5, true}, {15, true}, {16, false}, {1 << 20, false}, {-2, false},
              {AutoNumber, false}, {INTPTR_MIN, false}, {reinterpret_cast<intptr_t>(&fake), false}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.number);
    EXPECT_EQ(ObjectTableLookup(table, row.number), nullptr);
    EXPECT_EQ(ObjectTableRecord(table, row.number),
              row.slot ? table->slots + row.number * table->recordSize : nullptr);
  }
  ObjectTableRelease(table, reinterpret_cast<intptr_t>(&fake));  // ignored, no crash
  EXPECT_EQ(fake.value, 7);
  void *pending = ObjectTableAllocate(table, AutoNumber);
  ASSERT_NE(pending, nullptr);
  EXPECT_EQ(ObjectTableLookup(table, reinterpret_cast<intptr_t>(pending)), nullptr);
  EXPECT_EQ(ObjectTableRecord(table, reinterpret_cast<intptr_t>(pending)), pending);
}

TEST_F(TableTest, HugeAndNegativeNumbersAllocateNothing) {
  const intptr_t numbers[] = {-2, -100, INTPTR_MIN, INT32_MAX, static_cast<intptr_t>(INT32_MAX) - 15,
                              static_cast<intptr_t>(1) << 28};
  for (intptr_t n : numbers) EXPECT_EQ(ObjectTableAllocate(table, n), nullptr) << n;
  EXPECT_EQ(table->capacity, 16);
}

TEST_F(TableTest, AutoNumbersAreDistinctHandles) {
  Record *a = Make(AutoNumber, 1);
  Record *b = Make(AutoNumber, 2);
  ASSERT_TRUE(a && b);
  EXPECT_NE(a, b);
  EXPECT_TRUE(freed.empty());  // no hook for AutoNumber
  intptr_t ha = reinterpret_cast<intptr_t>(a), hb = reinterpret_cast<intptr_t>(b);
  EXPECT_EQ(ObjectTableLookup(table, ha), a);
  ObjectTableRelease(table, ha);
  EXPECT_EQ(ObjectTableLookup(table, ha), nullptr);
  EXPECT_EQ(ObjectTableLookup(table, hb), b);
  EXPECT_EQ(table->capacity, 16);
}

TEST_F(TableTest, ReleaseClearsTheSlotAndKeepsCapacity) {
  Make(20, 1);
  ObjectTableRelease(table, 20);
  EXPECT_EQ(ObjectTableLookup(table, 20), nullptr);
  EXPECT_EQ(table->capacity, 36);
}

TEST_F(TableTest, IterationOrderIsSlotsThenOldestAutoFirst) {
  Make(5, 5);
  Record *a = Make(AutoNumber, 10);
  Make(0, 0);
  Record *b = Make(AutoNumber, 11);
  std::vector<intptr_t> seen;
  ObjectTableRewind(table);
  intptr_t n;
  while (ObjectTableNext(table, &n)) seen.push_back(n);
  std::vector<intptr_t> expected = {0, 5, reinterpret_cast<intptr_t>(a), reinterpret_cast<intptr_t>(b)};
  EXPECT_EQ(seen, expected);
}

// An end function frees every object through the free hook as the iteration
// yields it, by hand or with ObjectTableFreeAll; without a hook the objects
// are released. Each object is visited once and the table ends empty.
TEST_F(TableTest, FreeingDuringIterationVisitsEachOnce) {
  enum How { ByHand, FreeAll, FreeAllWithoutHook };
  for (How how : {ByHand, FreeAll, FreeAllWithoutHook}) {
    SCOPED_TRACE(how);
    freed.clear();
    if (how == FreeAllWithoutHook) table = ObjectTableCreate(sizeof(Record), 16, nullptr);
    Make(0, 0);
    Make(7, 7);
    Record *a = Make(AutoNumber, 1);
    Record *b = Make(AutoNumber, 2);
    Record *c = Make(AutoNumber, 3);
    intptr_t n;
    if (how == ByHand) {
      ObjectTableRewind(table);
      while (ObjectTableNext(table, &n)) FreeHook(n);
    } else {
      ObjectTableFreeAll(table);
    }
    std::vector<intptr_t> expected = {0, 7, reinterpret_cast<intptr_t>(a), reinterpret_cast<intptr_t>(b),
                                      reinterpret_cast<intptr_t>(c)};
    if (how == FreeAllWithoutHook) expected.clear();
    EXPECT_EQ(freed, expected);
    EXPECT_EQ(table->autoList, nullptr);
    EXPECT_EQ(ObjectTableLookup(table, 0), nullptr);
    EXPECT_EQ(ObjectTableLookup(table, 7), nullptr);
    ObjectTableRewind(table);
    EXPECT_EQ(ObjectTableNext(table, &n), nullptr);
  }
}

TEST_F(TableTest, FreeingTheNextAutoObjectDuringIterationIsSafe) {
  Record *a = Make(AutoNumber, 1);
  Record *b = Make(AutoNumber, 2);
  (void)a;
  ObjectTableRewind(table);
  intptr_t n;
  ASSERT_NE(ObjectTableNext(table, &n), nullptr);
  ObjectTableRelease(table, reinterpret_cast<intptr_t>(b));  // the one the cursor waits on
  EXPECT_EQ(ObjectTableNext(table, &n), nullptr);
}

}  // namespace
