// The patch atomic pipeline on the Direct3D 8 driver: its one node refines
// the atomic's patches at the atomic's LOD into device buffers kept in the
// resource arena (rebuilt when the LOD or the layout changes, refined again
// in place when control points move), then lights and draws them through
// the atomic render callback.
#include <cstring>
#include <vector>

#include "patchpriv.h"
#include "rpd3d8pipe.h"
#include "rpgeometry.h"
#include "rwd3d8.h"
#include "rwframe.h"
#include "rwresources.h"

namespace {

struct PatchNodeData {
    RwUInt32 word0;
    RwUInt32 word1;
    RwUInt32 word2;
    RpD3D8AllInOneRenderCallBack renderCallback;
};

struct Layout {
    RpPatchVertexLayout vertex;
    RwUInt32 fvf;
};

Layout MakeLayout(const RpPatchMesh *mesh)
{
    Layout layout = {};
    layout.fvf = D3DFVF_XYZ;
    RwUInt32 offset = 12;
    layout.vertex.normalOffset = rpPATCHNOTWRITTEN;
    layout.vertex.colourOffset = rpPATCHNOTWRITTEN;
    if (mesh->flags & rpPATCHMESHNORMALS) {
        layout.vertex.normalOffset = offset;
        offset += 12;
        layout.fvf |= D3DFVF_NORMAL;
    }
    if (mesh->flags & rpPATCHMESHPRELIGHTS) {
        layout.vertex.colourOffset = offset;
        offset += 4;
        layout.fvf |= D3DFVF_DIFFUSE;
    }
    RwUInt32 sets = (mesh->flags & rpPATCHMESHTEXCOORDSETSMASK) >> 16;
    if (sets > static_cast<RwUInt32>(rpPATCHMAXTEXCOORDSETS)) {
        sets = 0;
    }
    for (RwUInt32 i = 0; i < static_cast<RwUInt32>(rpPATCHMAXTEXCOORDSETS); ++i) {
        layout.vertex.texCoordOffset[i] = i < sets ? offset + 8 * i : rpPATCHNOTWRITTEN;
    }
    offset += 8 * sets;
    layout.fvf |= sets << D3DFVF_TEXCOUNT_SHIFT;
    layout.vertex.stride = offset;
    return layout;
}

RpPatchSource SourceOf(const RpGeometry *geometry, const Layout &layout)
{
    RpPatchSource source = {};
    source.positions = geometry->morphTarget[0].verts;
    source.normals = layout.vertex.normalOffset != rpPATCHNOTWRITTEN ? geometry->morphTarget[0].normals : nullptr;
    source.colours = layout.vertex.colourOffset != rpPATCHNOTWRITTEN ? geometry->preLitLum : nullptr;
    for (RwInt32 i = 0; i < rpPATCHMAXTEXCOORDSETS; ++i) {
        source.texCoords[i] = (i < geometry->numTexCoordSets && layout.vertex.texCoordOffset[i] != rpPATCHNOTWRITTEN)
                                  ? geometry->texCoords[i]
                                  : nullptr;
    }
    return source;
}

RwUInt32 TotalVertices(const RpD3D8InstanceData *data)
{
    const RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(const_cast<RpD3D8InstanceData *>(data));
    RwUInt32 total = 0;
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        total += meshes[i].numVertices;
    }
    return total;
}

void EntryDestroy(RwResEntry *entry)
{
    RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        if (meshes[i].indexBuffer != nullptr) {
            meshes[i].indexBuffer->Release();
            meshes[i].indexBuffer = nullptr;
        }
    }
    if (data->numMeshes > 0 && meshes[0].vertexBuffer != nullptr) {
        const RwUInt32 total = TotalVertices(data);
        RwD3D8VertexBufferDestroyByStride(meshes[0].stride, total * meshes[0].stride, meshes[0].vertexBuffer,
                                          meshes[0].baseIndex - meshes[0].minVertexIndex);
    }
}

