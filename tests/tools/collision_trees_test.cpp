// The maker's collision trees: single-target geometries get a tree that
// finds what a triangle-by-triangle search finds; morphing ones get none.
#include <gtest/gtest.h>

#include "support/engine/engine_env.h"
#include "tools/mkdata/collision_trees.h"
#include "tools/mkdata/data_tree.h"

namespace collision_trees_test {

namespace {

class CollisionTreesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, mkdata::AttachPlugins)); }
    void TearDown() override { EXPECT_TRUE(rwtest::EngineShutDown()); }
};

RpAtomic *AddFan(RpClump *clump, RwInt32 targets)
{
    RpGeometry *geometry = RpGeometryCreate(40, 38, rpGEOMETRYPOSITIONS);
    if (targets > 1) {
        RpGeometryAddMorphTargets(geometry, targets - 1);
    }
    for (RwInt32 t = 0; t < targets; ++t) {
        for (RwInt32 i = 0; i < 40; ++i) {
            geometry->morphTarget[t].verts[i] = {static_cast<RwReal>(i), static_cast<RwReal>(i % 3), static_cast<RwReal>(i % 2)};
        }
    }
    for (RwInt32 i = 0; i < 38; ++i) {
        geometry->triangles[i] = {{static_cast<RwUInt16>(i), static_cast<RwUInt16>(i + 1), static_cast<RwUInt16>(i + 2)}, 0};
    }
    RpAtomic *atomic = RpAtomicCreate();
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);
    RpClumpAddAtomic(clump, atomic);
    return atomic;
}

TEST_F(CollisionTreesTest, OnlySingleTargetGeometriesGetATree)
{
    RpClump *clump = RpClumpCreate();
    RpAtomic *still = AddFan(clump, 1);
    RpAtomic *morphing = AddFan(clump, 2);
    ASSERT_TRUE(mkdata::AddCollisionTrees(clump));
    const RpCollisionData *data = RpCollisionGeometryGetData(RpAtomicGetGeometry(still));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->numTriangles, 38u);
    EXPECT_GT(data->tree->numLeaves, 1u);
    EXPECT_EQ(RpCollisionGeometryGetData(RpAtomicGetGeometry(morphing)), nullptr);
    RpClumpDestroy(clump);
}

}  // namespace

}  // namespace collision_trees_test
