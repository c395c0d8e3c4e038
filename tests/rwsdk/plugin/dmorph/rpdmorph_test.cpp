// Tests of delta morphing: weight changes are added into the geometry once,
// as the difference from the last applied weight, and run maps or point
// counts that reach past the vertices or points are refused when read.
#include <string>

#include "rwsdk/tool/anim/anim_test_support.h"

namespace rpdmorph_test {

namespace {

using animtest::AnimTest;

RwInt32 renders = 0;
RpAtomic *CountRender(RpAtomic *atomic) { return ++renders, atomic; }

class DeltaMorphTest : public AnimTest {
protected:
    void SetUp() override
    {
        AnimTest::SetUp();
        geometry = RpGeometryCreate(4, 0, rpGEOMETRYPOSITIONS);
        for (RwInt32 v = 0; v < 4; ++v) {
            geometry->morphTarget[0].verts[v] = {static_cast<RwReal>(v), 0, 0};
        }
    }
    void TearDown() override
    {
        RpGeometryDestroy(geometry);
        AnimTest::TearDown();
    }
    // One target named "smile" moving vertices 1 and 2 (skip 1, take 2).
    animtest::Bytes Target(RwUInt8 takeRun, RwUInt32 numPoints)
    {
        animtest::Bytes b;
        b.U32(1).U32(6);
        for (char c : std::string("smile")) {
            b.U8(static_cast<RwUInt8>(c));
        }
        b.U8(0);
        b.U32(rpDMORPHPOSITIONS).U32(rpGEOMETRYLOCKVERTICES).U32(2).U32(numPoints);
        b.U8(0x01).U8(takeRun);
        for (RwUInt32 p = 0; p < numPoints; ++p) {
            b.F32(0).F32(static_cast<RwReal>(p + 1)).F32(0);
        }
        b.F32(0).F32(0).F32(0).F32(1);
        return b;
    }
    bool ReadInto(const std::vector<RwUInt8> &body)
    {
        return animtest::ReadExtensionInto(RpGeometryGetPluginRegistry(), rpDMORPHPLUGINID, body, geometry);
    }
    RpGeometry *geometry = nullptr;
};

TEST_F(DeltaMorphTest, WeightChangesAreAppliedOnceAsDifferences)
{
    ASSERT_TRUE(ReadInto(Target(0x82, 2).data));
    ASSERT_EQ(RpDeltaMorphGeometryGetNumTargets(geometry), 1u);
    EXPECT_STREQ(RpDeltaMorphGeometryGetData(geometry)->targets[0].name, "smile");
    RpAtomic *atomic = RpAtomicCreate();
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpAtomicSetRenderCallBack(atomic, CountRender);
    ASSERT_NE(RpDeltaMorphAtomicSetup(atomic), nullptr);
    ASSERT_EQ(RpDeltaMorphAtomicGetNumWeights(atomic), 1u);
    renders = 0;
    RpDeltaMorphAtomicGetWeights(atomic)[0] = 0.5f;
    RpAtomicRender(atomic);
    RpAtomicRender(atomic);  // unchanged weight: nothing more is added
    EXPECT_EQ(renders, 2);
    EXPECT_FLOAT_EQ(geometry->morphTarget[0].verts[1].y, 0.5f);
    EXPECT_FLOAT_EQ(geometry->morphTarget[0].verts[2].y, 1.0f);
    EXPECT_FLOAT_EQ(geometry->morphTarget[0].verts[0].y, 0.0f);
    EXPECT_FLOAT_EQ(geometry->morphTarget[0].verts[3].y, 0.0f);
    RpDeltaMorphAtomicGetWeights(atomic)[0] = 0.75f;  // a quarter more
    RpAtomicRender(atomic);
    EXPECT_FLOAT_EQ(geometry->morphTarget[0].verts[1].y, 0.75f);
    EXPECT_FLOAT_EQ(geometry->morphTarget[0].verts[2].y, 1.5f);
    // The stream form the plug-in writes is the one it read.
    std::vector<RwUInt8> written =
        animtest::WrittenBy([&](RwStream *s) { RpDeltaMorphGeometryStreamWrite(s, 0, geometry, 0, 0); });
    EXPECT_EQ(written, Target(0x82, 2).data);
    EXPECT_EQ(static_cast<size_t>(RpDeltaMorphGeometryStreamGetSize(geometry, 0, 0)), written.size());
    RpAtomicDestroy(atomic);
}

TEST_F(DeltaMorphTest, MapsReachingPastVerticesOrPointsAreRefused)
{
    EXPECT_FALSE(ReadInto(Target(0x84, 4).data));  // vertices 1..4 of 4
    EXPECT_FALSE(ReadInto(Target(0x82, 1).data));  // two vertices, one point
    animtest::Bytes longName;
    longName.U32(1).U32(0xFFFFFFF0);
    EXPECT_FALSE(ReadInto(longName.data));
    animtest::Bytes manyTargets;
    manyTargets.U32(0x40000000);
    EXPECT_FALSE(ReadInto(manyTargets.data));
    EXPECT_EQ(RpDeltaMorphGeometryGetNumTargets(geometry), 0u);
    rwtest::TakeError();
}

}  // namespace

}  // namespace rpdmorph_test
