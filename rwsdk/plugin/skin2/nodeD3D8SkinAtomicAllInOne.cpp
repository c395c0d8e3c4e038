// The skinned atomic's one-node pipeline on the Direct3D 8 device: index
// buffers built once per mesh set, vertices blended by the hierarchy's
// bone matrices every time the atomic is drawn (into the shared dynamic
// buffers on a hardware transform-and-lighting device, else into one
// vertex buffer the meshes share), then lit and drawn through the node's
// replaceable callbacks and the driver's render-state cache.
#include <cstring>
#include <initializer_list>

#include "rpd3d8pipe.h"
#include "rpskinpriv.h"
#include "rwd3d8.h"
#include "rwresources.h"
#include "world/pipe/p2/d3d8/D3D8pipe.h"

namespace {

// Owner id and data of the skin pipeline (one pipeline serves every type).
constexpr RwUInt32 kSkinPipelineData = 1;

RwBool HardwareTnL(void)
{
    const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
    return caps != nullptr && (caps->DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
}

// Index buffers come from the shared instancing; the vertices are the
// skin's own business, so nothing is done per mesh here.
RwBool NoVertices(void *, RpD3D8MeshInstance *, RwBool) { return TRUE; }

// Byte offset of vertex 0 of the geometry within the meshes' buffer.
RwUInt32 BufferBase(const RpD3D8MeshInstance &first) { return first.baseIndex - first.minVertexIndex; }

// Gives back the vertex buffer all meshes share, when they own one.
void ReleaseOwnBuffer(RpD3D8InstanceData *data, RwUInt32 numVertices)
{
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    if (data->numMeshes == 0 || !meshes[0].managed || meshes[0].vertexBuffer == nullptr) {
        return;
    }
    RwD3D8VertexBufferDestroy(meshes[0].vertexShader, numVertices * meshes[0].stride, meshes[0].vertexBuffer,
                              BufferBase(meshes[0]));
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        meshes[i].vertexBuffer = nullptr;
        meshes[i].managed = 0;
    }
}

// Points every mesh at the buffer whose vertex 0 is geometry vertex 0.
void ShareBuffer(RpD3D8InstanceData *data, IDirect3DVertexBuffer8 *buffer, RwUInt32 base, RwUInt8 own)
{
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        meshes[i].vertexBuffer = buffer;
        meshes[i].baseIndex = meshes[i].minVertexIndex + base;
        meshes[i].managed = own;
    }
}

void WriteBindPose(const RpGeometry *geometry, RwUInt8 *vertices, RwUInt32 stride)
{
    const RpMorphTarget &target = geometry->morphTarget[0];
    const RwBool normals = (geometry->flags & rpGEOMETRYNORMALS) && target.normals != nullptr;
    for (RwInt32 v = 0; v < geometry->numVertices; ++v) {
        std::memcpy(vertices + static_cast<size_t>(v) * stride, &target.verts[v], sizeof(RwV3d));
        if (normals) {
            std::memcpy(vertices + static_cast<size_t>(v) * stride + 12, &target.normals[v], sizeof(RwV3d));
        }
    }
}

RwBool LockOwnBuffer(const RpD3D8MeshInstance &first, RwUInt32 numVertices, RwUInt8 **vertices)
{
    BYTE *bytes = nullptr;
    if (first.vertexBuffer->Lock(BufferBase(first) * first.stride, numVertices * first.stride, &bytes,
                                 D3DLOCK_NOSYSLOCK) < 0) {
        return FALSE;
    }
    *vertices = bytes;
    return TRUE;
}

// Poses the vertices into the meshes' buffer; an atomic whose skin cannot
// be posed by its hierarchy shows the bind pose rather than stale data.
RwBool BlendIntoBuffers(RpAtomic *atomic, RpD3D8InstanceData *data)
{
    RpGeometry *geometry = atomic->geometry;
    if (RpSkinAtomicGetHierarchy(atomic) == nullptr || RpSkinGeometryGetSkin(geometry) == nullptr) {
        return TRUE;
    }
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    const RwUInt32 numVertices = static_cast<RwUInt32>(geometry->numVertices);
    const RwUInt32 stride = meshes[0].stride;
    RwUInt8 *vertices = nullptr;
    IDirect3DVertexBuffer8 *buffer = nullptr;
    RwBool fresh = FALSE;
    if (HardwareTnL()) {
        ReleaseOwnBuffer(data, numVertices);
        void *locked = nullptr;
        RwUInt32 base = 0;
        if (!RwD3D8LockDynamicVertices(stride, numVertices, &buffer, &locked, &base)) {
            return FALSE;
        }
        ShareBuffer(data, buffer, base, 0);
        vertices = static_cast<RwUInt8 *>(locked);
        fresh = TRUE;  // the shared buffers keep nothing from one draw to the next
    } else {
        if (meshes[0].vertexBuffer == nullptr) {
            RwUInt32 base = 0;
            if (!RwD3D8VertexBufferCreate(meshes[0].vertexShader, numVertices * stride, &buffer, &base)) {
                return FALSE;
            }
            ShareBuffer(data, buffer, base, 1);
            fresh = TRUE;
        }
        buffer = meshes[0].vertexBuffer;
        if (!LockOwnBuffer(meshes[0], numVertices, &vertices)) {
            return FALSE;
        }
    }
    if (fresh) {
        RpD3D8SkinInstanceVertexExtras(atomic, data, vertices);
    }
    if (RpSkinAtomicBlendVertices(atomic, vertices, stride) == nullptr) {
        WriteBindPose(geometry, vertices, stride);
    }
    if (meshes[0].managed) {
        buffer->Unlock();
    } else {
        RwD3D8UnlockVertexBuffer(buffer);
    }
    atomic->interpolator.flags &= ~rpINTERPOLATORDIRTYINSTANCE;
    return TRUE;
}

