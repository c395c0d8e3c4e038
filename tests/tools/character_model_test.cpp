// The maker's skinned character against the engine's readers: the model
// reads back with its skeleton, frame names, skin and geometry; the
// animations read back key for key; the bind-pose animation reproduces
// the unskinned mesh and the two motions really move the figure.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "stage/model_frames.h"
#include "tests/tools/character_files.h"

namespace character_model_test {

namespace {

using namespace charactertest;

class CharacterModelTest : public rwtest::WorldTest {
protected:
    CharacterModelTest() : WorldTest(mkdata::AttachCharacterPlugins) {}
    void TearDown() override
    {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        for (RtAnimAnimation *a : animations) {
            RtAnimAnimationDestroy(a);
        }
        WorldTest::TearDown();
    }
    RtAnimAnimation *Load(RtAnimAnimation *(*build)())
    {
        RtAnimAnimation *a = ReadAnimation(AnimationBytes(build));
        EXPECT_NE(a, nullptr);
        animations.push_back(a);
        return a;
    }
    // The atomic's vertices posed by its hierarchy, in its own space.
    std::vector<RwV3d> Blended(RpAtomic *atomic)
    {
        std::vector<RwV3d> out(static_cast<size_t>(atomic->geometry->numVertices));
        ++RwEngineInst->renderFrame;
        EXPECT_NE(RpSkinAtomicBlendVertices(atomic, out.data(), sizeof(RwV3d)), nullptr);
        return out;
    }

    RpClump *clump = nullptr;
    std::vector<RtAnimAnimation *> animations;
};

TEST_F(CharacterModelTest, ModelReadsBackWithSkeletonNamesAndSkin)
{
    clump = ReadModel(ModelBytes());
    ASSERT_NE(clump, nullptr);
    RpHAnimHierarchy *hierarchy = GetClumpHierarchy(clump);
    ASSERT_NE(hierarchy, nullptr);
    ASSERT_EQ(hierarchy->numNodes, mkdata::kCharacterBones);
    RpHAnimHierarchyAttach(hierarchy);
    for (RwInt32 n = 0; n < hierarchy->numNodes; ++n) {
        RwFrame *frame = hierarchy->pNodeInfo[n].pFrame;
        ASSERT_NE(frame, nullptr) << "node " << n;
        ASSERT_EQ(RpUserDataFrameGetNumArrays(frame), 2);
        const RpUserDataArray *name = RpUserDataFrameGetArray(frame, 0);
        EXPECT_STREQ(RpUserDataArrayGetName(name), mkdata::CharacterBoneNameArray());
        EXPECT_STREQ(RpUserDataArrayGetString(name, 0), mkdata::CharacterBoneName(n));
        // The node id and the user-property id are the same number.
        const RpUserDataArray *props = RpUserDataFrameGetArray(frame, 1);
        EXPECT_STREQ(RpUserDataArrayGetName(props), mkdata::CharacterUserPropertiesArray());
        EXPECT_EQ(std::to_string(mkdata::CharacterBoneId(n)), RpUserDataArrayGetString(props, 0));
        EXPECT_EQ(hierarchy->pNodeInfo[n].nodeID, mkdata::CharacterBoneId(n));
        EXPECT_EQ(RpHAnimFrameGetID(frame), mkdata::CharacterBoneId(n));
    }
    // Depth-first push/pop: as many pops as pushes plus the final one.
    int pushes = 0;
    int pops = 0;
    for (RwInt32 n = 0; n < hierarchy->numNodes; ++n) {
        pushes += (hierarchy->pNodeInfo[n].flags & rpHANIMPUSHPARENTMATRIX) != 0;
        pops += (hierarchy->pNodeInfo[n].flags & rpHANIMPOPPARENTMATRIX) != 0;
    }
    EXPECT_EQ(pops, pushes + 1);
    RpAtomic *atomic = FirstAtomic(clump);
    ASSERT_NE(atomic, nullptr);
    const RpGeometry *g = atomic->geometry;
    EXPECT_TRUE(g->flags & rpGEOMETRYNORMALS);
    EXPECT_EQ(g->numTexCoordSets, 1);
    const RpSkin *skin = RpSkinGeometryGetSkin(g);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->numBones, mkdata::kCharacterBones);
    EXPECT_EQ(skin->maxNumWeightsForVertex, 2);
    EXPECT_EQ(skin->numUsedBones, mkdata::kCharacterBones);
    // Read skinned atomics are switched to the skin pipeline.
    EXPECT_EQ(atomic->pipeline, RpSkinGetAtomicPipeline());
    // Weights of every vertex sum to one over at most two bones.
    for (RwInt32 v = 0; v < g->numVertices; ++v) {
        const RwMatrixWeights &w = skin->vertexBoneWeights[v];
        EXPECT_NEAR(w.w0 + w.w1, 1.0f, 1e-6f);
        EXPECT_EQ(w.w2, 0.0f);
    }
}

TEST_F(CharacterModelTest, AnimationsReadBackKeyForKey)
{
    for (auto build : {mkdata::BuildCharacterAnimation, mkdata::BuildCharacterBindPose}) {
        RtAnimAnimation *made = build();
        RtAnimAnimation *read = Load(build);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->numFrames, made->numFrames);
        EXPECT_EQ(read->duration, made->duration);
        EXPECT_EQ(std::memcmp(read->pFrames, made->pFrames, sizeof(RpHAnimStdKeyFrame) * size_t(made->numFrames)), 0);
        RtAnimAnimationDestroy(made);
    }
    EXPECT_EQ(animations[0]->duration, mkdata::kCharacterDuration);
}

