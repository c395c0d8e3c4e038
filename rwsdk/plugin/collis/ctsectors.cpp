// Walks of a world's BSP down to the sectors a box, a line or a sphere
// reaches. Plane nodes carry the upper bound of their left region and the
// lower bound of their right region; touching a bound counts as reaching
// that side, so a walk never loses a triangle lying on a split plane.
#include <limits>

#include "plugin/collis/ctprivate.h"

namespace {

RwBool IsLeaf(const RpSector *sector) { return sector->type < 0; }

// A plane node whose axis is not one of the three is treated as a dead end
// rather than trusted as an index.
RwBool PlaneAxis(const RpSector *sector, RwInt32 *axis)
{
    if (sector->type != 0 && sector->type != 4 && sector->type != 8) {
        return FALSE;
    }
    *axis = sector->type / 4;
    return TRUE;
}

struct SpanItem {
    RpSector *sector;
    rpCollisionSpan span;
};

struct RegionItem {
    RpSector *sector;
    RwBBox region;
};

RwReal SquaredDistanceToBox(const RwV3d &p, const RwBBox &box)
{
    RwReal sum = 0.0f;
    for (RwInt32 axis = 0; axis < 3; ++axis) {
        const RwReal v = rpCollisionAxis(p, axis);
        const RwReal lo = rpCollisionAxis(box.inf, axis), hi = rpCollisionAxis(box.sup, axis);
        const RwReal d = v < lo ? lo - v : (v > hi ? v - hi : 0.0f);
        sum += d * d;
    }
    return sum;
}

struct SectorCallBackAdapter {
    RpWorldSectorCallBack callBack;
    void *data;
};

RwBool CallSectorCallBack(RpWorldSector *sector, const rpCollisionSpan &, void *data)
{
    const auto *adapter = static_cast<const SectorCallBackAdapter *>(data);
    return adapter->callBack(sector, adapter->data) != nullptr;
}

}  // namespace

RwBool RpCollisionWorldForAllSectorsInBox(RpWorld *world, const RwBBox *box, RpWorldSectorCallBack callBack,
                                          void *data)
{
    rpCollisionStack<RpSector *> pending;
    RpSector *sector = world->rootSector;
    while (sector != nullptr) {
        RwInt32 axis = 0;
        if (IsLeaf(sector)) {
            if (callBack(reinterpret_cast<RpWorldSector *>(sector), data) == nullptr) {
                return FALSE;
            }
        } else if (PlaneAxis(sector, &axis)) {
            const auto *plane = reinterpret_cast<const RpPlaneSector *>(sector);
            const RwBool goLeft = rpCollisionAxis(box->inf, axis) <= plane->leftValue;
            const RwBool goRight = rpCollisionAxis(box->sup, axis) >= plane->rightValue;
            if (goLeft && goRight && !pending.Push(plane->rightSubTree)) {
                return FALSE;
            }
            if (goLeft || goRight) {
                sector = goLeft ? plane->leftSubTree : plane->rightSubTree;
                continue;
            }
        }
        if (!pending.Pop(&sector)) {
            break;
        }
    }
    return TRUE;
}

RwBool rpCollisionWorldForAllSectorsOnSpan(RpWorld *world, const RwV3d &start, const RwV3d &delta,
                                           rpCollisionSectorVisit visit, void *data)
{
    rpCollisionStack<SpanItem> pending;
    SpanItem item = {world->rootSector, rpCollisionWholeSpan()};
    while (item.sector != nullptr) {
        RwInt32 axis = 0;
        if (IsLeaf(item.sector)) {
            if (!visit(reinterpret_cast<RpWorldSector *>(item.sector), item.span, data)) {
                return FALSE;
            }
        } else if (PlaneAxis(item.sector, &axis)) {
            const auto *plane = reinterpret_cast<const RpPlaneSector *>(item.sector);
            rpCollisionSpan left, right;
            const RwBool leftFirst =
                rpCollisionSplitSpan(start, delta, axis, plane->leftValue, plane->rightValue, item.span, &left, &right);
            const RwInt32 follow = rpCollisionFollowPieces(pending, SpanItem{plane->leftSubTree, left},
                                                           SpanItem{plane->rightSubTree, right}, leftFirst, &item);
            if (follow < 0) {
                return FALSE;
            }
            if (follow > 0) {
                continue;
            }
        }
        if (!pending.Pop(&item)) {
            break;
        }
    }
    return TRUE;
}

RwBool RpCollisionWorldForAllSectorsOnLine(RpWorld *world, const RwLine *line, RpWorldSectorCallBack callBack,
                                           void *data)
{
    RwV3d delta;
    RwV3dSub(&delta, &line->end, &line->start);
    SectorCallBackAdapter adapter = {callBack, data};
    return rpCollisionWorldForAllSectorsOnSpan(world, line->start, delta, CallSectorCallBack, &adapter);
}

RwBool RpCollisionWorldForAllSectorsInSphere(RpWorld *world, const RwSphere *sphere,
                                             RpWorldSectorCallBack callBack, void *data)
{
    const RwReal r2 = sphere->radius * sphere->radius;
    rpCollisionStack<RegionItem> pending;
    // The root's region is all of space rather than the world's box: atomics
    // may stand out of the box and are still tied to the border sectors.
    constexpr RwReal inf = std::numeric_limits<RwReal>::infinity();
    RegionItem item = {world->rootSector, {{inf, inf, inf}, {-inf, -inf, -inf}}};
    while (item.sector != nullptr) {
        RwInt32 axis = 0;
        if (SquaredDistanceToBox(sphere->center, item.region) <= r2) {
            if (IsLeaf(item.sector)) {
                if (callBack(reinterpret_cast<RpWorldSector *>(item.sector), data) == nullptr) {
                    return FALSE;
                }
            } else if (PlaneAxis(item.sector, &axis)) {
                const auto *plane = reinterpret_cast<const RpPlaneSector *>(item.sector);
                RegionItem left = {plane->leftSubTree, item.region};
                RegionItem right = {plane->rightSubTree, item.region};
                rpCollisionAxis(left.region.sup, axis) = plane->leftValue;
                rpCollisionAxis(right.region.inf, axis) = plane->rightValue;
                if (!pending.Push(right)) {
                    return FALSE;
                }
                item = left;
                continue;
            }
        }
        if (!pending.Pop(&item)) {
            break;
        }
    }
    return TRUE;
}
