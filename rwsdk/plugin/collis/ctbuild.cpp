// Builds collision trees: the triangles are split at the median of their
// centres along the axis where those centres spread widest, and each branch
// records how far its left triangles reach up and its right triangles reach
// down along that axis, which is exactly what the walks rely on.
#include <algorithm>

#include "plugin/collis/ctprivate.h"

namespace {

struct Builder {
    const RwBBox *bounds;     // per triangle
    const RwV3d *centres;     // per triangle
    RwUInt16 *order;          // the map being built
    RpCollisionTreeBranch *branches;
    RpCollisionTreeLeaf *leaves;
    RwUInt32 numBranches;
    RwUInt32 numLeaves;
    RwUInt32 maxLeaf;
};

struct NodeRef {
    RwUInt8 type;
    RwUInt16 index;
};

NodeRef Build(Builder *b, RwUInt32 lo, RwUInt32 hi)
{
    if (hi - lo <= b->maxLeaf) {
        const auto index = static_cast<RwUInt16>(b->numLeaves++);
        b->leaves[index] = {static_cast<RwUInt16>(hi - lo), static_cast<RwUInt16>(lo)};
        return {rpCOLLISIONLEAF, index};
    }
    RwBBox spread = {b->centres[b->order[lo]], b->centres[b->order[lo]]};
    for (RwUInt32 i = lo + 1; i < hi; ++i) {
        RwBBoxAddPoint(&spread, &b->centres[b->order[i]]);
    }
    RwInt32 axis = 0;
    for (RwInt32 a = 1; a < 3; ++a) {
        const RwReal width = rpCollisionAxis(spread.sup, a) - rpCollisionAxis(spread.inf, a);
        if (width > rpCollisionAxis(spread.sup, axis) - rpCollisionAxis(spread.inf, axis)) {
            axis = a;
        }
    }
    const RwUInt32 mid = lo + (hi - lo) / 2;
    const RwV3d *centres = b->centres;
    std::nth_element(b->order + lo, b->order + mid, b->order + hi, [centres, axis](RwUInt16 x, RwUInt16 y) {
        return rpCollisionAxis(centres[x], axis) < rpCollisionAxis(centres[y], axis);
    });
    RwReal leftValue = rpCollisionAxis(b->bounds[b->order[lo]].sup, axis);
    for (RwUInt32 i = lo; i < mid; ++i) {
        leftValue = std::max(leftValue, rpCollisionAxis(b->bounds[b->order[i]].sup, axis));
    }
    RwReal rightValue = rpCollisionAxis(b->bounds[b->order[mid]].inf, axis);
    for (RwUInt32 i = mid; i < hi; ++i) {
        rightValue = std::min(rightValue, rpCollisionAxis(b->bounds[b->order[i]].inf, axis));
    }
    const auto index = static_cast<RwUInt16>(b->numBranches++);
    const NodeRef left = Build(b, lo, mid);
    const NodeRef right = Build(b, mid, hi);
    b->branches[index] = {static_cast<RwUInt16>(axis * 4), left.type, right.type, left.index, right.index,
                          leftValue, rightValue};
    return {rpCOLLISIONBRANCH, index};
}

// Triangles given as vertex-index triples with a stride, over `vertices`.
struct TriangleSource {
    const RwUInt16 *firstIndex;  // vertex indices of triangle 0
    size_t stride;               // bytes from one triangle's indices to the next
    RwUInt32 count;
    const RwV3d *vertices;
    RwUInt32 numVertices;
};

const RwUInt16 *IndicesOf(const TriangleSource &source, RwUInt32 i)
{
    return reinterpret_cast<const RwUInt16 *>(reinterpret_cast<const RwUInt8 *>(source.firstIndex) +
                                              source.stride * i);
}

// Builds the data for the triangles whose vertices all exist; null on
// failure (reported).
RpCollisionData *BuildData(const TriangleSource &source, RwInt32 maxLeafTriangles)
{
    if (source.count > 0xFFFFu) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RP_COLLIS_BADDATA);
        return nullptr;
    }
    const RwUInt32 slots = source.count > 0 ? source.count : 1u;
    const size_t bytes = (sizeof(RwBBox) + sizeof(RwV3d) + sizeof(RwUInt16) + sizeof(RpCollisionTreeBranch) +
                          sizeof(RpCollisionTreeLeaf)) * slots;
    auto *scratch = static_cast<RwUInt8 *>(RwMalloc(bytes));
    if (scratch == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NOMEM);
        return nullptr;
    }
    Builder b = {};
    auto *bounds = reinterpret_cast<RwBBox *>(scratch);
    auto *centres = reinterpret_cast<RwV3d *>(bounds + slots);
    b.branches = reinterpret_cast<RpCollisionTreeBranch *>(centres + slots);
    b.leaves = reinterpret_cast<RpCollisionTreeLeaf *>(b.branches + slots);
    b.order = reinterpret_cast<RwUInt16 *>(b.leaves + slots);
    b.bounds = bounds;
    b.centres = centres;
    b.maxLeaf = static_cast<RwUInt32>(std::clamp(maxLeafTriangles, 1, 0xFFFF));
    RwUInt32 used = 0;
    for (RwUInt32 i = 0; i < source.count && source.vertices != nullptr; ++i) {
        const RwUInt16 *v = IndicesOf(source, i);
        if (v[0] >= source.numVertices || v[1] >= source.numVertices || v[2] >= source.numVertices) {
            continue;
        }
        const RwV3d corners[3] = {source.vertices[v[0]], source.vertices[v[1]], source.vertices[v[2]]};
        RwBBoxCalculate(&bounds[i], corners, 3);
        RwV3dAdd(&centres[i], &bounds[i].sup, &bounds[i].inf);
        RwV3dScale(&centres[i], &centres[i], 0.5f);
        b.order[used++] = static_cast<RwUInt16>(i);
    }
    Build(&b, 0, used);
    RpCollisionData *data = rpCollisionDataCreate(b.numLeaves, used);
    if (data != nullptr) {
        std::copy(b.branches, b.branches + b.numBranches, data->tree->branches);
        std::copy(b.leaves, b.leaves + b.numLeaves, data->tree->leaves);
        std::copy(b.order, b.order + used, data->triangleMap);
    }
    RwFree(scratch);
    return data;
}

}  // namespace

