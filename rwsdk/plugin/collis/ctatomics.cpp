// Queries against the bounding spheres of a world's atomics. An atomic tied
// to several sectors is reported once per query. Which atomics a query has
// tested is kept by the query itself, not in the atomics, so a query
// started from a callback cannot make the query that called it skip or
// repeat atomics.
#include <cmath>

#include "plugin/collis/ctprivate.h"

namespace {

// The atomics one query has tested: an open-addressing set that starts in
// place and grows on the engine's heap.
struct VisitedSet {
    static constexpr RwUInt32 kInPlace = 64;
    const RpAtomic *inPlace[kInPlace] = {};
    const RpAtomic **slots = inPlace;
    RwUInt32 capacity = kInPlace;  // a power of two
    RwUInt32 count = 0;

    VisitedSet() = default;
    VisitedSet(const VisitedSet &) = delete;
    VisitedSet &operator=(const VisitedSet &) = delete;
    ~VisitedSet()
    {
        if (slots != inPlace) {
            RwFree(slots);
        }
    }

    static RwUInt32 Hash(const RpAtomic *atomic)
    {
        const auto bits = reinterpret_cast<RwUInt64>(atomic);
        return static_cast<RwUInt32>((bits >> 4) * 0x9E3779B97F4A7C15ull >> 32);
    }
    const RpAtomic **Find(const RpAtomic *atomic)
    {
        RwUInt32 i = Hash(atomic) & (capacity - 1u);
        while (slots[i] != nullptr && slots[i] != atomic) {
            i = (i + 1u) & (capacity - 1u);
        }
        return &slots[i];
    }
    RwBool Grow()
    {
        const RwUInt32 grown = capacity * 2u;
        auto *bigger = static_cast<const RpAtomic **>(RwCalloc(grown, sizeof(const RpAtomic *)));
        if (bigger == nullptr) {
            RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NOMEM);
            return FALSE;
        }
        const RpAtomic **old = slots;
        const RwUInt32 oldCapacity = capacity;
        slots = bigger;
        capacity = grown;
        for (RwUInt32 i = 0; i < oldCapacity; ++i) {
            if (old[i] != nullptr) {
                *Find(old[i]) = old[i];
            }
        }
        if (old != inPlace) {
            RwFree(old);
        }
        return TRUE;
    }
    // TRUE and added when the atomic was not in the set; *failed on no memory.
    RwBool Add(const RpAtomic *atomic, RwBool *failed)
    {
        const RpAtomic **slot = Find(atomic);
        if (*slot != nullptr) {
            return FALSE;
        }
        if ((count + 1u) * 2u > capacity) {
            if (!Grow()) {
                *failed = TRUE;
                return FALSE;
            }
            slot = Find(atomic);
        }
        *slot = atomic;
        ++count;
        return TRUE;
    }
};

struct AtomicQuery {
    RpIntersection *intersection;
    RpIntersectionCallBackAtomic callBack;
    void *data;
    RwInt32 queryNumber;
    const RpAtomic *exclude;  // the query's own atomic
    RwV3d start;              // line
    RwV3d delta;
    RwSphere sphere;  // point, sphere, atomic
    RwBBox box;
    RpWorldSector *sector;
    VisitedSet visited;
    RwBool stopped;
    RwBool failed;
};

RwBool HitsLine(const AtomicQuery &q, const RwSphere &s, RwReal *distance)
{
    const RwReal r2 = s.radius * s.radius;
    const RwReal ll = RwV3dDotProduct(&q.delta, &q.delta);
    RwV3d v;
    RwV3dSub(&v, &s.center, &q.start);
    const RwReal dd = RwV3dDotProduct(&v, &v);
    if (!(ll > 0.0f)) {
        *distance = 0.0f;
        return dd < r2;
    }
    const RwReal length = RwFastSqrt(ll);
    RwV3d unit;
    RwV3dScale(&unit, &q.delta, RwFastInvSqrt(ll));
    const RwReal proj = RwV3dDotProduct(&v, &unit);
    *distance = proj / length;
    if (dd < r2) {
        return TRUE;
    }
    const RwReal k = r2 - (dd - proj * proj);
    const RwReal beyond = proj - length;
    return proj > 0.0f && k >= 0.0f && (beyond < 0.0f || beyond * beyond < k);
}

RwBool HitsSphere(const AtomicQuery &q, const RwSphere &s, RwReal *distance)
{
    RwV3d d;
    RwV3dSub(&d, &s.center, &q.sphere.center);
    const RwReal dd = RwV3dDotProduct(&d, &d);
    const RwReal reach = s.radius + q.sphere.radius;
    if (!(dd < reach * reach)) {
        return FALSE;
    }
    *distance = std::sqrt(dd / (reach * reach));
    return TRUE;
}

