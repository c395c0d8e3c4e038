// Raster module: the raster plug-in registry (which the driver extends with
// its own per-raster data), and the engine block with the context stack and
// the raster free list, set up when the engine starts.
#include <cstring>

#include "rwengine.h"
#include "rwmemory.h"
#include "src/bacoremodules.h"
#include "src/baraster.h"

const RwInt32 rwRasterModuleBlockSize = static_cast<RwInt32>(sizeof(rwRasterGlobals));
RwInt32 rwRasterModuleOffset = -1;

static RwPluginRegistry rasterTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RwRaster)));
static RwFreeList rasterFreeListRecord;

static constexpr RwInt32 rwRASTERENTRIESPERBLOCK = 128;
static constexpr RwInt32 rwRASTERALIGNMENT = 8;

RwPluginRegistry *RwRasterGetPluginRegistry(void) { return &rasterTKList; }

RwInt32 RwRasterRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                               RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&rasterTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RwRasterGetPluginOffset(RwUInt32 pluginID) { return RwPluginRegistryGetPluginOffset(&rasterTKList, pluginID); }

rwRasterGlobals *rwRasterGetGlobals(void)
{
    return static_cast<rwRasterGlobals *>(RwEngineGetModuleBlock(rwRasterModuleOffset));
}

// The built-in empty raster at the bottom of the context stack is a whole
// record (extensions included, all zero) so a device that looks at its
// own extension of the current context never reads past it.
void *RwRasterModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwRasterModuleOffset = offset;
    auto *globals = reinterpret_cast<rwRasterGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->rasterFreeList = RwFreeListCreateEx(rasterTKList.sizeOfStruct, rwRASTERENTRIESPERBLOCK,
                                                 rwRASTERALIGNMENT, 1, &rasterFreeListRecord);
    if (globals->rasterFreeList == nullptr) {
        return nullptr;
    }
    auto *empty = static_cast<RwRaster *>(RwFreeListEntryAlloc(globals->rasterFreeList));
    if (empty == nullptr) {
        RwFreeListDestroy(globals->rasterFreeList);
        globals->rasterFreeList = nullptr;
        return nullptr;
    }
    std::memset(empty, 0, static_cast<size_t>(rasterTKList.sizeOfStruct));
    empty->cFlags = rwRASTERDONTALLOCATE;
    globals->contextStack[0] = empty;
    globals->stackDepth = 0;
    return instance;
}

void *RwRasterModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *globals = reinterpret_cast<rwRasterGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->rasterFreeList != nullptr) {
        if (globals->contextStack[0] != nullptr) {
            RwFreeListEntryFree(globals->rasterFreeList, globals->contextStack[0]);
            globals->contextStack[0] = nullptr;
        }
        RwFreeListDestroy(globals->rasterFreeList);
        globals->rasterFreeList = nullptr;
    }
    return instance;
}
