// Clumps: a frame hierarchy with its atomics, lights and cameras; adding,
// removing and walking them, rendering, cloning (atomics and frames, not
// lights or cameras), the clump links on lights and cameras, the clump
// plug-in registry and the module that owns the atomic and clump lists.
#include <cstring>

#include "rwcamera.h"
#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "world/bamodules.h"

static RwPluginRegistry clumpTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RpClump)));
static RwInt32 clumpModuleOffset = -1;
static RwInt32 lightClumpLinkOffset = -1;
static RwInt32 cameraClumpLinkOffset = -1;

static constexpr RwInt32 rpCLUMPENTRIESPERBLOCK = 128;

rpClumpGlobals *rpClumpGetGlobals(void)
{
    return static_cast<rpClumpGlobals *>(RwEngineGetModuleBlock(clumpModuleOffset));
}

RwPluginRegistry *RpClumpGetPluginRegistry(void) { return &clumpTKList; }

RwInt32 RpClumpRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&clumpTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RpClumpRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB,
                                    RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&clumpTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RpClumpGetPluginOffset(RwUInt32 pluginID) { return RwPluginRegistryGetPluginOffset(&clumpTKList, pluginID); }

static RpClumpLink *LinkOf(void *object, RwInt32 offset)
{
    return reinterpret_cast<RpClumpLink *>(static_cast<RwUInt8 *>(object) + offset);
}

static void *ClumpLinkConstruct(void *object, RwInt32 offset, RwInt32)
{
    RpClumpLink *link = LinkOf(object, offset);
    link->clump = nullptr;
    RwLLLinkInitialize(&link->inClumpLink);
    return object;
}

// A light or camera destroyed while still in a clump leaves it, so the
// clump never lists freed memory.
static void *ClumpLinkDestruct(void *object, RwInt32 offset, RwInt32)
{
    RpClumpLink *link = LinkOf(object, offset);
    if (link->clump != nullptr) {
        RwLLLinkRemove(&link->inClumpLink);
        ClumpLinkConstruct(object, offset, 0);
    }
    return object;
}

// Copies never inherit a clump membership: clumps link their own objects.
static void *ClumpLinkCopy(void *dst, const void *, RwInt32 offset, RwInt32 size)
{
    return ClumpLinkConstruct(dst, offset, size);
}

RwBool RpClumpLinksAttach(void)
{
    lightClumpLinkOffset = RpLightRegisterPlugin(static_cast<RwInt32>(sizeof(RpClumpLink)), rwID_CLUMPLINKS,
                                                 ClumpLinkConstruct, ClumpLinkDestruct, ClumpLinkCopy);
    cameraClumpLinkOffset = RwCameraRegisterPlugin(static_cast<RwInt32>(sizeof(RpClumpLink)), rwID_CLUMPLINKS,
                                                   ClumpLinkConstruct, ClumpLinkDestruct, ClumpLinkCopy);
    return lightClumpLinkOffset >= 0 && cameraClumpLinkOffset >= 0;
}

RpClump *RpLightGetClump(const RpLight *light)
{
    return LinkOf(const_cast<RpLight *>(light), lightClumpLinkOffset)->clump;
}

RpClump *RwCameraGetClump(const RwCamera *camera)
{
    return LinkOf(const_cast<RwCamera *>(camera), cameraClumpLinkOffset)->clump;
}

static RpClump *DefaultClumpCallBack(RpClump *clump, void *) { return clump; }