// Walks every patch in mesh order, handing each its control indices, kind
// and running vertex number.
template <typename Visit>
void ForAllPatches(const RpGeometry *geometry, RwUInt32 lod, Visit visit)
{
    const RpMesh *meshes = RpMeshHeaderGetMeshes(geometry->mesh);
    RwUInt32 vertex = 0;
    for (RwUInt32 m = 0; m < geometry->mesh->numMeshes; ++m) {
        const RwUInt32 patches = meshes[m].numIndices / 16;
        for (RwUInt32 p = 0; p < patches; ++p) {
            const RwUInt16 *controls = meshes[m].indices + 16 * p;
            const RwBool tri = RpPatchIsTriangle(geometry, controls);
            visit(controls, tri, vertex);
            vertex += tri ? RpPatchTriVertexCount(lod) : RpPatchQuadVertexCount(lod);
        }
    }
}

RwBool ControlsInRange(const RpGeometry *geometry)
{
    const RpMesh *meshes = RpMeshHeaderGetMeshes(geometry->mesh);
    for (RwUInt32 m = 0; m < geometry->mesh->numMeshes; ++m) {
        const RwUInt32 used = meshes[m].numIndices - meshes[m].numIndices % 16;
        for (RwUInt32 i = 0; i < used; ++i) {
            const RwBool triangleSlot = (i % 16) >= rpTRIPATCHNUMCONTROLINDICES;
            if (!triangleSlot && meshes[m].indices[i] >= static_cast<RwUInt32>(geometry->numVertices)) {
                return FALSE;
            }
        }
    }
    return TRUE;
}

void RefineAll(const RpGeometry *geometry, RwUInt32 lod, const Layout &layout, RwUInt8 *vertices, RwBool positionsOnly)
{
    RpPatchSource source = SourceOf(geometry, layout);
    if (positionsOnly) {
        source.colours = nullptr;
        for (const RwTexCoords *&set : source.texCoords) {
            set = nullptr;
        }
    }
    ForAllPatches(geometry, lod, [&](const RwUInt16 *controls, RwBool tri, RwUInt32 vertex) {
        RpPatchRefine(&source, controls, tri, lod, &layout.vertex, vertices + vertex * layout.vertex.stride);
    });
}

