// World membership: which world a clump, atomic, light or camera is in,
// adding and removing them, and the ties between moving objects and the
// leaves their bounds reach, remade lazily when an object's frame is
// synchronised (the sync hooks installed over the objects' own).
#include <cstring>
#include <initializer_list>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwresources.h"
#include "world/baworld.h"

namespace {

RwInt32 objModuleOffset = -1;
RwInt32 atomicExtOffset = -1;
RwInt32 lightExtOffset = -1;
RwInt32 clumpExtOffset = -1;
RwInt32 cameraExtOffset = -1;

template <typename T>
T *Ext(const void *object, RwInt32 offset)
{
    return reinterpret_cast<T *>(const_cast<RwUInt8 *>(static_cast<const RwUInt8 *>(object)) + offset);
}

// Standard-function slot the camera sync hands the render order to.
constexpr RwInt32 kRenderOrderSlot = 22;

}  // namespace

rpWorldObjGlobals *rpWorldObjGetGlobals(void)
{
    return static_cast<rpWorldObjGlobals *>(RwEngineGetModuleBlock(objModuleOffset));
}

RpAtomicWorldExt *rpAtomicWorldExt(const RpAtomic *atomic) { return Ext<RpAtomicWorldExt>(atomic, atomicExtOffset); }
RpLightWorldExt *rpLightWorldExt(const RpLight *light) { return Ext<RpLightWorldExt>(light, lightExtOffset); }
RpClumpWorldExt *rpClumpWorldExt(const RpClump *clump) { return Ext<RpClumpWorldExt>(clump, clumpExtOffset); }
RpCameraWorldExt *rpCameraWorldExt(const RwCamera *camera) { return Ext<RpCameraWorldExt>(camera, cameraExtOffset); }

RpWorld *RpClumpGetWorld(const RpClump *clump) { return rpClumpWorldExt(clump)->world; }
RpWorld *RpAtomicGetWorld(const RpAtomic *atomic) { return rpAtomicWorldExt(atomic)->world; }
RpWorld *RpLightGetWorld(const RpLight *light) { return rpLightWorldExt(light)->world; }
RpWorld *RpCameraGetWorld(const RwCamera *camera) { return rpCameraWorldExt(camera)->world; }

void *RpWorldObjModuleOpen(void *instance, RwInt32 offset, RwInt32)
{
    objModuleOffset = offset;
    rpWorldObjGlobals *globals = rpWorldObjGetGlobals();
    globals->atomicTieFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(RpTie)), 50, 8);
    globals->lightTieFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(RpLightTie)), 50, 8);
    globals->reserved = 0;
    if (globals->atomicTieFreeList == nullptr || globals->lightTieFreeList == nullptr) {
        RpWorldObjModuleClose(instance, offset, 0);
        return nullptr;
    }
    RwEngineInst->renderFrame = 1;
    return instance;
}

void *RpWorldObjModuleClose(void *instance, RwInt32, RwInt32)
{
    rpWorldObjGlobals *globals = rpWorldObjGetGlobals();
    if (globals->atomicTieFreeList != nullptr) {
        RwFreeListDestroy(globals->atomicTieFreeList);
        globals->atomicTieFreeList = nullptr;
    }
    if (globals->lightTieFreeList != nullptr) {
        RwFreeListDestroy(globals->lightTieFreeList);
        globals->lightTieFreeList = nullptr;
    }
    return instance;
}

// ---- Ties.

static void FreeAtomicTie(RpTie *tie)
{
    RwLLLinkRemove(&tie->lAtomicInWorldSector);
    RwLLLinkRemove(&tie->lWorldSectorInAtomic);
    RwFreeListEntryFree(rpWorldObjGetGlobals()->atomicTieFreeList, tie);
}

static void FreeLightTie(RpLightTie *tie)
{
    RwLLLinkRemove(&tie->lightInWorldSector);
    RwLLLinkRemove(&tie->WorldSectorInLight);
    RwFreeListEntryFree(rpWorldObjGetGlobals()->lightTieFreeList, tie);
}

