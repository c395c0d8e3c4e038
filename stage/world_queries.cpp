// Movement and collision queries (see world_queries.h). The engine's
// collision trees find the triangles near a move; the swept-sphere test
// decides where the move meets them.
#include "stage/world_queries.h"

#include <algorithm>
#include <cmath>

#include "stage/sphere_sweep.h"
#include "stage/v3.h"

namespace {

// The earliest contact over every triangle a source offers.
struct Sweep {
    RwV3d centre;
    RwReal radius;
    RwV3d move;
    bool hit = false;
    SphereSweepHit first = {2.0f, {0, 0, 0}};

    void Test(const RwV3d &v0, const RwV3d &v1, const RwV3d &v2)
    {
        SphereSweepHit h;
        if (SweepSphereTriangle(centre, radius, move, v0, v1, v2, &h) && h.t < first.t) {
            first = h;
            hit = true;
        }
    }
    // A sphere holding the whole swept volume.
    RwSphere Bounds() const
    {
        const RwReal length = std::sqrt(V3Dot(move, move));
        return {V3Add(centre, V3Scale(move, 0.5f)), radius + 0.5f * length + kContactSkin};
    }
};

bool SweepWorld(RpWorld *world, Sweep *sweep)
{
    RpIntersection query;
    query.type = rpINTERSECTSPHERE;
    query.t.sphere = sweep->Bounds();
    RpCollisionWorldForAllIntersections(
        world, &query,
        [](RpIntersection *, RpWorldSector *, RpCollisionTriangle *triangle, RwReal, void *data) {
            static_cast<Sweep *>(data)->Test(*triangle->vertices[0], *triangle->vertices[1], *triangle->vertices[2]);
            return triangle;
        },
        sweep);
    return sweep->hit;
}

struct AtomicSweep {
    Sweep *sweep;
    const RwMatrix *ltm;
};

bool SweepClump(RpClump *clump, Sweep *sweep)
{
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            auto *sweep = static_cast<Sweep *>(data);
            if ((RpAtomicGetFlags(atomic) & rpATOMICCOLLISIONTEST) == 0 || RpAtomicGetGeometry(atomic) == nullptr) {
                return atomic;
            }
            const RwSphere bounds = sweep->Bounds();
            const RwSphere *own = RpAtomicGetWorldBoundingSphere(atomic);
            const RwV3d gap = {own->center.x - bounds.center.x, own->center.y - bounds.center.y,
                               own->center.z - bounds.center.z};
            const RwReal reach = own->radius + bounds.radius;
            if (V3Dot(gap, gap) > reach * reach) {
                return atomic;
            }
            // The atomic's triangles come in its model space.
            RpIntersection query;
            query.type = rpINTERSECTSPHERE;
            query.t.sphere = bounds;
            AtomicSweep local = {sweep, RwFrameGetLTM(RpAtomicGetFrame(atomic))};
            RpAtomicForAllIntersections(
                atomic, &query,
                [](RpIntersection *, RpCollisionTriangle *triangle, RwReal, void *data) {
                    auto *a = static_cast<AtomicSweep *>(data);
                    RwV3d v[3];
                    for (int i = 0; i < 3; ++i) {
                        RwV3dTransformPoints(&v[i], triangle->vertices[i], 1, a->ltm);
                    }
                    a->sweep->Test(v[0], v[1], v[2]);
                    return triangle;
                },
                &local);
            return atomic;
        },
        sweep);
    return sweep->hit;
}

