// Tests of the pipeline heap: 32-byte granules, the split rule, merging on
// free, reset, growth by superblocks, and running out of memory.
#include <gtest/gtest.h>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"

namespace p2heap_test {

namespace {

using rwtest::CountingMemory;
using rwtest::TakeError;

class HeapTest : public rwtest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        heap = RxHeapCreate(1024);  // one superblock: a single 992-byte block
        ASSERT_NE(heap, nullptr);
    }
    void TearDown() override
    {
        RxHeapDestroy(heap);
        EngineTest::TearDown();
    }
    RwUInt8 *Alloc(RwUInt32 size) { return static_cast<RwUInt8 *>(RxHeapAlloc(heap, size)); }
    RxHeap *heap = nullptr;
};

TEST_F(HeapTest, BlocksAreWholeGranulesAlignedTo32)
{
    EXPECT_FALSE(heap->dirty);
    RwUInt8 *a = Alloc(1);
    RwUInt8 *b = Alloc(1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 32, 0u);
    // One byte takes 32, plus the next block's header.
    EXPECT_EQ(b - a, 64);
    EXPECT_TRUE(heap->dirty);
}

TEST_F(HeapTest, SplitsOnlyWhenAtLeast256BytesRemain)
{
    RwUInt8 *big = Alloc(992 - 256);
    ASSERT_EQ(heap->entriesUsed, 1u);
    EXPECT_EQ(heap->freeBlocks[0].size, 224u);
    EXPECT_EQ(Alloc(224), big + 736 + 32);
    EXPECT_EQ(heap->head->next, nullptr);

    RxHeapReset(heap);
    Alloc(992 - 224);
    EXPECT_EQ(heap->entriesUsed, 0u);
    // The heap grows by a superblock for the next request.
    EXPECT_NE(Alloc(32), nullptr);
    EXPECT_NE(heap->head->next, nullptr);
}

TEST_F(HeapTest, FreeMergesWithFreeNeighbours)
{
    RwUInt8 *a = Alloc(32);
    RwUInt8 *b = Alloc(32);
    RwUInt8 *c = Alloc(32);
    ASSERT_NE(c, nullptr);
    RxHeapFree(heap, a);
    RxHeapFree(heap, c);  // joins the free tail
    EXPECT_EQ(heap->entriesUsed, 2u);
    RxHeapFree(heap, b);  // joins both
    ASSERT_EQ(heap->entriesUsed, 1u);
    EXPECT_EQ(heap->freeBlocks[0].size, 992u);
    EXPECT_EQ(Alloc(992), a);
}

TEST_F(HeapTest, ResetMakesEverySuperblockOneFreeBlock)
{
    Alloc(900);
    Alloc(2000);  // larger than a superblock
    ASSERT_NE(heap->head->next, nullptr);
    RxHeapReset(heap);
    EXPECT_FALSE(heap->dirty);
    EXPECT_EQ(heap->entriesUsed, 2u);
    // Blocks of different superblocks never merge, though they are chained.
    EXPECT_NE(Alloc(2000), nullptr);
    EXPECT_NE(Alloc(900), nullptr);
    EXPECT_EQ(heap->head->next->next, nullptr);
}

TEST_F(HeapTest, OutOfMemoryReportsAndLeavesTheHeapUsable)
{
    Alloc(900);
    CountingMemory::FailFrom(CountingMemory::Allocations() + 1);
    EXPECT_EQ(Alloc(4000), nullptr);
    CountingMemory::FailFrom(0);
    EXPECT_EQ(TakeError().errorCode, E_RW_NOMEM);
    EXPECT_NE(Alloc(4000), nullptr);
}

TEST_F(HeapTest, CreateFailsCleanlyWithoutMemory)
{
    size_t live = CountingMemory::LiveBlocks();
    for (size_t k = 1; k <= 3; k++) {
        CountingMemory::FailAt(CountingMemory::Allocations() + k);
        RxHeap *h = RxHeapCreate(2048);
        CountingMemory::FailAt(0);
        RxHeapDestroy(h);
        EXPECT_EQ(CountingMemory::LiveBlocks(), live);
    }
}

}  // namespace

}  // namespace p2heap_test
