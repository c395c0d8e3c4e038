// The arena allocator: block rounding, best fit, the split threshold and
// merging of neighbouring free blocks.
#include <gtest/gtest.h>

#include <vector>

#include "rwresources.h"

namespace resmem_test {

namespace {

struct Arena {
    std::vector<RwUInt8> memory;
    RwResHeap *heap;
    explicit Arena(size_t size) : memory(size + 64)
    {
        // Start on a 32-byte boundary so block positions are predictable.
        auto base = reinterpret_cast<uintptr_t>(memory.data());
        auto aligned = (base + 31) & ~static_cast<uintptr_t>(31);
        heap = reinterpret_cast<RwResHeap *>(aligned);
        ok = RwResHeapInit(heap, size);
    }
    RwBool ok;
    static RwResHeapBlockHeader *Block(void *payload)
    {
        return reinterpret_cast<RwResHeapBlockHeader *>(static_cast<RwUInt8 *>(payload) - 32);
    }
};

TEST(ResHeap, InitLaysOutOneFreeBlock)
{
    Arena arena(1024);
    ASSERT_TRUE(arena.ok);
    RwResHeapBlockHeader *first = arena.heap->head;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % 32, 0u);
    EXPECT_EQ(reinterpret_cast<RwUInt8 *>(first) - reinterpret_cast<RwUInt8 *>(arena.heap), 32);
    EXPECT_EQ(first->size, 1024u - 32 - 32);
    EXPECT_EQ(arena.heap->freeBlocks, first);
    Arena tiny(70);
    EXPECT_FALSE(tiny.ok);
}

TEST(ResHeap, OneByteTakesOneUnitAndSplitNeedsMoreThan64Spare)
{
    Arena arena(32 + 32 + 32 + 64);  // first block payload 96
    ASSERT_TRUE(arena.ok);
    void *p = RwResHeapAlloc(arena.heap, 1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Arena::Block(p)->size, 96u);  // 64 spare: not split
    RwResHeapFree(p);

    Arena bigger(32 + 32 + 32 + 96);  // payload 128: 96 spare, split
    void *q = RwResHeapAlloc(bigger.heap, 1);
    EXPECT_EQ(Arena::Block(q)->size, 32u);
    ASSERT_NE(Arena::Block(q)->next, nullptr);
    EXPECT_EQ(Arena::Block(q)->next->size, 64u);
    EXPECT_EQ(bigger.heap->freeBlocks, Arena::Block(q)->next);
}

TEST(ResHeap, BestFitAndMergeOnFree)
{
    Arena arena(4096);
    void *a = RwResHeapAlloc(arena.heap, 256);
    void *b = RwResHeapAlloc(arena.heap, 100);
    void *c = RwResHeapAlloc(arena.heap, 256);
    void *d = RwResHeapAlloc(arena.heap, 32);
    ASSERT_TRUE(a && b && c && d);
    RwResHeapFree(a);  // 256 hole
    RwResHeapFree(c);  // 256 hole
    EXPECT_EQ(arena.heap->freeBlocks, Arena::Block(a));
    void *e = RwResHeapAlloc(arena.heap, 200);
    EXPECT_EQ(e, a);  // the first of two equal best fits
    RwResHeapFree(e);
    RwResHeapFree(b);  // merges a, b and c into one block
    RwResHeapBlockHeader *merged = Arena::Block(a);
    EXPECT_EQ(merged->used, 0u);
    EXPECT_EQ(merged->size, 256u + 32 + 128 + 32 + 256);
    EXPECT_EQ(merged->next, Arena::Block(d));
    EXPECT_EQ(Arena::Block(d)->prev, merged);
    EXPECT_EQ(RwResHeapAlloc(arena.heap, 100000), nullptr);
}

}  // namespace

}  // namespace resmem_test
