// Helpers shared by the frame and camera tests: counting live frame records
// (whether free lists are on or off), the dirty-frame list as a vector, and
// a frame-attached test object that counts its synchronisations.
#pragma once

#include <vector>

#include "rwcore.h"
#include "rwsdk/src/baframe.h"
#include "support/engine/counting_memory.h"

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

}  // namespace frametest
