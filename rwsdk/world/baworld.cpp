// Worlds as objects: the world and leaf registries, the engine's list of
// worlds, creation of an empty one-leaf world, destruction of either kind
// of world (one block from a stream, or separately allocated), the walks
// over leaves, clumps and lights, and drawing one leaf.
#include <cstring>

#include "rpd3d8pipe.h"
#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwpipeline.h"
#include "rwresources.h"
#include "world/baworld.h"

static RwPluginRegistry worldTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RpWorld)));
static RwPluginRegistry sectorTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RpWorldSector)));
static RwInt32 worldModuleOffset = -1;

RwPluginRegistry *RpWorldGetPluginRegistry(void) { return &worldTKList; }
RwPluginRegistry *RpWorldSectorGetPluginRegistry(void) { return &sectorTKList; }

RwInt32 RpWorldRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&worldTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RpWorldRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB,
                                    RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&worldTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RpWorldGetPluginOffset(RwUInt32 pluginID) { return RwPluginRegistryGetPluginOffset(&worldTKList, pluginID); }

RwInt32 RpWorldSectorRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                    RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&sectorTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RpWorldSectorRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                          RwPluginDataChunkWriteCallBack writeCB,
                                          RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&sectorTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RpWorldSectorGetPluginOffset(RwUInt32 pluginID)
{
    return RwPluginRegistryGetPluginOffset(&sectorTKList, pluginID);
}

rpWorldGlobals *rpWorldGetGlobals(void)
{
    return static_cast<rpWorldGlobals *>(RwEngineGetModuleBlock(worldModuleOffset));
}

void *RpWorldModuleOpen(void *instance, RwInt32 offset, RwInt32)
{
    worldModuleOffset = offset;
    rpWorldGlobals *globals = rpWorldGetGlobals();
    std::memset(globals, 0, sizeof(*globals));
    globals->recordFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(rpWorldRecord)), 8, 8);
    if (globals->recordFreeList == nullptr) {
        return nullptr;
    }
    if (!RpWorldPipesCreate()) {
        RwFreeListDestroy(globals->recordFreeList);
        globals->recordFreeList = nullptr;
        return nullptr;
    }
    return instance;
}

void *RpWorldModuleClose(void *instance, RwInt32, RwInt32)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    RpWorldPipesDestroy();
    // Worlds the caller forgot still hold records; the list goes with them.
    while (globals->worlds != nullptr) {
        rpWorldRecord *record = globals->worlds;
        globals->worlds = record->next;
        RwFreeListEntryFree(globals->recordFreeList, record);
    }
    if (globals->recordFreeList != nullptr) {
        RwFreeListDestroy(globals->recordFreeList);
        globals->recordFreeList = nullptr;
    }
    return instance;
}

// Blocks that only count their opens (their ids keep the opening order).
static RwInt32 counterOpens = 0;

void *RpWorldCounterModuleOpen(void *instance, RwInt32, RwInt32)
{
    ++counterOpens;
    return instance;
}

void *RpWorldCounterModuleClose(void *instance, RwInt32, RwInt32)
{
    --counterOpens;
    return instance;
}

RwBool rpWorldRecordAdd(RpWorld *world, RwUInt32 blockSize)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    auto *record = static_cast<rpWorldRecord *>(RwFreeListEntryAlloc(globals->recordFreeList));
    if (record == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        return FALSE;
    }
    *record = {world, blockSize, globals->worlds};
    globals->worlds = record;
    return TRUE;
}

void rpWorldRecordRemove(RpWorld *world)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    for (rpWorldRecord **at = &globals->worlds; *at != nullptr; at = &(*at)->next) {
        if ((*at)->world == world) {
            rpWorldRecord *record = *at;
            *at = record->next;
            RwFreeListEntryFree(globals->recordFreeList, record);
            return;
        }
    }
}

// Pushes both children of a plane node, right first so left is walked first.
template <typename Visit>
static RpWorld *WalkLeaves(RpWorld *world, Visit visit)
{
    RpSector *stack[rpWORLDMAXBSPDEPTH + 1];
    RwInt32 top = 0;
    stack[top++] = world->rootSector;
    while (top > 0) {
        RpSector *sector = stack[--top];
        if (sector == nullptr) {
            continue;
        }
        if (sector->type < 0) {
            if (!visit(reinterpret_cast<RpWorldSector *>(sector))) {
                break;
            }
            continue;
        }
        auto *plane = reinterpret_cast<RpPlaneSector *>(sector);
        if (top + 2 > rpWORLDMAXBSPDEPTH) {
            break;
        }
        stack[top++] = plane->rightSubTree;
        stack[top++] = plane->leftSubTree;
    }
    return world;
}

RpWorld *RpWorldForAllWorldSectors(RpWorld *world, RpWorldSectorCallBack callback, void *data)
{
    return WalkLeaves(world, [&](RpWorldSector *sector) { return callback(sector, data) != nullptr; });
}

