// The atomic all-in-one node: keeps an atomic's instanced data current
// (built on first draw, refreshed after geometry locks or morphing, rebuilt
// when the meshes change), lights the atomic and draws it, through four
// replaceable callbacks. Also the atomic instance and reinstance callbacks.
#include <initializer_list>
#include <cstring>

#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwmemory.h"
#include "rwresources.h"
#include "world/pipe/p2/d3d8/D3D8pipe.h"

namespace {

// Owner of a pipeline whose morphing atomics must stay in managed space.
constexpr RwUInt32 kManagedOnlyPipelineOwner = 0x12E;

// Renumbers a one-target mesh's vertices in first-use order when it uses
// only part of its range; the reverse table is kept with the record.
RwBool Compact(RpD3D8MeshInstance *instance)
{
    BYTE *bytes = nullptr;
    if (instance->indexBuffer->Lock(0, 2 * instance->numIndices, &bytes, 0) < 0) {
        return FALSE;
    }
    auto *indices = reinterpret_cast<RwUInt16 *>(bytes);
    auto *table = static_cast<RwUInt16 *>(RwMalloc(sizeof(RwUInt16) * instance->numVertices));
    if (table == nullptr) {
        instance->indexBuffer->Unlock();
        return FALSE;
    }
    std::memset(table, 0xFF, sizeof(RwUInt16) * instance->numVertices);
    RwUInt32 counter = 0;
    for (RwUInt32 i = 0; i < instance->numIndices; ++i) {
        if (table[indices[i]] > counter) {
            table[indices[i]] = static_cast<RwUInt16>(counter++);
        }
    }
    instance->remapped = 0;
    if (counter < instance->numVertices) {
        auto *reverse = static_cast<RwUInt16 *>(RwMalloc(sizeof(RwUInt16) * counter));
        if (reverse == nullptr) {
            RwFree(table);
            instance->indexBuffer->Unlock();
            return FALSE;
        }
        for (RwUInt32 v = 0; v < instance->numVertices; ++v) {
            if (table[v] != 0xFFFF) {
                reverse[table[v]] = static_cast<RwUInt16>(v);
            }
        }
        for (RwUInt32 i = 0; i < instance->numIndices; ++i) {
            indices[i] = table[indices[i]];
        }
        instance->numVertices = counter;
        instance->remapped = 1;
        RwFree(instance->remap);
        instance->remap = reverse;
    }
    RwFree(table);
    instance->indexBuffer->Unlock();
    return TRUE;
}

// The morph targets and weight an atomic shows.
struct Morph {
    const RpMorphTarget *start;
    const RpMorphTarget *end;
    RwReal t;
};

Morph MorphOf(const RpAtomic *atomic, const RpGeometry *geometry, RwBool single)
{
    if (single) {
        return {&geometry->morphTarget[0], &geometry->morphTarget[0], 0.0f};
    }
    RwInt32 s = atomic->interpolator.startMorphTarget;
    RwInt32 e = atomic->interpolator.endMorphTarget;
    if (s < 0 || e < 0 || s >= geometry->numMorphTargets || e >= geometry->numMorphTargets) {
        s = 0;
        e = 0;
    }
    const RwReal t = atomic->interpolator.position * atomic->interpolator.recipTime;
    return {&geometry->morphTarget[s], &geometry->morphTarget[e], (s == e) ? 0.0f : t};
}

void Blend(RwReal *out, const RwV3d &a, const RwV3d &b, RwReal t)
{
    if (t == 0.0f) {
        out[0] = a.x;
        out[1] = a.y;
        out[2] = a.z;
        return;
    }
    out[0] = a.x + (b.x - a.x) * t;
    out[1] = a.y + (b.y - a.y) * t;
    out[2] = a.z + (b.z - a.z) * t;
}

// Writes the components `lockFlags` selects into the locked vertex range.
void FillVertices(const RpAtomic *atomic, RpD3D8MeshInstance *instance, RwUInt8 *out, RwUInt32 lockFlags)
{
    const RpGeometry *geometry = atomic->geometry;
    const Morph morph = MorphOf(atomic, geometry, geometry->numMorphTargets == 1 || instance->remap != nullptr);
    const RwBool normals = (geometry->flags & rpGEOMETRYNORMALS) != 0;
    const RwBool prelit = (geometry->flags & rpGEOMETRYPRELIT) != 0 && geometry->preLitLum != nullptr;
    const RwUInt32 colourOffset = normals ? 24 : 12;
    const RwUInt32 texOffset = colourOffset + ((geometry->flags & rpGEOMETRYPRELIT) ? 4 : 0);
    const RwBool modulate = (geometry->flags & rpGEOMETRYMODULATEMATERIALCOLOR) != 0;
    RwUInt32 alphaAnd = 0xFF;
    for (RwUInt32 i = 0; i < instance->numVertices; ++i) {
        const RwUInt32 source = instance->minVertexIndex + (instance->remap != nullptr ? instance->remap[i] : i);
        RwUInt8 *vertex = out + i * instance->stride;
        if (lockFlags & rpGEOMETRYLOCKVERTICES) {
            RwReal p[3];
            Blend(p, morph.start->verts[source], morph.end->verts[source], morph.t);
            std::memcpy(vertex, p, sizeof(p));
        }
        if (normals && (lockFlags & rpGEOMETRYLOCKNORMALS) && morph.start->normals != nullptr) {
            RwReal n[3];
            Blend(n, morph.start->normals[source], morph.end->normals[source], morph.t);
            std::memcpy(vertex + 12, n, sizeof(n));
        }
        if (prelit && (lockFlags & rpGEOMETRYLOCKPRELIGHT)) {
            const RwRGBA &c = geometry->preLitLum[source];
            alphaAnd &= c.alpha;
            const RwUInt32 colour = rpD3D8PrelitColor(c, instance->material, modulate);
            std::memcpy(vertex + colourOffset, &colour, 4);
        }
        if (lockFlags & 0xFF0) {
            for (RwInt32 k = 0; k < geometry->numTexCoordSets; ++k) {
                if (lockFlags & rpGEOMETRYLOCKTEXCOORDSIDX(static_cast<RwUInt32>(k))) {
                    std::memcpy(vertex + texOffset + 8 * k, &geometry->texCoords[k][source], 8);
                }
            }
        }
    }
    if (!prelit) {
        instance->vertexAlpha = 0;
    } else if (lockFlags & rpGEOMETRYLOCKPRELIGHT) {
        instance->vertexAlpha = alphaAnd != 0xFF ? 1 : 0;
    }
}

RwBool LockAndFill(const RpAtomic *atomic, RpD3D8MeshInstance *instance, RwUInt32 lockFlags, RwUInt32 d3dFlags)
{
    BYTE *bytes = nullptr;
    if (instance->vertexBuffer->Lock(instance->baseIndex * instance->stride, instance->numVertices * instance->stride,
                                     &bytes, d3dFlags) < 0) {
        return FALSE;
    }
    FillVertices(atomic, instance, bytes, lockFlags);
    instance->vertexBuffer->Unlock();
    return TRUE;
}

}  // namespace

