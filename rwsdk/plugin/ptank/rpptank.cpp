// The tank plug-in: its engine block and atomic extension, tank creation,
// attribute locking and the render entry that instances and draws through
// the tank's callbacks.
#include <cstring>

#include "plugin/ptank/ptank.h"
#include "rpworld.h"
#include "rwd3d8.h"
#include "rwrenderstate.h"

namespace {

RwInt32 engineOffset = -1;
RwInt32 atomicOffset = -1;

RpPTank *&TankSlot(void *atomic, RwInt32 offset)
{
    return *reinterpret_cast<RpPTank **>(static_cast<RwUInt8 *>(atomic) + offset);
}

void *EngineOpen(void *instance, RwInt32 offset, RwInt32)
{
    engineOffset = offset;
    auto *globals = static_cast<RpPTankGlobals *>(RwEngineGetModuleBlock(offset));
    std::memset(globals, 0, sizeof *globals);
    // A device without point sprites reports a maximum of 1 (or nothing at
    // all), which keeps every tank on quads.
    globals->maxPointSize = 1.0f;
    if (const D3DCAPS8 *caps = RwD3D8GetDeviceCaps(); caps != nullptr && RwD3D8GetCurrentD3DDevice() != nullptr) {
        globals->maxPointSize = caps->MaxPointSize;
        globals->pointSizePerVertex = (caps->FVFCaps & D3DFVFCAPS_PSIZE) != 0;
    }
    return instance;
}

void *EngineClose(void *instance, RwInt32, RwInt32)
{
    RpPTankReleaseQuadIndices();
    return instance;
}

void FreeTank(RpPTank *tank)
{
    if (tank->rawdata != nullptr) {
        RwFree(tank->rawdata);
    }
    RwFree(tank);
}

void *AtomicConstruct(void *atomic, RwInt32 offset, RwInt32)
{
    TankSlot(atomic, offset) = nullptr;
    return atomic;
}

void *AtomicDestruct(void *atomic, RwInt32 offset, RwInt32)
{
    RpPTank *&tank = TankSlot(atomic, offset);
    if (tank != nullptr) {
        FreeTank(tank);
        tank = nullptr;
    }
    return atomic;
}

// A clone takes the render callback of its source, so it must also have a
// tank of its own to render; it gets a copy with its own attribute arrays.
// A tank whose arrays a caller allocated cannot be copied: the clone then
// stays without a tank and draws nothing.
void *AtomicCopy(void *dstAtomic, const void *srcAtomic, RwInt32 offset, RwInt32)
{
    const RpPTank *src = TankSlot(const_cast<void *>(srcAtomic), offset);
    RpPTank *&dst = TankSlot(dstAtomic, offset);
    if (src == nullptr || src->callbacks.alloc != nullptr || dst != nullptr) {
        return dstAtomic;
    }
    auto *copy = static_cast<RpPTank *>(RwMalloc(sizeof(RpPTank)));
    if (copy == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return dstAtomic;
    }
    *copy = *src;
    copy->rawdata = nullptr;
    if (!RpPTankAllocateData(copy, src->maxPCount, src->data.format.dataFlags)) {
        RwFree(copy);
        return dstAtomic;
    }
    for (RwInt32 c = 0; c < rpPTANKNUMCLUSTERS; ++c) {
        const RpPTankLockStruct &from = src->data.clusters[c];
        const RpPTankLockStruct &to = copy->data.clusters[c];
        if (from.data == nullptr || to.data == nullptr) {
            continue;
        }
        for (RwInt32 i = 0; i < src->maxPCount; ++i) {
            std::memcpy(to.data + static_cast<size_t>(i) * static_cast<size_t>(to.stride),
                        from.data + static_cast<size_t>(i) * static_cast<size_t>(from.stride),
                        static_cast<size_t>(RpPTankClusterSize(c)));
        }
    }
    dst = copy;
    return dstAtomic;
}

// Per-particle matrices carry position, size and rotation; every tank has
// a position of some kind; separate arrays are the default layout.
RwUInt32 NormaliseDataFlags(RwUInt32 dataFlags)
{
    if (dataFlags & rpPTANKDFLAGMATRIX) {
        dataFlags &= ~(rpPTANKDFLAGPOSITION | rpPTANKDFLAGSIZE | rpPTANKDFLAG2DROTATE);
    } else {
        dataFlags |= rpPTANKDFLAGPOSITION;
    }
    if (!(dataFlags & (rpPTANKDFLAGARRAY | rpPTANKDFLAGSTRUCTURE))) {
        dataFlags |= rpPTANKDFLAGARRAY;
    }
    return dataFlags;
}

void SetDefaultConstants(RpPTank *tank)
{
    const RwRGBA black = {0, 0, 0, 255};
    tank->cCenter = {0.0f, 0.0f};
    tank->cSize = {1.0f, 1.0f};
    tank->cRotate = 0.0f;
    tank->cColor = black;
    for (RwRGBA &c : tank->cVtxColor) {
        c = black;
    }
    tank->cUV[0] = {0.0f, 0.0f};
    tank->cUV[1] = {0.0f, 1.0f};
    tank->cUV[2] = {1.0f, 1.0f};
    tank->cUV[3] = {1.0f, 0.0f};
    std::memset(&tank->cMatrix, 0, sizeof tank->cMatrix);
    tank->cMatrix.right.x = 1.0f;
    tank->cMatrix.up.y = 1.0f;
    tank->cMatrix.at.z = 1.0f;
    tank->cMatrix.flags = rwMATRIXTYPEORTHONORMAL | rwMATRIXINTERNALIDENTITY;
}

// The blend the tank draws with starts as whatever the engine holds now.
void ReadBlendStates(RpPTank *tank)
{
    RwInt32 value = 0;
    tank->srcBlend = rwBLENDSRCALPHA;
    tank->dstBlend = rwBLENDINVSRCALPHA;
    tank->vertexAlphaBlend = FALSE;
    if (RwGetRenderState(rwRENDERSTATESRCBLEND, &value)) {
        tank->srcBlend = static_cast<RwUInt32>(value);
    }
    if (RwGetRenderState(rwRENDERSTATEDESTBLEND, &value)) {
        tank->dstBlend = static_cast<RwUInt32>(value);
    }
    if (RwGetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, &value)) {
        tank->vertexAlphaBlend = value != 0;
    }
}

