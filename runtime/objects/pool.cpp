#include "runtime/objects/objects.h"

namespace {

// Each position starts with a pointer-wide owner: the block while the element
// is in use, the next waiting position while it is on the free list.
struct Position {
  void *owner;
};

constexpr size_t HeaderSize = (sizeof(PoolBlock) + sizeof(void *) - 1) & ~(sizeof(void *) - 1);

char *FirstPosition(PoolBlock *block) {
  return reinterpret_cast<char *>(block) + HeaderSize;
}

void Unlink(PoolBlock **list, PoolBlock *block) {
  if (block->prev) block->prev->next = block->next; else *list = block->next;
  if (block->next) block->next->prev = block->prev;
  block->next = block->prev = nullptr;
}

void PushFront(PoolBlock **list, PoolBlock *block) {
  block->prev = nullptr;
  block->next = *list;
  if (*list) (*list)->prev = block;
  *list = block;
}

PoolBlock *NewBlock(BlockPool *pool, int32_t n) {
  return static_cast<PoolBlock *>(RuntimeAllocRaw(HeaderSize + static_cast<size_t>(n) * static_cast<size_t>(pool->stride)));
}

}  // namespace

BlockPool *PoolCreate(int32_t elementSize, int32_t minBlock, int32_t maxBlock) {
  if (elementSize < 0 || elementSize > INT32_MAX / 2 || minBlock < 1 || maxBlock < minBlock) return nullptr;
  BlockPool *pool = static_cast<BlockPool *>(RuntimeAllocRaw(sizeof(BlockPool)));
  if (!pool) return nullptr;
  const int32_t word = static_cast<int32_t>(sizeof(void *));
  pool->fullBlocks = pool->openBlocks = nullptr;
  pool->totalElements = 0;
  pool->stride = (elementSize + word + word - 1) & ~(word - 1);
  pool->minBlock = minBlock;
  pool->maxBlock = maxBlock;
  return pool;
}

void *PoolAlloc(BlockPool *pool) {
  PoolBlock *block = pool->openBlocks;
  Position *pos;
  if (block) {
    if (block->freeCount > 0) {
      pos = static_cast<Position *>(block->freeList);
      block->freeList = pos->owner;
      block->freeCount--;
    } else {
      pos = reinterpret_cast<Position *>(FirstPosition(block) + static_cast<size_t>(block->issued) * static_cast<size_t>(pool->stride));
      block->issued++;
    }
    if (block->freeCount == 0 && block->issued >= block->capacity) {
      Unlink(&pool->openBlocks, block);
      PushFront(&pool->fullBlocks, block);
    }
  } else {
    int32_t n = (pool->totalElements / 16) & ~15;
    if (n < pool->minBlock) n = pool->minBlock;
    else if (n > pool->maxBlock) n = pool->maxBlock;
    block = NewBlock(pool, n);
    if (!block) {
      n = 1;
      block = NewBlock(pool, n);
      if (!block) return nullptr;
    }
    block->capacity = n;
    block->issued = 1;
    block->freeCount = 0;
    block->freeList = nullptr;
    pool->totalElements += n;
    PushFront(n > 1 ? &pool->openBlocks : &pool->fullBlocks, block);
    pos = reinterpret_cast<Position *>(FirstPosition(block));
  }
  pos->owner = block;
  return pos + 1;
}

void PoolFree(BlockPool *pool, void *element) {
  if (!element) return;
  Position *pos = static_cast<Position *>(element) - 1;
  PoolBlock *block = static_cast<PoolBlock *>(pos->owner);
  pos->owner = block->freeList;
  block->freeList = pos;
  block->freeCount++;
  bool wasFull = block->freeCount == 1 && block->issued >= block->capacity;
  if (block->freeCount == block->issued) {
    // Everything handed out is back: the block goes, from whichever list holds it.
    Unlink(wasFull ? &pool->fullBlocks : &pool->openBlocks, block);
    pool->totalElements -= block->capacity;
    RuntimeFree(block);
  } else if (wasFull) {
    Unlink(&pool->fullBlocks, block);
    PushFront(&pool->openBlocks, block);
  }
}