void rpAtomicRemoveTies(RpAtomic *atomic)
{
    RwLinkList *list = &atomic->llWorldSectorsInAtomic;
    while (!RwLinkListEmpty(list)) {
        FreeAtomicTie(RwLLLinkGetData(RwLinkListGetFirstLLLink(list), RpTie, lWorldSectorInAtomic));
    }
}

void rpLightRemoveTies(RpLight *light)
{
    RwLinkList *list = &light->WorldSectorsInLight;
    while (!RwLinkListEmpty(list)) {
        FreeLightTie(RwLLLinkGetData(RwLinkListGetFirstLLLink(list), RpLightTie, WorldSectorInLight));
    }
}

void rpWorldSectorRemoveTies(RpWorldSector *sector)
{
    for (RwLinkList *list : {&sector->collAtomicsInWorldSector, &sector->noCollAtomicsInWorldSector}) {
        while (!RwLinkListEmpty(list)) {
            FreeAtomicTie(RwLLLinkGetData(RwLinkListGetFirstLLLink(list), RpTie, lAtomicInWorldSector));
        }
    }
    while (!RwLinkListEmpty(&sector->lightsInWorldSector)) {
        FreeLightTie(
            RwLLLinkGetData(RwLinkListGetFirstLLLink(&sector->lightsInWorldSector), RpLightTie, lightInWorldSector));
    }
}

RwBool rpWorldForSectorsInBox(const RpWorld *world, const RwBBox *box, rpSectorVisit visit, void *data)
{
    RpSector *stack[rpWORLDMAXBSPDEPTH + 1];
    RwInt32 top = 0;
    RpSector *sector = world->rootSector;
    while (sector != nullptr) {
        if (sector->type < 0) {
            if (!visit(reinterpret_cast<RpWorldSector *>(sector), data)) {
                return FALSE;
            }
            sector = top > 0 ? stack[--top] : nullptr;
            continue;
        }
        const auto *plane = reinterpret_cast<const RpPlaneSector *>(sector);
        const RwInt32 axis = plane->type / 4;
        const RwReal lo = (&box->inf.x)[axis];
        const RwReal hi = (&box->sup.x)[axis];
        if (lo < plane->leftValue) {
            if (hi > plane->rightValue && top < rpWORLDMAXBSPDEPTH) {
                stack[top++] = plane->rightSubTree;
            }
            sector = plane->leftSubTree;
        } else if (hi >= plane->rightValue) {
            // A box lying exactly on the plane (no extent on the axis)
            // still belongs to the right region, so it is never tied to
            // no leaf at all.
            sector = plane->rightSubTree;
        } else {
            sector = top > 0 ? stack[--top] : nullptr;
        }
    }
    return TRUE;
}

static RwBool TieAtomic(RpWorldSector *sector, void *data)
{
    auto *atomic = static_cast<RpAtomic *>(data);
    auto *tie = static_cast<RpTie *>(RwFreeListEntryAlloc(rpWorldObjGetGlobals()->atomicTieFreeList));
    if (tie == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        return FALSE;
    }
    tie->apAtom = atomic;
    tie->worldSector = sector;
    RwLinkList *list = (RpAtomicGetFlags(atomic) & rpATOMICCOLLISIONTEST) ? &sector->collAtomicsInWorldSector
                                                                           : &sector->noCollAtomicsInWorldSector;
    RwLinkListAddLLLink(list, &tie->lAtomicInWorldSector);
    RwLinkListAddLLLink(&atomic->llWorldSectorsInAtomic, &tie->lWorldSectorInAtomic);
    return TRUE;
}

static RwBool TieLight(RpWorldSector *sector, void *data)
{
    auto *light = static_cast<RpLight *>(data);
    auto *tie = static_cast<RpLightTie *>(RwFreeListEntryAlloc(rpWorldObjGetGlobals()->lightTieFreeList));
    if (tie == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        return FALSE;
    }
    tie->light = light;
    tie->sect = sector;
    RwLinkListAddLLLink(&sector->lightsInWorldSector, &tie->lightInWorldSector);
    RwLinkListAddLLLink(&light->WorldSectorsInLight, &tie->WorldSectorInLight);
    return TRUE;
}

