// The geometry chunk reader. Every count in the struct is checked against
// the bytes the struct holds before the geometry is made, every vertex and
// material index against the geometry's own counts, and each sub-chunk is
// read inside its own bounds.
#include "rwerror.h"
#include "rwstream.h"
#include "world/bamodules.h"

static constexpr RwUInt32 rpGEOMETRYHEADERSIZE = 16;
static constexpr RwUInt32 rpSURFACEPROPSSIZE = 12;
static constexpr RwUInt32 rpMORPHTARGETHEADERSIZE = 24;
static constexpr RwUInt32 rpSURFACEPROPSLASTVERSION = 0x34000;

static RwBool ReadReals(RwStream *stream, RwReal *out, RwUInt32 count)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        if (!RwStreamReadReal(stream, &out[i])) {
            return FALSE;
        }
    }
    return TRUE;
}

static RwBool ReadVertexArrays(RwStream *stream, RpGeometry *geometry)
{
    const RwInt32 nv = geometry->numVertices;
    if (geometry->preLitLum != nullptr &&
        RwStreamRead(stream, geometry->preLitLum, 4 * static_cast<RwUInt32>(nv)) != 4 * static_cast<RwUInt32>(nv)) {
        return FALSE;
    }
    for (RwInt32 s = 0; s < geometry->numTexCoordSets; ++s) {
        if (!ReadReals(stream, &geometry->texCoords[s][0].u, 2 * static_cast<RwUInt32>(nv))) {
            return FALSE;
        }
    }
    for (RwInt32 t = 0; t < geometry->numTriangles; ++t) {
        RwUInt32 w0 = 0;
        RwUInt32 w1 = 0;
        if (!RwStreamReadUInt32(stream, &w0) || !RwStreamReadUInt32(stream, &w1)) {
            return FALSE;
        }
        RpTriangle &tri = geometry->triangles[t];
        tri.vertIndex[0] = static_cast<RwUInt16>(w0 >> 16);
        tri.vertIndex[1] = static_cast<RwUInt16>(w0 & 0xFFFF);
        tri.vertIndex[2] = static_cast<RwUInt16>(w1 >> 16);
        tri.matIndex = static_cast<RwInt16>(w1 & 0xFFFF);
        if (tri.vertIndex[0] >= nv || tri.vertIndex[1] >= nv || tri.vertIndex[2] >= nv) {
            return FALSE;
        }
    }
    return TRUE;
}

static RwBool ReadMorphTargets(RwStream *stream, RpGeometry *geometry)
{
    const RwUInt32 nv = static_cast<RwUInt32>(geometry->numVertices);
    for (RwInt32 m = 0; m < geometry->numMorphTargets; ++m) {
        RpMorphTarget &target = geometry->morphTarget[m];
        RwUInt32 hasPositions = 0;
        RwUInt32 hasNormals = 0;
        if (!ReadReals(stream, &target.boundingSphere.center.x, 4) || !RwStreamReadUInt32(stream, &hasPositions) ||
            !RwStreamReadUInt32(stream, &hasNormals)) {
            return FALSE;
        }
        // Data the geometry has no room for is refused, not skipped.
        if ((hasPositions && nv > 0 && target.verts == nullptr) ||
            (hasNormals && nv > 0 && target.normals == nullptr)) {
            return FALSE;
        }
        // No vertices: nothing to read, and no array to point into.
        if (nv == 0) {
            continue;
        }
        if (hasPositions && !ReadReals(stream, &target.verts[0].x, 3 * nv)) {
            return FALSE;
        }
        if (hasNormals && !ReadReals(stream, &target.normals[0].x, 3 * nv)) {
            return FALSE;
        }
    }
    return TRUE;
}

