// The patch plug-in: attach and life cycle, the extensions that let a
// geometry carry a patch mesh and an atomic share it with its LOD
// callback, and the distance LOD parameters.
#include "patchpriv.h"
#include "rpworld.h"
#include "rwd3d8.h"

namespace {

PatchGlobals globals = {-1, -1, -1, 0, nullptr, FALSE};

void SetDefaultLOD(void) { RpPatchSetLODParams(4, 12, 4.0f, 200.0f); }

void *EngineOpen(void *instance, RwInt32, RwInt32)
{
    if (globals.openCount == 0) {
        if (!PatchPipelineCreate()) {
            return nullptr;
        }
        const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
        globals.index32 = caps != nullptr && (caps->DevCaps & 0x10000u) != 0 &&
                          (caps->VertexShaderVersion & 0xFFFFu) >= 0x0101u;
    }
    ++globals.openCount;
    SetDefaultLOD();
    return instance;
}

void *EngineClose(void *instance, RwInt32, RwInt32)
{
    if (globals.openCount > 0 && --globals.openCount == 0) {
        PatchPipelineDestroy();
    }
    return instance;
}

void *AtomicConstruct(void *object, RwInt32, RwInt32)
{
    *PatchAtomicGetData(static_cast<RpAtomic *>(object)) = {RpPatchAtomicDistanceLOD, nullptr, nullptr};
    return object;
}

void *AtomicDestruct(void *object, RwInt32, RwInt32)
{
    PatchAtomicData *data = PatchAtomicGetData(static_cast<RpAtomic *>(object));
    if (data->mesh != nullptr) {
        RpPatchMeshDestroy(data->mesh);
        data->mesh = nullptr;
    }
    return object;
}

void *AtomicCopy(void *dstObject, const void *srcObject, RwInt32, RwInt32)
{
    PatchAtomicData *dst = PatchAtomicGetData(static_cast<RpAtomic *>(dstObject));
    const PatchAtomicData *src = PatchAtomicGetData(static_cast<const RpAtomic *>(srcObject));
    if (src->mesh != nullptr) {
        RpPatchMeshAddRef(src->mesh);
    }
    if (dst->mesh != nullptr) {
        RpPatchMeshDestroy(dst->mesh);
    }
    *dst = *src;
    return dstObject;
}

void *GeometryConstruct(void *object, RwInt32, RwInt32)
{
    *PatchGeometryGetData(static_cast<RpGeometry *>(object)) = {nullptr, 0};
    return object;
}

void *GeometryDestruct(void *object, RwInt32, RwInt32)
{
    PatchGeometryData *data = PatchGeometryGetData(static_cast<RpGeometry *>(object));
    RpPatchMesh *mesh = data->mesh;
    data->mesh = nullptr;
    if (mesh != nullptr) {
        // The geometry is going: the mesh must not release it again.
        if (mesh->geometry == object) {
            mesh->geometry = nullptr;
        }
        RpPatchMeshDestroy(mesh);
    }
    return object;
}

void *GeometryCopy(void *dstObject, const void *srcObject, RwInt32, RwInt32)
{
    PatchGeometryData *dst = PatchGeometryGetData(static_cast<RpGeometry *>(dstObject));
    const PatchGeometryData *src = PatchGeometryGetData(static_cast<const RpGeometry *>(srcObject));
    if (src->mesh != nullptr) {
        RpPatchMeshAddRef(src->mesh);
    }
    dst->mesh = src->mesh;
    dst->reserved = 0;
    return dstObject;
}

RwStream *AtomicRead(RwStream *stream, RwInt32, void *, RwInt32, RwInt32) { return stream; }
RwStream *AtomicWrite(RwStream *stream, RwInt32, const void *, RwInt32, RwInt32) { return stream; }
RwInt32 AtomicSize(const void *, RwInt32, RwInt32) { return 0; }

// An atomic whose geometry has a patch mesh shares it and draws through
// the patch pipeline.
RwInt32 AtomicAlways(void *object, RwInt32, RwInt32)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    RpPatchMesh *mesh = atomic->geometry != nullptr ? RpPatchGeometryGetMesh(atomic->geometry) : nullptr;
    PatchAtomicData *data = PatchAtomicGetData(atomic);
    if (mesh != nullptr && data->mesh != mesh) {
        RpPatchMeshAddRef(mesh);
        if (data->mesh != nullptr) {
            RpPatchMeshDestroy(data->mesh);
        }
        data->mesh = mesh;
        RpPatchAtomicSetPipeline(atomic);
    }
    return TRUE;
}

RwInt32 AtomicRights(void *object, RwInt32 offset, RwInt32 size, RwUInt32)
{
    return AtomicAlways(object, offset, size);
}