RpWorld *RpWorldForAllClumps(RpWorld *world, RpClumpCallBack callback, void *data)
{
    RwLLLink *end = RwLinkListGetTerminator(&world->clumpList);
    for (RwLLLink *link = RwLinkListGetFirstLLLink(&world->clumpList); link != end;) {
        RwLLLink *next = RwLLLinkGetNext(link);
        if (callback(RwLLLinkGetData(link, RpClump, inWorldLink), data) == nullptr) {
            break;
        }
        link = next;
    }
    return world;
}

// Walks one light list; false when the callback stopped it.
static RwBool ForLightList(RwLinkList *list, RpLightCallBack callback, void *data)
{
    RwLLLink *end = RwLinkListGetTerminator(list);
    for (RwLLLink *link = RwLinkListGetFirstLLLink(list); link != end;) {
        RwLLLink *next = RwLLLinkGetNext(link);
        if (callback(RwLLLinkGetData(link, RpLight, inWorld), data) == nullptr) {
            return FALSE;
        }
        link = next;
    }
    return TRUE;
}

RpWorld *RpWorldForAllLights(RpWorld *world, RpLightCallBack callback, void *data)
{
    if (ForLightList(&world->directionalLightList, callback, data)) {
        ForLightList(&world->lightList, callback, data);
    }
    return world;
}

RpWorld *RpWorldSetSectorRenderCallBack(RpWorld *world, RpWorldSectorCallBackRender callback)
{
    world->renderCallBack = callback != nullptr ? callback : RpWorldSectorDefaultRenderCallBack;
    return world;
}

RpWorld *RpWorldGetCurrent(void) { return static_cast<RpWorld *>(RwEngineInst->curWorld); }

RpWorldSector *RpWorldSectorDefaultRenderCallBack(RpWorldSector *sector)
{
    if (sector->numPolygons == 0) {
        return sector;
    }
    RpWorld *world = RpWorldGetCurrent();
    RwPipeline *pipeline = sector->pipeline;
    if (pipeline == nullptr && world != nullptr) {
        pipeline = world->pipeline;
    }
    if (pipeline == nullptr) {
        pipeline = RpWorldGetDefaultSectorPipeline();
    }
    if (pipeline == nullptr) {
        return sector;
    }
    return RwPipelineExecute(pipeline, sector, TRUE) != nullptr ? sector : nullptr;
}

RpWorldSector *RpWorldSectorRender(RpWorldSector *sector)
{
    RpWorld *world = RpWorldGetCurrent();
    if (world == nullptr) {
        return RpWorldSectorDefaultRenderCallBack(sector);
    }
    return world->renderCallBack(sector);
}

RpWorld *RpWorldSectorGetWorld(const RpWorldSector *sector)
{
    const auto *at = reinterpret_cast<const RwUInt8 *>(sector);
    for (rpWorldRecord *record = rpWorldGetGlobals()->worlds; record != nullptr; record = record->next) {
        const auto *start = reinterpret_cast<const RwUInt8 *>(record->world);
        if (record->blockSize != 0) {
            if (at >= start && at < start + record->blockSize) {
                return record->world;
            }
            continue;
        }
        RpWorld *found = nullptr;
        WalkLeaves(record->world, [&](RpWorldSector *leaf) {
            if (leaf == sector) {
                found = record->world;
                return false;
            }
            return true;
        });
        if (found != nullptr) {
            return found;
        }
    }
    return nullptr;
}

void rpWorldSetRegionBoxes(RpWorld *world)
{
    struct Pending {
        RpSector *sector;
        RwBBox box;
    };
    Pending stack[rpWORLDMAXBSPDEPTH + 1];
    RwInt32 top = 0;
    stack[top++] = {world->rootSector, world->boundingBox};
    while (top > 0) {
        Pending item = stack[--top];
        if (item.sector == nullptr) {
            continue;
        }
        if (item.sector->type < 0) {
            reinterpret_cast<RpWorldSector *>(item.sector)->boundingBox = item.box;
            continue;
        }
        auto *plane = reinterpret_cast<RpPlaneSector *>(item.sector);
        if (top + 2 > rpWORLDMAXBSPDEPTH) {
            break;
        }
        const RwInt32 axis = plane->type / 4;
        Pending left = {plane->leftSubTree, item.box};
        Pending right = {plane->rightSubTree, item.box};
        (&left.box.sup.x)[axis] = plane->leftValue;
        (&right.box.inf.x)[axis] = plane->rightValue;
        stack[top++] = right;
        stack[top++] = left;
    }
}

// A leaf with empty tie lists and no arrays.
static void InitLeaf(RpWorldSector *sector, const RwBBox *box)
{
    std::memset(sector, 0, static_cast<size_t>(sectorTKList.sizeOfStruct));
    sector->type = rpWORLDSECTORLEAF;
    RwLinkListInitialize(&sector->collAtomicsInWorldSector);
    RwLinkListInitialize(&sector->noCollAtomicsInWorldSector);
    RwLinkListInitialize(&sector->lightsInWorldSector);
    sector->boundingBox = *box;
    sector->tightBoundingBox = *box;
}