static RwBBox BoxAround(const RwV3d &centre, RwReal radius)
{
    return {{centre.x + radius, centre.y + radius, centre.z + radius},
            {centre.x - radius, centre.y - radius, centre.z - radius}};
}

RwFramedObject *RpAtomicWorldSync(RwFramedObject *object)
{
    auto *atomic = reinterpret_cast<RpAtomic *>(object);
    RpAtomicWorldExt *ext = rpAtomicWorldExt(atomic);
    if (ext->savedSync != nullptr && ext->savedSync(object) == nullptr) {
        return nullptr;
    }
    if (ext->world != nullptr) {
        rpAtomicRemoveTies(atomic);
        const RwSphere *sphere = RpAtomicGetWorldBoundingSphere(atomic);
        RwBBox box = BoxAround(sphere->center, sphere->radius);
        rpWorldForSectorsInBox(ext->world, &box, TieAtomic, atomic);
    }
    return object;
}

RwFramedObject *RpLightWorldSync(RwFramedObject *object)
{
    auto *light = reinterpret_cast<RpLight *>(object);
    RpLightWorldExt *ext = rpLightWorldExt(light);
    if (ext->savedSync != nullptr && ext->savedSync(object) == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NULLP);
        return nullptr;
    }
    RwFrame *frame = RpLightGetFrame(light);
    if (RpLightGetType(light) >= rpLIGHTPOINT && ext->world != nullptr && frame != nullptr) {
        rpLightRemoveTies(light);
        RwBBox box = BoxAround(RwFrameGetLTM(frame)->pos, light->radius);
        rpWorldForSectorsInBox(ext->world, &box, TieLight, light);
    }
    return object;
}

// ---- Walks over a leaf's ties. A marker link sits after the current tie
// so the callback may add or remove ties of the leaf while it runs.

template <typename Tie, typename Object, typename Callback>
static RwBool WalkTies(RwLinkList *list, RwLLLink Tie::*link, Object *Tie::*object, Callback callback, void *data)
{
    // The marker is a whole tie with no object, so that a walk started from
    // a callback (a nested one over the same leaf) can tell it apart and
    // step over it.
    Tie markerTie{};
    RwLLLink &marker = markerTie.*link;
    RwLLLink *end = RwLinkListGetTerminator(list);
    RwLLLink *current = RwLinkListGetFirstLLLink(list);
    while (current != end) {
        auto *tie = reinterpret_cast<Tie *>(reinterpret_cast<RwUInt8 *>(current) -
                                            reinterpret_cast<size_t>(&(static_cast<Tie *>(nullptr)->*link)));
        if (tie->*object == nullptr) {
            current = current->next;
            continue;
        }
        // Insert the marker after the current tie.
        marker.next = current->next;
        marker.prev = current;
        current->next->prev = &marker;
        current->next = &marker;
        const bool go = callback(tie->*object, data) != nullptr;
        RwLLLink *next = marker.next;
        RwLLLinkRemove(&marker);
        if (!go) {
            return FALSE;
        }
        current = next;
    }
    return TRUE;
}

RpWorldSector *RpWorldSectorForAllCollisionAtomics(RpWorldSector *sector, RpAtomicCallBack callback, void *data)
{
    WalkTies(&sector->collAtomicsInWorldSector, &RpTie::lAtomicInWorldSector, &RpTie::apAtom, callback, data);
    return sector;
}

RpWorldSector *RpWorldSectorForAllAtomics(RpWorldSector *sector, RpAtomicCallBack callback, void *data)
{
    if (WalkTies(&sector->collAtomicsInWorldSector, &RpTie::lAtomicInWorldSector, &RpTie::apAtom, callback, data)) {
        WalkTies(&sector->noCollAtomicsInWorldSector, &RpTie::lAtomicInWorldSector, &RpTie::apAtom, callback, data);
    }
    return sector;
}