constexpr RwInt32 kClusterSizes[rpPTANKNUMCLUSTERS] = {12, 64, 12, 8, 4, 16, 4, 16, 32};
constexpr RwUInt32 kClusterFlags[rpPTANKNUMCLUSTERS] = {
    rpPTANKDFLAGPOSITION, rpPTANKDFLAGMATRIX,   rpPTANKDFLAGNORMAL,       rpPTANKDFLAGSIZE,         rpPTANKDFLAGCOLOR,
    rpPTANKDFLAGVTXCOLOR, rpPTANKDFLAG2DROTATE, rpPTANKDFLAGVTX2TEXCOORDS, rpPTANKDFLAGVTX4TEXCOORDS};

}  // namespace

RwInt32 RpPTankClusterOfFlag(RwUInt32 attributeFlag)
{
    for (RwInt32 c = 0; c < rpPTANKNUMCLUSTERS; ++c) {
        if (kClusterFlags[c] == attributeFlag) {
            return c;
        }
    }
    return -1;
}

RwInt32 RpPTankClusterSize(RwInt32 cluster) { return kClusterSizes[cluster]; }

RwUInt32 RpPTankFlagOfCluster(RwInt32 cluster) { return kClusterFlags[cluster]; }

RpPTankGlobals *RpPTankGetGlobals(void)
{
    return static_cast<RpPTankGlobals *>(RwEngineGetModuleBlock(engineOffset));
}

RwBool RpPTankPluginAttach(void)
{
    engineOffset = RwEngineRegisterPlugin(static_cast<RwInt32>(sizeof(RpPTankGlobals)), rwID_PTANKPLUGIN,
                                          EngineOpen, EngineClose);
    if (engineOffset < 0) {
        return FALSE;
    }
    atomicOffset = RpAtomicRegisterPlugin(static_cast<RwInt32>(sizeof(RpPTank *)), rwID_PTANKPLUGIN,
                                          AtomicConstruct, AtomicDestruct, AtomicCopy);
    return atomicOffset >= 0;
}

RpPTank *RpPTankAtomicGetTank(const RpAtomic *atomic)
{
    if (atomic == nullptr || atomicOffset < 0) {
        return nullptr;
    }
    return TankSlot(const_cast<RpAtomic *>(atomic), atomicOffset);
}