RwBool HitsBox(const AtomicQuery &q, const RwSphere &s, RwReal *distance)
{
    RwReal sum = 0.0f;
    for (RwInt32 axis = 0; axis < 3; ++axis) {
        const RwReal v = rpCollisionAxis(s.center, axis);
        const RwReal lo = rpCollisionAxis(q.box.inf, axis), hi = rpCollisionAxis(q.box.sup, axis);
        const RwReal d = v < lo ? lo - v : (v > hi ? v - hi : 0.0f);
        sum += d * d;
    }
    *distance = 0.0f;
    return sum < s.radius * s.radius;
}

RpAtomic *VisitAtomic(RpAtomic *atomic, void *data)
{
    auto *q = static_cast<AtomicQuery *>(data);
    if ((RpAtomicGetFlags(atomic) & rpATOMICCOLLISIONTEST) == 0 || atomic == q->exclude ||
        !q->visited.Add(atomic, &q->failed)) {
        return q->failed ? nullptr : atomic;
    }
    *rpCollisionAtomicMark(atomic) = q->queryNumber;
    const RwSphere &s = *RpAtomicGetWorldBoundingSphere(atomic);
    RwReal distance = 0.0f;
    RwBool hit = FALSE;
    switch (q->intersection->type) {
    case rpINTERSECTLINE:
        hit = HitsLine(*q, s, &distance);
        break;
    case rpINTERSECTBOX:
        hit = HitsBox(*q, s, &distance);
        break;
    default:
        hit = HitsSphere(*q, s, &distance);
        break;
    }
    if (hit && q->callBack(q->intersection, q->sector, atomic, distance, q->data) == nullptr) {
        q->stopped = TRUE;
        return nullptr;
    }
    return atomic;
}

RpWorldSector *VisitSector(RpWorldSector *sector, void *data)
{
    auto *q = static_cast<AtomicQuery *>(data);
    q->sector = sector;
    RpWorldSectorForAllAtomics(sector, VisitAtomic, q);
    return q->stopped || q->failed ? nullptr : sector;
}

RwBool VisitSectorOnSpan(RpWorldSector *sector, const rpCollisionSpan &, void *data)
{
    return VisitSector(sector, data) != nullptr;
}

}  // namespace

RpWorld *RpWorldForAllAtomicIntersections(RpWorld *world, RpIntersection *intersection,
                                          RpIntersectionCallBackAtomic callBack, void *data)
{
    if (world == nullptr || intersection == nullptr || callBack == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
        return nullptr;
    }
    AtomicQuery q;
    q.intersection = intersection;
    q.callBack = callBack;
    q.data = data;
    q.exclude = nullptr;
    q.stopped = FALSE;
    q.failed = FALSE;
    q.sector = nullptr;
    switch (intersection->type) {
    case rpINTERSECTLINE:
        q.queryNumber = rpCollisionNextQuery();
        q.start = intersection->t.line.start;
        RwV3dSub(&q.delta, &intersection->t.line.end, &intersection->t.line.start);
        rpCollisionWorldForAllSectorsOnSpan(world, q.start, q.delta, VisitSectorOnSpan, &q);
        break;
    case rpINTERSECTPOINT:
        q.queryNumber = rpCollisionNextQuery();
        q.sphere = {intersection->t.point, 0.0f};
        q.box = {intersection->t.point, intersection->t.point};
        RpCollisionWorldForAllSectorsInBox(world, &q.box, VisitSector, &q);
        break;
    case rpINTERSECTSPHERE:
        q.queryNumber = rpCollisionNextQuery();
        q.sphere = intersection->t.sphere;
        RpCollisionWorldForAllSectorsInSphere(world, &q.sphere, VisitSector, &q);
        break;
    case rpINTERSECTBOX:
        q.queryNumber = rpCollisionNextQuery();
        q.box = intersection->t.box;
        RpCollisionWorldForAllSectorsInBox(world, &q.box, VisitSector, &q);
        break;
    case rpINTERSECTATOMIC: {
        auto *atomic = static_cast<RpAtomic *>(intersection->t.object);
        if (atomic == nullptr) {
            RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RW_NULLP);
            return nullptr;
        }
        q.queryNumber = rpCollisionNextQuery();
        q.exclude = atomic;
        q.sphere = *RpAtomicGetWorldBoundingSphere(atomic);
        RpAtomicForAllWorldSectors(atomic, VisitSector, &q);
        break;
    }
    default:
        RwErrorReport(static_cast<RwInt32>(rwID_COLLISPLUGIN), E_RP_COLLIS_BADINTERSECTIONTYPE);
        return nullptr;
    }
    return q.failed ? nullptr : world;
}
