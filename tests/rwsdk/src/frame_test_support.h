// Helpers shared by the frame and camera tests: counting live frame records
// (whether free lists are on or off), the dirty-frame list as a vector, and
// a frame-attached test object that counts its synchronisations.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "rwcore.h"
#include "rwsdk/src/baframe.h"
#include "support/engine/counting_memory.h"
#include "support/engine/fake_device.h"

namespace frametest {

inline void CountEntry(void *, void *data) { ++*static_cast<size_t *>(data); }

// Frame records in use plus heap blocks live: unchanged across an operation
// exactly when it left no frame or allocation behind.
inline size_t Outstanding()
{
    size_t used = 0;
    RwFreeListForAllUsed(rwFrameGetGlobals()->frameFreeList, CountEntry, &used);
    return used + rwtest::CountingMemory::LiveBlocks();
}

inline std::vector<RwFrame *> DirtyRoots()
{
    std::vector<RwFrame *> roots;
    RwLinkList *list = &RwEngineInst->dirtyFrameList;
    for (RwLLLink *l = list->link.next; l != &list->link; l = l->next) {
        roots.push_back(RwLLLinkGetData(l, RwFrame, inDirtyListLink));
    }
    return roots;
}

struct SyncCounter {
    RwFramedObject head;
    int syncs;
};

inline RwFramedObject *CountSync(RwFramedObject *object)
{
    ++reinterpret_cast<SyncCounter *>(object)->syncs;
    return object;
}

inline void InitCounter(SyncCounter *c)
{
    c->head = {};
    c->head.object.type = 0x7F;
    RwLLLinkInitialize(&c->head.lFrame);
    c->head.sync = CountSync;
    c->syncs = 0;
}

inline void ExpectNear(const RwV3d &v, float x, float y, float z, float tol = 1e-4f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

// Runs `round` (a whole start-up, work, shut-down cycle) once cleanly, then
// once for each allocation it made with that allocation failing: the round
// may fail, but must leave no block behind and the engine shut down.
inline void AllocationSweep(bool (*round)())
{
    rwtest::CountingMemory::Reset();
    rwtest::FakeDevice::Reset();
    ASSERT_TRUE(round());
    const size_t total = rwtest::CountingMemory::Allocations();
    for (size_t n = 1; n <= total; ++n) {
        rwtest::CountingMemory::Reset();
        rwtest::CountingMemory::FailAt(n);
        round();
        ASSERT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u) << "leak after failing allocation " << n;
        ASSERT_EQ(RwEngineGetState(), rwENGINESTATUSIDLE) << n;
    }
    rwtest::CountingMemory::Reset();
    EXPECT_TRUE(round());
}

}  // namespace frametest