RpWorldSector *RpWorldSectorForAllLights(RpWorldSector *sector, RpLightCallBack callback, void *data)
{
    WalkTies(&sector->lightsInWorldSector, &RpLightTie::lightInWorldSector, &RpLightTie::light, callback, data);
    return sector;
}

RpAtomic *RpAtomicForAllWorldSectors(RpAtomic *atomic, RpWorldSectorCallBack callback, void *data)
{
    RwLLLink *end = RwLinkListGetTerminator(&atomic->llWorldSectorsInAtomic);
    for (RwLLLink *link = RwLinkListGetFirstLLLink(&atomic->llWorldSectorsInAtomic); link != end;) {
        RwLLLink *next = RwLLLinkGetNext(link);
        if (callback(RwLLLinkGetData(link, RpTie, lWorldSectorInAtomic)->worldSector, data) == nullptr) {
            break;
        }
        link = next;
    }
    return atomic;
}

// ---- Adding and removing.

static void MarkDirty(RwFrame *frame)
{
    if (frame != nullptr) {
        RwFrameMarkDirty(frame);
    }
}

RpWorld *RpWorldAddLight(RpWorld *world, RpLight *light)
{
    // A light links into one world list at a time: linking it again would
    // tie that list into a ring, so a light already listed leaves first
    // (or stays, when it is already in this world).
    RpWorld *current = rpLightWorldExt(light)->world;
    if (RwLLLinkAttached(&light->inWorld)) {
        if (current == world) {
            return world;
        }
        RpWorldRemoveLight(current, light);
    }
    rpLightWorldExt(light)->world = world;
    if (RpLightGetType(light) < rpLIGHTPOINT) {
        RwLinkListAddLLLink(&world->directionalLightList, &light->inWorld);
    } else {
        MarkDirty(RpLightGetFrame(light));
        RwLinkListAddLLLink(&world->lightList, &light->inWorld);
    }
    return world;
}

RpWorld *RpWorldRemoveLight(RpWorld *world, RpLight *light)
{
    rpLightWorldExt(light)->world = nullptr;
    rpLightRemoveTies(light);
    if (RwLLLinkAttached(&light->inWorld)) {
        RwLLLinkRemove(&light->inWorld);
        RwLLLinkInitialize(&light->inWorld);
    }
    return world;
}

static void ForgetCamera(RwCamera *camera)
{
    RpCameraWorldExt *ext = rpCameraWorldExt(camera);
    RwFree(ext->sectors);
    ext->sectors = nullptr;
    ext->capacity = 0;
    ext->count = 0;
    ext->world = nullptr;
}

RpWorld *RpWorldAddCamera(RpWorld *world, RwCamera *camera)
{
    rpCameraWorldExt(camera)->world = world;
    MarkDirty(RwCameraGetFrame(camera));
    return world;
}

RpWorld *RpWorldRemoveCamera(RpWorld *world, RwCamera *camera)
{
    if (rpCameraWorldExt(camera)->world == nullptr) {
        return nullptr;
    }
    ForgetCamera(camera);
    return world;
}

RpWorld *RpWorldAddClump(RpWorld *world, RpClump *clump)
{
    // Adding a clump twice (a clone of a clump in a world is in it already)
    // would tie the clump list into a ring; one in another world moves.
    RpWorld *current = rpClumpWorldExt(clump)->world;
    if (current == world) {
        return world;
    }
    if (current != nullptr) {
        RpWorldRemoveClump(current, clump);
    }
    RwLinkListAddLLLink(&world->clumpList, &clump->inWorldLink);
    ++world->numClumpsInWorld;
    rpClumpWorldExt(clump)->world = world;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *w) {
            rpAtomicWorldExt(atomic)->world = static_cast<RpWorld *>(w);
            MarkDirty(RpAtomicGetFrame(atomic));
            return atomic;
        },
        world);
    RpClumpForAllLights(
        clump, [](RpLight *light, void *w) { return RpWorldAddLight(static_cast<RpWorld *>(w), light) ? light : nullptr; },
        world);
    RpClumpForAllCameras(
        clump,
        [](RwCamera *camera, void *w) {
            RpWorldAddCamera(static_cast<RpWorld *>(w), camera);
            return camera;
        },
        world);
    RwFrame *frame = RpClumpGetFrame(clump);
    if (frame != nullptr) {
        RwMatrixUpdateFlags(RwFrameGetMatrix(frame), nullptr);
        RwFrameMarkDirty(frame);
    }
    return world;
}