void rpWorldInitRecord(RpWorld *world)
{
    std::memset(world, 0, static_cast<size_t>(worldTKList.sizeOfStruct));
    world->object.type = rpWORLD;
    world->renderOrder = 2;
    RpMaterialListInitialize(&world->matList);
    RwLinkListInitialize(&world->clumpList);
    RwLinkListInitialize(&world->lightList);
    RwLinkListInitialize(&world->directionalLightList);
    world->currentClumpLink = RwLinkListGetTerminator(&world->clumpList);
    world->renderCallBack = RpWorldSectorDefaultRenderCallBack;
}

void rpWorldInitLeaf(RpWorldSector *sector, const RwBBox *box) { InitLeaf(sector, box); }

RpWorld *RpWorldCreate(const RwBBox *boundingBox)
{
    if (boundingBox == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NULLP);
        return nullptr;
    }
    auto *world = static_cast<RpWorld *>(RwMalloc(static_cast<size_t>(worldTKList.sizeOfStruct)));
    if (world == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        return nullptr;
    }
    rpWorldInitRecord(world);
    auto *sector = static_cast<RpWorldSector *>(RwMalloc(static_cast<size_t>(sectorTKList.sizeOfStruct)));
    if (sector == nullptr) {
        RwFree(world);
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        return nullptr;
    }
    InitLeaf(sector, boundingBox);
    world->rootSector = reinterpret_cast<RpSector *>(sector);
    world->boundingBox = *boundingBox;
    if (!rpWorldRecordAdd(world, 0)) {
        RwFree(sector);
        RwFree(world);
        return nullptr;
    }
    if (RwPluginRegistryInitObject(&sectorTKList, sector) == nullptr) {
        rpWorldRecordRemove(world);
        RwFree(sector);
        RwFree(world);
        return nullptr;
    }
    if (RwPluginRegistryInitObject(&worldTKList, world) == nullptr) {
        RwPluginRegistryDeInitObject(&sectorTKList, sector);
        rpWorldRecordRemove(world);
        RwFree(sector);
        RwFree(world);
        return nullptr;
    }
    if (RpWorldBuildSectorMeshes(world) == nullptr) {
        RpWorldDestroy(world);
        return nullptr;
    }
    return world;
}

void rpWorldSectorFreeArrays(RpWorldSector *sector)
{
    RwFree(sector->vertices);
    RwFree(sector->normals);
    RwFree(sector->preLitLum);
    RwFree(sector->polygons);
    for (RwTexCoords *&set : sector->texCoords) {
        RwFree(set);
        set = nullptr;
    }
    sector->vertices = nullptr;
    sector->normals = nullptr;
    sector->preLitLum = nullptr;
    sector->polygons = nullptr;
}

// Tears down one leaf's contents (not its storage).
static void ReleaseLeaf(RpWorldSector *sector)
{
    if (sector->repEntry != nullptr) {
        RwResourcesFreeEntry(sector->repEntry);
    }
    rpWorldSectorRemoveTies(sector);
    RwPluginRegistryDeInitObject(&sectorTKList, sector);
}

RwBool RpWorldDestroy(RpWorld *world)
{
    rpWorldDestroyTree(world, TRUE);
    return TRUE;
}

void rpWorldDestroyTree(RpWorld *world, RwBool constructed)
{
    rpWorldRecordRemove(world);
    WalkLeaves(world, [](RpWorldSector *sector) {
        if (sector->mesh != nullptr) {
            RpMeshHeaderDestroy(sector->mesh);
            sector->mesh = nullptr;
        }
        return true;
    });
    RpMaterialListDeinitialize(&world->matList);
    const RwBool oneBlock = (world->object.privateFlags & rpWORLDSINGLEMALLOC) != 0;
    // Leaves first (depth first), then plane nodes, so children outlive
    // nothing that points at them.
    RpSector *stack[rpWORLDMAXBSPDEPTH + 1];
    RwInt32 top = 0;
    stack[top++] = world->rootSector;
    while (top > 0) {
        RpSector *sector = stack[--top];
        if (sector == nullptr) {
            continue;
        }
        if (sector->type < 0) {
            auto *leaf = reinterpret_cast<RpWorldSector *>(sector);
            ReleaseLeaf(leaf);
            if (!oneBlock) {
                rpWorldSectorFreeArrays(leaf);
                RwFree(leaf);
            }
            continue;
        }
        auto *plane = reinterpret_cast<RpPlaneSector *>(sector);
        if (top + 2 <= rpWORLDMAXBSPDEPTH) {
            stack[top++] = plane->rightSubTree;
            stack[top++] = plane->leftSubTree;
        }
        if (!oneBlock) {
            RwFree(plane);
        }
    }
    if (constructed) {
        RwPluginRegistryDeInitObject(&worldTKList, world);
    }
    RwFree(world);
}
