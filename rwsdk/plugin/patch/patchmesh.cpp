// Patch meshes: one allocation holding the record, the control-point
// arrays and the patch records, shared by reference count between the
// geometry that carries it, the atomics that draw it and their clones.
#include <cstring>

#include "patchpriv.h"
#include "rwerror.h"
#include "rwmemory.h"

namespace {

// Counts a stream or caller may ask for; far above any real model and low
// enough that the sizes below cannot overflow.
constexpr RwUInt32 kMaxControlPoints = 1u << 20;
constexpr RwUInt32 kMaxPatches = 1u << 20;

RwUInt64 Align8(RwUInt64 v) { return (v + 7) & ~static_cast<RwUInt64>(7); }

}  // namespace

RpPatchMesh *RpPatchMeshCreate(const RpPatchMeshDefinition *definition)
{
    if (definition == nullptr || definition->numControlPoints > kMaxControlPoints ||
        definition->numTriPatches > kMaxPatches || definition->numQuadPatches > kMaxPatches ||
        definition->numTexCoordSets > static_cast<RwUInt32>(rpPATCHMAXTEXCOORDSETS)) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    const RwUInt64 n = definition->numControlPoints;
    const RwUInt32 flags = definition->flag;
    RwUInt64 size = Align8(sizeof(RpPatchMesh));
    const RwUInt64 positions = size;
    size += (flags & rpPATCHMESHPOSITIONS) ? Align8(n * sizeof(RwV3d)) : 0;
    const RwUInt64 normals = size;
    size += (flags & rpPATCHMESHNORMALS) ? Align8(n * sizeof(RwV3d)) : 0;
    const RwUInt64 colours = size;
    size += (flags & rpPATCHMESHPRELIGHTS) ? Align8(n * sizeof(RwRGBA)) : 0;
    const RwUInt64 texCoords = size;
    size += Align8(n * sizeof(RwTexCoords)) * definition->numTexCoordSets;
    const RwUInt64 quads = size;
    size += Align8(static_cast<RwUInt64>(definition->numQuadPatches) * sizeof(RpQuadPatch));
    const RwUInt64 tris = size;
    size += static_cast<RwUInt64>(definition->numTriPatches) * sizeof(RpTriPatch);
    auto *block = static_cast<RwUInt8 *>(RwMalloc(static_cast<size_t>(size)));
    if (block == nullptr) {
        RwErrorReport(rwID_PATCHPLUGIN, E_RW_NOMEM);
        return nullptr;
    }
    std::memset(block, 0, static_cast<size_t>(size));
    auto *mesh = reinterpret_cast<RpPatchMesh *>(block);
    mesh->positions = (flags & rpPATCHMESHPOSITIONS) ? reinterpret_cast<RwV3d *>(block + positions) : nullptr;
    mesh->normals = (flags & rpPATCHMESHNORMALS) ? reinterpret_cast<RwV3d *>(block + normals) : nullptr;
    mesh->preLightColors = (flags & rpPATCHMESHPRELIGHTS) ? reinterpret_cast<RwRGBA *>(block + colours) : nullptr;
    for (RwUInt32 i = 0; i < definition->numTexCoordSets; ++i) {
        mesh->texCoords[i] = reinterpret_cast<RwTexCoords *>(block + texCoords + i * Align8(n * sizeof(RwTexCoords)));
    }
    mesh->flags = flags;
    mesh->numControlPoints = definition->numControlPoints;
    mesh->numTriPatches = definition->numTriPatches;
    mesh->numQuadPatches = definition->numQuadPatches;
    mesh->numTexCoordSets = definition->numTexCoordSets;
    mesh->lastLOD = 65535;
    mesh->refCount = 1;
    RpMaterialListInitialize(&mesh->matList);
    mesh->geometry = nullptr;
    mesh->quadPatches = reinterpret_cast<RpQuadPatch *>(block + quads);
    mesh->triPatches = reinterpret_cast<RpTriPatch *>(block + tris);
    return mesh;
}

RwBool RpPatchMeshDestroy(RpPatchMesh *mesh)
{
    if (mesh == nullptr) {
        return FALSE;
    }
    // The carrying geometry holds its own reference and lets go of it in its
    // destructor, so the mesh never releases the geometry from here: an
    // atomic dropping its share must not take a geometry reference it
    // never had.
    --mesh->refCount;
    if (mesh->refCount <= 0) {
        RpMaterialListDeinitialize(&mesh->matList);
        RwFree(mesh);
    }
    return TRUE;
}

RpPatchMesh *RpPatchMeshAddRef(RpPatchMesh *mesh)
{
    ++mesh->refCount;
    return mesh;
}