RwBool RpD3D8AtomicInstanceCallback(void *object, RpD3D8MeshInstance *instance, RwBool reinstance)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    const RpGeometry *geometry = atomic->geometry;
    // A compacted mesh keeps its reverse table, so a refresh fills the
    // same slots; compaction itself runs once, at first instancing.
    if (!reinstance && geometry->numMorphTargets == 1 && instance->indexBuffer != nullptr &&
        instance->numIndices <= instance->numVertices && !Compact(instance)) {
        return FALSE;
    }
    if (!reinstance) {
        RwUInt32 stride = 0;
        const RwUInt32 fvf = rpD3D8GeometryVertexFormat(geometry, &stride);
        rpD3D8MeshInstanceReleaseVertices(instance);
        instance->stride = stride;
        instance->vertexShader = fvf;
        const RwUInt32 bytes = stride * instance->numVertices;
        const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
        const RwBool hardwareTnL = caps != nullptr && (caps->DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
        const RwBool managedOnly = atomic->pipeline != nullptr && atomic->pipeline->pluginId == kManagedOnlyPipelineOwner;
        if (geometry->numMorphTargets < 2 || !hardwareTnL || managedOnly) {
            instance->managed = 1;
            if (!RwD3D8VertexBufferCreate(fvf, bytes, &instance->vertexBuffer, &instance->baseIndex)) {
                instance->vertexBuffer = nullptr;
                return FALSE;
            }
        } else {
            instance->managed = 0;
            instance->baseIndex = 0;
            if (!RwD3D8CreateDynamicVertexBuffer(fvf, bytes, &instance->vertexBuffer)) {
                instance->vertexBuffer = nullptr;
                return FALSE;
            }
        }
    }
    if (instance->vertexBuffer == nullptr) {
        return FALSE;
    }
    if (reinstance && !instance->managed) {
        return LockAndFill(atomic, instance, rpGEOMETRYLOCKALL, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK);
    }
    const RwUInt32 lockFlags = reinstance ? geometry->lockedSinceLastInst : rpGEOMETRYLOCKALL;
    return LockAndFill(atomic, instance, lockFlags, D3DLOCK_NOSYSLOCK);
}