RwResEntry *Instance(RpAtomic *atomic, RwResEntry **slot, void *owner)
{
    RpGeometry *geometry = atomic->geometry;
    RwResEntry *entry = RpD3D8InstanceDataCreate(atomic, owner, slot, geometry->mesh, NoVertices, FALSE);
    if (entry == nullptr) {
        return nullptr;
    }
    entry->destroyNotify = RpD3D8SkinInstanceDataDestroy;
    RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
    if (!RpD3D8SkinAtomicInstance(atomic, data, RpSkinAtomicGetHierarchy(atomic) != nullptr)) {
        RwResourcesFreeEntry(entry);
        return nullptr;
    }
    RpD3D8MeshInstance *first = RpD3D8InstanceDataGetMeshes(data);
    if (first->managed && first->vertexBuffer != nullptr) {
        RwUInt8 *vertices = nullptr;
        if (!LockOwnBuffer(*first, static_cast<RwUInt32>(geometry->numVertices), &vertices)) {
            RwResourcesFreeEntry(entry);
            return nullptr;
        }
        WriteBindPose(geometry, vertices, first->stride);
        RpD3D8SkinInstanceVertexExtras(atomic, data, vertices);
        first->vertexBuffer->Unlock();
    }
    geometry->lockedSinceLastInst = 0;
    return entry;
}

// Whether the device must renormalise the blended normals: always with
// hardware lighting, else only when the frame scales them.
RwBool NeedsNormalising(const RwMatrix *m)
{
    RwUInt32 lighting = 0;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    if (!lighting) {
        return FALSE;
    }
    if (HardwareTnL()) {
        return TRUE;
    }
    if (m == nullptr || (m->flags & (rwMATRIXTYPENORMAL | rwMATRIXINTERNALIDENTITY))) {
        return FALSE;
    }
    for (const RwV3d *axis : {&m->right, &m->up, &m->at}) {
        const RwReal length = axis->x * axis->x + axis->y * axis->y + axis->z * axis->z;
        if (length < 0.9f || length > 1.1f) {
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

void RpD3D8SkinInstanceDataDestroy(RwResEntry *entry)
{
    RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    ReleaseOwnBuffer(data, data->pad);
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        if (meshes[i].indexBuffer != nullptr) {
            meshes[i].indexBuffer->Release();
            meshes[i].indexBuffer = nullptr;
        }
        meshes[i].vertexBuffer = nullptr;
    }
}

RwBool RpD3D8SkinAtomicInstance(RpAtomic *atomic, RpD3D8InstanceData *data, RwBool hasHierarchy)
{
    const RpGeometry *geometry = atomic->geometry;
    RwUInt32 stride = 0;
    const RwUInt32 fvf = rpD3D8GeometryVertexFormat(geometry, &stride);
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        meshes[i].stride = stride;
        meshes[i].vertexShader = fvf;
        meshes[i].vertexBuffer = nullptr;
        meshes[i].managed = 0;
    }
    // The shared buffer spans the whole geometry; its vertex count rides in
    // the header's spare word so that the destroy callback gives back
    // exactly what was taken.
    data->pad = static_cast<RwUInt32>(geometry->numVertices);
    if (hasHierarchy && HardwareTnL()) {
        return TRUE;
    }
    IDirect3DVertexBuffer8 *buffer = nullptr;
    RwUInt32 base = 0;
    if (!RwD3D8VertexBufferCreate(fvf, stride * static_cast<RwUInt32>(geometry->numVertices), &buffer, &base)) {
        return FALSE;
    }
    ShareBuffer(data, buffer, base, 1);
    return TRUE;
}

void RpD3D8SkinInstanceVertexExtras(const RpAtomic *atomic, RpD3D8InstanceData *data, RwUInt8 *vertices)
{
    const RpGeometry *geometry = atomic->geometry;
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    const RwUInt32 stride = meshes[0].stride;
    const RwBool normals = (geometry->flags & rpGEOMETRYNORMALS) != 0;
    const RwBool prelit = (geometry->flags & rpGEOMETRYPRELIT) != 0;
    const RwUInt32 colourOffset = normals ? 24 : 12;
    const RwUInt32 texOffset = colourOffset + (prelit ? 4 : 0);
    for (RwInt32 k = 0; k < geometry->numTexCoordSets && k < 8; ++k) {
        for (RwInt32 v = 0; v < geometry->numVertices; ++v) {
            std::memcpy(vertices + static_cast<size_t>(v) * stride + texOffset + 8 * k, &geometry->texCoords[k][v], 8);
        }
    }
    const RwBool modulate = (geometry->flags & rpGEOMETRYMODULATEMATERIALCOLOR) != 0;
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        RpD3D8MeshInstance &mesh = meshes[i];
        mesh.vertexAlpha = 0;
        if (!prelit || geometry->preLitLum == nullptr) {
            continue;
        }
        RwUInt8 lowest = 255;
        for (RwUInt32 v = mesh.minVertexIndex; v < mesh.minVertexIndex + mesh.numVertices; ++v) {
            const RwRGBA &c = geometry->preLitLum[v];
            lowest = c.alpha < lowest ? c.alpha : lowest;
            const RwUInt32 colour = rpD3D8PrelitColor(c, mesh.material, modulate);
            std::memcpy(vertices + static_cast<size_t>(v) * stride + colourOffset, &colour, 4);
        }
        mesh.vertexAlpha = lowest < 255 ? 1 : 0;
    }
}

