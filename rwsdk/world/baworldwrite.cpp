// The world chunk writer, the exact inverse of the reader: the world
// struct (with its box), the material list, the plane and atomic sections
// depth first, and every object's extension chunk. Also the
// pipeline-owner data of worlds and leaves.
#include "rwerror.h"
#include "rwpipeline.h"
#include "rwstream.h"
#include "world/bamodules.h"
#include "world/baworld.h"

namespace {

constexpr RwUInt32 kHeader = rwCHUNKHEADERSIZE;

bool Header(RwStream *stream, RwUInt32 type, RwUInt32 length)
{
    return RwStreamWriteChunkHeader(stream, type, length, rwLIBRARYVERSION, rwLIBRARYBUILD) != nullptr;
}

bool Word(RwStream *stream, RwUInt32 value) { return RwStreamWriteUInt32(stream, value) != nullptr; }

bool Real(RwStream *stream, RwReal value) { return RwStreamWriteReal(stream, value) != nullptr; }

bool Reals(RwStream *stream, const RwReal *values, RwUInt32 count)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        if (!Real(stream, values[i])) {
            return false;
        }
    }
    return true;
}

bool Native(const RpWorld *world) { return (world->flags & rpGEOMETRYNATIVE) != 0; }

RwUInt32 Extension(const RwPluginRegistry *registry, const void *object)
{
    return kHeader + static_cast<RwUInt32>(RwPluginRegistryGetStreamSize(registry, object));
}

RwUInt32 LeafStructSize(const RpWorld *world, const RpWorldSector *leaf)
{
    if (Native(world)) {
        return rpATOMICSECTSTRUCTSIZE;
    }
    const RwUInt32 nv = leaf->numVertices;
    RwUInt32 perVertex = 12 + ((world->flags & rpGEOMETRYNORMALS) ? 4 : 0) +
                         ((world->flags & rpGEOMETRYPRELIT) ? 4 : 0) + 8 * static_cast<RwUInt32>(world->numTexCoordSets);
    return rpATOMICSECTSTRUCTSIZE + perVertex * nv + 8 * static_cast<RwUInt32>(leaf->numPolygons);
}

RwUInt32 SectionBodySize(const RpWorld *world, const RpSector *sector)
{
    if (sector->type < 0) {
        const auto *leaf = reinterpret_cast<const RpWorldSector *>(sector);
        return kHeader + LeafStructSize(world, leaf) + Extension(RpWorldSectorGetPluginRegistry(), leaf);
    }
    const auto *plane = reinterpret_cast<const RpPlaneSector *>(sector);
    return kHeader + rpPLANESECTSTRUCTSIZE + kHeader + SectionBodySize(world, plane->leftSubTree) + kHeader +
           SectionBodySize(world, plane->rightSubTree);
}

bool WriteLeaf(const RpWorld *world, const RpWorldSector *leaf, RwStream *stream)
{
    const RwBBox &t = leaf->tightBoundingBox;
    if (!Header(stream, rwID_STRUCT, LeafStructSize(world, leaf)) || !Word(stream, leaf->matListWindowBase) ||
        !Word(stream, leaf->numPolygons) || !Word(stream, leaf->numVertices) || !Reals(stream, &t.inf.x, 3) ||
        !Reals(stream, &t.sup.x, 3) || !Word(stream, 0) || !Word(stream, 0)) {
        return false;
    }
    if (!Native(world)) {
        const RwUInt32 nv = leaf->numVertices;
        if (nv > 0) {
            if (!Reals(stream, &leaf->vertices[0].x, 3 * nv) ||
                ((world->flags & rpGEOMETRYNORMALS) && RwStreamWrite(stream, leaf->normals, 4 * nv) == nullptr) ||
                ((world->flags & rpGEOMETRYPRELIT) && RwStreamWrite(stream, leaf->preLitLum, 4 * nv) == nullptr)) {
                return false;
            }
            for (RwInt32 s = 0; s < world->numTexCoordSets; ++s) {
                if (!Reals(stream, &leaf->texCoords[s][0].u, 2 * nv)) {
                    return false;
                }
            }
        }
        for (RwUInt32 i = 0; i < leaf->numPolygons; ++i) {
            const RpPolygon &p = leaf->polygons[i];
            const RwUInt16 fields[4] = {p.matIndex, p.vertIndex[0], p.vertIndex[1], p.vertIndex[2]};
            for (RwUInt16 f : fields) {
                const RwUInt8 bytes[2] = {static_cast<RwUInt8>(f & 0xFF), static_cast<RwUInt8>(f >> 8)};
                if (RwStreamWrite(stream, bytes, 2) == nullptr) {
                    return false;
                }
            }
        }
    }
    return RwPluginRegistryWriteData(RpWorldSectorGetPluginRegistry(), stream, leaf) != nullptr;
}

