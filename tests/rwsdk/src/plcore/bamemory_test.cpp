// Free lists: bit-map search, block growth and release, the walk over used
// entries while its callback frees them, purging, and heap mode.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"

namespace bamemory_test {

namespace {

class FreeList : public rwtest::EngineTest {};

TEST_F(FreeList, EntriesAreAlignedAndDistinct)
{
    RwFreeList *fl = RwFreeListCreateEx(13, 10, 4, 0, nullptr);
    ASSERT_NE(fl, nullptr);
    EXPECT_EQ(fl->alignment, 8u);
    EXPECT_EQ(fl->entrySize, 16u);
    EXPECT_EQ(fl->heapSize, 2u);
    std::set<void *> seen;
    for (int i = 0; i < 25; ++i) {
        void *e = RwFreeListAlloc(fl);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(e) % 8, 0u);
        EXPECT_TRUE(seen.insert(e).second);
    }
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 3);  // 10 entries per block, last byte partly used
    for (void *e : seen) {
        EXPECT_EQ(RwFreeListFree(fl, e), fl);
    }
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 1);  // the only block is kept
    EXPECT_TRUE(RwFreeListDestroy(fl));
}

TEST_F(FreeList, OneEntryPerBlockAddsAndReleasesBlocks)
{
    RwFreeList *fl = RwFreeListCreateEx(8, 1, 8, 0, nullptr);
    ASSERT_NE(fl, nullptr);
    void *a = RwFreeListAlloc(fl);
    void *b = RwFreeListAlloc(fl);
    void *c = RwFreeListAlloc(fl);
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 3);
    EXPECT_EQ(RwFreeListFree(fl, b), fl);
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 2);
    EXPECT_EQ(RwFreeListFree(fl, a), fl);
    EXPECT_EQ(RwFreeListFree(fl, c), fl);
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 1);
    RwFreeListDestroy(fl);
}

TEST_F(FreeList, ForeignAndDoubleFreesAreRefused)
{
    RwFreeList *fl = RwFreeListCreateEx(16, 8, 8, 0, nullptr);
    void *a = RwFreeListAlloc(fl);
    void *b = RwFreeListAlloc(fl);
    int local = 0;
    EXPECT_EQ(RwFreeListFree(fl, &local), nullptr);
    EXPECT_EQ(RwFreeListFree(fl, static_cast<RwUInt8 *>(a) + 4), nullptr);
    EXPECT_EQ(RwFreeListFree(fl, a), fl);
    EXPECT_EQ(RwFreeListFree(fl, a), nullptr);
    EXPECT_EQ(RwFreeListAlloc(fl), a);  // the lowest free entry comes back first
    RwFreeListFree(fl, a);
    RwFreeListFree(fl, b);
    RwFreeListDestroy(fl);
}

struct WalkState {
    RwFreeList *list;
    std::vector<void *> visited;
};

void FreeVisited(void *entry, void *data)
{
    auto *state = static_cast<WalkState *>(data);
    state->visited.push_back(entry);
    RwFreeListFree(state->list, entry);
}

TEST_F(FreeList, WalkSurvivesCallbackFreeingEveryEntry)
{
    // Two entries per block: freeing both empties a block mid-walk.
    RwFreeList *fl = RwFreeListCreateEx(32, 2, 8, 0, nullptr);
    std::vector<void *> entries;
    for (int i = 0; i < 7; ++i) {
        entries.push_back(RwFreeListAlloc(fl));
    }
    ASSERT_EQ(RwFreeListGetNumBlocks(fl), 4);
    WalkState state{fl, {}};
    EXPECT_EQ(RwFreeListForAllUsed(fl, FreeVisited, &state), fl);
    EXPECT_EQ(state.visited.size(), entries.size());
    EXPECT_EQ(std::set<void *>(state.visited.begin(), state.visited.end()),
              std::set<void *>(entries.begin(), entries.end()));
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 1);
    RwFreeListDestroy(fl);
}

