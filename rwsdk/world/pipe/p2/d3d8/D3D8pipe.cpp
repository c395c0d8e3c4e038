// Instanced data of the world pipelines: building the per-mesh index
// buffers and vertex space of an atomic or world sector into a resource
// entry, releasing it when the arena evicts it or its owner goes, and the
// default render callback that draws every mesh through the driver's
// caches.
#include <algorithm>
#include <cstring>

#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwengine.h"
#include "rwmemory.h"
#include "rwresources.h"
#include "rwtexture.h"
#include "world/pipe/p2/d3d8/D3D8pipe.h"

static constexpr RwUInt32 kMeshUnindexed = 0x100;

void RpD3D8IndexListGetRange(const RwUInt16 *indices, RwUInt32 count, RwUInt32 *numVertices, RwUInt32 *minIndex)
{
    if (count == 0) {
        *numVertices = 0;
        *minIndex = 0;
        return;
    }
    RwUInt32 lo = indices[0];
    RwUInt32 hi = indices[0];
    for (RwUInt32 i = 1; i < count; ++i) {
        lo = std::min<RwUInt32>(lo, indices[i]);
        hi = std::max<RwUInt32>(hi, indices[i]);
    }
    *minIndex = lo;
    *numVertices = hi - lo + 1;
}

RwUInt32 RpD3D8PrimitiveTypeFromMeshFlags(RwUInt32 meshFlags)
{
    // Engine primitive type 0..6 to D3DPRIMITIVETYPE.
    static const RwUInt32 table[7] = {0, D3DPT_LINELIST, D3DPT_LINESTRIP, D3DPT_TRIANGLELIST,
                                      D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN, D3DPT_POINTLIST};
    const RwInt32 type = RpMeshFlagsToPrimType(meshFlags);
    return (type >= 0 && type < 7) ? table[type] : 0;
}

// Gives a record's vertex space back to where it came from.
void rpD3D8MeshInstanceReleaseVertices(RpD3D8MeshInstance *instance)
{
    if (instance->vertexBuffer == nullptr) {
        return;
    }
    const RwUInt32 bytes = instance->numVertices * instance->stride;
    if (!instance->managed) {
        RwD3D8ReleaseDynamicVertexBuffer(instance->vertexBuffer);
    } else if (instance->vertexShader & 1) {
        RwD3D8VertexBufferDestroyByStride(instance->stride, bytes, instance->vertexBuffer, instance->baseIndex);
    } else {
        RwD3D8VertexBufferDestroy(instance->vertexShader, bytes, instance->vertexBuffer, instance->baseIndex);
    }
    instance->vertexBuffer = nullptr;
}

void RpD3D8InstanceDataDestroy(RwResEntry *entry)
{
    RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        RpD3D8MeshInstance *instance = &meshes[i];
        if (instance->indexBuffer != nullptr) {
            instance->indexBuffer->Release();
            instance->indexBuffer = nullptr;
        }
        rpD3D8MeshInstanceReleaseVertices(instance);
        RwFree(instance->remap);
        instance->remap = nullptr;
    }
}

// Triangles whose first one does not touch vertex 0 are sorted by their
// sorted vertex triples, which keeps the vertex cache warm.
static void SortTriangles(RwUInt16 *indices, RwUInt32 numIndices)
{
    struct Triangle {
        RwUInt16 v[3];
    };
    auto *tris = reinterpret_cast<Triangle *>(indices);
    auto key = [](const Triangle &t) {
        RwUInt16 a = t.v[0], b = t.v[1], c = t.v[2];
        if (a > b) std::swap(a, b);
        if (b > c) std::swap(b, c);
        if (a > b) std::swap(a, b);
        return (static_cast<RwUInt64>(a) << 32) | (static_cast<RwUInt64>(b) << 16) | c;
    };
    std::stable_sort(tris, tris + numIndices / 3, [&](const Triangle &x, const Triangle &y) { return key(x) < key(y); });
}

static RwBool FillIndexBuffer(RpD3D8MeshInstance *instance, const RpMesh *mesh)
{
    if (!RwD3D8CreateIndexBuffer(mesh->numIndices, &instance->indexBuffer)) {
        return FALSE;
    }
    BYTE *bytes = nullptr;
    if (instance->indexBuffer->Lock(0, 2 * mesh->numIndices, &bytes, 0) < 0) {
        return FALSE;
    }
    auto *out = reinterpret_cast<RwUInt16 *>(bytes);
    for (RwUInt32 i = 0; i < mesh->numIndices; ++i) {
        out[i] = static_cast<RwUInt16>(mesh->indices[i] - instance->minVertexIndex);
    }
    if (instance->primitiveType == D3DPT_TRIANGLELIST && mesh->numIndices >= 3 && out[0] != 0 && out[1] != 0 &&
        out[2] != 0) {
        SortTriangles(out, mesh->numIndices);
    }
    instance->indexBuffer->Unlock();
    return TRUE;
}