RwResEntry *Build(RpAtomic *atomic, RpGeometry *geometry, const RpPatchMesh *mesh, RwUInt32 lod, RwResEntry **owner)
{
    if (!ControlsInRange(geometry)) {
        return nullptr;
    }
    const Layout layout = MakeLayout(mesh);
    RwUInt32 patchCount = 0;
    const RpMesh *meshes = RpMeshHeaderGetMeshes(geometry->mesh);
    for (RwUInt32 m = 0; m < geometry->mesh->numMeshes; ++m) {
        patchCount += meshes[m].numIndices / 16;
    }
    if (patchCount == 0) {
        return nullptr;
    }
    std::vector<RpPatchBatch> batches(patchCount + geometry->mesh->numMeshes);
    const RwUInt32 batchCount =
        RpPatchPlanBatches(geometry, lod, batches.data(), static_cast<RwUInt32>(batches.size()));
    RwUInt32 total = 0;
    for (RwUInt32 b = 0; b < batchCount; ++b) {
        total += batches[b].numVertices;
    }
    IDirect3DVertexBuffer8 *vertexBuffer = nullptr;
    RwUInt32 base = 0;
    if (!RwD3D8VertexBufferCreate(layout.fvf, total * layout.vertex.stride, &vertexBuffer, &base)) {
        return nullptr;
    }
    BYTE *bytes = nullptr;
    if (vertexBuffer->Lock(base * layout.vertex.stride, total * layout.vertex.stride, &bytes, 0) < 0) {
        RwD3D8VertexBufferDestroy(layout.fvf, total * layout.vertex.stride, vertexBuffer, base);
        return nullptr;
    }
    RefineAll(geometry, lod, layout, bytes, FALSE);
    vertexBuffer->Unlock();
    const RwInt32 size = static_cast<RwInt32>(sizeof(RpD3D8InstanceData) + batchCount * sizeof(RpD3D8MeshInstance));
    RwResEntry *entry = RwResourcesAllocateEntry(owner == &geometry->repEntry ? static_cast<void *>(geometry)
                                                                                 : static_cast<void *>(atomic),
                                                 owner, size, EntryDestroy);
    if (entry == nullptr) {
        RwD3D8VertexBufferDestroy(layout.fvf, total * layout.vertex.stride, vertexBuffer, base);
        return nullptr;
    }
    std::memset(RwResEntryGetData(entry), 0, static_cast<size_t>(size));
    RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
    data->serialNumber = geometry->mesh->serialNum;
    data->numMeshes = static_cast<RwUInt16>(batchCount);
    RpD3D8MeshInstance *records = RpD3D8InstanceDataGetMeshes(data);
    RwUInt32 firstVertex = 0;
    std::vector<RwUInt16> indices;
    for (RwUInt32 b = 0; b < batchCount; ++b) {
        const RpPatchBatch &batch = batches[b];
        const RpMesh &source = meshes[batch.mesh];
        RpD3D8MeshInstance &record = records[b];
        indices.assign(batch.numIndices, 0);
        RwUInt32 n = 0;
        RwUInt32 relative = 0;
        RwBool alphaAllOpaque = TRUE;
        for (RwUInt32 p = 0; p < batch.numPatches; ++p) {
            const RwUInt16 *controls = source.indices + 16 * (batch.firstPatch + p);
            const RwBool tri = RpPatchIsTriangle(geometry, controls);
            if (p > 0) {
                indices[n] = indices[n - 1];
                indices[n + 1] = static_cast<RwUInt16>(relative);
                n += 2;
            }
            n += tri ? RpPatchTriStripIndices(lod, static_cast<RwUInt16>(relative), &indices[n])
                     : RpPatchQuadStripIndices(lod, static_cast<RwUInt16>(relative), &indices[n]);
            relative += tri ? RpPatchTriVertexCount(lod) : RpPatchQuadVertexCount(lod);
        }
        if ((mesh->flags & rpPATCHMESHPRELIGHTS) && geometry->preLitLum != nullptr) {
            for (RwUInt32 i = 0; i < source.numIndices; ++i) {
                if (source.indices[i] < static_cast<RwUInt32>(geometry->numVertices) &&
                    geometry->preLitLum[source.indices[i]].alpha != 255) {
                    alphaAllOpaque = FALSE;
                }
            }
        } else {
            alphaAllOpaque = TRUE;
        }
        record.minVertexIndex = firstVertex;
        record.stride = layout.vertex.stride;
        record.numVertices = batch.numVertices;
        record.numIndices = n;
        record.material = source.material;
        record.vertexShader = layout.fvf;
        record.primitiveType = D3DPT_TRIANGLESTRIP;
        record.vertexBuffer = vertexBuffer;
        record.baseIndex = firstVertex + base;
        record.vertexAlpha = alphaAllOpaque ? 0 : 1;
        record.managed = 1;
        IDirect3DIndexBuffer8 *indexBuffer = nullptr;
        BYTE *indexBytes = nullptr;
        if (RwD3D8CreateIndexBuffer(n, &indexBuffer) && indexBuffer->Lock(0, n * 2, &indexBytes, 0) >= 0) {
            std::memcpy(indexBytes, indices.data(), n * 2);
            indexBuffer->Unlock();
        }
        record.indexBuffer = indexBuffer;
        firstVertex += batch.numVertices;
    }
    geometry->lockedSinceLastInst = 0;
    return entry;
}