// The struct: header, then per-vertex arrays and morph targets. Counts are
// weighed against the struct's length before anything is allocated.
static RpGeometry *ReadStruct(RwStream *stream, RwUInt32 length, RwUInt32 version, RwSurfaceProperties *surface,
                              RwBool *hasSurface)
{
    RwUInt32 format = 0;
    RwInt32 numTriangles = 0;
    RwInt32 numVertices = 0;
    RwInt32 numMorphTargets = 0;
    const RwBool old = version <= rpSURFACEPROPSLASTVERSION;
    RwUInt32 fixed = rpGEOMETRYHEADERSIZE + (old ? rpSURFACEPROPSSIZE : 0);
    if (length < fixed || !RwStreamReadUInt32(stream, &format) || !RwStreamReadInt32(stream, &numTriangles) ||
        !RwStreamReadInt32(stream, &numVertices) || !RwStreamReadInt32(stream, &numMorphTargets)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    *hasSurface = old;
    if (old && !ReadReals(stream, &surface->ambient, 3)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    if (numTriangles < 0 || numVertices < 0 || numMorphTargets < 1) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RwUInt32 sets = (format & rpGEOMETRYTEXCOORDSETSMASK) >> 16;
    if (sets == 0) {
        sets = (format & rpGEOMETRYTEXTURED2) ? 2 : ((format & rpGEOMETRYTEXTURED) ? 1 : 0);
    }
    const RwBool native = (format & rpGEOMETRYNATIVE) != 0;
    RwUInt64 need = fixed + static_cast<RwUInt64>(numMorphTargets) * rpMORPHTARGETHEADERSIZE;
    if (!native && numVertices > 0) {
        RwUInt64 nv = static_cast<RwUInt64>(numVertices);
        need += ((format & rpGEOMETRYPRELIT) ? 4 * nv : 0) + 8 * nv * sets + 8 * static_cast<RwUInt64>(numTriangles);
        // Every target gets room for its positions, so a target count is
        // only believed when the struct could carry that many positions.
        need += static_cast<RwUInt64>(numMorphTargets) * 12 * nv;
    }
    if (sets > static_cast<RwUInt32>(rwMAXTEXTURECOORDS) || need > length) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    // Without vertices there is nothing for triangles to index.
    if (!native && numVertices == 0 && numTriangles > 0) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpGeometry *geometry = RpGeometryCreate(numVertices, native ? 0 : numTriangles, format);
    if (geometry == nullptr) {
        return nullptr;
    }
    geometry->numTriangles = numTriangles;
    if (numMorphTargets > 1 && RpGeometryAddMorphTargets(geometry, numMorphTargets - 1) < 0) {
        RpGeometryDestroy(geometry);
        return nullptr;
    }
    RwBool ok = (native || numVertices == 0 || ReadVertexArrays(stream, geometry)) &&
                ReadMorphTargets(stream, geometry);
    if (!ok) {
        RwErrorReportCommon(E_RW_READ);
        RpGeometryDestroy(geometry);
        return nullptr;
    }
    return geometry;
}

static RwBool ReadMaterials(RwStream *stream, RpGeometry *geometry, const RwSurfaceProperties *surface)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, rwID_MATLIST, &length, nullptr)) {
        return FALSE;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RpMaterialSetDefaultSurfaceProperties(surface);
    RwBool ok = RpMaterialListStreamRead(stream, &geometry->matList) != nullptr && RwStreamSkipRest(stream);
    RpMaterialSetDefaultSurfaceProperties(nullptr);
    RwStreamLeaveChunk(stream, saved);
    if (!ok) {
        return FALSE;
    }
    if (geometry->flags & rpGEOMETRYNATIVE) {
        return TRUE;
    }
    for (RwInt32 t = 0; t < geometry->numTriangles; ++t) {
        RwInt16 index = geometry->triangles[t].matIndex;
        if (index < 0 || index >= geometry->matList.numMaterials) {
            RwErrorReportCommon(E_RW_READ);
            return FALSE;
        }
    }
    return TRUE;
}

RpGeometry *RpGeometryStreamRead(RwStream *stream)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return nullptr;
    }
    RwSurfaceProperties surface = {1.0f, 1.0f, 1.0f};
    RwBool hasSurface = FALSE;
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RpGeometry *geometry = ReadStruct(stream, length, version, &surface, &hasSurface);
    if (geometry != nullptr && !RwStreamSkipRest(stream)) {
        RpGeometryDestroy(geometry);
        geometry = nullptr;
    }
    RwStreamLeaveChunk(stream, saved);
    if (geometry == nullptr) {
        return nullptr;
    }
    if (!ReadMaterials(stream, geometry, hasSurface ? &surface : nullptr) ||
        RwPluginRegistryReadData(RpGeometryGetPluginRegistry(), stream, geometry) == nullptr ||
        RpGeometryUnlock(geometry) == nullptr) {
        RpGeometryDestroy(geometry);
        return nullptr;
    }
    return geometry;
}