RwResEntry *RpD3D8InstanceDataCreate(void *object, void *owner, RwResEntry **ownerRef, const RpMeshHeader *header,
                                     RpD3D8AllInOneInstanceCallBack instanceCallback, RwBool outsideArena)
{
    const RwUInt32 numMeshes = header->numMeshes;
    const RwInt32 size =
        static_cast<RwInt32>(sizeof(RpD3D8InstanceData) + numMeshes * sizeof(RpD3D8MeshInstance));
    RwResEntry *entry = nullptr;
    if (outsideArena) {
        entry = static_cast<RwResEntry *>(RwMalloc(sizeof(RwResEntry) + static_cast<size_t>(size)));
        if (entry == nullptr) {
            return nullptr;
        }
        // Outside the arena nothing evicts it; the owner slot is still
        // cleared when it is freed.
        *entry = {{nullptr, nullptr}, size, nullptr, ownerRef, RpD3D8InstanceDataDestroy};
        *ownerRef = entry;
    } else {
        entry = RwResourcesAllocateEntry(owner, ownerRef, size, RpD3D8InstanceDataDestroy);
        if (entry == nullptr) {
            return nullptr;
        }
    }
    RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
    std::memset(data, 0, static_cast<size_t>(size));
    data->serialNumber = header->serialNum;
    data->numMeshes = static_cast<RwUInt16>(numMeshes);
    RpD3D8MeshInstance *instances = RpD3D8InstanceDataGetMeshes(data);
    const RpMesh *meshes = RpMeshHeaderGetMeshes(header);
    const RwBool indexed = !(header->flags & kMeshUnindexed);
    RwUInt32 running = 0;
    for (RwUInt32 i = 0; i < numMeshes; ++i) {
        RpD3D8MeshInstance *instance = &instances[i];
        const RpMesh *mesh = &meshes[i];
        if (indexed) {
            RpD3D8IndexListGetRange(mesh->indices, mesh->numIndices, &instance->numVertices,
                                    &instance->minVertexIndex);
        } else {
            instance->numVertices = mesh->numIndices;
            instance->minVertexIndex = running;
            running += instance->numVertices;
        }
        instance->primitiveType = RpD3D8PrimitiveTypeFromMeshFlags(header->flags);
        instance->numIndices = mesh->numIndices;
        instance->material = mesh->material;
        if ((indexed && !FillIndexBuffer(instance, mesh)) || !instanceCallback(object, instance, FALSE)) {
            RwResourcesFreeEntry(entry);
            return nullptr;
        }
    }
    return entry;
}

RwBool RpD3D8InstanceDataForAllMeshes(void *object, const RpMeshHeader *header, RpD3D8MeshInstance *first,
                                      RpD3D8AllInOneInstanceCallBack instanceCallback)
{
    if (instanceCallback == nullptr) {
        return TRUE;
    }
    for (RwUInt32 i = 0; i < header->numMeshes; ++i) {
        if (!instanceCallback(object, &first[i], TRUE)) {
            return FALSE;
        }
    }
    return TRUE;
}

// ---- The default render callback.

static RwBool InsideFrustum(void *object, RwUInt8 type)
{
    const auto *camera = static_cast<const RwCamera *>(RwEngineInst->curCamera);
    if (camera == nullptr) {
        return FALSE;
    }
    if (type == rpD3D8OBJECTATOMIC) {
        const RwSphere *sphere = RpAtomicGetWorldBoundingSphere(static_cast<RpAtomic *>(object));
        return RwD3D8CameraIsSphereVisible(camera, &sphere->center, sphere->radius);
    }
    return RwD3D8CameraIsBoxVisible(camera, &static_cast<RpWorldSector *>(object)->boundingBox);
}