RpAtomic *RpPTankAtomicCreate(RwInt32 maxParticleNum, RwUInt32 dataFlags, RwUInt32 platFlags)
{
    const RpPTankCallBacks callbacks = {nullptr, RpPTankD3D8Create, RpPTankD3D8Instance, RpPTankD3D8Render};
    return RpPTankAtomicCreateEx(maxParticleNum, NormaliseDataFlags(dataFlags), platFlags, &callbacks);
}

RpAtomic *RpPTankAtomicCreateEx(RwInt32 maxParticleNum, RwUInt32 dataFlags, RwUInt32 platFlags,
                                const RpPTankCallBacks *callbacks)
{
    if (atomicOffset < 0 || callbacks == nullptr || maxParticleNum < 1) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    RpAtomic *atomic = RpAtomicCreate();
    if (atomic == nullptr) {
        return nullptr;
    }
    auto *tank = static_cast<RpPTank *>(RwMalloc(sizeof(RpPTank)));
    if (tank == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        RpAtomicDestroy(atomic);
        return nullptr;
    }
    std::memset(tank, 0, sizeof *tank);
    TankSlot(atomic, atomicOffset) = tank;
    tank->defaultRenderCB = atomic->renderCallBack;
    atomic->renderCallBack = RpPTankAtomicRender;
    tank->maxPCount = maxParticleNum;
    tank->callbacks = *callbacks;
    tank->platFlags = platFlags;
    tank->instFlags = 0xFFFFFFFFu;
    tank->data.format.dataFlags = dataFlags;

    const RwBool allocated = callbacks->alloc != nullptr
                                 ? callbacks->alloc(&tank->data, maxParticleNum, dataFlags, platFlags)
                                 : RpPTankAllocateData(tank, maxParticleNum, dataFlags);
    if (!allocated || callbacks->create == nullptr ||
        !callbacks->create(atomic, &tank->data, maxParticleNum, dataFlags, platFlags)) {
        RpAtomicDestroy(atomic);
        return nullptr;
    }
    SetDefaultConstants(tank);
    ReadBlendStates(tank);
    return atomic;
}

const RpPTankFormatDescriptor *RpPTankAtomicGetDataFormat(const RpAtomic *atomic)
{
    const RpPTank *tank = RpPTankAtomicGetTank(atomic);
    return tank != nullptr ? &tank->data.format : nullptr;
}

RwBool RpPTankAtomicLock(RpAtomic *atomic, RpPTankLockStruct *dst, RwUInt32 dataFlag, RwUInt32 lockFlag)
{
    *dst = {nullptr, 0};
    RpPTank *tank = RpPTankAtomicGetTank(atomic);
    const RwInt32 cluster = RpPTankClusterOfFlag(dataFlag);
    if (tank == nullptr || cluster < 0 || tank->data.clusters[cluster].data == nullptr) {
        return FALSE;
    }
    *dst = tank->data.clusters[cluster];
    if (tank->data.format.stride != 0) {
        dst->stride = tank->data.format.stride;
    }
    if (lockFlag & rpPTANKLFLAGWRITE) {
        tank->lockFlags |= dataFlag | lockFlag;
    }
    return TRUE;
}

void RpPTankAtomicUnlock(RpAtomic *atomic)
{
    RpPTank *tank = RpPTankAtomicGetTank(atomic);
    if (tank == nullptr) {
        return;
    }
    tank->instFlags |= tank->lockFlags;
    tank->lockFlags = 0;
}

RpAtomic *RpPTankAtomicRender(RpAtomic *atomic)
{
    RpPTank *tank = RpPTankAtomicGetTank(atomic);
    // An atomic that carries this render callback without a tank (a clone
    // whose tank could not be copied) has nothing to draw.
    if (tank == nullptr || tank->actPCount < 1) {
        return atomic;
    }
    const RwInt32 count = tank->actPCount > tank->maxPCount ? tank->maxPCount : tank->actPCount;
    if (tank->callbacks.instance != nullptr) {
        tank->callbacks.instance(atomic, &tank->data, count, tank->instFlags);
    }
    tank->instFlags = 0;
    if (tank->callbacks.render == nullptr || tank->callbacks.render(atomic, &tank->data, count) != 1) {
        return atomic;
    }
    return tank->defaultRenderCB != nullptr ? tank->defaultRenderCB(atomic) : atomic;
}
