// Native (pre-instanced) data of geometries and world sectors: the
// instanced records and the raw index and vertex bytes of every mesh, so
// that a native object needs no instancing when it is first drawn. Records
// are written and read field by field in their 44-byte stream form.
#include <initializer_list>
#include <cstring>

#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwresources.h"
#include "rwstream.h"
#include "world/bamodules.h"

namespace {

struct Owner {
    RwResEntry **slot;
    const RpMaterialList *materials;
    RwBool dynamic;  // several morph targets: pooled dynamic vertex space
};

RwUInt32 DataSize(const RpD3D8InstanceData *data)
{
    return rpD3D8INSTANCEHEADERSTREAMSIZE + rpD3D8MESHINSTANCESTREAMSIZE * data->numMeshes;
}

RwInt32 PayloadSize(const RwResEntry *entry)
{
    auto *data = RpD3D8ResEntryGetInstanceData(const_cast<RwResEntry *>(entry));
    const RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    RwUInt32 size = 8 + DataSize(data);
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        size += meshes[i].numVertices * meshes[i].stride + 2 * meshes[i].numIndices;
    }
    // The struct header is part of what the extension declares.
    return static_cast<RwInt32>(rwCHUNKHEADERSIZE + size);
}

bool WriteWord(RwStream *stream, RwUInt32 value) { return RwStreamWriteUInt32(stream, value) != nullptr; }

RwStream *Write(RwStream *stream, const RwResEntry *entry, const RpMaterialList *materials)
{
    auto *data = RpD3D8ResEntryGetInstanceData(const_cast<RwResEntry *>(entry));
    RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
    if (RwStreamWriteChunkHeader(stream, rwID_STRUCT, static_cast<RwUInt32>(PayloadSize(entry)) - rwCHUNKHEADERSIZE,
                                 rwLIBRARYVERSION, rwLIBRARYBUILD) == nullptr ||
        !WriteWord(stream, rpD3D8NATIVEPLATFORM) || !WriteWord(stream, DataSize(data)) ||
        !WriteWord(stream, data->serialNumber | (static_cast<RwUInt32>(data->numMeshes) << 16))) {
        return nullptr;
    }
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        const RpD3D8MeshInstance &m = meshes[i];
        const RwUInt32 material = static_cast<RwUInt32>(RpMaterialListFindMaterialIndex(materials, m.material));
        const RwUInt32 flags = m.vertexAlpha | (m.managed << 8) | (m.remapped << 16);
        for (RwUInt32 word : {m.minVertexIndex, m.stride, m.numVertices, m.numIndices, material, m.vertexShader,
                              m.primitiveType, 0u, 0u, m.baseIndex, flags}) {
            if (!WriteWord(stream, word)) {
                return nullptr;
            }
        }
    }
    for (RwUInt32 i = 0; i < data->numMeshes; ++i) {
        const RpD3D8MeshInstance &m = meshes[i];
        BYTE *bytes = nullptr;
        if (m.indexBuffer == nullptr || m.indexBuffer->Lock(0, 2 * m.numIndices, &bytes, 0) < 0) {
            return nullptr;
        }
        RwStream *ok = RwStreamWrite(stream, bytes, 2 * m.numIndices);
        m.indexBuffer->Unlock();
        if (ok == nullptr || m.vertexBuffer->Lock(m.baseIndex * m.stride, m.numVertices * m.stride, &bytes,
                                                  D3DLOCK_NOSYSLOCK) < 0) {
            return nullptr;
        }
        ok = RwStreamWrite(stream, bytes, m.numVertices * m.stride);
        m.vertexBuffer->Unlock();
        if (ok == nullptr) {
            return nullptr;
        }
    }
    return stream;
}

RwBool ReadBuffers(RwStream *stream, RpD3D8MeshInstance *m, RwBool dynamic)
{
    BYTE *bytes = nullptr;
    if (!RwD3D8CreateIndexBuffer(m->numIndices, &m->indexBuffer) ||
        m->indexBuffer->Lock(0, 2 * m->numIndices, &bytes, 0) < 0) {
        return FALSE;
    }
    RwBool ok = RwStreamRead(stream, bytes, 2 * m->numIndices) == 2 * m->numIndices;
    m->indexBuffer->Unlock();
    const RwUInt32 size = m->numVertices * m->stride;
    if (!ok) {
        return FALSE;
    }
    m->managed = dynamic ? 0 : 1;
    if (dynamic) {
        m->baseIndex = 0;
        ok = RwD3D8CreateDynamicVertexBuffer(m->vertexShader, size, &m->vertexBuffer);
    } else {
        ok = RwD3D8VertexBufferCreate(m->vertexShader, size, &m->vertexBuffer, &m->baseIndex);
    }
    if (!ok) {
        m->vertexBuffer = nullptr;
        return FALSE;
    }
    if (m->vertexBuffer->Lock(m->baseIndex * m->stride, size, &bytes,
                              dynamic ? (D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK) : D3DLOCK_NOSYSLOCK) < 0) {
        return FALSE;
    }
    ok = RwStreamRead(stream, bytes, size) == size;
    m->vertexBuffer->Unlock();
    return ok;
}