RwBool RpD3D8SkinAtomicAllInOneNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params)
{
    const auto *callbacks = static_cast<const RpD3D8AllInOneNodeData *>(self->privateData);
    auto *atomic = static_cast<RpAtomic *>(params->dataParam);
    RpGeometry *geometry = atomic->geometry;
    if (geometry == nullptr || geometry->numVertices < 1 || geometry->numMorphTargets < 1 ||
        geometry->mesh == nullptr || geometry->mesh->numMeshes == 0) {
        return TRUE;
    }
    const RwBool single = geometry->numMorphTargets == 1;
    RwResEntry **slot = single ? &geometry->repEntry : &atomic->repEntry;
    RwResEntry *entry = *slot;
    if (entry != nullptr && RpD3D8ResEntryGetInstanceData(entry)->serialNumber != geometry->mesh->serialNum) {
        RwResourcesFreeEntry(entry);
        entry = nullptr;
    }
    if (entry == nullptr) {
        entry = Instance(atomic, slot, single ? static_cast<void *>(geometry) : atomic);
        if (entry == nullptr) {
            return FALSE;
        }
    } else {
        RwResourcesUseEntry(entry);
    }
    if (!BlendIntoBuffers(atomic, RpD3D8ResEntryGetInstanceData(entry))) {
        return FALSE;
    }
    if (callbacks->lightingCallback != nullptr) {
        callbacks->lightingCallback(atomic);
    }
    RwFrame *frame = RpAtomicGetFrame(atomic);
    const RwMatrix *ltm = frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
    RwD3D8SetWorldMatrix(ltm);
    RwD3D8SetRenderState(D3DRS_NORMALIZENORMALS, NeedsNormalising(ltm) ? 1u : 0u);
    if (callbacks->renderCallback != nullptr) {
        callbacks->renderCallback(entry, atomic, rpD3D8OBJECTATOMIC, geometry->flags);
    }
    return TRUE;
}

RwBool RpD3D8SkinAtomicAllInOneNodeInit(RxPipelineNode *self)
{
    // Instancing is the node's own; only lighting and drawing are
    // replaceable (through the shared callback record).
    return rpD3D8AllInOneNodeInit(
        self, {nullptr, nullptr, RpD3D8AtomicDefaultLightingCallback, RpD3D8DefaultRenderCallback});
}

RxNodeDefinition *RpD3D8SkinAtomicAllInOneNodeDefinition(void)
{
    static RxNodeDefinition definition = {"nodeD3D8SkinAtomicAllInOne.csl",
                                          RpD3D8SkinAtomicAllInOneNodeBody,
                                          nullptr,
                                          nullptr,
                                          RpD3D8SkinAtomicAllInOneNodeInit,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          0,
                                          nullptr,
                                          nullptr,
                                          0,
                                          nullptr,
                                          sizeof(RpD3D8AllInOneNodeData),
                                          FALSE,
                                          0};
    return &definition;
}

RwPipeline *RpD3D8SkinPipelineCreate(void)
{
    RwPipeline *pipeline = RwPipelineCreate();
    if (pipeline == nullptr) {
        return nullptr;
    }
    pipeline->pluginId = rpSKINPLUGINID;
    pipeline->pluginData = kSkinPipelineData;
    if (RwPipelineLock(pipeline) == nullptr ||
        RwPipelineAddFragment(pipeline, nullptr, RpD3D8SkinAtomicAllInOneNodeDefinition(), nullptr) == nullptr ||
        RwPipelineUnlock(pipeline) == nullptr) {
        RwPipelineDestroy(pipeline);
        return nullptr;
    }
    return pipeline;
}
