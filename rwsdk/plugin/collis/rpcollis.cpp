// The collision plug-in's attach and extensions: the engine block with its
// query counter, the data pointer of world sectors and geometries, and the
// atomics' query mark. Collision data is never copied: a clone has none.
#include "plugin/collis/ctprivate.h"
#include "rwengine.h"

RwInt32 rpCollisionEngineOffset = -1;
RwInt32 rpCollisionSectorOffset = -1;
RwInt32 rpCollisionAtomicOffset = -1;
RwInt32 rpCollisionGeometryOffset = -1;

namespace {

struct EngineBlock {
    RwInt32 queryCounter;
};

RwInt32 moduleOpenCount = 0;

void *ClearDataSlot(void *object, RwInt32 offset, RwInt32)
{
    *rpCollisionDataSlot(object, offset) = nullptr;
    return object;
}

void *DestroyDataSlot(void *object, RwInt32 offset, RwInt32)
{
    rpCollisionDataInstall(rpCollisionDataSlot(object, offset), nullptr);
    return object;
}

void *RpCollisionAtomicConstructor(void *object, RwInt32 offset, RwInt32)
{
    *reinterpret_cast<RwInt32 *>(static_cast<RwUInt8 *>(object) + offset) = 0;
    return object;
}

}  // namespace

RpCollisionData **rpCollisionDataSlot(const void *object, RwInt32 offset)
{
    return reinterpret_cast<RpCollisionData **>(const_cast<RwUInt8 *>(static_cast<const RwUInt8 *>(object)) +
                                                offset);
}

RwInt32 *rpCollisionAtomicMark(const RpAtomic *atomic)
{
    return reinterpret_cast<RwInt32 *>(const_cast<RwUInt8 *>(reinterpret_cast<const RwUInt8 *>(atomic)) +
                                       rpCollisionAtomicOffset);
}

RwInt32 rpCollisionNextQuery(void)
{
    auto *block = static_cast<EngineBlock *>(RwEngineGetModuleBlock(rpCollisionEngineOffset));
    // Unsigned arithmetic: the counter wraps instead of overflowing.
    block->queryCounter = static_cast<RwInt32>(static_cast<RwUInt32>(block->queryCounter) + 1u);
    return block->queryCounter;
}

void *RpCollisionEngineOpen(void *instance, RwInt32 offset, RwInt32)
{
    rpCollisionEngineOffset = offset;
    reinterpret_cast<EngineBlock *>(static_cast<RwUInt8 *>(instance) + offset)->queryCounter = 0;
    ++moduleOpenCount;
    return instance;
}

void *RpCollisionEngineClose(void *instance, RwInt32, RwInt32)
{
    --moduleOpenCount;
    return instance;
}

RwBool RpCollisionPluginAttach(void)
{
    rpCollisionEngineOffset = RwEngineRegisterPlugin(static_cast<RwInt32>(sizeof(EngineBlock)), rwID_COLLISPLUGIN,
                                                     RpCollisionEngineOpen, RpCollisionEngineClose);
    rpCollisionSectorOffset = RpWorldSectorRegisterPlugin(static_cast<RwInt32>(sizeof(RpCollisionData *)),
                                                          rwID_COLLISPLUGIN, ClearDataSlot, DestroyDataSlot, nullptr);
    rpCollisionAtomicOffset = RpAtomicRegisterPlugin(static_cast<RwInt32>(sizeof(RwInt32)), rwID_COLLISPLUGIN,
                                                     RpCollisionAtomicConstructor, nullptr, nullptr);
    rpCollisionGeometryOffset = RpGeometryRegisterPlugin(static_cast<RwInt32>(sizeof(RpCollisionData *)),
                                                         rwID_COLLISPLUGIN, ClearDataSlot, DestroyDataSlot, nullptr);
    if (rpCollisionEngineOffset < 0 || rpCollisionSectorOffset < 0 || rpCollisionAtomicOffset < 0 ||
        rpCollisionGeometryOffset < 0) {
        return FALSE;
    }
    return RpWorldSectorRegisterPluginStream(rwID_COLLISPLUGIN, rpCollisionSectorStreamRead,
                                             rpCollisionDataStreamWrite, rpCollisionDataStreamGetSize) >= 0 &&
           RpGeometryRegisterPluginStream(rwID_COLLISPLUGIN, rpCollisionGeometryStreamRead,
                                          rpCollisionDataStreamWrite, rpCollisionDataStreamGetSize) >= 0;
}

RpCollisionData *RpCollisionGeometryGetData(const RpGeometry *geometry)
{
    return rpCollisionGeometryOffset < 0 ? nullptr : *rpCollisionDataSlot(geometry, rpCollisionGeometryOffset);
}

RpCollisionData *RpCollisionWorldSectorGetData(const RpWorldSector *sector)
{
    return rpCollisionSectorOffset < 0 ? nullptr : *rpCollisionDataSlot(sector, rpCollisionSectorOffset);
}

void RpCollisionGeometryDestroyData(RpGeometry *geometry)
{
    rpCollisionDataInstall(rpCollisionDataSlot(geometry, rpCollisionGeometryOffset), nullptr);
}

void RpCollisionWorldSectorDestroyData(RpWorldSector *sector)
{
    rpCollisionDataInstall(rpCollisionDataSlot(sector, rpCollisionSectorOffset), nullptr);
}
