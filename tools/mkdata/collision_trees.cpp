// Collision trees for the sample data (see collision_trees.h).
#include "tools/mkdata/collision_trees.h"

namespace mkdata {

namespace {

RpAtomic *AddGeometryTree(RpAtomic *atomic, void *data)
{
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    if (geometry == nullptr || geometry->numMorphTargets != 1 || geometry->numTriangles == 0 ||
        RpCollisionGeometryGetData(geometry) != nullptr) {
        return atomic;
    }
    if (RpCollisionGeometryBuildData(geometry, kCollisionLeafTriangles) == nullptr) {
        *static_cast<bool *>(data) = false;
        return nullptr;
    }
    return atomic;
}

}  // namespace

bool AddCollisionTrees(RpClump *clump)
{
    bool ok = true;
    RpClumpForAllAtomics(clump, AddGeometryTree, &ok);
    return ok;
}

bool AddCollisionTrees(RpWorld *world) { return RpCollisionWorldBuildData(world, kCollisionLeafTriangles) != nullptr; }

}  // namespace mkdata
