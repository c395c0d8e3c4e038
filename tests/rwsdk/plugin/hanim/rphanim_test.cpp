// Tests of hierarchical animation: the standard keyframe arithmetic, the
// matrix update against a plain parent-table computation (including the
// final pop past the root that every skeleton makes), frame binding, and
// the hierarchy stream with hostile node counts.
#include "rwsdk/tool/anim/anim_test_support.h"

namespace rphanim_test {

namespace {

using animtest::AnimTest;
using animtest::Key;

// Root 0 with children 1 and 3; node 1 has child 2. Depth first: 0,1,2,3.
// Node 1 has a later sibling (push); nodes 2 and 3 are leaves (pop); the
// pop of node 3 finds the stack empty.
const RwInt32 kParents[4] = {-1, 0, 1, 0};
const RwUInt32 kNodeFlags[4] = {0, rpHANIMPUSHPARENTMATRIX, rpHANIMPOPPARENTMATRIX, rpHANIMPOPPARENTMATRIX};
const RwInt32 kNodeIDs[4] = {10, 11, 12, 13};

std::vector<Key> SkeletonKeys()
{
    std::vector<Key> keys;
    for (RwInt32 i = 0; i < 4; ++i) {
        keys.push_back({i, 0.0f, 10.0f * static_cast<RwReal>(i), {1.0f, static_cast<RwReal>(i), 0}});
    }
    for (RwInt32 i = 0; i < 4; ++i) {
        keys.push_back({i, 2.0f, 90.0f - 20.0f * static_cast<RwReal>(i), {2.0f, 0.5f, static_cast<RwReal>(i)}});
    }
    return keys;
}

// Local matrix of node i at time t by direct formulas: z rotation of the
// linearly interpolated angle (slerp about one axis is linear in angle).
RwMatrix ReferenceLocal(RwInt32 i, RwReal t)
{
    RwReal a = t / 2.0f;
    RwReal ri = static_cast<RwReal>(i);
    RwReal degrees = 10.0f * ri + (90.0f - 30.0f * ri) * a;
    RwReal r = degrees * 3.14159265358979f / 180.0f;
    RwMatrix m;
    std::memset(&m, 0, sizeof(m));
    m.right = {std::cos(r), std::sin(r), 0};
    m.up = {-std::sin(r), std::cos(r), 0};
    m.at = {0, 0, 1};
    m.pos = {1.0f + a, ri + (0.5f - ri) * a, ri * a};
    return m;
}

RwMatrix Multiply(const RwMatrix &a, const RwMatrix &b)
{
    RwMatrix out;
    RwMatrixMultiply(&out, &a, &b);
    return out;
}

class HierarchyTest : public AnimTest {
protected:
    void SetUp() override
    {
        AnimTest::SetUp();
        animation = animtest::MakeAnimation(4, 2.0f, SkeletonKeys());
        ASSERT_NE(animation, nullptr);
    }
    void TearDown() override
    {
        RtAnimAnimationDestroy(animation);
        AnimTest::TearDown();
    }
    RtAnimAnimation *animation = nullptr;
};

TEST_F(HierarchyTest, UpdateMatchesAParentTableComputationAtSeveralTimes)
{
    RwFrame *above = RwFrameCreate();
    RwV3d lift{0.0f, 0.0f, 5.0f};
    RwFrameTranslate(above, &lift, rwCOMBINEREPLACE);
    RwFrame *owner = RwFrameCreate();
    RwFrameAddChild(above, owner);
    RpHAnimHierarchy *hierarchy = RpHAnimHierarchyCreate(4, kNodeFlags, kNodeIDs, 0, sizeof(RpHAnimInterpFrame));
    ASSERT_NE(hierarchy, nullptr);
    RpHAnimFrameSetHierarchy(owner, hierarchy);
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(hierarchy->currentAnim, animation));
    for (RwReal t : {0.0f, 0.5f, 1.25f, 2.0f}) {
        RtAnimInterpolatorSetCurrentTime(hierarchy->currentAnim, t);
        ASSERT_TRUE(RpHAnimHierarchyUpdateMatrices(hierarchy));
        RwMatrix world[4];
        for (RwInt32 i = 0; i < 4; ++i) {
            RwMatrix parent = kParents[i] < 0 ? *RwFrameGetLTM(above) : world[kParents[i]];
            world[i] = Multiply(ReferenceLocal(i, t), parent);
            animtest::ExpectMatrixNear(hierarchy->pMatrixArray[i], world[i], 1e-4f);
        }
    }
    RpHAnimFrameSetHierarchy(owner, nullptr);
    hierarchy->parentFrame = nullptr;
    RpHAnimHierarchyDestroy(hierarchy);
    RwFrameDestroyHierarchy(above);
}

TEST_F(HierarchyTest, AttachedFramesReceiveModellingAndWorldMatrices)
{
    // Frames shaped like the skeleton, found by node id.
    RwFrame *frames[4];
    for (RwInt32 i = 0; i < 4; ++i) {
        frames[i] = RwFrameCreate();
        RpHAnimFrameSetID(frames[i], kNodeIDs[i]);
        if (kParents[i] >= 0) {
            RwFrameAddChild(frames[kParents[i]], frames[i]);
        }
    }
    RwUInt32 flags = rpHANIMHIERARCHYUPDATEMODELLINGMATRICES | rpHANIMHIERARCHYUPDATELTMS;
    RpHAnimHierarchy *hierarchy = RpHAnimHierarchyCreate(4, kNodeFlags, kNodeIDs, flags, sizeof(RpHAnimInterpFrame));
    RpHAnimFrameSetHierarchy(frames[0], hierarchy);
    RpHAnimHierarchyAttach(hierarchy);
    for (RwInt32 i = 0; i < 4; ++i) {
        EXPECT_EQ(hierarchy->pNodeInfo[i].pFrame, frames[i]);
    }
    RtAnimInterpolatorSetCurrentAnim(hierarchy->currentAnim, animation);
    RtAnimInterpolatorSetCurrentTime(hierarchy->currentAnim, 0.75f);
    ASSERT_TRUE(RpHAnimHierarchyUpdateMatrices(hierarchy));
    for (RwInt32 i = 0; i < 4; ++i) {
        animtest::ExpectMatrixNear(frames[i]->modelling, ReferenceLocal(i, 0.75f), 1e-4f);
        animtest::ExpectMatrixNear(frames[i]->ltm, hierarchy->pMatrixArray[i], 1e-5f);
    }
    // Synchronising from the modelling matrices gives the same world matrices.
    RwFrameMarkDirty(frames[0]);
    RwFrameSyncDirty();
    for (RwInt32 i = 0; i < 4; ++i) {
        animtest::ExpectMatrixNear(*RwFrameGetLTM(frames[i]), hierarchy->pMatrixArray[i], 1e-4f);
    }
    // Destroying the owning frame destroys the hierarchy it owns.
    RwFrameDestroyHierarchy(frames[0]);
}

TEST_F(HierarchyTest, FrameMatricesWithoutAMatrixArrayFollowTheSameRule)
{
    RpHAnimHierarchy *hierarchy = RpHAnimHierarchyCreate(4, kNodeFlags, kNodeIDs,
                                                         rpHANIMHIERARCHYNOMATRICES | rpHANIMHIERARCHYUPDATELTMS,
                                                         sizeof(RpHAnimInterpFrame));
    EXPECT_EQ(hierarchy->pMatrixArray, nullptr);
    RwFrame *frames[4];
    for (RwInt32 i = 0; i < 4; ++i) {
        frames[i] = RwFrameCreate();
        hierarchy->pNodeInfo[i].pFrame = frames[i];
    }
    RtAnimInterpolatorSetCurrentAnim(hierarchy->currentAnim, animation);
    RtAnimInterpolatorSetCurrentTime(hierarchy->currentAnim, 1.0f);
    ASSERT_TRUE(RpHAnimHierarchyUpdateMatrices(hierarchy));
    RwMatrix world[4];
    for (RwInt32 i = 0; i < 4; ++i) {
        RwMatrix identity;
        RwMatrixSetIdentity(&identity);
        world[i] = Multiply(ReferenceLocal(i, 1.0f), kParents[i] < 0 ? identity : world[kParents[i]]);
        animtest::ExpectMatrixNear(frames[i]->ltm, world[i], 1e-4f);
        RwFrameDestroy(frames[i]);
    }
    RpHAnimHierarchyDestroy(hierarchy);
}

TEST_F(AnimTest, StandardKeyframesTakeTheShortWayAndCompose)
{
    RpHAnimStdKeyFrame k1{0, 0.0f, animtest::QuatZ(0.0f), {0, 0, 0}};
    RpHAnimStdKeyFrame k2{0, 1.0f, animtest::QuatZ(90.0f), {4, 0, 0}};
    k2.q = {{-k2.q.imag.x, -k2.q.imag.y, -k2.q.imag.z}, -k2.q.real};  // same rotation, far hemisphere
    RpHAnimInterpFrame out{};
    RpHAnimKeyFrameInterpolate(&out, &k1, &k2, 0.5f, nullptr);
    EXPECT_GT(k2.q.real, 0.0f);  // flipped where it is stored
    RtQuat expected = animtest::QuatZ(45.0f);
    EXPECT_NEAR(out.q.imag.z, expected.imag.z, 1e-5f);
    EXPECT_NEAR(out.q.real, expected.real, 1e-5f);
    EXPECT_NEAR(out.t.x, 2.0f, 1e-6f);
    // Equal times: the first keyframe holds rather than dividing by zero.
    k2.time = 0.0f;
    RpHAnimKeyFrameInterpolate(&out, &k1, &k2, 0.0f, nullptr);
    EXPECT_FLOAT_EQ(out.t.x, 0.0f);
    // Composing a rotation with its reciprocal gives the identity.
    RpHAnimInterpFrame a{0, 0, animtest::QuatZ(30.0f), {1, 2, 3}};
    RpHAnimInterpFrame b = a;
    RpHAnimKeyFrameMulRecip(&b, &a);
    EXPECT_NEAR(b.q.real, 1.0f, 1e-6f);
    EXPECT_NEAR(b.t.x, 0.0f, 1e-6f);
    RpHAnimInterpFrame sum{};
    RpHAnimKeyFrameAdd(&sum, &a, &a);
    EXPECT_NEAR(sum.q.imag.z, animtest::QuatZ(60.0f).imag.z, 1e-5f);
}

class HierarchyStreamTest : public AnimTest {
protected:
    // Reads `body` as the frame's 0x11E extension data; true when accepted.
    bool ReadExtension(RwFrame *frame, const std::vector<RwUInt8> &body)
    {
        return animtest::ReadExtensionInto(RwFrameGetPluginRegistry(), rpHANIMPLUGINID, body, frame);
    }
};

TEST_F(HierarchyStreamTest, WrittenHierarchyReadsBack)
{
    RwFrame *source = RwFrameCreate();
    RpHAnimFrameSetID(source, 10);
    RpHAnimHierarchy *hierarchy = RpHAnimHierarchyCreate(4, kNodeFlags, kNodeIDs, rpHANIMHIERARCHYUPDATELTMS,
                                                         sizeof(RpHAnimInterpFrame));
    RpHAnimFrameSetHierarchy(source, hierarchy);
    std::vector<RwUInt8> bytes = animtest::WrittenBy(
        [&](RwStream *s) { RwPluginRegistryWriteDataChunks(RwFrameGetPluginRegistry(), s, source); });
    RwFrame *copy = RwFrameCreate();
    RwMemoryDescriptor desc{};
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    ASSERT_NE(RwPluginRegistryReadDataChunks(RwFrameGetPluginRegistry(), stream, copy), nullptr);
    RwStreamClose(stream, nullptr);
    RpHAnimHierarchy *read = RpHAnimFrameGetHierarchy(copy);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(RpHAnimFrameGetID(copy), 10);
    EXPECT_EQ(read->parentFrame, copy);
    EXPECT_EQ(read->flags, rpHANIMHIERARCHYUPDATELTMS);
    for (RwInt32 i = 0; i < 4; ++i) {
        EXPECT_EQ(read->pNodeInfo[i].nodeID, kNodeIDs[i]);
        EXPECT_EQ(read->pNodeInfo[i].flags, kNodeFlags[i]);
    }
    // A frame with only a node id writes the short body.
    RwFrame *plain = RwFrameCreate();
    RpHAnimFrameSetID(plain, 5);
    EXPECT_EQ(RwPluginRegistryGetSize(RwFrameGetPluginRegistry(), plain), 12 + 12);
    RwFrameDestroy(plain);
    RwFrameDestroy(copy);
    RwFrameDestroy(source);
}

TEST_F(HierarchyStreamTest, HostileBodiesAreRefused)
{
    RwFrame *frame = RwFrameCreate();
    animtest::Bytes bigCount;
    bigCount.U32(0x100).I32(1).I32(0x10000000).U32(0).I32(36);
    EXPECT_FALSE(ReadExtension(frame, bigCount.data));
    animtest::Bytes tooFewNodes;  // claims 3 nodes, carries 1
    tooFewNodes.U32(0x100).I32(1).I32(3).U32(0).I32(36).I32(1).I32(0).U32(0);
    EXPECT_FALSE(ReadExtension(frame, tooFewNodes.data));
    animtest::Bytes tinyRecords;  // records too small for the interpolator's links
    tinyRecords.U32(0x100).I32(1).I32(1).U32(0).I32(4).I32(1).I32(0).U32(0);
    EXPECT_FALSE(ReadExtension(frame, tinyRecords.data));
    animtest::Bytes hugeRecords;
    hugeRecords.U32(0x100).I32(1).I32(1).U32(0).I32(0x7FFFFFFF).I32(1).I32(0).U32(0);
    EXPECT_FALSE(ReadExtension(frame, hugeRecords.data));
    animtest::Bytes badVersion;
    badVersion.U32(0x101).I32(1).I32(0);
    EXPECT_FALSE(ReadExtension(frame, badVersion.data));
    EXPECT_EQ(RpHAnimFrameGetHierarchy(frame), nullptr);
    // A streamed hierarchy never claims to borrow another's arrays.
    animtest::Bytes sub;
    sub.U32(0x100).I32(1).I32(1).U32(rpHANIMHIERARCHYSUBHIERARCHY).I32(36).I32(1).I32(0).U32(0);
    EXPECT_TRUE(ReadExtension(frame, sub.data));
    ASSERT_NE(RpHAnimFrameGetHierarchy(frame), nullptr);
    EXPECT_EQ(RpHAnimFrameGetHierarchy(frame)->flags & rpHANIMHIERARCHYSUBHIERARCHY, 0u);
    RwFrameDestroy(frame);
    rwtest::TakeError();
}

}  // namespace

}  // namespace rphanim_test
