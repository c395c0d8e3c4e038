// Queries against a world's static triangles: the sectors a line, sphere,
// box or atomic reaches are found through the BSP, and within each sector
// only the leaves of its collision tree that the query reaches are tested.
// A sector without collision data is never tested.
#include "plugin/collis/ctprivate.h"

namespace {

struct WorldQuery {
    RpIntersection *intersection;
    RpIntersectionCallBackWorldTriangle callBack;
    void *data;
    RpWorldSector *sector;
    const RpCollisionData *collision;
    RwV3d start;  // line
    RwV3d delta;
    RwSphere sphere;  // sphere and atomic
    RwBBox box;       // box
    RwBool stopped;
};

// The sector's polygon behind a map entry, with its vertices, or FALSE when
// the sector's own arrays cannot back it.
RwBool SectorTriangle(const RpWorldSector *sector, RwUInt16 index, RwV3d **v)
{
    if (index >= sector->numPolygons || sector->polygons == nullptr || sector->vertices == nullptr) {
        return FALSE;
    }
    const RpPolygon &polygon = sector->polygons[index];
    for (RwInt32 i = 0; i < 3; ++i) {
        if (polygon.vertIndex[i] >= sector->numVertices) {
            return FALSE;
        }
        v[i] = &sector->vertices[polygon.vertIndex[i]];
    }
    return TRUE;
}

// Tests the triangles of one leaf of the sector's tree with `test`, which
// says whether a triangle is hit and at what distance.
template <typename Test>
RwBool TestLeaf(WorldQuery *q, RwInt32 count, RwInt32 first, Test test)
{
    for (RwInt32 i = 0; i < count; ++i) {
        const RwUInt16 index = q->collision->triangleMap[first + i];
        RwV3d *v[3];
        RwReal distance = 0.0f;
        if (!SectorTriangle(q->sector, index, v) || !test(q, v, &distance)) {
            continue;
        }
        RpCollisionTriangle triangle;
        rpCollisionTriangleFill(&triangle, index, v[0], v[1], v[2]);
        if (q->callBack(q->intersection, q->sector, &triangle, distance, q->data) == nullptr) {
            q->stopped = TRUE;
            return FALSE;
        }
    }
    return TRUE;
}

RwBool LineLeaf(RwInt32 count, RwInt32 first, void *data)
{
    return TestLeaf(static_cast<WorldQuery *>(data), count, first, [](WorldQuery *q, RwV3d **v, RwReal *distance) {
        return RtIntersectionLineTriangle(&q->start, &q->delta, v[0], v[1], v[2], distance);
    });
}

RwBool SphereLeaf(RwInt32 count, RwInt32 first, void *data)
{
    return TestLeaf(static_cast<WorldQuery *>(data), count, first, [](WorldQuery *q, RwV3d **v, RwReal *distance) {
        RwV3d normal;
        RwReal out = 0.0f;
        if (!RtIntersectionSphereTriangle(&q->sphere, v[0], v[1], v[2], &normal, &out)) {
            return FALSE;
        }
        *distance = q->sphere.radius > 0.0f ? out * (1.0f / q->sphere.radius) : 0.0f;
        return TRUE;
    });
}

RwBool BoxLeaf(RwInt32 count, RwInt32 first, void *data)
{
    return TestLeaf(static_cast<WorldQuery *>(data), count, first, [](WorldQuery *q, RwV3d **v, RwReal *distance) {
        *distance = 0.0f;
        return RtIntersectionBoxTriangle(&q->box, v[0], v[1], v[2]);
    });
}

// Points the query at a sector; FALSE when the sector has nothing to test.
RwBool EnterSector(WorldQuery *q, RpWorldSector *sector)
{
    q->sector = sector;
    q->collision = RpCollisionWorldSectorGetData(sector);
    return q->collision != nullptr;
}

RwBool LineSector(RpWorldSector *sector, const rpCollisionSpan &span, void *data)
{
    auto *q = static_cast<WorldQuery *>(data);
    return !EnterSector(q, sector) ||
           rpCollisionTreeForAllSpanLeaves(q->collision->tree, q->start, q->delta, span, LineLeaf, q) ||
           !q->stopped;
}

RpWorldSector *BoxSector(RpWorldSector *sector, void *data)
{
    auto *q = static_cast<WorldQuery *>(data);
    if (!EnterSector(q, sector)) {
        return sector;
    }
    const RwBool isBox = q->intersection->type == rpINTERSECTBOX;
    const RwBool done = RpCollisionTreeForAllBoxLeaves(q->collision->tree, &q->box, isBox ? BoxLeaf : SphereLeaf, q);
    return done || !q->stopped ? sector : nullptr;
}

RwBBox BoxAround(const RwSphere &sphere)
{
    const RwV3d &c = sphere.center;
    const RwReal r = sphere.radius;
    return {{c.x + r, c.y + r, c.z + r}, {c.x - r, c.y - r, c.z - r}};
}

}  // namespace

RwV3d rpCollisionTriangleNormal(const RwV3d &v0, const RwV3d &v1, const RwV3d &v2)
{
    RwV3d e1, e2, n;
    RwV3dSub(&e1, &v1, &v0);
    RwV3dSub(&e2, &v2, &v0);
    RwV3dCrossProduct(&n, &e1, &e2);
    const RwReal nn = RwV3dDotProduct(&n, &n);
    if (!(nn > 0.0f)) {
        return {0.0f, 0.0f, 0.0f};
    }
    RwV3dScale(&n, &n, RwFastInvSqrt(nn));
    return n;
}

void rpCollisionTriangleFill(RpCollisionTriangle *out, RwInt32 index, RwV3d *v0, RwV3d *v1, RwV3d *v2)
{
    out->normal = rpCollisionTriangleNormal(*v0, *v1, *v2);
    out->point = *v0;
    out->index = index;
    out->vertices[0] = v0;
    out->vertices[1] = v1;
    out->vertices[2] = v2;
}

RpWorld *RpCollisionWorldForAllIntersections(RpWorld *world, RpIntersection *intersection,
                                             RpIntersectionCallBackWorldTriangle callBack, void *data)
{
    if (world == nullptr || intersection == nullptr || callBack == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
        return nullptr;
    }
    WorldQuery q = {};
    q.intersection = intersection;
    q.callBack = callBack;
    q.data = data;
    switch (intersection->type) {
    case rpINTERSECTLINE:
        q.start = intersection->t.line.start;
        RwV3dSub(&q.delta, &intersection->t.line.end, &intersection->t.line.start);
        rpCollisionWorldForAllSectorsOnSpan(world, q.start, q.delta, LineSector, &q);
        return world;
    case rpINTERSECTSPHERE:
        q.sphere = intersection->t.sphere;
        q.box = BoxAround(q.sphere);
        RpCollisionWorldForAllSectorsInBox(world, &q.box, BoxSector, &q);
        return world;
    case rpINTERSECTBOX:
        q.box = intersection->t.box;
        RpCollisionWorldForAllSectorsInBox(world, &q.box, BoxSector, &q);
        return world;
    case rpINTERSECTATOMIC: {
        auto *atomic = static_cast<RpAtomic *>(intersection->t.object);
        if (atomic == nullptr) {
            RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
            return nullptr;
        }
        q.sphere = *RpAtomicGetWorldBoundingSphere(atomic);
        q.box = BoxAround(q.sphere);
        RpAtomicForAllWorldSectors(atomic, BoxSector, &q);
        return world;
    }
    default:
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RP_COLLIS_BADINTERSECTIONTYPE);
        return nullptr;
    }
}
