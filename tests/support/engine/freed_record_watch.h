// Watches the engine's records as they are given back to their free lists:
// an entry the list does not hold as in use (a record destroyed twice) and a
// clump given back while a world still lists it are counted. The normal
// build then sees what would otherwise only show later as freed memory read
// through the world's lists or a stale pointer.
#pragma once

#include <cstddef>

#include "rpworld.h"
#include "rwengine.h"
#include "world/bamodules.h"

namespace rwtest {

class FreedRecordWatch {
public:
    FreedRecordWatch() : prior_(RwEngineInst->memoryFuncs.rwfreelistfree)
    {
        Given() = prior_;
        Refused() = 0;
        ClumpsStillInAWorld() = 0;
        RwEngineInst->memoryFuncs.rwfreelistfree = &Watch;
    }
    ~FreedRecordWatch() { RwEngineInst->memoryFuncs.rwfreelistfree = prior_; }
    FreedRecordWatch(const FreedRecordWatch &) = delete;
    FreedRecordWatch &operator=(const FreedRecordWatch &) = delete;

    // Entries given back that their list had not handed out (or had back).
    static size_t &Refused()
    {
        static size_t count = 0;
        return count;
    }
    // Clumps given back while their world still held them.
    static size_t &ClumpsStillInAWorld()
    {
        static size_t count = 0;
        return count;
    }

private:
    using FreeFn = RwFreeList *(*)(RwFreeList *, void *);
    static FreeFn &Given()
    {
        static FreeFn fn = nullptr;
        return fn;
    }
    static RwFreeList *Watch(RwFreeList *list, void *entry)
    {
        if (list == rpClumpGetGlobals()->clumpFreeList && RpClumpGetWorld(static_cast<RpClump *>(entry)) != nullptr) {
            ++ClumpsStillInAWorld();
        }
        RwFreeList *result = Given()(list, entry);
        if (result == nullptr) {
            ++Refused();
        }
        return result;
    }

    FreeFn prior_;
};

}  // namespace rwtest
