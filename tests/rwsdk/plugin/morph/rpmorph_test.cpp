// Tests of the morph plug-in: time stepping round an interpolator ring, the
// position without wrap, the atomic's interpolator refresh, and refusal of
// stored indices and durations that would stray or never finish.
#include <algorithm>

#include "rwsdk/tool/anim/anim_test_support.h"

namespace rpmorph_test {

namespace {

using animtest::AnimTest;

class MorphTest : public AnimTest {
protected:
    void SetUp() override
    {
        AnimTest::SetUp();
        geometry = RpGeometryCreate(3, 0, rpGEOMETRYPOSITIONS);
        ASSERT_EQ(RpGeometryAddMorphTargets(geometry, 2), 1);
        atomic = RpAtomicCreate();
        RpAtomicSetGeometry(atomic, geometry, 0);
        // A ring of three: 0 -> 1 (1 s), 1 -> 2 (2 s), 2 -> 0 (1 s).
        ASSERT_NE(RpMorphGeometryCreateInterpolators(geometry, 3), nullptr);
        ASSERT_NE(RpMorphGeometrySetInterpolator(geometry, 0, 0, 1, 1.0f), nullptr);
        ASSERT_NE(RpMorphGeometrySetInterpolator(geometry, 1, 1, 2, 2.0f), nullptr);
        ASSERT_NE(RpMorphGeometrySetInterpolator(geometry, 2, 2, 0, 1.0f), nullptr);
        ASSERT_NE(RpMorphAtomicSetCurrentInterpolator(atomic, 0), nullptr);
    }
    void TearDown() override
    {
        RpAtomicDestroy(atomic);
        RpGeometryDestroy(geometry);
        AnimTest::TearDown();
    }
    bool ReadInto(const std::vector<RwUInt8> &body)
    {
        return animtest::ReadExtensionInto(RpGeometryGetPluginRegistry(), rpMORPHPLUGINID, body, geometry);
    }
    RpGeometry *geometry = nullptr;
    RpAtomic *atomic = nullptr;
};

TEST_F(MorphTest, AddTimeCarriesOverflowRoundTheRing)
{
    ASSERT_NE(RpMorphAtomicAddTime(atomic, 3.5f), nullptr);
    EXPECT_EQ(RpMorphAtomicGetCurrentInterpolator(atomic), 2);
    EXPECT_FLOAT_EQ(RpMorphAtomicGetPosition(atomic), 0.5f);
    EXPECT_EQ(atomic->interpolator.startMorphTarget, 2);
    EXPECT_EQ(atomic->interpolator.endMorphTarget, 0);
    EXPECT_FLOAT_EQ(atomic->interpolator.position, 0.5f);
    RpMorphAtomicSetCurrentInterpolator(atomic, 0);
    RpMorphAtomicAddTime(atomic, 1.0f);  // reaching the end exactly stays
    EXPECT_EQ(RpMorphAtomicGetCurrentInterpolator(atomic), 0);
    EXPECT_FLOAT_EQ(RpMorphAtomicGetPosition(atomic), 1.0f);
    // Many whole turns land where the remainder says, without a step each.
    RpMorphAtomicSetCurrentInterpolator(atomic, 0);
    RpMorphAtomicAddTime(atomic, 4.0f * 1e6f + 3.5f);
    EXPECT_EQ(RpMorphAtomicGetCurrentInterpolator(atomic), 2);
    EXPECT_NEAR(RpMorphAtomicGetPosition(atomic), 0.5f, 0.05f);
    RpMorphAtomicAddTime(atomic, 1e30f);
    EXPECT_GE(RpMorphAtomicGetCurrentInterpolator(atomic), 0);
}

TEST_F(MorphTest, SetTimeKeepsThePositionUnwrapped)
{
    ASSERT_NE(RpMorphAtomicSetTime(atomic, 5.0f), nullptr);
    EXPECT_EQ(RpMorphAtomicGetCurrentInterpolator(atomic), 0);
    EXPECT_FLOAT_EQ(atomic->interpolator.position * atomic->interpolator.recipTime, 5.0f);
    EXPECT_TRUE(atomic->interpolator.flags & rpINTERPOLATORDIRTYINSTANCE);
}

TEST_F(MorphTest, UnsetRecordsAndBadIndicesNeverLoopOrStray)
{
    // Records left unset have no length: a step must still finish.
    RpMorphGeometryCreateInterpolators(geometry, 2);
    RpMorphAtomicSetCurrentInterpolator(atomic, 0);
    EXPECT_NE(RpMorphAtomicAddTime(atomic, 1.0f), nullptr);
    EXPECT_EQ(RpMorphGeometrySetInterpolator(geometry, 2, 0, 1, 1.0f), nullptr);   // past the array
    EXPECT_EQ(RpMorphGeometrySetInterpolator(geometry, 0, 0, 3, 1.0f), nullptr);   // no target 3
    EXPECT_EQ(RpMorphGeometrySetInterpolator(geometry, 0, 0, 1, 0.0f), nullptr);   // no length
    EXPECT_EQ(RpMorphAtomicSetCurrentInterpolator(atomic, 7), nullptr);
    rwtest::TakeError();
    RpAtomic *bare = RpAtomicCreate();
    EXPECT_EQ(RpMorphAtomicGetCurrentInterpolator(bare), -1);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, static_cast<RwInt32>(rpMORPHPLUGINID));
    EXPECT_EQ(error.errorCode, E_RP_MORPH_NOGEOMETRY);
    RpAtomicDestroy(bare);
}

TEST_F(MorphTest, StreamRoundTripAndHostileRecords)
{
    std::vector<RwUInt8> written = animtest::WrittenBy([&](RwStream *s) {
        RwPluginRegistryWriteDataChunks(RpGeometryGetPluginRegistry(), s, geometry);
    });
    animtest::Bytes ring;
    ring.U32(3);
    ring.U32(0).I32(0).I32(1).F32(1.0f).I32(1);
    ring.U32(0).I32(1).I32(2).F32(2.0f).I32(2);
    ring.U32(0).I32(2).I32(0).F32(1.0f).I32(0);
    // What the plug-in wrote appears, sub-chunk and all, in the extension.
    EXPECT_NE(std::search(written.begin(), written.end(), ring.data.begin(), ring.data.end()), written.end());
    RpMorphGeometryCreateInterpolators(geometry, 0);
    ASSERT_TRUE(ReadInto(ring.data));
    ASSERT_EQ(RpMorphGeometryGetNumInterpolators(geometry), 3);
    RpMorphAtomicSetCurrentInterpolator(atomic, 0);
    RpMorphAtomicAddTime(atomic, 3.5f);
    EXPECT_EQ(RpMorphAtomicGetCurrentInterpolator(atomic), 2);

    animtest::Bytes badNext;
    badNext.U32(1).U32(0).I32(0).I32(1).F32(1.0f).I32(4);
    EXPECT_FALSE(ReadInto(badNext.data));
    animtest::Bytes badTarget;
    badTarget.U32(1).U32(0).I32(0).I32(9).F32(1.0f).I32(0);
    EXPECT_FALSE(ReadInto(badTarget.data));
    animtest::Bytes zeroTime;
    zeroTime.U32(1).U32(0).I32(0).I32(1).F32(0.0f).I32(0);
    EXPECT_FALSE(ReadInto(zeroTime.data));
    animtest::Bytes bigCount;
    bigCount.U32(0x10000000).U32(0);
    EXPECT_FALSE(ReadInto(bigCount.data));
    EXPECT_EQ(RpMorphGeometryGetNumInterpolators(geometry), 3);  // the good ring stays
    rwtest::TakeError();
}

}  // namespace

}  // namespace rpmorph_test
