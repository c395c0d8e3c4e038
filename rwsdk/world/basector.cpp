// World leaves: building a leaf's mesh header from its triangles (whose
// materials live in the world's list, offset by the leaf's window base)
// and the leaf's bin-mesh extension data.
#include "rpd3d8pipe.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwtexture.h"
#include "world/baworld.h"

// Position of `value` among the first *count entries, appended when new.
static RwUInt16 SectorRank(const void **seen, RwInt32 *count, const void *value)
{
    for (RwInt32 i = 0; i < *count; ++i) {
        if (seen[i] == value) {
            return static_cast<RwUInt16>(i);
        }
    }
    seen[*count] = value;
    return static_cast<RwUInt16>((*count)++);
}

// The leaf's triangles as a build mesh; null when a triangle names a
// material or vertex the world or leaf does not have.
static RpBuildMesh *CollectSectorTriangles(const RpWorld *world, const RpWorldSector *sector)
{
    const RwInt32 numMaterials = world->matList.numMaterials;
    if (sector->numPolygons > 0 && sector->polygons == nullptr) {
        // A native leaf's triangles are only in its instanced form.
        RwErrorReport(rwID_WORLD, E_RW_READ);
        return nullptr;
    }
    for (RwUInt32 t = 0; t < sector->numPolygons; ++t) {
        const RpPolygon &poly = sector->polygons[t];
        if (static_cast<RwInt32>(sector->matListWindowBase) + poly.matIndex >= numMaterials ||
            poly.vertIndex[0] >= sector->numVertices || poly.vertIndex[1] >= sector->numVertices ||
            poly.vertIndex[2] >= sector->numVertices) {
            RwErrorReportCommon(E_RW_BADPARAM);
            return nullptr;
        }
    }
    RpBuildMesh *build = RpBuildMeshCreate(sector->numPolygons);
    if (build == nullptr || sector->numPolygons == 0 || numMaterials == 0) {
        return build;
    }
    auto **seen = static_cast<const void **>(RwMalloc(sizeof(void *) * 3 * static_cast<size_t>(numMaterials)));
    if (seen == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        RpBuildMeshDestroy(build);
        return nullptr;
    }
    RwInt32 counts[3] = {0, 0, 0};
    for (RwUInt32 t = 0; t < sector->numPolygons; ++t) {
        const RpPolygon &poly = sector->polygons[t];
        const RwInt32 index = sector->matListWindowBase + poly.matIndex;
        RpMaterial *material = world->matList.materials[index];
        const RwTexture *texture = material->texture;
        RwUInt16 textureRank = SectorRank(seen, &counts[0], texture);
        RwUInt16 rasterRank =
            SectorRank(seen + numMaterials, &counts[1], texture != nullptr ? texture->raster : nullptr);
        RwUInt16 pipelineRank = SectorRank(seen + 2 * numMaterials, &counts[2], material->pipeline);
        RpBuildMeshAddTriangle(build, material, poly.vertIndex[0], poly.vertIndex[1], poly.vertIndex[2],
                               static_cast<RwUInt16>(index), textureRank, rasterRank, pipelineRank);
    }
    RwFree(seen);
    return build;
}

RpWorld *RpWorldBuildSectorMeshes(RpWorld *world)
{
    RwBool ok = TRUE;
    struct Context {
        RpWorld *world;
        RwBool *ok;
    } context{world, &ok};
    RpWorldForAllWorldSectors(
        world,
        [](RpWorldSector *sector, void *data) -> RpWorldSector * {
            auto *c = static_cast<Context *>(data);
            if (sector->mesh != nullptr) {
                return sector;
            }
            RpBuildMesh *build = CollectSectorTriangles(c->world, sector);
            RpMeshHeader *header = RpMeshHeaderCreateFromBuildMesh(build, c->world->flags);
            if (header == nullptr) {
                if (build != nullptr) {
                    RpBuildMeshDestroy(build);
                }
                *c->ok = FALSE;
                return nullptr;
            }
            sector->mesh = header;
            return sector;
        },
        &context);
    if (!ok) {
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        return nullptr;
    }
    return world;
}

RpMeshHeader *RpMeshDefaultTriStripCallback(RpBuildMesh *buildMesh, void *data)
{
    return RpBuildMeshGenerateTriStrip(buildMesh, data);
}

RpMeshHeader *RpMeshHeaderCreateFromBuildMesh(RpBuildMesh *buildMesh, RwUInt32 flags)
{
    return RpBuildMeshGenerate(buildMesh, (flags & rpGEOMETRYTRISTRIP) != 0);
}

// ---- Bin-mesh extension of leaves: indices into the world's whole list.

static RwBool NativeWorld(const RpWorld *world) { return (world->flags & rpGEOMETRYNATIVE) != 0; }

static RwStream *SectorBinMeshRead(RwStream *stream, RwInt32 length, void *object, RwInt32, RwInt32)
{
    auto *sector = static_cast<RpWorldSector *>(object);
    RpWorld *world = RpWorldSectorGetWorld(sector);
    if (world == nullptr) {
        return nullptr;
    }
    const RwBool native = NativeWorld(world);
    RpMeshHeader *header = RpMeshStreamRead(stream, length, native, &world->matList, sector->numVertices);
    if (header == nullptr) {
        return nullptr;
    }
    if (sector->mesh != nullptr) {
        RpMeshHeaderDestroy(sector->mesh);
    }
    sector->mesh = header;
    return stream;
}

static RwStream *SectorBinMeshWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const auto *sector = static_cast<const RpWorldSector *>(object);
    const RpWorld *world = RpWorldSectorGetWorld(sector);
    if (world == nullptr ||
        RpMeshStreamWrite(sector->mesh, stream, NativeWorld(world), &world->matList) == nullptr) {
        return nullptr;
    }
    return stream;
}

static RwInt32 SectorBinMeshSize(const void *object, RwInt32, RwInt32)
{
    const auto *sector = static_cast<const RpWorldSector *>(object);
    const RpWorld *world = RpWorldSectorGetWorld(sector);
    if (sector->mesh == nullptr || world == nullptr) {
        return 0;
    }
    return RpMeshStreamGetSize(sector->mesh, NativeWorld(world));
}

RwBool rpWorldSectorAttachStreams(void)
{
    return RpWorldSectorRegisterPlugin(0, rwID_BINMESHPLUGIN, nullptr, nullptr, nullptr) >= 0 &&
           RpWorldSectorRegisterPluginStream(rwID_BINMESHPLUGIN, SectorBinMeshRead, SectorBinMeshWrite,
                                             SectorBinMeshSize) >= 0 &&
           RpWorldSectorRegisterPlugin(0, rwID_NATIVEDATAPLUGIN, nullptr, nullptr, nullptr) >= 0 &&
           RpWorldSectorRegisterPluginStream(rwID_NATIVEDATAPLUGIN, RpWorldSectorNativeRead,
                                             RpWorldSectorNativeWrite, RpWorldSectorNativeSize) >= 0 &&
           RpGeometryRegisterPlugin(0, rwID_NATIVEDATAPLUGIN, nullptr, nullptr, nullptr) >= 0 &&
           RpGeometryRegisterPluginStream(rwID_NATIVEDATAPLUGIN, RpGeometryNativeRead, RpGeometryNativeWrite,
                                          RpGeometryNativeSize) >= 0;
}