RwStream *Read(RwStream *stream, void *object, const Owner &owner)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return nullptr;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwUInt32 platform = 0;
    RwUInt32 size = 0;
    RwUInt32 head = 0;
    RwResEntry *entry = nullptr;
    RwBool ok = RwStreamReadUInt32(stream, &platform) && platform == rpD3D8NATIVEPLATFORM &&
                RwStreamReadUInt32(stream, &size) && size >= rpD3D8INSTANCEHEADERSTREAMSIZE &&
                RwStreamFits(stream, size, 1) && RwStreamReadUInt32(stream, &head) &&
                size == rpD3D8INSTANCEHEADERSTREAMSIZE + rpD3D8MESHINSTANCESTREAMSIZE * (head >> 16);
    const RwUInt32 numMeshes = head >> 16;
    if (ok) {
        const size_t bytes = sizeof(RpD3D8InstanceData) + numMeshes * sizeof(RpD3D8MeshInstance);
        entry = static_cast<RwResEntry *>(RwMalloc(sizeof(RwResEntry) + bytes));
        ok = entry != nullptr;
        if (ok) {
            *entry = {{nullptr, nullptr}, static_cast<RwInt32>(bytes), object, owner.slot, RpD3D8InstanceDataDestroy};
            std::memset(RwResEntryGetData(entry), 0, bytes);
            *owner.slot = entry;
        }
    }
    if (ok) {
        RpD3D8InstanceData *data = RpD3D8ResEntryGetInstanceData(entry);
        data->serialNumber = static_cast<RwUInt16>(head & 0xFFFF);
        data->numMeshes = static_cast<RwUInt16>(numMeshes);
        RpD3D8MeshInstance *meshes = RpD3D8InstanceDataGetMeshes(data);
        for (RwUInt32 i = 0; ok && i < numMeshes; ++i) {
            RwUInt32 w[11];
            for (RwUInt32 &word : w) {
                ok = ok && RwStreamReadUInt32(stream, &word);
            }
            RpD3D8MeshInstance &m = meshes[i];
            ok = ok && w[4] < static_cast<RwUInt32>(owner.materials->numMaterials) && w[1] != 0 && w[1] <= 256 &&
                 (w[5] & 1) == 0 && w[2] <= 0xFFFF && RwStreamFits(stream, w[3], 2);
            if (ok) {
                m = {w[0], w[1], w[2], w[3], owner.materials->materials[w[4]], w[5], w[6], nullptr, nullptr, w[9],
                     static_cast<RwUInt8>(w[10] & 1), 0, static_cast<RwUInt8>((w[10] >> 16) & 1), 0, nullptr};
            }
        }
        for (RwUInt32 i = 0; ok && i < numMeshes; ++i) {
            ok = RwStreamFits(stream, static_cast<RwUInt64>(meshes[i].numVertices) * meshes[i].stride, 1) &&
                 ReadBuffers(stream, &meshes[i], owner.dynamic);
        }
    }
    ok = ok && RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    if (!ok) {
        if (entry != nullptr) {
            RwResourcesFreeEntry(entry);
        }
        RwErrorReport(rwID_WORLD, E_RW_READ);
        return nullptr;
    }
    return stream;
}

const RpWorld *WorldOf(const RpWorldSector *sector) { return RpWorldSectorGetWorld(sector); }

}  // namespace

RwStream *RpGeometryNativeRead(RwStream *stream, RwInt32, void *object, RwInt32, RwInt32)
{
    auto *geometry = static_cast<RpGeometry *>(object);
    return Read(stream, geometry, {&geometry->repEntry, &geometry->matList, geometry->numMorphTargets >= 2});
}

RwStream *RpGeometryNativeWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const auto *geometry = static_cast<const RpGeometry *>(object);
    if (!(geometry->flags & rpGEOMETRYNATIVE) || geometry->repEntry == nullptr) {
        return stream;
    }
    return Write(stream, geometry->repEntry, &geometry->matList);
}

RwInt32 RpGeometryNativeSize(const void *object, RwInt32, RwInt32)
{
    const auto *geometry = static_cast<const RpGeometry *>(object);
    if (!(geometry->flags & rpGEOMETRYNATIVE) || geometry->repEntry == nullptr) {
        return 0;
    }
    return PayloadSize(geometry->repEntry);
}

RwStream *RpWorldSectorNativeRead(RwStream *stream, RwInt32, void *object, RwInt32, RwInt32)
{
    auto *sector = static_cast<RpWorldSector *>(object);
    const RpWorld *world = WorldOf(sector);
    if (world == nullptr) {
        return nullptr;
    }
    return Read(stream, sector, {&sector->repEntry, &world->matList, FALSE});
}

RwStream *RpWorldSectorNativeWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const auto *sector = static_cast<const RpWorldSector *>(object);
    const RpWorld *world = WorldOf(sector);
    if (world == nullptr || !(world->flags & rpGEOMETRYNATIVE) || sector->repEntry == nullptr) {
        return stream;
    }
    return Write(stream, sector->repEntry, &world->matList);
}

RwInt32 RpWorldSectorNativeSize(const void *object, RwInt32, RwInt32)
{
    const auto *sector = static_cast<const RpWorldSector *>(object);
    const RpWorld *world = WorldOf(sector);
    if (world == nullptr || !(world->flags & rpGEOMETRYNATIVE) || sector->repEntry == nullptr) {
        return 0;
    }
    return PayloadSize(sector->repEntry);
}