RpWorld *RpWorldRemoveClump(RpWorld *world, RpClump *clump)
{
    if (rpClumpWorldExt(clump)->world == nullptr) {
        RwErrorReport(rwID_WORLD, E_RP_WORLD_CLUMPNOTINWORLD);
        return nullptr;
    }
    --world->numClumpsInWorld;
    if (world->currentClumpLink == &clump->inWorldLink) {
        world->currentClumpLink = RwLLLinkGetNext(&clump->inWorldLink);
    }
    RwLLLinkRemove(&clump->inWorldLink);
    RwLLLinkInitialize(&clump->inWorldLink);
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *w) {
            RpAtomicWorldExt *ext = rpAtomicWorldExt(atomic);
            if (ext->world == w) {
                if (atomic->repEntry != nullptr) {
                    RwResourcesFreeEntry(atomic->repEntry);
                }
                rpAtomicRemoveTies(atomic);
                ext->world = nullptr;
            }
            return atomic;
        },
        world);
    RpClumpForAllLights(
        clump,
        [](RpLight *light, void *w) {
            if (rpLightWorldExt(light)->world == w) {
                RpWorldRemoveLight(static_cast<RpWorld *>(w), light);
            }
            return light;
        },
        world);
    RpClumpForAllCameras(
        clump,
        [](RwCamera *camera, void *w) {
            if (rpCameraWorldExt(camera)->world == w) {
                ForgetCamera(camera);
            }
            return camera;
        },
        world);
    rpClumpWorldExt(clump)->world = nullptr;
    return world;
}

// ---- Extension callbacks.

static void *AtomicExtConstruct(void *object, RwInt32, RwInt32)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    RpAtomicWorldExt *ext = rpAtomicWorldExt(atomic);
    ext->world = nullptr;
    ext->savedSync = atomic->object.sync;
    atomic->object.sync = RpAtomicWorldSync;
    return object;
}

static void *AtomicExtDestruct(void *object, RwInt32, RwInt32)
{
    rpAtomicRemoveTies(static_cast<RpAtomic *>(object));
    return object;
}

static void *LightExtConstruct(void *object, RwInt32, RwInt32)
{
    auto *light = static_cast<RpLight *>(object);
    RpLightWorldExt *ext = rpLightWorldExt(light);
    ext->world = nullptr;
    ext->savedSync = light->object.sync;
    light->object.sync = RpLightWorldSync;
    return object;
}

static void *LightExtDestruct(void *object, RwInt32, RwInt32)
{
    rpLightRemoveTies(static_cast<RpLight *>(object));
    return object;
}

static void *LightExtCopy(void *dst, const void *src, RwInt32, RwInt32)
{
    RpWorld *world = rpLightWorldExt(static_cast<const RpLight *>(src))->world;
    if (world != nullptr) {
        RpWorldAddLight(world, static_cast<RpLight *>(dst));
    }
    return dst;
}

static void *ClumpExtConstruct(void *object, RwInt32, RwInt32)
{
    RpClumpWorldExt *ext = rpClumpWorldExt(static_cast<RpClump *>(object));
    ext->world = nullptr;
    ext->reserved = rpWorldObjGetGlobals()->reserved;
    return object;
}