RwBool NodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params)
{
    auto *atomic = static_cast<RpAtomic *>(params->dataParam);
    RpPatchMesh *mesh = RpPatchAtomicGetMesh(atomic);
    RpGeometry *geometry = atomic->geometry;
    if (mesh == nullptr || geometry == nullptr || mesh->numQuadPatches + mesh->numTriPatches == 0 ||
        geometry->mesh == nullptr || geometry->morphTarget == nullptr || geometry->morphTarget[0].verts == nullptr) {
        return TRUE;
    }
    const RwUInt32 lod = RpPatchAtomicGetLOD(atomic);
    RwResEntry **owner = geometry->numMorphTargets == 1 ? &geometry->repEntry : &atomic->repEntry;
    RwResEntry *entry = *owner;
    RwUInt32 expected = 0;
    ForAllPatches(geometry, lod, [&](const RwUInt16 *, RwBool tri, RwUInt32) {
        expected += tri ? RpPatchTriVertexCount(lod) : RpPatchQuadVertexCount(lod);
    });
    if (entry != nullptr) {
        RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
        if (data->serialNumber != geometry->mesh->serialNum || TotalVertices(data) != expected) {
            RwResourcesFreeEntry(entry);
            entry = nullptr;
        }
    }
    if (entry == nullptr) {
        entry = Build(atomic, geometry, mesh, lod, owner);
        if (entry == nullptr) {
            return FALSE;
        }
    } else {
        RwResourcesUseEntry(entry);
        if (geometry->lockedSinceLastInst & (rpGEOMETRYLOCKVERTICES | rpGEOMETRYLOCKNORMALS)) {
            RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
            RpD3D8MeshInstance *first = RpD3D8InstanceDataGetMeshes(data);
            const Layout layout = MakeLayout(mesh);
            BYTE *bytes = nullptr;
            if (data->numMeshes > 0 &&
                first->vertexBuffer->Lock((first->baseIndex - first->minVertexIndex) * first->stride,
                                          expected * first->stride, &bytes, 0) >= 0) {
                RefineAll(geometry, lod, layout, bytes, TRUE);
                first->vertexBuffer->Unlock();
            }
            geometry->lockedSinceLastInst = 0;
        }
    }
    RpD3D8AtomicDefaultLightingCallback(atomic);
    const RwMatrix *ltm = RwFrameGetLTM(RpAtomicGetFrame(atomic));
    RwD3D8SetWorldMatrix(ltm);
    RwUInt32 lighting = 0;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    RwBool normalise = FALSE;
    if (lighting) {
        const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
        if (caps != nullptr && (caps->DevCaps & 0x10000u) != 0) {
            normalise = TRUE;
        } else if (!(ltm->flags & (rwMATRIXTYPENORMAL | rwMATRIXINTERNALIDENTITY))) {
            const RwV3d *axes[3] = {&ltm->right, &ltm->up, &ltm->at};
            for (const RwV3d *a : axes) {
                const RwReal len2 = a->x * a->x + a->y * a->y + a->z * a->z;
                if (len2 > 1.1f || len2 < 0.9f) {
                    normalise = TRUE;
                }
            }
        }
    }
    RwD3D8SetRenderState(D3DRS_NORMALIZENORMALS, normalise ? 1 : 0);
    auto *node = static_cast<PatchNodeData *>(self->privateData);
    if (node != nullptr && node->renderCallback != nullptr) {
        node->renderCallback(entry, atomic, rpD3D8OBJECTATOMIC, geometry->flags);
    }
    return TRUE;
}

RwBool NodeInit(RxPipelineNode *self)
{
    auto *node = static_cast<PatchNodeData *>(self->privateData);
    if (node != nullptr) {
        *node = {1, 0, 0, RpD3D8DefaultRenderCallback};
    }
    return TRUE;
}

RxNodeDefinition nodeDefinition = {
    "PatchAtomic.csl", NodeBody, nullptr, nullptr, NodeInit, nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0,
    nullptr, sizeof(PatchNodeData), 0, 0,
};

}  // namespace

RxNodeDefinition *RpPatchAtomicNodeDefinition(void) { return &nodeDefinition; }

RwBool PatchPipelineCreate(void)
{
    RwPipeline *pipeline = RwPipelineCreate();
    if (pipeline == nullptr) {
        return FALSE;
    }
    pipeline->pluginId = rwID_PATCHPLUGIN;
    pipeline->pluginData = 1;
    if (RwPipelineLock(pipeline) == nullptr ||
        RwPipelineAddFragment(pipeline, nullptr, &nodeDefinition, static_cast<RxNodeDefinition *>(nullptr)) ==
            nullptr ||
        RwPipelineUnlock(pipeline) == nullptr) {
        RwPipelineDestroy(pipeline);
        return FALSE;
    }
    PatchGlobalsGet().atomicPipeline = pipeline;
    return TRUE;
}

void PatchPipelineDestroy(void)
{
    PatchGlobals &globals = PatchGlobalsGet();
    if (globals.atomicPipeline != nullptr) {
        RwPipelineDestroy(globals.atomicPipeline);
        globals.atomicPipeline = nullptr;
    }
}
