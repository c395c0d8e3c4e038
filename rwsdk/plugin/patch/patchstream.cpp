// The patch stream: a header of counts, the control-point arrays, the quad
// and triangle patch records and a material list, read field by field with
// every count, index and array size checked against the chunk.
#include "patchpriv.h"
#include "rpgeometry.h"
#include "rwerror.h"
#include "rwstream.h"

namespace {

constexpr RwUInt32 kHeaderSize = 20;

RwBool ReadWords(RwStream *stream, RwUInt32 *out, RwUInt32 count)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        if (!RwStreamReadUInt32(stream, &out[i])) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool ReadReals(RwStream *stream, RwReal *out, RwUInt64 count)
{
    for (RwUInt64 i = 0; i < count; ++i) {
        if (!RwStreamReadReal(stream, &out[i])) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool WriteReals(RwStream *stream, const RwReal *in, RwUInt64 count)
{
    for (RwUInt64 i = 0; i < count; ++i) {
        if (RwStreamWriteReal(stream, in[i]) == nullptr) {
            return FALSE;
        }
    }
    return TRUE;
}

RwUInt64 ArrayBytes(RwUInt32 flags, RwUInt64 n, RwUInt64 sets, RwUInt64 quads, RwUInt64 tris)
{
    return ((flags & rpPATCHMESHPOSITIONS) ? 12 * n : 0) + ((flags & rpPATCHMESHNORMALS) ? 12 * n : 0) +
           ((flags & rpPATCHMESHPRELIGHTS) ? 4 * n : 0) + 8 * n * sets + 68 * quads + 44 * tris;
}

RwBool IndicesValid(const RwUInt32 *indices, RwUInt32 count, RwUInt32 numControlPoints, RwUInt32 matIndex,
                    RwInt32 numMaterials)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        if (indices[i] >= numControlPoints) {
            return FALSE;
        }
    }
    return matIndex < static_cast<RwUInt32>(numMaterials);
}

RpPatchMesh *Fail(RpPatchMesh *mesh)
{
    RwErrorReportCommon(E_RW_READ);
    if (mesh != nullptr) {
        RpPatchMeshDestroy(mesh);
    }
    return nullptr;
}

}  // namespace

RpPatchMesh *RpPatchMeshStreamRead(RwStream *stream)
{
    RwUInt32 header[5];
    if (!ReadWords(stream, header, 5)) {
        return Fail(nullptr);
    }
    const RpPatchMeshDefinition definition = {header[0], header[1], header[2], header[3], header[4]};
    const RwUInt64 need = ArrayBytes(definition.flag, definition.numControlPoints, definition.numTexCoordSets,
                                     definition.numQuadPatches, definition.numTriPatches);
    if (definition.numTexCoordSets > static_cast<RwUInt32>(rpPATCHMAXTEXCOORDSETS) || !RwStreamFits(stream, need, 1)) {
        return Fail(nullptr);
    }
    RpPatchMesh *mesh = RpPatchMeshCreate(&definition);
    if (mesh == nullptr) {
        return nullptr;
    }
    const RwUInt64 n = mesh->numControlPoints;
    RwBool ok = TRUE;
    if (mesh->positions != nullptr) {
        ok = ok && ReadReals(stream, &mesh->positions[0].x, 3 * n);
    }
    if (mesh->normals != nullptr) {
        ok = ok && ReadReals(stream, &mesh->normals[0].x, 3 * n);
    }
    if (mesh->preLightColors != nullptr) {
        for (RwUInt64 i = 0; ok && i < n; ++i) {
            RwUInt8 bytes[4];
            ok = RwStreamRead(stream, bytes, 4) == 4;
            mesh->preLightColors[i] = {bytes[0], bytes[1], bytes[2], bytes[3]};
        }
    }
    for (RwUInt32 set = 0; ok && set < mesh->numTexCoordSets; ++set) {
        ok = ReadReals(stream, &mesh->texCoords[set][0].u, 2 * n);
    }
    for (RwUInt32 i = 0; ok && i < mesh->numQuadPatches; ++i) {
        ok = ReadWords(stream, mesh->quadPatches[i].cpIndices, rpQUADPATCHNUMCONTROLINDICES) &&
             RwStreamReadUInt32(stream, &mesh->quadPatches[i].matIndex);
    }
    for (RwUInt32 i = 0; ok && i < mesh->numTriPatches; ++i) {
        ok = ReadWords(stream, mesh->triPatches[i].cpIndices, rpTRIPATCHNUMCONTROLINDICES) &&
             RwStreamReadUInt32(stream, &mesh->triPatches[i].matIndex);
    }
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!ok || !RwStreamFindChunk(stream, rwID_MATLIST, &length, &version)) {
        return Fail(mesh);
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    ok = RpMaterialListStreamRead(stream, &mesh->matList) != nullptr;
    ok = ok && RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    if (!ok) {
        return Fail(mesh);
    }
    const RwInt32 materials = mesh->matList.numMaterials;
    for (RwUInt32 i = 0; i < mesh->numQuadPatches; ++i) {
        if (!IndicesValid(mesh->quadPatches[i].cpIndices, rpQUADPATCHNUMCONTROLINDICES, mesh->numControlPoints,
                          mesh->quadPatches[i].matIndex, materials)) {
            return Fail(mesh);
        }
    }
    for (RwUInt32 i = 0; i < mesh->numTriPatches; ++i) {
        if (!IndicesValid(mesh->triPatches[i].cpIndices, rpTRIPATCHNUMCONTROLINDICES, mesh->numControlPoints,
                          mesh->triPatches[i].matIndex, materials)) {
            return Fail(mesh);
        }
    }
    return mesh;
}

