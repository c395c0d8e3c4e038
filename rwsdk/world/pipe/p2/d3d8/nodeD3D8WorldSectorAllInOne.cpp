// The world-sector all-in-one node: instances a leaf of the current world
// into managed vertex space once (rebuilt only when its meshes change),
// lights it and draws it in world space; and the sector instance callback.
#include <cstring>

#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwresources.h"
#include "world/pipe/p2/d3d8/D3D8pipe.h"

RwBool RpD3D8WorldSectorInstanceCallback(void *object, RpD3D8MeshInstance *instance, RwBool)
{
    auto *sector = static_cast<RpWorldSector *>(object);
    const RpWorld *world = RpWorldGetCurrent();
    if (world == nullptr) {
        world = RpWorldSectorGetWorld(sector);
    }
    if (world == nullptr) {
        return FALSE;
    }
    const RwUInt32 wflags = world->flags;
    RwUInt32 fvf = D3DFVF_XYZ;
    RwUInt32 stride = 12;
    if (wflags & rpGEOMETRYNORMALS) {
        fvf |= D3DFVF_NORMAL;
        stride += 12;
    }
    const RwBool prelit = (wflags & rpGEOMETRYPRELIT) != 0 && sector->preLitLum != nullptr;
    if (wflags & rpGEOMETRYPRELIT) {
        fvf |= D3DFVF_DIFFUSE;
        stride += 4;
    }
    RwInt32 sets = 0;
    if (wflags & rpGEOMETRYTEXTURED) {
        fvf |= 0x100;
        stride += 8;
        sets = 1;
    } else if (wflags & rpGEOMETRYTEXTURED2) {
        fvf |= 0x200;
        stride += 16;
        sets = 2;
    }
    instance->stride = stride;
    instance->vertexShader = fvf;
    instance->managed = 1;
    const RwUInt32 bytes = stride * instance->numVertices;
    if (!RwD3D8VertexBufferCreate(fvf, bytes, &instance->vertexBuffer, &instance->baseIndex)) {
        instance->vertexBuffer = nullptr;
        return FALSE;
    }
    BYTE *out = nullptr;
    if (instance->vertexBuffer->Lock(instance->baseIndex * stride, bytes, &out, 0) < 0) {
        return FALSE;
    }
    const RwUInt32 colourOffset = (wflags & rpGEOMETRYNORMALS) ? 24 : 12;
    const RwUInt32 texOffset = colourOffset + ((wflags & rpGEOMETRYPRELIT) ? 4 : 0);
    const RwBool modulate = (wflags & rpGEOMETRYMODULATEMATERIALCOLOR) != 0;
    RwUInt32 alphaAnd = 0xFF;
    for (RwUInt32 i = 0; i < instance->numVertices; ++i) {
        const RwUInt32 source = instance->minVertexIndex + i;
        RwUInt8 *vertex = out + i * stride;
        std::memcpy(vertex, &sector->vertices[source], 12);
        if ((wflags & rpGEOMETRYNORMALS) && sector->normals != nullptr) {
            const RpVertexNormal &n = sector->normals[source];
            const RwReal normal[3] = {n.x * 0.0078125f, n.y * 0.0078125f, n.z * 0.0078125f};
            std::memcpy(vertex + 12, normal, sizeof(normal));
        }
        if (prelit) {
            alphaAnd &= sector->preLitLum[source].alpha;
            const RwUInt32 colour = rpD3D8PrelitColor(sector->preLitLum[source], instance->material, modulate);
            std::memcpy(vertex + colourOffset, &colour, 4);
        }
        for (RwInt32 k = 0; k < sets; ++k) {
            if (sector->texCoords[k] != nullptr) {
                std::memcpy(vertex + texOffset + 8 * k, &sector->texCoords[k][source], 8);
            }
        }
    }
    instance->vertexAlpha = prelit && alphaAnd != 0xFF ? 1 : 0;
    instance->vertexBuffer->Unlock();
    return TRUE;
}

RwBool RpD3D8WorldSectorAllInOneNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params)
{
    const auto *callbacks = static_cast<const RpD3D8AllInOneNodeData *>(self->privateData);
    auto *sector = static_cast<RpWorldSector *>(params->dataParam);
    const RpWorld *world = RpWorldGetCurrent();
    if (sector->numVertices == 0 || sector->mesh == nullptr || sector->mesh->numMeshes == 0) {
        return TRUE;
    }
    const RwUInt32 flags = world != nullptr ? world->flags : 0;
    RwResEntry *entry = sector->repEntry;
    if (!(flags & rpGEOMETRYNATIVE)) {
        if (entry != nullptr && RpD3D8ResEntryGetInstanceData(entry)->serialNumber == sector->mesh->serialNum) {
            RwResourcesUseEntry(entry);
        } else {
            if (entry != nullptr) {
                RwResourcesFreeEntry(entry);
            }
            entry = RpD3D8InstanceDataCreate(sector, sector, &sector->repEntry, sector->mesh,
                                             callbacks->instanceCallback, (flags & rpGEOMETRYNATIVEINSTANCE) != 0);
        }
    }
    if (entry == nullptr) {
        return FALSE;
    }
    if (flags & rpGEOMETRYNATIVEINSTANCE) {
        return TRUE;
    }
    if (callbacks->lightingCallback != nullptr) {
        callbacks->lightingCallback(sector);
    }
    RwD3D8SetWorldMatrix(nullptr);
    RwD3D8SetRenderState(D3DRS_NORMALIZENORMALS, 0);
    if (callbacks->renderCallback != nullptr) {
        callbacks->renderCallback(entry, sector, rpD3D8OBJECTWORLDSECTOR, flags);
    }
    return TRUE;
}

RwBool RpD3D8WorldSectorAllInOneNodeInit(RxPipelineNode *self)
{
    return rpD3D8AllInOneNodeInit(self, {RpD3D8WorldSectorInstanceCallback, nullptr,
                                         RpD3D8WorldSectorDefaultLightingCallback, RpD3D8DefaultRenderCallback});
}

RxNodeDefinition *RpD3D8WorldSectorAllInOneNodeDefinition(void)
{
    static RxNodeDefinition definition = {"nodeD3D8WorldSectorAllInOne.csl",
                                          RpD3D8WorldSectorAllInOneNodeBody,
                                          nullptr,
                                          nullptr,
                                          RpD3D8WorldSectorAllInOneNodeInit,
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