RwBool RpD3D8AtomicReinstanceCallback(void *object, RwResEntry *entry, const RpMeshHeader *header,
                                      RpD3D8AllInOneInstanceCallBack instanceCallback)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    const RpGeometry *geometry = atomic->geometry;
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(RpD3D8ResEntryGetInstanceData(entry));
    if (geometry->numMorphTargets == 1) {
        return RpD3D8InstanceDataForAllMeshes(atomic, header, meshes, instanceCallback);
    }
    if (!(atomic->interpolator.flags & rpINTERPOLATORDIRTYINSTANCE) && geometry->lockedSinceLastInst == 0) {
        return TRUE;
    }
    const RwUInt32 locked = geometry->lockedSinceLastInst;
    for (RwUInt32 i = 0; i < header->numMeshes; ++i) {
        RpD3D8MeshInstance *instance = &meshes[i];
        // Morphing rewrites positions and normals; a discarded dynamic
        // buffer needs everything else again too.
        const RwUInt32 flags =
            instance->managed ? (rpGEOMETRYLOCKVERTICES | rpGEOMETRYLOCKNORMALS | (locked & 0xFF8)) : rpGEOMETRYLOCKALL;
        if (!LockAndFill(atomic, instance, flags,
                         instance->managed ? D3DLOCK_NOSYSLOCK : (D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK))) {
            return FALSE;
        }
    }
    return TRUE;
}

// ---- The node.

static RwBool NeedsNormalising(const RwMatrix *m)
{
    RwUInt32 lighting = 0;
    RwD3D8GetRenderState(D3DRS_LIGHTING, &lighting);
    if (!lighting || (m->flags & (rwMATRIXTYPENORMAL | rwMATRIXINTERNALIDENTITY))) {
        return FALSE;
    }
    // Squared lengths are positive, so their bit patterns order like them.
    auto bits = [](RwReal value) {
        RwUInt32 b;
        std::memcpy(&b, &value, 4);
        return b;
    };
    const RwUInt32 high = bits(1.1f);
    const RwUInt32 low = bits(0.9f);
    for (const RwV3d *axis : {&m->right, &m->up, &m->at}) {
        const RwUInt32 len = bits(axis->x * axis->x + axis->y * axis->y + axis->z * axis->z);
        if (len > high || len < low) {
            return TRUE;
        }
    }
    return FALSE;
}