RpGeometry *RpCollisionGeometryBuildData(RpGeometry *geometry, RwInt32 maxLeafTriangles)
{
    if (geometry == nullptr || rpCollisionGeometryOffset < 0) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
        return nullptr;
    }
    const RwV3d *vertices = geometry->morphTarget != nullptr ? geometry->morphTarget[0].verts : nullptr;
    TriangleSource source = {geometry->triangles != nullptr ? geometry->triangles[0].vertIndex : nullptr,
                             sizeof(RpTriangle), geometry->triangles != nullptr ? static_cast<RwUInt32>(geometry->numTriangles) : 0u,
                             vertices, static_cast<RwUInt32>(geometry->numVertices)};
    RpCollisionData *data = BuildData(source, maxLeafTriangles);
    if (data == nullptr) {
        return nullptr;
    }
    rpCollisionDataInstall(rpCollisionDataSlot(geometry, rpCollisionGeometryOffset), data);
    return geometry;
}

RpWorldSector *RpCollisionWorldSectorBuildData(RpWorldSector *sector, RwInt32 maxLeafTriangles)
{
    if (sector == nullptr || rpCollisionSectorOffset < 0) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
        return nullptr;
    }
    TriangleSource source = {sector->polygons != nullptr ? sector->polygons[0].vertIndex : nullptr, sizeof(RpPolygon),
                             sector->polygons != nullptr ? sector->numPolygons : 0u, sector->vertices,
                             sector->numVertices};
    RpCollisionData *data = BuildData(source, maxLeafTriangles);
    if (data == nullptr) {
        return nullptr;
    }
    rpCollisionDataInstall(rpCollisionDataSlot(sector, rpCollisionSectorOffset), data);
    return sector;
}

namespace {

struct WorldBuild {
    RwInt32 maxLeafTriangles;
    RwBool failed;
};

RpWorldSector *BuildSector(RpWorldSector *sector, void *data)
{
    auto *build = static_cast<WorldBuild *>(data);
    if (sector->numPolygons == 0) {
        return sector;
    }
    if (RpCollisionWorldSectorBuildData(sector, build->maxLeafTriangles) == nullptr) {
        build->failed = TRUE;
        return nullptr;
    }
    return sector;
}

}  // namespace

RpWorld *RpCollisionWorldBuildData(RpWorld *world, RwInt32 maxLeafTriangles)
{
    if (world == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
        return nullptr;
    }
    WorldBuild build = {maxLeafTriangles, FALSE};
    RpWorldForAllWorldSectors(world, BuildSector, &build);
    return build.failed ? nullptr : world;
}
