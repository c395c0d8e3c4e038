// Geometry: creation in two blocks (the record with its per-vertex arrays,
// and all morph targets with their positions and normals), reference
// counting, materials of triangles, lock/unlock with the mesh rebuild, the
// geometry plug-in registry with its bin-mesh data, and the module block.
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwresources.h"
#include "rwtexture.h"
#include "world/bamodules.h"

static RwPluginRegistry geometryTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RpGeometry)));
static RwInt32 geometryModuleOffset = -1;

RwPluginRegistry *RpGeometryGetPluginRegistry(void) { return &geometryTKList; }

RwInt32 RpGeometryRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                 RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&geometryTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RpGeometryRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                       RwPluginDataChunkWriteCallBack writeCB,
                                       RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&geometryTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RpGeometrySetStreamAlwaysCallBack(RwUInt32 pluginID, RwPluginDataChunkAlwaysCallBack alwaysCB)
{
    return RwPluginRegistryAddStreamAlways(&geometryTKList, pluginID, alwaysCB);
}

RwInt32 RpGeometryGetPluginOffset(RwUInt32 pluginID)
{
    return RwPluginRegistryGetPluginOffset(&geometryTKList, pluginID);
}

static RwBool IsNative(const RpGeometry *geometry) { return (geometry->flags & rpGEOMETRYNATIVE) != 0; }

static RwInt32 TexCoordSetsOf(RwUInt32 format)
{
    RwUInt32 sets = (format & rpGEOMETRYTEXCOORDSETSMASK) >> 16;
    if (sets != 0) {
        return static_cast<RwInt32>(sets);
    }
    if (format & rpGEOMETRYTEXTURED2) {
        return 2;
    }
    return (format & rpGEOMETRYTEXTURED) ? 1 : 0;
}