void RpD3D8DefaultRenderCallback(RwResEntry *entry, void *object, RwUInt8 type, RwUInt32 flags)
{
    RwUInt32 lighting = 0;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    const RwBool prelit = (flags & rpGEOMETRYPRELIT) != 0;
    const RwBool flat = !lighting && !prelit;
    RwUInt32 savedDither = 0;
    RwUInt32 savedShade = 0;
    if (lighting) {
        RwD3D8SetRenderState(D3DRS_COLORVERTEX, prelit ? 1u : 0u);
        RwD3D8SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, prelit ? 1u : 0u);
    } else if (flat) {
        // Neither lit nor prelit: opaque black.
        RwD3D8GetRenderState(D3DRS_DITHERENABLE, &savedDither);
        RwD3D8GetRenderState(D3DRS_SHADEMODE, &savedShade);
        RwD3D8SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF000000u);
        RwD3D8SetRenderState(D3DRS_DITHERENABLE, 0);
        RwD3D8SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    }
    RwD3D8SetRenderState(D3DRS_CLIPPING, InsideFrustum(object, type) ? 0u : 1u);
    const RwBool textured = (flags & (rpGEOMETRYTEXTURED | rpGEOMETRYTEXTURED2)) != 0;
    if (!textured) {
        RwD3D8SetTexture(nullptr, 0);
        if (flat) {
            RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
            RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
            RwD3D8SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        }
    }
    RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
    RpD3D8MeshInstance *instances = RpD3D8InstanceDataGetMeshes(data);
    RwBool vertexAlpha = RwD3D8GetVertexAlpha();
    RwD3D8SetPixelShader(0);
    if (data->numMeshes > 0) {
        RwD3D8SetVertexShader(instances[0].vertexShader);
    }
    IDirect3DVertexBuffer8 *lastBuffer = nullptr;
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        const RpD3D8MeshInstance &instance = instances[i];
        const RpMaterial *material = instance.material;
        if (textured) {
            RwD3D8SetTexture(material->texture, 0);
            if (flat) {
                RwD3D8SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
                RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
            }
        }
        const RwBool wantAlpha = instance.vertexAlpha || material->color.alpha < 255;
        if (wantAlpha != vertexAlpha) {
            RwD3D8SetVertexAlpha(wantAlpha);
            vertexAlpha = wantAlpha;
        }
        if (lighting) {
            RwD3D8SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, instance.vertexAlpha ? 1u : 0u);
            RwD3D8SetSurfaceProperties(&material->color, &material->surfaceProps,
                                       (flags & rpGEOMETRYMODULATEMATERIALCOLOR) != 0);
        }
        if (instance.vertexBuffer != lastBuffer) {
            RwD3D8SetStreamSource(0, instance.vertexBuffer, instance.stride);
            lastBuffer = instance.vertexBuffer;
        }
        if (instance.indexBuffer != nullptr) {
            RwD3D8SetIndices(instance.indexBuffer, instance.baseIndex);
            RwD3D8DrawIndexedPrimitive(instance.primitiveType, 0, instance.numVertices, 0, instance.numIndices);
        } else {
            RwD3D8DrawPrimitive(instance.primitiveType, instance.baseIndex, instance.numVertices);
        }
    }
    if (flat) {
        RwD3D8SetRenderState(D3DRS_DITHERENABLE, savedDither);
        RwD3D8SetRenderState(D3DRS_SHADEMODE, savedShade);
        RwD3D8SetTextureStageState(0, D3DTSS_COLOROP,
                                   RwD3D8GetStageRaster(0) != nullptr ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
        RwD3D8SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    }
}

RwUInt32 rpD3D8PrelitColor(const RwRGBA &source, const RpMaterial *material, RwBool modulate)
{
    RwRGBA c = source;
    const RwRGBA &m = material->color;
    if (modulate && !(m.red == 255 && m.green == 255 && m.blue == 255 && m.alpha == 255)) {
        c.red = static_cast<RwUInt8>(((m.red + 1) * c.red) >> 8);
        c.green = static_cast<RwUInt8>(((m.green + 1) * c.green) >> 8);
        c.blue = static_cast<RwUInt8>(((m.blue + 1) * c.blue) >> 8);
        c.alpha = static_cast<RwUInt8>(((m.alpha + 1) * c.alpha) >> 8);
    }
    return (static_cast<RwUInt32>(c.alpha) << 24) | (static_cast<RwUInt32>(c.red) << 16) |
           (static_cast<RwUInt32>(c.green) << 8) | c.blue;
}

RwBool rpD3D8AllInOneNodeInit(RxPipelineNode *node, const RpD3D8AllInOneNodeData &callbacks)
{
    auto *data = static_cast<RpD3D8AllInOneNodeData *>(node->privateData);
    if (data == nullptr) {
        return FALSE;
    }
    *data = callbacks;
    return TRUE;
}

RxPipelineNode *RpD3D8AllInOneNodeSetRenderCallback(RxPipelineNode *node, RpD3D8AllInOneRenderCallBack callback)
{
    static_cast<RpD3D8AllInOneNodeData *>(node->privateData)->renderCallback = callback;
    return node;
}