const RpPatchMesh *RpPatchMeshStreamWrite(const RpPatchMesh *mesh, RwStream *stream)
{
    const RwUInt32 header[5] = {mesh->flags, mesh->numControlPoints, mesh->numTriPatches, mesh->numQuadPatches,
                                mesh->numTexCoordSets};
    for (RwUInt32 word : header) {
        if (RwStreamWriteUInt32(stream, word) == nullptr) {
            return nullptr;
        }
    }
    const RwUInt64 n = mesh->numControlPoints;
    if ((mesh->positions != nullptr && !WriteReals(stream, &mesh->positions[0].x, 3 * n)) ||
        (mesh->normals != nullptr && !WriteReals(stream, &mesh->normals[0].x, 3 * n))) {
        return nullptr;
    }
    if (mesh->preLightColors != nullptr) {
        for (RwUInt64 i = 0; i < n; ++i) {
            const RwRGBA &c = mesh->preLightColors[i];
            const RwUInt8 bytes[4] = {c.red, c.green, c.blue, c.alpha};
            if (RwStreamWrite(stream, bytes, 4) == nullptr) {
                return nullptr;
            }
        }
    }
    for (RwUInt32 set = 0; set < mesh->numTexCoordSets; ++set) {
        if (!WriteReals(stream, &mesh->texCoords[set][0].u, 2 * n)) {
            return nullptr;
        }
    }
    for (RwUInt32 i = 0; i < mesh->numQuadPatches; ++i) {
        for (RwUInt32 index : mesh->quadPatches[i].cpIndices) {
            if (RwStreamWriteUInt32(stream, index) == nullptr) {
                return nullptr;
            }
        }
        if (RwStreamWriteUInt32(stream, mesh->quadPatches[i].matIndex) == nullptr) {
            return nullptr;
        }
    }
    for (RwUInt32 i = 0; i < mesh->numTriPatches; ++i) {
        for (RwUInt32 index : mesh->triPatches[i].cpIndices) {
            if (RwStreamWriteUInt32(stream, index) == nullptr) {
                return nullptr;
            }
        }
        if (RwStreamWriteUInt32(stream, mesh->triPatches[i].matIndex) == nullptr) {
            return nullptr;
        }
    }
    return RpMaterialListStreamWrite(&mesh->matList, stream) != nullptr ? mesh : nullptr;
}

RwUInt32 RpPatchMeshStreamGetSize(const RpPatchMesh *mesh)
{
    return kHeaderSize +
           static_cast<RwUInt32>(ArrayBytes(mesh->flags, mesh->numControlPoints, mesh->numTexCoordSets,
                                            mesh->numQuadPatches, mesh->numTriPatches)) +
           RpMaterialListStreamGetSize(&mesh->matList) + rwCHUNKHEADERSIZE;
}

RwStream *PatchGeometryRead(RwStream *stream, RwInt32, void *object, RwInt32, RwInt32)
{
    auto *geometry = static_cast<RpGeometry *>(object);
    RpPatchMesh *mesh = RpPatchMeshStreamRead(stream);
    if (mesh == nullptr) {
        return nullptr;
    }
    PatchGeometryData *data = PatchGeometryGetData(geometry);
    if (data->mesh != nullptr) {
        RpPatchMeshDestroy(data->mesh);
    }
    // The geometry keeps the read reference; the mesh remembers its carrier.
    data->mesh = mesh;
    data->reserved = 0;
    mesh->geometry = geometry;
    return stream;
}

RwStream *PatchGeometryWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const RpPatchMesh *mesh = RpPatchGeometryGetMesh(static_cast<const RpGeometry *>(object));
    if (mesh == nullptr) {
        return stream;
    }
    return RpPatchMeshStreamWrite(mesh, stream) != nullptr ? stream : nullptr;
}

RwInt32 PatchGeometrySize(const void *object, RwInt32, RwInt32)
{
    const RpPatchMesh *mesh = RpPatchGeometryGetMesh(static_cast<const RpGeometry *>(object));
    return mesh != nullptr ? static_cast<RwInt32>(RpPatchMeshStreamGetSize(mesh)) : 0;
}
