// Image module: the image plug-in registry, and the engine block with the
// image and format free lists, the search path, the gamma tables and the
// name buffer, set up when the engine starts and released when it stops.
#include <cstring>

#include "rwengine.h"
#include "rwmemory.h"
#include "src/bacoremodules.h"
#include "src/baimage.h"

const RwInt32 rwImageModuleBlockSize = static_cast<RwInt32>(sizeof(rwImageGlobals));
RwInt32 rwImageModuleOffset = -1;

static RwPluginRegistry imageTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RwImage)));
static RwFreeList imageFreeListRecord;
static RwFreeList formatFreeListRecord;
static RwInt32 imageModuleOpenCount = 0;

static constexpr RwInt32 rwIMAGEENTRIESPERBLOCK = 128;
static constexpr RwInt32 rwIMAGEALIGNMENT = 8;
static constexpr RwInt32 rwIMAGEINITIALBUFFER = 256;

RwPluginRegistry *rwImageGetPluginRegistry(void) { return &imageTKList; }

RwInt32 RwImageRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&imageTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RwImageGetPluginOffset(RwUInt32 pluginID) { return RwPluginRegistryGetPluginOffset(&imageTKList, pluginID); }

rwImageGlobals *rwImageGetGlobals(void)
{
    return static_cast<rwImageGlobals *>(RwEngineGetModuleBlock(rwImageModuleOffset));
}

void *RwImageOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwImageModuleOffset = offset;
    auto *globals = reinterpret_cast<rwImageGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->imageFreeList = RwFreeListCreateEx(imageTKList.sizeOfStruct, rwIMAGEENTRIESPERBLOCK, rwIMAGEALIGNMENT,
                                                1, &imageFreeListRecord);
    if (globals->imageFreeList == nullptr) {
        return nullptr;
    }
    globals->formatFreeList = RwFreeListCreateEx(sizeof(RwImageFormat), rwIMAGEENTRIESPERBLOCK, rwIMAGEALIGNMENT, 1,
                                                 &formatFreeListRecord);
    globals->path = globals->formatFreeList != nullptr ? static_cast<RwChar *>(RwMalloc(rwIMAGEINITIALBUFFER))
                                                       : nullptr;
    globals->nameBuffer = globals->path != nullptr ? static_cast<RwChar *>(RwMalloc(rwIMAGEINITIALBUFFER)) : nullptr;
    if (globals->nameBuffer == nullptr) {
        RwFree(globals->path);
        if (globals->formatFreeList != nullptr) {
            RwFreeListDestroy(globals->formatFreeList);
        }
        RwFreeListDestroy(globals->imageFreeList);
        std::memset(globals, 0, sizeof(*globals));
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    globals->path[0] = '\0';
    globals->pathSize = rwIMAGEINITIALBUFFER;
    globals->nameBuffer[0] = '\0';
    globals->nameBufferSize = rwIMAGEINITIALBUFFER;
    globals->formatList = nullptr;
    ++imageModuleOpenCount;
    rwImageBuildGammaTables(globals, 1.0f);
    return instance;
}

void *RwImageClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *globals = reinterpret_cast<rwImageGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    RwFree(globals->nameBuffer);
    globals->nameBuffer = nullptr;
    globals->nameBufferSize = 0;
    RwFree(globals->path);
    globals->path = nullptr;
    globals->pathSize = 0;
    while (globals->formatList != nullptr) {
        RwImageFormat *next = globals->formatList->next;
        RwFreeListEntryFree(globals->formatFreeList, globals->formatList);
        globals->formatList = next;
    }
    if (globals->formatFreeList != nullptr) {
        RwFreeListDestroy(globals->formatFreeList);
        globals->formatFreeList = nullptr;
    }
    if (globals->imageFreeList != nullptr) {
        RwFreeListDestroy(globals->imageFreeList);
        globals->imageFreeList = nullptr;
    }
    --imageModuleOpenCount;
    return instance;
}