RwBool RpD3D8AtomicAllInOneNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params)
{
    const auto *callbacks = static_cast<const RpD3D8AllInOneNodeData *>(self->privateData);
    auto *atomic = static_cast<RpAtomic *>(params->dataParam);
    RpGeometry *geometry = atomic->geometry;
    if (geometry == nullptr || geometry->numVertices < 1 || geometry->mesh == nullptr ||
        geometry->mesh->numMeshes == 0) {
        return TRUE;
    }
    const RwUInt32 flags = geometry->flags;
    RwResEntry *entry = nullptr;
    if (flags & rpGEOMETRYNATIVE) {
        entry = geometry->repEntry;
        if (entry == nullptr) {
            return FALSE;
        }
    } else {
        const RwBool single = geometry->numMorphTargets == 1;
        RwResEntry **slot = single ? &geometry->repEntry : &atomic->repEntry;
        entry = *slot;
        if (entry != nullptr) {
            if (RpD3D8ResEntryGetInstanceData(entry)->serialNumber == geometry->mesh->serialNum) {
                if ((geometry->lockedSinceLastInst != 0 || !single) && callbacks->reinstanceCallback != nullptr &&
                    !callbacks->reinstanceCallback(atomic, entry, geometry->mesh, callbacks->instanceCallback)) {
                    RwResourcesFreeEntry(entry);
                    return FALSE;
                }
                atomic->interpolator.flags &= ~rpINTERPOLATORDIRTYINSTANCE;
                geometry->lockedSinceLastInst = 0;
                RwResourcesUseEntry(entry);
            } else {
                RwResourcesFreeEntry(entry);
                entry = nullptr;
            }
        }
        if (entry == nullptr) {
            entry = RpD3D8InstanceDataCreate(atomic, single ? static_cast<void *>(geometry) : atomic, slot,
                                             geometry->mesh, callbacks->instanceCallback,
                                             (flags & rpGEOMETRYNATIVEINSTANCE) != 0);
            if (entry == nullptr) {
                return FALSE;
            }
            geometry->lockedSinceLastInst = 0;
        }
    }
    if (flags & rpGEOMETRYNATIVEINSTANCE) {
        return TRUE;
    }
    if (callbacks->lightingCallback != nullptr) {
        callbacks->lightingCallback(atomic);
    }
    RwFrame *frame = RpAtomicGetFrame(atomic);
    const RwMatrix *ltm = frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
    RwD3D8SetWorldMatrix(ltm);
    RwD3D8SetRenderState(D3DRS_NORMALIZENORMALS, ltm != nullptr && NeedsNormalising(ltm) ? 1u : 0u);
    if (callbacks->renderCallback != nullptr) {
        callbacks->renderCallback(entry, atomic, rpD3D8OBJECTATOMIC, flags);
    }
    return TRUE;
}

RwBool RpD3D8AtomicAllInOneNodeInit(RxPipelineNode *self)
{
    return rpD3D8AllInOneNodeInit(self, {RpD3D8AtomicInstanceCallback, RpD3D8AtomicReinstanceCallback,
                                         RpD3D8AtomicDefaultLightingCallback, RpD3D8DefaultRenderCallback});
}

RxNodeDefinition *RpD3D8AtomicAllInOneNodeDefinition(void)
{
    static RxNodeDefinition definition = {
        "nodeD3D8AtomicAllInOne.csl", RpD3D8AtomicAllInOneNodeBody, nullptr, nullptr, RpD3D8AtomicAllInOneNodeInit,
        nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr, sizeof(RpD3D8AllInOneNodeData), FALSE, 0};
    return &definition;
}

RwUInt32 rpD3D8GeometryVertexFormat(const RpGeometry *geometry, RwUInt32 *stride)
{
    RwUInt32 fvf = D3DFVF_XYZ;
    *stride = 12;
    if (geometry->flags & rpGEOMETRYNORMALS) {
        fvf |= D3DFVF_NORMAL;
        *stride += 12;
    }
    if (geometry->flags & rpGEOMETRYPRELIT) {
        fvf |= D3DFVF_DIFFUSE;
        *stride += 4;
    }
    const RwInt32 sets = geometry->numTexCoordSets;
    if (sets >= 1 && sets <= 8) {
        fvf |= static_cast<RwUInt32>(sets) << 8;
        *stride += 8 * static_cast<RwUInt32>(sets);
    }
    return fvf;
}