RpClump *RpClumpCreate(void)
{
    RwFreeList *freeList = rpClumpGetGlobals()->clumpFreeList;
    auto *clump = static_cast<RpClump *>(RwFreeListEntryAlloc(freeList));
    if (clump == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(clump, 0, static_cast<size_t>(clumpTKList.sizeOfStruct));
    clump->object = {rpCLUMP, 0, 0, 0, nullptr};
    RwLinkListInitialize(&clump->atomicList);
    RwLinkListInitialize(&clump->lightList);
    RwLinkListInitialize(&clump->cameraList);
    RwLLLinkInitialize(&clump->inWorldLink);
    clump->callback = DefaultClumpCallBack;
    if (RwPluginRegistryInitObject(&clumpTKList, clump) == nullptr) {
        RwFreeListEntryFree(freeList, clump);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return clump;
}

RpClump *RpClumpAddAtomic(RpClump *clump, RpAtomic *atomic)
{
    if (atomic->clump != nullptr) {
        RpClumpRemoveAtomic(atomic->clump, atomic);
    }
    RwLinkListAddLLLink(&clump->atomicList, &atomic->inClumpLink);
    atomic->clump = clump;
    return clump;
}

RpClump *RpClumpRemoveAtomic(RpClump *clump, RpAtomic *atomic)
{
    if (atomic->clump == clump) {
        RwLLLinkRemove(&atomic->inClumpLink);
        RwLLLinkInitialize(&atomic->inClumpLink);
        atomic->clump = nullptr;
    }
    return clump;
}

static RpClump *AddLinked(RpClump *clump, RwLinkList *list, void *object, RwInt32 offset)
{
    RpClumpLink *link = LinkOf(object, offset);
    if (link->clump != nullptr) {
        RwLLLinkRemove(&link->inClumpLink);
    }
    RwLinkListAddLLLink(list, &link->inClumpLink);
    link->clump = clump;
    return clump;
}

static RpClump *RemoveLinked(RpClump *clump, void *object, RwInt32 offset)
{
    RpClumpLink *link = LinkOf(object, offset);
    if (link->clump == clump) {
        RwLLLinkRemove(&link->inClumpLink);
        ClumpLinkConstruct(object, offset, 0);
    }
    return clump;
}

RpClump *RpClumpAddLight(RpClump *clump, RpLight *light)
{
    return AddLinked(clump, &clump->lightList, light, lightClumpLinkOffset);
}

RpClump *RpClumpRemoveLight(RpClump *clump, RpLight *light) { return RemoveLinked(clump, light, lightClumpLinkOffset); }

RpClump *RpClumpAddCamera(RpClump *clump, RwCamera *camera)
{
    return AddLinked(clump, &clump->cameraList, camera, cameraClumpLinkOffset);
}

RpClump *RpClumpRemoveCamera(RpClump *clump, RwCamera *camera)
{
    return RemoveLinked(clump, camera, cameraClumpLinkOffset);
}

// Walks a list reading each next link before the callback runs, so the
// callback may destroy the object it is given.
template <typename Object, typename CallBack>
static void ForAllLinked(RwLinkList *list, RwInt32 linkOffset, CallBack callback, void *data)
{
    RwLLLink *end = RwLinkListGetTerminator(list);
    for (RwLLLink *cur = RwLinkListGetFirstLLLink(list); cur != end;) {
        RwLLLink *next = RwLLLinkGetNext(cur);
        auto *object = reinterpret_cast<Object *>(reinterpret_cast<RwUInt8 *>(cur) - linkOffset);
        if (callback(object, data) == nullptr) {
            return;
        }
        cur = next;
    }
}

RpClump *RpClumpForAllAtomics(RpClump *clump, RpAtomicCallBack callback, void *data)
{
    ForAllLinked<RpAtomic>(&clump->atomicList, static_cast<RwInt32>(offsetof(RpAtomic, inClumpLink)), callback, data);
    return clump;
}

RpClump *RpClumpForAllLights(RpClump *clump, RpLightCallBack callback, void *data)
{
    ForAllLinked<RpLight>(&clump->lightList,
                          lightClumpLinkOffset + static_cast<RwInt32>(offsetof(RpClumpLink, inClumpLink)), callback,
                          data);
    return clump;
}

RpClump *RpClumpForAllCameras(RpClump *clump, RwCameraCallBack callback, void *data)
{
    ForAllLinked<RwCamera>(&clump->cameraList,
                           cameraClumpLinkOffset + static_cast<RwInt32>(offsetof(RpClumpLink, inClumpLink)),
                           callback, data);
    return clump;
}

static RwInt32 CountList(RwLinkList *list)
{
    RwInt32 count = 0;
    RwLLLink *end = RwLinkListGetTerminator(list);
    for (RwLLLink *cur = RwLinkListGetFirstLLLink(list); cur != end; cur = RwLLLinkGetNext(cur)) {
        ++count;
    }
    return count;
}

RwInt32 RpClumpGetNumAtomics(RpClump *clump) { return CountList(&clump->atomicList); }
RwInt32 RpClumpGetNumLights(RpClump *clump) { return CountList(&clump->lightList); }
RwInt32 RpClumpGetNumCameras(RpClump *clump) { return CountList(&clump->cameraList); }

RpClump *RpClumpRender(RpClump *clump)
{
    RpClump *result = clump;
    RwLLLink *end = RwLinkListGetTerminator(&clump->atomicList);
    for (RwLLLink *cur = RwLinkListGetFirstLLLink(&clump->atomicList); cur != end;) {
        RwLLLink *next = RwLLLinkGetNext(cur);
        RpAtomic *atomic = RwLLLinkGetData(cur, RpAtomic, inClumpLink);
        if (atomic->object.object.flags & rpATOMICRENDER) {
            if (RpAtomicGetFrame(atomic) != nullptr) {
                RwFrameGetLTM(RpAtomicGetFrame(atomic));
            }
            if (atomic->renderCallBack(atomic) == nullptr) {
                result = nullptr;
            }
        }
        cur = next;
    }
    return result;
}

static RpAtomic *DestroyAtomicCB(RpAtomic *atomic, void *)
{
    RpAtomicDestroy(atomic);
    return atomic;
}

static RpLight *DestroyLightCB(RpLight *light, void *)
{
    RpLightDestroy(light);
    return light;
}

static RwCamera *DestroyCameraCB(RwCamera *camera, void *)
{
    RwCameraDestroy(camera);
    return camera;
}

RwBool RpClumpDestroy(RpClump *clump)
{
    RwPluginRegistryDeInitObject(&clumpTKList, clump);
    RpClumpForAllAtomics(clump, DestroyAtomicCB, nullptr);
    RpClumpForAllLights(clump, DestroyLightCB, nullptr);
    RpClumpForAllCameras(clump, DestroyCameraCB, nullptr);
    if (RpClumpGetFrame(clump) != nullptr) {
        RwFrameDestroyHierarchy(RpClumpGetFrame(clump));
    }
    RwFreeListEntryFree(rpClumpGetGlobals()->clumpFreeList, clump);
    return TRUE;
}

// Releases a clone that failed half-way: what it holds goes, but it never
// had its plug-in data copied, so only its constructors' work is undone.
static void DiscardClone(RpClump *copy) { RpClumpDestroy(copy); }

static RwBool InHierarchy(const RwFrame *frame, const RwFrame *root)
{
    while (RwFrameGetParent(frame) != nullptr) {
        frame = RwFrameGetParent(frame);
    }
    return root != nullptr && frame == root;
}

RpClump *RpClumpClone(RpClump *clump)
{
    RpClump *copy = RpClumpCreate();
    if (copy == nullptr) {
        return nullptr;
    }
    RwFrame *root = RpClumpGetFrame(clump);
    if (root != nullptr) {
        RwFrame *rootCopy = RwFrameCloneHierarchy(root);
        if (rootCopy == nullptr) {
            DiscardClone(copy);
            return nullptr;
        }
        RpClumpSetFrame(copy, rootCopy);
    }
    RwBool ok = TRUE;
    RwLLLink *end = RwLinkListGetTerminator(&clump->atomicList);
    for (RwLLLink *cur = RwLinkListGetFirstLLLink(&clump->atomicList); ok && cur != end; cur = RwLLLinkGetNext(cur)) {
        RpAtomic *atomic = RwLLLinkGetData(cur, RpAtomic, inClumpLink);
        RwFrame *frame = RpAtomicGetFrame(atomic);
        // The copy of a frame is found through the source frame's root
        // field while the hierarchy clone is in progress; a frame outside
        // the clump's hierarchy has no copy.
        if (frame == nullptr || !InHierarchy(frame, root)) {
            RwErrorReport(rwID_WORLD, E_RP_WORLD_FRAMELESSATOMIC);
            ok = FALSE;
            break;
        }
        RpAtomic *atomicCopy = RpAtomicClone(atomic);
        if (atomicCopy == nullptr) {
            ok = FALSE;
            break;
        }
        RpAtomicSetFrame(atomicCopy, frame->root);
        RpClumpAddAtomic(copy, atomicCopy);
    }
    if (root != nullptr) {
        RwFramePurgeClone(root);
    }
    if (!ok) {
        DiscardClone(copy);
        return nullptr;
    }
    copy->callback = clump->callback;
    RwPluginRegistryCopyObject(&clumpTKList, copy, clump);
    return copy;
}

void *RpClumpModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    clumpModuleOffset = offset;
    auto *globals = reinterpret_cast<rpClumpGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->atomicFreeList = RwFreeListCreate(RpAtomicGetPluginRegistry()->sizeOfStruct, rpCLUMPENTRIESPERBLOCK, 8);
    if (globals->atomicFreeList == nullptr) {
        return nullptr;
    }
    globals->clumpFreeList = RwFreeListCreate(clumpTKList.sizeOfStruct, rpCLUMPENTRIESPERBLOCK, 8);
    if (globals->clumpFreeList == nullptr) {
        RwFreeListDestroy(globals->atomicFreeList);
        globals->atomicFreeList = nullptr;
        return nullptr;
    }
    return instance;
}

static void DestroyLeftoverClump(void *entry, void *) { RpClumpDestroy(static_cast<RpClump *>(entry)); }
static void DestroyLeftoverAtomic(void *entry, void *) { RpAtomicDestroy(static_cast<RpAtomic *>(entry)); }

void *RpClumpModuleClose(void *instance, RwInt32 offset, RwInt32)
{
    auto *globals = reinterpret_cast<rpClumpGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->clumpFreeList != nullptr) {
        RwFreeListForAllUsed(globals->clumpFreeList, DestroyLeftoverClump, nullptr);
    }
    if (globals->atomicFreeList != nullptr) {
        RwFreeListForAllUsed(globals->atomicFreeList, DestroyLeftoverAtomic, nullptr);
    }
    if (globals->clumpFreeList != nullptr) {
        RwFreeListDestroy(globals->clumpFreeList);
        globals->clumpFreeList = nullptr;
    }
    if (globals->atomicFreeList != nullptr) {
        RwFreeListDestroy(globals->atomicFreeList);
        globals->atomicFreeList = nullptr;
    }
    return instance;
}