RwInt32 GeometryAlways(void *object, RwInt32, RwInt32)
{
    PatchGeometryGetData(static_cast<RpGeometry *>(object))->reserved = 0;
    return TRUE;
}

}  // namespace

PatchGlobals &PatchGlobalsGet(void) { return globals; }

PatchAtomicData *PatchAtomicGetData(const RpAtomic *atomic)
{
    return reinterpret_cast<PatchAtomicData *>(reinterpret_cast<RwUInt8 *>(const_cast<RpAtomic *>(atomic)) +
                                               globals.atomicOffset);
}

PatchGeometryData *PatchGeometryGetData(const RpGeometry *geometry)
{
    return reinterpret_cast<PatchGeometryData *>(reinterpret_cast<RwUInt8 *>(const_cast<RpGeometry *>(geometry)) +
                                                 globals.geometryOffset);
}

RwBool RpPatchPluginAttach(void)
{
    globals.engineOffset = RwEngineRegisterPlugin(sizeof(RpPatchLODParams), rwID_PATCHPLUGIN, EngineOpen, EngineClose);
    globals.atomicOffset = RpAtomicRegisterPlugin(sizeof(PatchAtomicData), rwID_PATCHPLUGIN, AtomicConstruct,
                                                  AtomicDestruct, AtomicCopy);
    globals.geometryOffset = RpGeometryRegisterPlugin(sizeof(PatchGeometryData), rwID_PATCHPLUGIN,
                                                      GeometryConstruct, GeometryDestruct, GeometryCopy);
    if (globals.engineOffset < 0 || globals.atomicOffset < 0 || globals.geometryOffset < 0 ||
        RpAtomicRegisterPluginStream(rwID_PATCHPLUGIN, AtomicRead, AtomicWrite, AtomicSize) < 0 ||
        RpAtomicSetStreamAlwaysCallBack(rwID_PATCHPLUGIN, AtomicAlways) < 0 ||
        RpAtomicSetStreamRightsCallBack(rwID_PATCHPLUGIN, AtomicRights) < 0 ||
        RpGeometryRegisterPluginStream(rwID_PATCHPLUGIN, PatchGeometryRead, PatchGeometryWrite,
                                       PatchGeometrySize) < 0 ||
        RpGeometrySetStreamAlwaysCallBack(rwID_PATCHPLUGIN, GeometryAlways) < 0) {
        return FALSE;
    }
    return TRUE;
}

const RpPatchLODParams *RpPatchGetLODParams(void)
{
    return static_cast<const RpPatchLODParams *>(RwEngineGetModuleBlock(globals.engineOffset));
}

RwBool RpPatchSetLODParams(RwUInt32 minLod, RwUInt32 maxLod, RwReal minRange, RwReal maxRange)
{
    if (minLod < 1 || maxLod < minLod || !(maxRange > minRange)) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return FALSE;
    }
    auto *params = static_cast<RpPatchLODParams *>(RwEngineGetModuleBlock(globals.engineOffset));
    params->minLod = minLod;
    params->maxLod = maxLod;
    params->minRange = minRange;
    params->maxRange = maxRange;
    params->slope = (static_cast<RwReal>(minLod) - static_cast<RwReal>(maxLod)) / (maxRange - minRange);
    params->recipRange = 1.0f / (maxRange - minRange);
    return TRUE;
}

RpPatchMesh *RpPatchGeometryGetMesh(const RpGeometry *geometry) { return PatchGeometryGetData(geometry)->mesh; }

RpGeometry *RpPatchGeometrySetMesh(RpGeometry *geometry, RpPatchMesh *mesh)
{
    PatchGeometryData *data = PatchGeometryGetData(geometry);
    if (mesh != nullptr) {
        RpPatchMeshAddRef(mesh);
    }
    if (data->mesh != nullptr) {
        RpPatchMeshDestroy(data->mesh);
    }
    data->mesh = mesh;
    return geometry;
}

RpPatchMesh *RpPatchAtomicGetMesh(const RpAtomic *atomic) { return PatchAtomicGetData(atomic)->mesh; }

RpAtomic *RpPatchAtomicSetLODCallBack(RpAtomic *atomic, RpPatchLODCallBack callback, void *data)
{
    PatchAtomicData *ext = PatchAtomicGetData(atomic);
    ext->callback = callback != nullptr ? callback : RpPatchAtomicDistanceLOD;
    ext->callbackData = data;
    return atomic;
}

RwPipeline *RpPatchGetGenericAtomicPipeline(void) { return globals.atomicPipeline; }

RpAtomic *RpPatchAtomicSetPipeline(RpAtomic *atomic)
{
    atomic->pipeline = globals.atomicPipeline;
    return atomic;
}