TEST_F(FreeList, WalkFailsWhenItsBitMapCopyCannotBeMade)
{
    RwFreeList *fl = RwFreeListCreateEx(32, 4, 8, 0, nullptr);
    void *e = RwFreeListAlloc(fl);
    rwtest::CountingMemory::FailAt(rwtest::CountingMemory::Allocations() + 1);
    WalkState state{fl, {}};
    EXPECT_EQ(RwFreeListForAllUsed(fl, FreeVisited, &state), nullptr);
    rwtest::CountingMemory::FailAt(0);
    EXPECT_TRUE(state.visited.empty());
    RwFreeListFree(fl, e);
    RwFreeListDestroy(fl);
}

TEST_F(FreeList, PurgeReleasesEmptyBlocksButKeepsOne)
{
    RwFreeList *fl = RwFreeListCreateEx(16, 4, 8, 3, nullptr);
    ASSERT_NE(fl, nullptr);
    const RwInt32 made = RwFreeListGetNumBlocks(fl);
    void *e = RwFreeListAlloc(fl);
    EXPECT_EQ(RwFreeListPurge(fl), (made > 1 ? made - 1 : 0) * 16);  // none made with free lists off
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 1);
    RwFreeListFree(fl, e);
    EXPECT_EQ(RwFreeListPurge(fl), 0);
    EXPECT_EQ(RwFreeListGetNumBlocks(fl), 1);
    RwFreeListDestroy(fl);
}

TEST_F(FreeList, CallerRecordIsNotFreedAndFailedCreateLeavesNothing)
{
    static RwFreeList record;
    RwFreeList *fl = RwFreeListCreateInPlace(24, 16, 0, 1, &record);
    ASSERT_EQ(fl, &record);
    EXPECT_EQ(record.flags & rwFREELIST_CALLERRECORD, rwFREELIST_CALLERRECORD);
    RwFreeListDestroy(fl);
    // Warm the pool of free-list records so only the failing create counts.
    RwFreeListDestroy(RwFreeListCreateEx(24, 16, 8, 0, nullptr));

    const size_t live = rwtest::CountingMemory::LiveBlocks();
    rwtest::CountingMemory::FailFrom(rwtest::CountingMemory::Allocations() + 1);
    EXPECT_EQ(RwFreeListCreateEx(24, 16, 8, 3, nullptr), nullptr);
    rwtest::CountingMemory::FailFrom(0);
    EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), live);
}

TEST_F(FreeList, SlotsFollowTheInitFlag)
{
    RwFreeList *fl = RwFreeListCreate(40, 8, 8);
    void *e = RwFreeListEntryAlloc(fl);
    ASSERT_NE(e, nullptr);
    if (rwtest::EngineInitFlags() & rwENGINEINITFREELISTS_OFF) {
        EXPECT_EQ(RwEngineInst->memoryFuncs.rwfreelistalloc, RwFreeListHeapAlloc);
        EXPECT_EQ(RwFreeListGetNumBlocks(fl), 0);  // nothing preallocated, nothing pooled
    } else {
        EXPECT_EQ(RwEngineInst->memoryFuncs.rwfreelistalloc, RwFreeListAlloc);
        EXPECT_EQ(RwFreeListGetNumBlocks(fl), 1);
    }
    EXPECT_EQ(RwFreeListEntryFree(fl, e), fl);
    RwFreeListDestroy(fl);
}

TEST_F(FreeList, ListsLeftBehindAreReleasedAtTerm)
{
    // Not destroyed here: RwMemoryClose at term must take them, and the
    // fixture's leak check proves it did.
    RwFreeList *fl = RwFreeListCreateEx(64, 4, 8, 2, nullptr);
    ASSERT_NE(fl, nullptr);
    EXPECT_NE(RwFreeListAlloc(fl), nullptr);
}

TEST_F(FreeList, ZeroedAllocRefusesOverflow)
{
    EXPECT_EQ(RwMemoryZeroedAlloc(static_cast<size_t>(1) << 62, 8), nullptr);
    auto *p = static_cast<RwUInt8 *>(RwMemoryZeroedAlloc(4, 8));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(p[i], 0);
    RwFree(p);
}

}  // namespace

}  // namespace bamemory_test
