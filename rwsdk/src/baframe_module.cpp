// Frame module: creates the frame free list (sized for the frame record
// plus every registered extension) and empties the dirty-frame list when
// the engine starts; destroys the free list when it stops.
#include <cstring>

#include "rwengine.h"
#include "rwmemory.h"
#include "src/baframe.h"
#include "src/bacoremodules.h"

const RwInt32 rwFrameModuleBlockSize = static_cast<RwInt32>(sizeof(rwFrameGlobals));
RwInt32 rwFrameModuleOffset = -1;

static RwFreeList frameFreeListRecord;
static RwInt32 frameModuleOpenCount = 0;

static constexpr RwInt32 rwFRAMEENTRIESPERBLOCK = 50;
static constexpr RwInt32 rwFRAMEALIGNMENT = 8;

rwFrameGlobals *rwFrameGetGlobals(void)
{
    return static_cast<rwFrameGlobals *>(RwEngineGetModuleBlock(rwFrameModuleOffset));
}

void *RwFrameModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwFrameModuleOffset = offset;
    auto *globals = reinterpret_cast<rwFrameGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->frameFreeList = RwFreeListCreateEx(RwFrameGetPluginRegistry()->sizeOfStruct, rwFRAMEENTRIESPERBLOCK,
                                                rwFRAMEALIGNMENT, 1, &frameFreeListRecord);
    if (globals->frameFreeList == nullptr) {
        return nullptr;
    }
    RwLinkListInitialize(&static_cast<RwEngineInstance *>(instance)->dirtyFrameList);
    ++frameModuleOpenCount;
    return instance;
}

void *RwFrameModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *globals = reinterpret_cast<rwFrameGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->frameFreeList != nullptr) {
        RwFreeListDestroy(globals->frameFreeList);
        globals->frameFreeList = nullptr;
    }
    --frameModuleOpenCount;
    return instance;
}
