// Tests of skinning: the bind pose reproduces the unskinned mesh, posed
// vertices equal a direct weighted-sum computation, two atomics on one
// hierarchy but different frames each get their own bone matrices, weights
// are ordered as the blend expects, and hostile skin data is refused.
#include "rwsdk/tool/anim/anim_test_support.h"

namespace rpskin_test {

namespace {

using animtest::AnimTest;

constexpr RwInt32 kNumVertices = 4;
const RwV3d kVertices[kNumVertices] = {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {1, 2, 0}};
const RwV3d kNormals[kNumVertices] = {{1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
const RwMatrixWeights kWeights[kNumVertices] = {{1, 0, 0, 0}, {0.5f, 0.5f, 0, 0}, {1, 0, 0, 0}, {0.25f, 0.75f, 0, 0}};
// Bone index k in byte k.
const RwUInt32 kIndices[kNumVertices] = {0x0000, 0x0100, 0x0001, 0x0100};

RwMatrix Translation(RwReal x, RwReal y, RwReal z)
{
    RwMatrix m;
    RwMatrixSetIdentity(&m);
    RwV3d t{x, y, z};
    RwMatrixTranslate(&m, &t, rwCOMBINEREPLACE);
    return m;
}

RwMatrix Inverse(const RwMatrix &m)
{
    RwMatrix out;
    RwMatrixInvert(&out, &m);
    return out;
}

RwMatrix Multiply(const RwMatrix &a, const RwMatrix &b)
{
    RwMatrix out;
    RwMatrixMultiply(&out, &a, &b);
    return out;
}

RwV3d Point(const RwV3d &p, const RwMatrix &m)
{
    RwV3d out;
    RwV3dTransformPoints(&out, &p, 1, &m);
    return out;
}

class SkinTest : public AnimTest {
protected:
    void SetUp() override
    {
        AnimTest::SetUp();
        // Two bones: bone 1 sits one unit up bone 0 and turns about z from
        // 0 to 90 degrees over one second.
        animation = animtest::MakeAnimation(2, 1.0f,
                                            {{0, 0.0f, 0, {0, 0, 0}},
                                             {1, 0.0f, 0, {0, 1, 0}},
                                             {0, 1.0f, 0, {0, 0, 0}},
                                             {1, 1.0f, 90, {0, 1, 0}}});
        const RwUInt32 nodeFlags[2] = {0, rpHANIMPOPPARENTMATRIX};
        const RwInt32 ids[2] = {1, 2};
        hierarchy = RpHAnimHierarchyCreate(2, nodeFlags, ids, 0, sizeof(RpHAnimInterpFrame));
        ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(hierarchy->currentAnim, animation));
        bind[0] = Translation(0, 0, 0);
        bind[1] = Translation(0, 1, 0);
        RwMatrix inverse[2] = {Inverse(bind[0]), Inverse(bind[1])};
        geometry = MakeGeometry();
        RpSkin *skin = RpSkinCreate(kNumVertices, 2, kWeights, kIndices, inverse);
        ASSERT_NE(skin, nullptr);
        ASSERT_NE(RpSkinGeometrySetSkin(geometry, skin), nullptr);
    }
    void TearDown() override
    {
        for (RpAtomic *atomic : atomics) {
            RwFrame *frame = RpAtomicGetFrame(atomic);
            RpAtomicDestroy(atomic);
            RwFrameDestroy(frame);
        }
        RpGeometryDestroy(geometry);
        RpHAnimHierarchyDestroy(hierarchy);
        RtAnimAnimationDestroy(animation);
        AnimTest::TearDown();
    }
    static RpGeometry *MakeGeometry()
    {
        RpGeometry *g = RpGeometryCreate(kNumVertices, 0, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS);
        for (RwInt32 v = 0; v < kNumVertices; ++v) {
            g->morphTarget[0].verts[v] = kVertices[v];
            g->morphTarget[0].normals[v] = kNormals[v];
        }
        return g;
    }
    RpAtomic *MakeAtomic(const RwMatrix &placement)
    {
        RpAtomic *atomic = RpAtomicCreate();
        RwFrame *frame = RwFrameCreate();
        RwFrameTransform(frame, &placement, rwCOMBINEREPLACE);
        RpAtomicSetFrame(atomic, frame);
        RpAtomicSetGeometry(atomic, geometry, 0);
        RpSkinAtomicSetHierarchy(atomic, hierarchy);
        atomics.push_back(atomic);
        return atomic;
    }
    // The posed vertex by the weighted sum written out: each bone takes the
    // vertex from bind space to world space, then into the atomic's space.
    RwV3d Reference(RwInt32 v, RpAtomic *atomic)
    {
        RwMatrix toAtomic = Inverse(*RwFrameGetLTM(RpAtomicGetFrame(atomic)));
        const RwReal w[2] = {kWeights[v].w0, kWeights[v].w1};
        RwV3d sum{0, 0, 0};
        for (RwInt32 k = 0; k < 2; ++k) {
            RwInt32 bone = static_cast<RwInt32>((kIndices[v] >> (8 * k)) & 0xFF);
            RwMatrix m = Multiply(Multiply(Inverse(bind[bone]), hierarchy->pMatrixArray[bone]), toAtomic);
            RwV3d p = Point(kVertices[v], m);
            RwV3dIncrementScaled(&sum, &p, w[k]);
        }
        return sum;
    }
    void Pose(RwReal t)
    {
        RtAnimInterpolatorSetCurrentTime(hierarchy->currentAnim, t);
        RpHAnimHierarchyUpdateMatrices(hierarchy);
        ++RwEngineInst->renderFrame;
    }

    RtAnimAnimation *animation = nullptr;
    RpHAnimHierarchy *hierarchy = nullptr;
    RpGeometry *geometry = nullptr;
    RwMatrix bind[2];
    std::vector<RpAtomic *> atomics;
};

struct Vertex {
    RwV3d position;
    RwV3d normal;
};

TEST_F(SkinTest, BindPoseReproducesTheUnskinnedMesh)
{
    RpAtomic *atomic = MakeAtomic(Translation(0, 0, 0));
    Pose(0.0f);
    Vertex out[kNumVertices];
    ASSERT_NE(RpSkinAtomicBlendVertices(atomic, out, sizeof(Vertex)), nullptr);
    for (RwInt32 v = 0; v < kNumVertices; ++v) {
        animtest::ExpectNear(out[v].position, kVertices[v], 1e-5f);
        animtest::ExpectNear(out[v].normal, kNormals[v], 1e-5f);
    }
}

TEST_F(SkinTest, PosedVerticesEqualTheWeightedSum)
{
    RpAtomic *atomic = MakeAtomic(Translation(0, 0, 0));
    for (RwReal t : {0.25f, 0.5f, 1.0f}) {
        Pose(t);
        Vertex out[kNumVertices];
        ASSERT_NE(RpSkinAtomicBlendVertices(atomic, out, sizeof(Vertex)), nullptr);
        for (RwInt32 v = 0; v < kNumVertices; ++v) {
            animtest::ExpectNear(out[v].position, Reference(v, atomic), 1e-5f);
        }
    }
    // At 90 degrees the tip of bone 1 points along -x.
    animtest::ExpectNear(Reference(2, atomic), {-1, 1, 0}, 1e-5f);
}

TEST_F(SkinTest, TwoAtomicsOnOneHierarchyEachGetTheirOwnBoneMatrices)
{
    RpAtomic *first = MakeAtomic(Translation(0, 0, 0));
    RpAtomic *second = MakeAtomic(Translation(5, 0, 0));
    RpAtomic *twin = MakeAtomic(Translation(0, 0, 0));
    Pose(0.5f);
    Vertex a[kNumVertices];
    Vertex b[kNumVertices];
    Vertex c[kNumVertices];
    RwUInt32 builds = RpSkinGetBoneMatrixBuildCount();
    ASSERT_NE(RpSkinAtomicBlendVertices(first, a, sizeof(Vertex)), nullptr);
    ASSERT_NE(RpSkinAtomicBlendVertices(twin, c, sizeof(Vertex)), nullptr);
    EXPECT_EQ(RpSkinGetBoneMatrixBuildCount() - builds, 1u);  // same placement: built once
    ASSERT_NE(RpSkinAtomicBlendVertices(second, b, sizeof(Vertex)), nullptr);
    EXPECT_EQ(RpSkinGetBoneMatrixBuildCount() - builds, 2u);
    for (RwInt32 v = 0; v < kNumVertices; ++v) {
        animtest::ExpectNear(a[v].position, Reference(v, first), 1e-5f);
        animtest::ExpectNear(b[v].position, Reference(v, second), 1e-5f);
        animtest::ExpectNear(c[v].position, a[v].position, 0.0f);
        // The same world position seen from a frame five units along x.
        EXPECT_NEAR(b[v].position.x, a[v].position.x - 5.0f, 1e-5f);
    }
}

TEST_F(SkinTest, WeightsAreSortedDescendingWithTheirBones)
{
    const RpSkin *skin = RpSkinGeometryGetSkin(geometry);
    EXPECT_FLOAT_EQ(skin->vertexBoneWeights[3].w0, 0.75f);
    EXPECT_FLOAT_EQ(skin->vertexBoneWeights[3].w1, 0.25f);
    EXPECT_EQ(skin->vertexBoneIndices[3] & 0xFFFF, 0x0001u);
    EXPECT_EQ(skin->maxNumWeightsForVertex, 2);
    ASSERT_EQ(skin->numUsedBones, 2);
    EXPECT_EQ(skin->usedBones[0], 0);
    EXPECT_EQ(skin->usedBones[1], 1);
}

TEST_F(SkinTest, HierarchiesTooSmallForTheSkinAreRefused)
{
    RpAtomic *atomic = MakeAtomic(Translation(0, 0, 0));
    RpHAnimHierarchy *one = RpHAnimHierarchyCreate(1, nullptr, nullptr, 0, sizeof(RpHAnimInterpFrame));
    RpSkinAtomicSetHierarchy(atomic, one);
    Vertex out[kNumVertices];
    EXPECT_EQ(RpSkinAtomicBlendVertices(atomic, out, sizeof(Vertex)), nullptr);
    RpSkinAtomicSetHierarchy(atomic, hierarchy);
    RpHAnimHierarchyDestroy(one);
    // Bone indices with weight that name no bone never make a skin.
    const RwUInt32 bad[kNumVertices] = {0x0000, 0x0500, 0x0001, 0x0100};
    RwMatrix inverse[2] = {bind[0], bind[1]};
    EXPECT_EQ(RpSkinCreate(kNumVertices, 2, kWeights, bad, inverse), nullptr);
    rwtest::TakeError();
}

class SkinStreamTest : public SkinTest {
protected:
    // Reads `body` as a 4-vertex geometry's skin extension data.
    RpGeometry *ReadInto(const std::vector<RwUInt8> &body)
    {
        RpGeometry *target = MakeGeometry();
        bool ok = animtest::ReadExtensionInto(RpGeometryGetPluginRegistry(), rpSKINPLUGINID, body, target);
        if (!ok) {
            EXPECT_EQ(RpSkinGeometryGetSkin(target), nullptr);
            RpGeometryDestroy(target);
            return nullptr;
        }
        return target;
    }
    animtest::Bytes Body(RwUInt32 header, RwUInt32 vertexIndex3)
    {
        animtest::Bytes b;
        b.U32(header).U8(0).U8(1);
        for (RwInt32 v = 0; v < kNumVertices; ++v) {
            b.U32(v == 3 ? vertexIndex3 : kIndices[v]);
        }
        for (RwInt32 v = 0; v < kNumVertices; ++v) {
            b.F32(kWeights[v].w0).F32(kWeights[v].w1).F32(0).F32(0);
        }
        for (RwInt32 i = 0; i < 2 * 16; ++i) {
            b.F32(0);
        }
        b.I32(0).I32(0).I32(0);
        return b;
    }
};

TEST_F(SkinStreamTest, WrittenSkinReadsBack)
{
    std::vector<RwUInt8> body =
        animtest::WrittenBy([&](RwStream *s) { RpSkinGeometryStreamWrite(s, 0, geometry, 0, 0); });
    EXPECT_EQ(body.size(), static_cast<size_t>(RpSkinGeometryStreamGetSize(geometry, 0, 0)));
    RpGeometry *copy = ReadInto(body);
    ASSERT_NE(copy, nullptr);
    const RpSkin *a = RpSkinGeometryGetSkin(geometry);
    const RpSkin *b = RpSkinGeometryGetSkin(copy);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->numBones, 2);
    EXPECT_EQ(b->maxNumWeightsForVertex, a->maxNumWeightsForVertex);
    EXPECT_EQ(std::memcmp(b->vertexBoneWeights, a->vertexBoneWeights, sizeof(kWeights)), 0);
    EXPECT_EQ(std::memcmp(b->vertexBoneIndices, a->vertexBoneIndices, sizeof(kIndices)), 0);
    EXPECT_EQ(std::memcmp(b->skinToBoneMatrices, a->skinToBoneMatrices, 2 * sizeof(RwMatrix)), 0);
    RpGeometryDestroy(copy);
}

TEST_F(SkinStreamTest, HostileSkinsAreRefused)
{
    const RwUInt32 good = 2 | (2 << 8) | (2 << 16);
    RpGeometry *accepted = ReadInto(Body(good, 0x0100).data);
    ASSERT_NE(accepted, nullptr);
    RpGeometryDestroy(accepted);
    EXPECT_EQ(ReadInto(Body(good, 0x0700).data), nullptr);            // weighted index past the bones
    EXPECT_EQ(ReadInto(Body(2 | (2 << 8) | (5 << 16), 0x0100).data), nullptr);  // five weights
    EXPECT_EQ(ReadInto(Body(9 | (2 << 8) | (2 << 16), 0x0100).data), nullptr);  // more bones than bytes
    animtest::Bytes used = Body(good, 0x0100);
    used.data[5] = 9;  // a used bone that does not exist
    EXPECT_EQ(ReadInto(used.data), nullptr);
    animtest::Bytes split = Body(good, 0x0100);
    split.data.erase(split.data.end() - 8, split.data.end());
    split.I32(0x7FFFFFF).I32(0);  // split data claiming far more than is there
    EXPECT_EQ(ReadInto(split.data), nullptr);
    rwtest::TakeError();
}

}  // namespace

}  // namespace rpskin_test
