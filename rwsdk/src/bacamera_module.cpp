// Camera module: creates the camera free list (sized for the camera record
// plus every registered extension) when the engine starts and destroys it
// when the engine stops.
#include <cstring>

#include "rwengine.h"
#include "rwmemory.h"
#include "src/bacamera.h"
#include "src/bacoremodules.h"

const RwInt32 rwCameraModuleBlockSize = static_cast<RwInt32>(sizeof(rwCameraGlobals));
RwInt32 rwCameraModuleOffset = -1;

static RwFreeList cameraFreeListRecord;

static constexpr RwInt32 rwCAMERAENTRIESPERBLOCK = 4;
static constexpr RwInt32 rwCAMERAALIGNMENT = 8;

rwCameraGlobals *rwCameraGetGlobals(void)
{
    return static_cast<rwCameraGlobals *>(RwEngineGetModuleBlock(rwCameraModuleOffset));
}

void *RwCameraModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwCameraModuleOffset = offset;
    auto *globals = reinterpret_cast<rwCameraGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->cameraFreeList = RwFreeListCreateEx(RwCameraGetPluginRegistry()->sizeOfStruct, rwCAMERAENTRIESPERBLOCK,
                                                 rwCAMERAALIGNMENT, 1, &cameraFreeListRecord);
    return globals->cameraFreeList != nullptr ? instance : nullptr;
}

void *RwCameraModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *globals = reinterpret_cast<rwCameraGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->cameraFreeList != nullptr) {
        RwFreeListDestroy(globals->cameraFreeList);
        globals->cameraFreeList = nullptr;
    }
    return instance;
}