bool WriteSection(const RpWorld *world, const RpSector *sector, RwStream *stream)
{
    if (sector->type < 0) {
        return Header(stream, rwID_ATOMICSECT, SectionBodySize(world, sector)) &&
               WriteLeaf(world, reinterpret_cast<const RpWorldSector *>(sector), stream);
    }
    const auto *plane = reinterpret_cast<const RpPlaneSector *>(sector);
    return Header(stream, rwID_PLANESECT, SectionBodySize(world, sector)) &&
           Header(stream, rwID_STRUCT, rpPLANESECTSTRUCTSIZE) && Word(stream, static_cast<RwUInt32>(plane->type)) &&
           Real(stream, plane->value) && Word(stream, plane->leftSubTree->type < 0 ? 1 : 0) &&
           Word(stream, plane->rightSubTree->type < 0 ? 1 : 0) && Real(stream, plane->leftValue) &&
           Real(stream, plane->rightValue) && WriteSection(world, plane->leftSubTree, stream) &&
           WriteSection(world, plane->rightSubTree, stream);
}

struct Totals {
    RwUInt32 vertices = 0;
    RwUInt32 triangles = 0;
    RwUInt32 sectors = 0;
    RwUInt32 planes = 0;
};

void Count(const RpSector *sector, Totals *totals)
{
    if (sector->type < 0) {
        const auto *leaf = reinterpret_cast<const RpWorldSector *>(sector);
        totals->vertices += leaf->numVertices;
        totals->triangles += leaf->numPolygons;
        ++totals->sectors;
        return;
    }
    const auto *plane = reinterpret_cast<const RpPlaneSector *>(sector);
    ++totals->planes;
    Count(plane->leftSubTree, totals);
    Count(plane->rightSubTree, totals);
}

}  // namespace

RwUInt32 RpWorldStreamGetSize(const RpWorld *world)
{
    return kHeader + rpWORLDSTRUCTSIZE + kHeader + RpMaterialListStreamGetSize(&world->matList) + kHeader +
           SectionBodySize(world, world->rootSector) + Extension(RpWorldGetPluginRegistry(), world);
}

const RpWorld *RpWorldStreamWrite(const RpWorld *world, RwStream *stream)
{
    Totals totals;
    Count(world->rootSector, &totals);
    const RwBBox &box = world->boundingBox;
    const RwUInt32 format = world->flags | rpGEOMETRYTEXCOORDSETS(static_cast<RwUInt32>(world->numTexCoordSets));
    const bool ok =
        Header(stream, rwID_WORLD_CHUNK, RpWorldStreamGetSize(world)) && Header(stream, rwID_STRUCT, rpWORLDSTRUCTSIZE) &&
        Word(stream, world->rootSector->type < 0 ? 1 : 0) && Real(stream, -world->worldOrigin.x) &&
        Real(stream, -world->worldOrigin.y) && Real(stream, -world->worldOrigin.z) && Word(stream, totals.triangles) &&
        Word(stream, totals.vertices) && Word(stream, totals.planes) && Word(stream, totals.sectors) &&
        Word(stream, 0) && Word(stream, format) && Reals(stream, &box.sup.x, 3) && Reals(stream, &box.inf.x, 3) &&
        RpMaterialListStreamWrite(&world->matList, stream) != nullptr &&
        WriteSection(world, world->rootSector, stream) &&
        RwPluginRegistryWriteData(RpWorldGetPluginRegistry(), stream, world) != nullptr;
    return ok ? world : nullptr;
}

// ---- Pipeline-owner data of worlds and leaves.

static RwStream *WriteOwner(RwStream *stream, const RwPipeline *pipeline)
{
    return Word(stream, pipeline->pluginId) && Word(stream, pipeline->pluginData) ? stream : nullptr;
}

static RwInt32 OwnerSize(const RwPipeline *pipeline) { return pipeline != nullptr && pipeline->pluginId != 0 ? 8 : 0; }

static RwStream *WorldOwnerWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    return WriteOwner(stream, static_cast<const RpWorld *>(object)->pipeline);
}

static RwInt32 WorldOwnerSize(const void *object, RwInt32, RwInt32)
{
    return OwnerSize(static_cast<const RpWorld *>(object)->pipeline);
}

static RwStream *SectorOwnerWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    return WriteOwner(stream, static_cast<const RpWorldSector *>(object)->pipeline);
}

static RwInt32 SectorOwnerSize(const void *object, RwInt32, RwInt32)
{
    return OwnerSize(static_cast<const RpWorldSector *>(object)->pipeline);
}

RwBool rpWorldAttachOwnerStreams(void)
{
    // Reading only records the owner for the rights call, whatever the object.
    return RpWorldRegisterPlugin(0, rwID_PIPEID, nullptr, nullptr, nullptr) >= 0 &&
           RpWorldRegisterPluginStream(rwID_PIPEID, RpAtomicPipelineIdStreamRead, WorldOwnerWrite, WorldOwnerSize) >=
               0 &&
           RpWorldSectorRegisterPlugin(0, rwID_PIPEID, nullptr, nullptr, nullptr) >= 0 &&
           RpWorldSectorRegisterPluginStream(rwID_PIPEID, RpAtomicPipelineIdStreamRead, SectorOwnerWrite,
                                             SectorOwnerSize) >= 0;
}