RpGeometry *RpGeometryCreate(RwInt32 numVerts, RwInt32 numTriangles, RwUInt32 format)
{
    if (numVerts < 0 || numTriangles < 0) {
        return nullptr;
    }
    if (numVerts > rpGEOMETRYMAXVERTICES) {
        RwErrorReport(rwID_WORLD, E_RP_WORLD_TOOMANYVERTICES);
        return nullptr;
    }
    RwInt32 sets = TexCoordSetsOf(format);
    if (sets > rwMAXTEXTURECOORDS) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    RwUInt32 flags = (format & rpGEOMETRYFLAGSMASK) | (format & rpGEOMETRYNATIVEFLAGSMASK);
    flags |= sets == 1 ? rpGEOMETRYTEXTURED : (sets >= 2 ? rpGEOMETRYTEXTURED2 : 0);
    const RwBool native = (flags & rpGEOMETRYNATIVE) != 0;
    size_t nv = static_cast<size_t>(numVerts);
    size_t bytes = static_cast<size_t>(geometryTKList.sizeOfStruct);
    if (!native) {
        bytes += ((flags & rpGEOMETRYPRELIT) ? 4 * nv : 0) + static_cast<size_t>(sets) * 8 * nv +
                 8 * static_cast<size_t>(numTriangles);
    }
    auto *block = static_cast<RwUInt8 *>(RwMalloc(bytes));
    if (block == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(block, 0, static_cast<size_t>(geometryTKList.sizeOfStruct));
    auto *geometry = reinterpret_cast<RpGeometry *>(block);
    geometry->object = {rpGEOMETRY, 0, 0, 0, nullptr};
    geometry->flags = flags;
    geometry->lockedSinceLastInst = 0;
    geometry->refCount = 1;
    geometry->numTriangles = numTriangles;
    geometry->numVertices = numVerts;
    geometry->numMorphTargets = 0;
    geometry->numTexCoordSets = sets;
    RpMaterialListInitialize(&geometry->matList);
    if (!native) {
        RwUInt8 *next = block + geometryTKList.sizeOfStruct;
        if ((flags & rpGEOMETRYPRELIT) && numVerts > 0) {
            geometry->preLitLum = reinterpret_cast<RwRGBA *>(next);
            next += 4 * nv;
        }
        for (RwInt32 s = 0; s < sets && numVerts > 0; ++s) {
            geometry->texCoords[s] = reinterpret_cast<RwTexCoords *>(next);
            next += 8 * nv;
        }
        if (numTriangles > 0) {
            geometry->triangles = reinterpret_cast<RpTriangle *>(next);
            for (RwInt32 t = 0; t < numTriangles; ++t) {
                geometry->triangles[t].matIndex = -1;
            }
        }
    }
    if (RpGeometryAddMorphTargets(geometry, 1) < 0) {
        RpMaterialListDeinitialize(&geometry->matList);
        RwFree(block);
        return nullptr;
    }
    if (RwPluginRegistryInitObject(&geometryTKList, geometry) == nullptr) {
        RwFree(geometry->morphTarget);
        RpMaterialListDeinitialize(&geometry->matList);
        RwFree(block);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return geometry;
}

RpGeometry *RpGeometryCreateSpace(RwReal radius)
{
    RpGeometry *geometry = RpGeometryCreate(0, 0, 0);
    if (geometry == nullptr) {
        return nullptr;
    }
    geometry->morphTarget[0].boundingSphere = {{0.0f, 0.0f, 0.0f}, radius};
    if (RpGeometryUnlock(geometry) == nullptr) {
        RpGeometryDestroy(geometry);
        return nullptr;
    }
    return geometry;
}

RpGeometry *RpGeometryAddRef(RpGeometry *geometry)
{
    ++geometry->refCount;
    return geometry;
}

RwBool RpGeometryDestroy(RpGeometry *geometry)
{
    if (geometry->refCount > 1) {
        --geometry->refCount;
        return TRUE;
    }
    if (geometry->repEntry != nullptr) {
        RwResourcesFreeEntry(geometry->repEntry);
    }
    geometry->lockedSinceLastInst = rpGEOMETRYLOCKALL;
    if (geometry->mesh != nullptr) {
        RpMeshHeaderDestroy(geometry->mesh);
        geometry->mesh = nullptr;
    }
    RwPluginRegistryDeInitObject(&geometryTKList, geometry);
    if (geometry->morphTarget != nullptr) {
        RwFree(geometry->morphTarget);
    }
    RpMaterialListDeinitialize(&geometry->matList);
    RwFree(geometry);
    return TRUE;
}

RwInt32 RpGeometryAddMorphTargets(RpGeometry *geometry, RwInt32 mtcount)
{
    if (mtcount <= 0) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return -1;
    }
    const RwBool hasVerts = !IsNative(geometry) && geometry->numVertices > 0;
    const RwBool hasNormals = hasVerts && (geometry->flags & rpGEOMETRYNORMALS) != 0;
    size_t vertexBytes = hasVerts ? 12 * static_cast<size_t>(geometry->numVertices) : 0;
    size_t perTarget = vertexBytes * (hasNormals ? 2 : 1);
    size_t oldCount = static_cast<size_t>(geometry->numMorphTargets);
    size_t newCount = oldCount + static_cast<size_t>(mtcount);
    size_t bytes = (sizeof(RpMorphTarget) + perTarget) * newCount;
    auto *block = static_cast<RwUInt8 *>(geometry->morphTarget == nullptr ? RwMalloc(bytes)
                                                                          : RwRealloc(geometry->morphTarget, bytes));
    if (block == nullptr) {
        RwErrorReport(rwID_COMMON, E_RW_NOMEM);
        return -1;
    }
    // The old targets' vertex data followed the old records; it moves up
    // past the new ones.
    if (oldCount > 0 && perTarget > 0) {
        std::memmove(block + sizeof(RpMorphTarget) * newCount, block + sizeof(RpMorphTarget) * oldCount,
                     perTarget * oldCount);
    }
    auto *targets = reinterpret_cast<RpMorphTarget *>(block);
    RwUInt8 *data = block + sizeof(RpMorphTarget) * newCount;
    for (size_t i = 0; i < newCount; ++i) {
        targets[i].verts = hasVerts ? reinterpret_cast<RwV3d *>(data + perTarget * i) : nullptr;
        targets[i].normals = hasNormals ? reinterpret_cast<RwV3d *>(data + perTarget * i + vertexBytes) : nullptr;
    }
    for (size_t i = oldCount; i < newCount; ++i) {
        targets[i].parentGeom = geometry;
        targets[i].boundingSphere = {{0.0f, 0.0f, 0.0f}, 0.0f};
        // Fresh vertex data is zeroed so that nothing reads what an earlier
        // owner of the memory left.
        std::memset(data + perTarget * i, 0, perTarget);
    }
    geometry->morphTarget = targets;
    geometry->numMorphTargets = static_cast<RwInt32>(newCount);
    return static_cast<RwInt32>(oldCount);
}

RpGeometry *RpGeometryTriangleSetMaterial(RpGeometry *geometry, RpTriangle *triangle, RpMaterial *material)
{
    if (material == nullptr) {
        triangle->matIndex = -1;
        return geometry;
    }
    RwInt32 index = RpMaterialListFindMaterialIndex(&geometry->matList, material);
    if (index < 0) {
        index = RpMaterialListAppendMaterial(&geometry->matList, material);
        if (index < 0) {
            return nullptr;
        }
    }
    triangle->matIndex = static_cast<RwInt16>(index);
    return geometry;
}

RpGeometry *RpGeometryForAllMaterials(RpGeometry *geometry, RpMaterialCallBack callback, void *data)
{
    for (RwInt32 i = 0; i < geometry->matList.numMaterials; ++i) {
        if (callback(geometry->matList.materials[i], data) == nullptr) {
            break;
        }
    }
    return geometry;
}

RpGeometry *RpGeometryLock(RpGeometry *geometry, RwUInt16 lockMode)
{
    geometry->lockedSinceLastInst |= lockMode;
    if ((lockMode & rpGEOMETRYLOCKPOLYGONS) && geometry->mesh != nullptr) {
        RpMeshHeaderDestroy(geometry->mesh);
        geometry->mesh = nullptr;
    }
    return geometry;
}

// Position of `value` among the first *count entries, appended when new.
static RwUInt16 RankOf(const void **seen, RwInt32 *count, const void *value)
{
    for (RwInt32 i = 0; i < *count; ++i) {
        if (seen[i] == value) {
            return static_cast<RwUInt16>(i);
        }
    }
    seen[*count] = value;
    return static_cast<RwUInt16>((*count)++);
}

static RpBuildMesh *CollectTriangles(RpGeometry *geometry)
{
    const RwInt32 numMaterials = geometry->matList.numMaterials;
    const RwBool native = IsNative(geometry);
    const RwInt32 numTriangles = native ? 0 : geometry->numTriangles;
    // Every triangle must name a material of the list and vertices of the
    // geometry before it can join a mesh.
    for (RwInt32 t = 0; t < numTriangles; ++t) {
        const RpTriangle &tri = geometry->triangles[t];
        if (tri.matIndex < 0 || tri.matIndex >= numMaterials || tri.vertIndex[0] >= geometry->numVertices ||
            tri.vertIndex[1] >= geometry->numVertices || tri.vertIndex[2] >= geometry->numVertices) {
            RwErrorReportCommon(E_RW_BADPARAM);
            return nullptr;
        }
    }
    RpBuildMesh *build = RpBuildMeshCreate(static_cast<RwUInt32>(numTriangles));
    if (build == nullptr || numTriangles == 0 || numMaterials == 0) {
        return build;
    }
    auto **seen = static_cast<const void **>(RwMalloc(sizeof(void *) * 3 * static_cast<size_t>(numMaterials)));
    if (seen == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        RpBuildMeshDestroy(build);
        return nullptr;
    }
    const void **textures = seen;
    const void **rasters = seen + numMaterials;
    const void **pipelines = seen + 2 * numMaterials;
    RwInt32 numTextures = 0;
    RwInt32 numRasters = 0;
    RwInt32 numPipelines = 0;
    for (RwInt32 t = 0; t < numTriangles; ++t) {
        const RpTriangle &tri = geometry->triangles[t];
        RpMaterial *material = geometry->matList.materials[tri.matIndex];
        const RwTexture *texture = material->texture;
        RwUInt16 textureRank = RankOf(textures, &numTextures, texture);
        RwUInt16 rasterRank = RankOf(rasters, &numRasters, texture != nullptr ? texture->raster : nullptr);
        RwUInt16 pipelineRank = RankOf(pipelines, &numPipelines, material->pipeline);
        RpBuildMeshAddTriangle(build, material, tri.vertIndex[0], tri.vertIndex[1], tri.vertIndex[2],
                               static_cast<RwUInt16>(tri.matIndex), textureRank, rasterRank, pipelineRank);
    }
    RwFree(seen);
    return build;
}

RpGeometry *RpGeometryUnlock(RpGeometry *geometry)
{
    if (geometry->mesh != nullptr) {
        return geometry;
    }
    RpBuildMesh *build = CollectTriangles(geometry);
    if (build == nullptr) {
        return nullptr;
    }
    RpMeshHeader *header = RpBuildMeshGenerate(build, (geometry->flags & rpGEOMETRYTRISTRIP) != 0);
    if (header == nullptr) {
        RpBuildMeshDestroy(build);
        return nullptr;
    }
    geometry->mesh = header;
    return geometry;
}

RwStream *RpGeometryBinMeshStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32, RwInt32)
{
    auto *geometry = static_cast<RpGeometry *>(object);
    const RwBool native = IsNative(geometry);
    RpMeshHeader *header = RpMeshStreamRead(stream, length, native, &geometry->matList, geometry->numVertices);
    if (header == nullptr) {
        return nullptr;
    }
    if (geometry->mesh != nullptr) {
        RpMeshHeaderDestroy(geometry->mesh);
    }
    geometry->mesh = header;
    return stream;
}

RwStream *RpGeometryBinMeshStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const auto *geometry = static_cast<const RpGeometry *>(object);
    if (RpMeshStreamWrite(geometry->mesh, stream, IsNative(geometry), &geometry->matList) == nullptr) {
        return nullptr;
    }
    return stream;
}

RwInt32 RpGeometryBinMeshStreamGetSize(const void *object, RwInt32, RwInt32)
{
    const auto *geometry = static_cast<const RpGeometry *>(object);
    if (geometry->mesh == nullptr) {
        return 0;
    }
    return RpMeshStreamGetSize(geometry->mesh, IsNative(geometry));
}

void *RpGeometryModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    geometryModuleOffset = offset;
    auto *globals = reinterpret_cast<rpGeometryGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    ++globals->openCount;
    return instance;
}

void *RpGeometryModuleClose(void *instance, RwInt32 offset, RwInt32)
{
    auto *globals = reinterpret_cast<rpGeometryGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    --globals->openCount;
    return instance;
}