// One clipped move: to the first contact (a skin short of it), then with
// kMoveSlide once along the surface met.
template <typename Find>
bool ClipMove(const RwV3d &centre, RwReal radius, RwV3d *move, int32_t flag, Find find)
{
    auto clip = [&](const RwV3d &from, const RwV3d &wanted, RwV3d *normal) -> RwV3d {
        Sweep sweep{from, radius, wanted};
        if (!find(&sweep)) {
            return wanted;
        }
        *normal = sweep.first.normal;
        const RwReal length = std::sqrt(V3Dot(wanted, wanted));
        const RwReal travel = std::fmax(0.0f, sweep.first.t * length - kContactSkin);
        return V3Scale(wanted, travel / length);
    };
    RwV3d normal = {0, 0, 0};
    const RwV3d wanted = *move;
    const RwV3d first = clip(centre, wanted, &normal);
    if (V3Dot(normal, normal) == 0.0f) {
        return false;
    }
    RwV3d result = first;
    if (flag == kMoveSlide) {
        RwV3d rest = {wanted.x - first.x, wanted.y - first.y, wanted.z - first.z};
        rest = V3Add(rest, V3Scale(normal, -V3Dot(rest, normal)));
        if (V3Dot(rest, rest) > 0.0f) {
            RwV3d unused;
            result = V3Add(first, clip(V3Add(centre, first), rest, &unused));
        }
    }
    *move = result;
    return true;
}

}  // namespace

bool FindGroundHeight(RpWorld *world, const RwV3d &point, RwReal *height)
{
    if (world == nullptr) {
        return false;
    }
    struct Ground {
        RwReal nearest = 2.0f;
    } ground;
    RpIntersection query;
    query.type = rpINTERSECTLINE;
    query.t.line.start = {point.x, point.y + kGroundRayLift, point.z};
    query.t.line.end = {point.x, point.y + kGroundRayLift - kGroundRayLength, point.z};
    RpCollisionWorldForAllIntersections(
        world, &query,
        [](RpIntersection *, RpWorldSector *, RpCollisionTriangle *triangle, RwReal distance, void *data) {
            auto *g = static_cast<Ground *>(data);
            g->nearest = std::min(g->nearest, distance);
            return triangle;
        },
        &ground);
    if (ground.nearest > 1.0f) {
        return false;
    }
    *height = query.t.line.start.y - ground.nearest * kGroundRayLength;
    return true;
}

bool SnapToGround(RpWorld *world, RpClump *clump, int32_t mode)
{
    RwFrame *frame = clump != nullptr ? RpClumpGetFrame(clump) : nullptr;
    if (mode != 2 || frame == nullptr) {
        return false;
    }
    const RwV3d position = RwFrameGetLTM(frame)->pos;
    RwReal height = 0.0f;
    if (!FindGroundHeight(world, position, &height)) {
        return false;
    }
    const RwV3d lift = {0.0f, height - position.y, 0.0f};
    RwFrameTranslate(frame, &lift, rwCOMBINEPOSTCONCAT);
    return true;
}

bool MoveAgainstWorld(RpWorld *world, const RwV3d &centre, RwReal radius, RwV3d *move, int32_t flag)
{
    if (world == nullptr || move == nullptr) {
        return false;
    }
    return ClipMove(centre, radius, move, flag, [world](Sweep *sweep) { return SweepWorld(world, sweep); });
}

bool MoveAgainstClump(RpClump *clump, const RwV3d &centre, RwReal radius, RwV3d *move, int32_t flag)
{
    if (clump == nullptr || move == nullptr) {
        return false;
    }
    return ClipMove(centre, radius, move, flag, [clump](Sweep *sweep) { return SweepClump(clump, sweep); });
}

int32_t SphereOverlapPushOut(const RwV3d &centreA, RwReal radiusA, const RwV3d &centreB, RwReal radiusB,
                             RwV3d *offset)
{
    const RwV3d gap = {centreA.x - centreB.x, centreA.y - centreB.y, centreA.z - centreB.z};
    const RwReal reach = radiusA + radiusB;
    const RwReal distance2 = V3Dot(gap, gap);
    if (!(distance2 < reach * reach)) {
        return 0;
    }
    if (offset != nullptr) {
        const RwReal distance = std::sqrt(distance2);
        *offset = distance > 0.0f ? V3Scale(gap, (reach - distance) / distance) : RwV3d{reach, 0.0f, 0.0f};
    }
    return 1;
}