static void *ClumpExtCopy(void *dst, const void *src, RwInt32, RwInt32)
{
    RpWorld *world = rpClumpWorldExt(static_cast<const RpClump *>(src))->world;
    if (world != nullptr) {
        RpWorldAddClump(world, static_cast<RpClump *>(dst));
    }
    return dst;
}

static RwCamera *CameraWorldBeginUpdate(RwCamera *camera)
{
    RpCameraWorldExt *ext = rpCameraWorldExt(camera);
    RwEngineInst->curWorld = ext->world;
    if (ext->world != nullptr) {
        ++RwEngineInst->renderFrame;
    }
    return ext->savedBeginUpdate(camera);
}

static RwCamera *CameraWorldEndUpdate(RwCamera *camera)
{
    RwEngineInst->curWorld = nullptr;
    return rpCameraWorldExt(camera)->savedEndUpdate(camera);
}

static RwFramedObject *CameraWorldSync(RwFramedObject *object)
{
    auto *camera = reinterpret_cast<RwCamera *>(object);
    RpCameraWorldExt *ext = rpCameraWorldExt(camera);
    if (ext->savedSync != nullptr && ext->savedSync(object) == nullptr) {
        return nullptr;
    }
    if (ext->world != nullptr && RwEngineInst->stdFunc[kRenderOrderSlot] != nullptr) {
        RwEngineInst->stdFunc[kRenderOrderSlot](nullptr, nullptr, 1);
    }
    return object;
}

static void *CameraExtConstruct(void *object, RwInt32, RwInt32)
{
    auto *camera = static_cast<RwCamera *>(object);
    RpCameraWorldExt *ext = rpCameraWorldExt(camera);
    std::memset(ext, 0, sizeof(*ext));
    ext->savedBeginUpdate = camera->beginUpdate;
    ext->savedEndUpdate = camera->endUpdate;
    ext->savedSync = camera->object.sync;
    camera->beginUpdate = CameraWorldBeginUpdate;
    camera->endUpdate = CameraWorldEndUpdate;
    camera->object.sync = CameraWorldSync;
    return object;
}

static void *CameraExtDestruct(void *object, RwInt32, RwInt32)
{
    ForgetCamera(static_cast<RwCamera *>(object));
    return object;
}

static void *CameraExtCopy(void *dst, const void *src, RwInt32, RwInt32)
{
    RpWorld *world = rpCameraWorldExt(static_cast<const RwCamera *>(src))->world;
    if (world != nullptr) {
        RpWorldAddCamera(world, static_cast<RwCamera *>(dst));
    }
    return dst;
}

RwBool RpWorldObjectPluginAttach(void)
{
    objModuleOffset = RwEngineRegisterPlugin(static_cast<RwInt32>(sizeof(rpWorldObjGlobals)), rwID_WORLDOBJMODULE,
                                             RpWorldObjModuleOpen, RpWorldObjModuleClose);
    cameraExtOffset = RwCameraRegisterPlugin(static_cast<RwInt32>(sizeof(RpCameraWorldExt)), rwID_WORLDOBJMODULE,
                                             CameraExtConstruct, CameraExtDestruct, CameraExtCopy);
    atomicExtOffset = RpAtomicRegisterPlugin(static_cast<RwInt32>(sizeof(RpAtomicWorldExt)), rwID_WORLDOBJMODULE,
                                             AtomicExtConstruct, AtomicExtDestruct, nullptr);
    clumpExtOffset = RpClumpRegisterPlugin(static_cast<RwInt32>(sizeof(RpClumpWorldExt)), rwID_WORLDOBJMODULE,
                                           ClumpExtConstruct, nullptr, ClumpExtCopy);
    lightExtOffset = RpLightRegisterPlugin(static_cast<RwInt32>(sizeof(RpLightWorldExt)), rwID_WORLDOBJMODULE,
                                           LightExtConstruct, LightExtDestruct, LightExtCopy);
    return objModuleOffset >= 0 && cameraExtOffset >= 0 && atomicExtOffset >= 0 && clumpExtOffset >= 0 &&
           lightExtOffset >= 0;
}