TEST_F(CharacterModelTest, BindPoseReproducesTheUnskinnedMesh)
{
    clump = ReadModel(ModelBytes());
    ASSERT_NE(clump, nullptr);
    RpHAnimHierarchy *hierarchy = Bind(clump, Load(mkdata::BuildCharacterBindPose));
    ASSERT_NE(hierarchy, nullptr);
    RpAtomic *atomic = FirstAtomic(clump);
    for (RwReal t : {0.0f, 0.4f, 1.0f}) {
        PoseAt(hierarchy, t);
        const std::vector<RwV3d> posed = Blended(atomic);
        for (size_t v = 0; v < posed.size(); ++v) {
            const RwV3d &bind = atomic->geometry->morphTarget[0].verts[v];
            ASSERT_NEAR(posed[v].x, bind.x, 1e-5f) << "vertex " << v << " at " << t;
            ASSERT_NEAR(posed[v].y, bind.y, 1e-5f);
            ASSERT_NEAR(posed[v].z, bind.z, 1e-5f);
        }
    }
}

// The walk swings the legs in opposite ways; the wave lifts the right arm
// above the shoulder and ends in the bind pose.
TEST_F(CharacterModelTest, TheTwoMotionsMoveTheFigure)
{
    clump = ReadModel(ModelBytes());
    ASSERT_NE(clump, nullptr);
    RpHAnimHierarchy *hierarchy = Bind(clump, Load(mkdata::BuildCharacterAnimation));
    ASSERT_NE(hierarchy, nullptr);
    RpAtomic *atomic = FirstAtomic(clump);
    const RwV3d *bind = atomic->geometry->morphTarget[0].verts;
    // Bone b's box starts at vertex 24 b; face 5 (bottom) is vertices 20..23.
    auto lowest = [](const std::vector<RwV3d> &v, RwInt32 bone) { return v[size_t(24 * bone + 20)]; };
    PoseAt(hierarchy, 0.25f);
    std::vector<RwV3d> walk = Blended(atomic);
    constexpr RwInt32 kArmR = mkdata::kNodeArmR;
    constexpr RwInt32 kLegL = mkdata::kNodeLegL;
    constexpr RwInt32 kLegR = mkdata::kNodeLegR;
    ASSERT_STREQ(mkdata::CharacterBoneName(kLegL), "leg_l");
    ASSERT_STREQ(mkdata::CharacterBoneName(kLegR), "leg_r");
    ASSERT_STREQ(mkdata::CharacterBoneName(kArmR), "arm_r");
    const RwReal leftFoot = lowest(walk, kLegL).z - bind[24 * kLegL + 20].z;
    const RwReal rightFoot = lowest(walk, kLegR).z - bind[24 * kLegR + 20].z;
    EXPECT_GT(std::fabs(leftFoot), 0.3f);
    EXPECT_LT(leftFoot * rightFoot, 0.0f);
    PoseAt(hierarchy, 1.5f);
    std::vector<RwV3d> wave = Blended(atomic);
    RwReal highest = -100.0f;
    for (RwInt32 v = 24 * kArmR; v < 24 * (kArmR + 1); ++v) {
        highest = std::fmax(highest, wave[size_t(v)].y);
    }
    EXPECT_GT(highest, 2.0f);  // the shoulder is at 1.7
    // The wave ends in the bind pose but for the left arm, which hangs.
    PoseAt(hierarchy, mkdata::kCharacterWaveEnd);
    std::vector<RwV3d> end = Blended(atomic);
    for (size_t v = 0; v < end.size(); ++v) {
        const auto bone = static_cast<RwInt32>(v / 24);
        if (bone != mkdata::kNodeArmL && bone != mkdata::kNodeHandL) {
            ASSERT_NEAR(end[v].y, bind[v].y, 1e-4f) << v;
        }
    }
}

// Standing at rest the arms hang (the hands at the hips, not held out at
// the shoulders' height as in the bind pose); at the end of the fall the
// figure lies on the ground.
TEST_F(CharacterModelTest, TheRestLetsTheArmsHangAndTheFallEndsLying)
{
    clump = ReadModel(ModelBytes());
    ASSERT_NE(clump, nullptr);
    RpHAnimHierarchy *hierarchy = Bind(clump, Load(mkdata::BuildCharacterAnimation));
    ASSERT_NE(hierarchy, nullptr);
    RpAtomic *atomic = FirstAtomic(clump);
    auto highest = [](const std::vector<RwV3d> &v, RwInt32 bone) {
        RwReal y = -100.0f;
        for (RwInt32 i = 24 * bone; i < 24 * (bone + 1); ++i) {
            y = std::fmax(y, v[size_t(i)].y);
        }
        return y;
    };
    for (RwReal t : {mkdata::kCharacterRestStart, 2.5f, mkdata::kCharacterRestEnd}) {
        SCOPED_TRACE(t);
        PoseAt(hierarchy, t);
        const std::vector<RwV3d> rest = Blended(atomic);
        EXPECT_LT(highest(rest, mkdata::kNodeHandL), 1.3f);  // the shoulders are at 1.7
        EXPECT_LT(highest(rest, mkdata::kNodeHandR), 1.3f);
        EXPECT_GT(highest(rest, mkdata::kNodeHead), 2.0f);  // still standing
    }
    PoseAt(hierarchy, mkdata::kCharacterDuration);
    const std::vector<RwV3d> lying = Blended(atomic);
    EXPECT_LT(highest(lying, mkdata::kNodeHead), 0.8f);
}

}  // namespace

}  // namespace character_model_test
