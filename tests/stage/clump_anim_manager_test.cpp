// The clump animation manager on the sample hero: the motion timeline
// (duration, frame, time, clamping, the end pose holding), blending against
// a reference pose, a change with no blend shown at once, refused motions,
// the set's use counting and the arrays the resource report reads.
#include <cmath>
#include <cstring>

#include "stage/model_frames.h"
#include "stage/anim_file.h"
#include "stage/clump_anim_manager.h"
#include "support/game/diagnostics_capture.h"
#include "tests/stage/stage_test_support.h"

namespace clump_anim_manager_test {

namespace {

using stagetest::ReadSampleHero;
using stagetest::SampleHeroAnimationPath;

constexpr const char *kSet = "HERO01.ANM";

// The walk (frames 0..60) and the wave (60..120) as two motions.
MotionTable WalkAndWave()
{
    MotionTable table;
    table.motions = {{0, 60, true}, {60, 120, true}};
    return table;
}

class ClumpAnimManagerTest : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        clump = ReadSampleHero();
        ASSERT_NE(clump, nullptr);
        RtAnimAnimation *animation = ReadAnimationFile(SampleHeroAnimationPath().c_str());
        ASSERT_NE(animation, nullptr);
        ASSERT_EQ(manager.AddAnimation(kSet, animation, WalkAndWave()), 0);
    }
    void TearDown() override
    {
        manager.ReleaseAll();
        for (RpClump *c : {clump, other}) {
            if (c != nullptr) {
                RpClumpDestroy(c);
            }
        }
        StageEngineTest::TearDown();
    }
    RpHAnimHierarchy *Skeleton() { return GetClumpHierarchy(clump); }
    std::vector<RwMatrix> Matrices()
    {
        RpHAnimHierarchy *h = Skeleton();
        return std::vector<RwMatrix>(h->pMatrixArray, h->pMatrixArray + h->numNodes);
    }

    CSClumpAnimManager manager;
    RpClump *clump = nullptr;
    RpClump *other = nullptr;
};

void ExpectSameMatrices(const std::vector<RwMatrix> &a, const std::vector<RwMatrix> &b, float tolerance)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const float *x = &a[i].right.x;
        const float *y = &b[i].right.x;
        for (const int k : {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14}) {
            ASSERT_NEAR(x[k], y[k], tolerance) << "node " << i << " element " << k;
        }
    }
}

TEST_F(ClumpAnimManagerTest, MotionsRunOnTheTimelineAndHoldTheirEnd)
{
    const uint32_t handle = manager.AssignAnimation(clump, kSet);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(manager.GetMotionIndex(clump), 0);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 0.0f);
    EXPECT_FLOAT_EQ(manager.GetMotionDuration(clump), 1.0f);
    EXPECT_EQ(manager.GetAnimationId(clump), 0u);

    manager.UpdateClump(clump, 0.25f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 0.25f);
    EXPECT_FLOAT_EQ(manager.GetMotionFrame(clump), 15.0f);
    EXPECT_EQ(manager.GetAnimationId(clump), 0u);

    // Past the end: no loop, the end pose holds and the word turns 1.
    manager.UpdateClump(clump, 2.0f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 1.0f);
    EXPECT_EQ(manager.GetAnimationId(clump), 1u);
    EXPECT_TRUE(manager.HasMotionEnded(clump));
    const std::vector<RwMatrix> end = Matrices();
    manager.UpdateClump(clump, 0.5f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 1.0f);
    ExpectSameMatrices(Matrices(), end, 0.0f);

    // The wave starts at its own first frame on the timeline.
    ASSERT_TRUE(manager.ChangeMotion(clump, 1, 0.0f));
    EXPECT_EQ(manager.GetMotionIndex(clump), 1);
    EXPECT_EQ(manager.GetAnimationId(clump), 0u);
    EXPECT_FLOAT_EQ(manager.GetMotionFrame(clump), 60.0f);
    EXPECT_FLOAT_EQ(manager.GetMotionDuration(clump), 1.0f);

    // Times are clamped into the motion.
    manager.SetMotionTime(clump, 0.5f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 60 * kSecondsPerAnimFrame);
    manager.SetMotionTime(clump, 9.0f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 120 * kSecondsPerAnimFrame);
    EXPECT_EQ(manager.GetAnimationId(clump), 1u);
    manager.SetMotionTime(clump, 1.5f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 1.5f);
    EXPECT_EQ(manager.GetAnimationId(clump), 0u);
    EXPECT_TRUE(manager.HasReachedFrame(clump, 90.0f));
    EXPECT_FALSE(manager.HasReachedFrame(clump, 91.0f));
    manager.SetMotionTime(clump, 1620 * kSecondsPerAnimFrame);  // beyond: clamped to 120
    EXPECT_TRUE(manager.HasReachedFrame(clump, 120.0f));
}

// A set whose first motion starts late on the timeline: the clump stands
// in that motion's first pose, not in the timeline's.
TEST_F(ClumpAnimManagerTest, AClumpStartsOnItsFirstMotionsFirstFrame)
{
    RtAnimAnimation *animation = ReadAnimationFile(SampleHeroAnimationPath().c_str());
    ASSERT_NE(animation, nullptr);
    MotionTable wave;
    wave.motions = {{60, 120, true}};
    ASSERT_EQ(manager.AddAnimation("WAVE.ANM", animation, wave), 1);
    ASSERT_NE(manager.AssignAnimation(clump, "WAVE.ANM"), 0u);
    EXPECT_FLOAT_EQ(manager.GetMotionFrame(clump), 60.0f);
    EXPECT_FALSE(manager.HasMotionEnded(clump));
}

TEST_F(ClumpAnimManagerTest, RefusedMotionsAndClumpsNotHeld)
{
    ASSERT_NE(manager.AssignAnimation(clump, kSet), 0u);
    manager.UpdateClump(clump, 0.3f);
    for (int32_t index : {2, 7, -1}) {
        EXPECT_FALSE(manager.ChangeMotion(clump, index, 0.0f)) << index;
    }
    EXPECT_EQ(manager.GetMotionIndex(clump), 0);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 0.3f);

    other = RpClumpClone(clump);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(manager.ChangeMotion(other, 0, 0.0f));
    EXPECT_EQ(manager.GetMotionIndex(other), -1);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(other), -1.0f);
    EXPECT_FLOAT_EQ(manager.GetMotionFrame(other), -1.0f);
    EXPECT_EQ(manager.GetAnimationId(other), 0u);
    EXPECT_FALSE(manager.HasReachedFrame(other, 0.0f));
    manager.UpdateClump(other, 0.1f);
    manager.SetMotionTime(other, 0.1f);
    manager.DissolveClump(other);

    // A set that is not loaded, and a model without a skeleton.
    EXPECT_EQ(manager.AssignAnimation(other, "NONE.ANM"), 0u);
    RpClump *prop = stagetest::ReadSampleClump("RESOURCE/G_EVENT/DFF/PROP01.DFF");
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(manager.AssignAnimation(prop, kSet), 0u);
    RpClumpDestroy(prop);
    EXPECT_EQ(manager.GetAnimInfo(0)->uses, 2);  // the load and the hero
}

// A 0.2 s blend seen 0.1 s in: half-way between the pose shown when the
// motion changed and the new motion 0.1 s after its start.
TEST_F(ClumpAnimManagerTest, BlendHalfWayMatchesTheReferencePose)
{
    ASSERT_NE(manager.AssignAnimation(clump, kSet), 0u);
    manager.UpdateClump(clump, 0.5f);
    ASSERT_TRUE(manager.ChangeMotion(clump, 1, 0.2f));
    manager.UpdateClump(clump, 0.1f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 60 * kSecondsPerAnimFrame + 0.1f);
    EXPECT_FALSE(manager.HasReachedFrame(clump, 60.0f));  // still blending
    const std::vector<RwMatrix> blended = Matrices();

    // The reference: two fresh players at the two times, blended by half,
    // posed on a second copy of the model.
    const AnimInfo *set = manager.GetAnimInfo(0);
    other = RpClumpClone(clump);
    ASSERT_NE(other, nullptr);
    RpHAnimHierarchy *h = GetClumpHierarchy(other);
    ASSERT_NE(h, nullptr);
    RpHAnimHierarchyAttach(h);
    const RwInt32 nodes = h->numNodes;
    RtAnimInterpolator *from = RtAnimInterpolatorCreate(nodes, h->currentAnim->maxKeyFrameSize);
    RtAnimInterpolator *to = RtAnimInterpolatorCreate(nodes, h->currentAnim->maxKeyFrameSize);
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(from, set->animation));
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(to, set->animation));
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(h->currentAnim, set->animation));
    RtAnimInterpolatorSetCurrentTime(from, 0.5f);
    RtAnimInterpolatorSetCurrentTime(to, 60 * kSecondsPerAnimFrame + 0.1f);
    RtAnimInterpolatorBlend(h->currentAnim, from, to, 0.5f);
    RpHAnimHierarchyUpdateMatrices(h);
    const std::vector<RwMatrix> reference(h->pMatrixArray, h->pMatrixArray + nodes);
    ExpectSameMatrices(blended, reference, 1e-5f);

    // Neither end of the blend.
    RtAnimInterpolatorCopy(h->currentAnim, to);
    RpHAnimHierarchyUpdateMatrices(h);
    const std::vector<RwMatrix> target(h->pMatrixArray, h->pMatrixArray + nodes);
    float largest = 0.0f;
    for (RwInt32 i = 0; i < nodes; ++i) {
        largest = std::fmax(largest, std::fabs(blended[size_t(i)].up.x - target[size_t(i)].up.x));
    }
    EXPECT_GT(largest, 0.01f);
    RtAnimInterpolatorDestroy(from);
    RtAnimInterpolatorDestroy(to);

    // Once the blend time has passed the motion shows alone.
    manager.UpdateClump(clump, 0.15f);
    EXPECT_TRUE(manager.HasReachedFrame(clump, 75.0f));
    EXPECT_FALSE(manager.HasReachedFrame(clump, 76.0f));
}

// A motion changed with no blend time shows its own first pose at once, the
// pose it was changed from gone, and counts as on its frame at once.
TEST_F(ClumpAnimManagerTest, AChangeWithoutBlendTimeShowsTheNewMotionAtOnce)
{
    ASSERT_NE(manager.AssignAnimation(clump, kSet), 0u);
    manager.UpdateClump(clump, 2.0f);  // the walk held on its end, frame 60
    const std::vector<RwMatrix> frame60 = Matrices();
    ASSERT_TRUE(manager.ChangeMotion(clump, 0, 0.0f));
    manager.UpdateClump(clump, 0.25f);  // the walk again, at frame 15
    ASSERT_TRUE(manager.ChangeMotion(clump, 1, 0.0f));
    EXPECT_TRUE(manager.HasReachedFrame(clump, 60.0f));
    ExpectSameMatrices(Matrices(), frame60, 1e-5f);
    manager.UpdateClump(clump, 0.0f);
    ExpectSameMatrices(Matrices(), frame60, 1e-5f);
}

// A set without a name or without an animation is refused, an animation
// handed over freed (the tear-down finds nothing left); a name that is not
// loaded finds nothing and lets go of nothing.
TEST_F(ClumpAnimManagerTest, SetsWithoutANameOrAnAnimationAreRefused)
{
    EXPECT_EQ(manager.AddAnimation("WAVE.ANM", nullptr, WalkAndWave()), -1);
    EXPECT_EQ(manager.AddAnimation(nullptr, ReadAnimationFile(SampleHeroAnimationPath().c_str()), WalkAndWave()), -1);
    EXPECT_EQ(manager.FindAnimation(nullptr), -1);
    manager.ReleaseAnimation("NONE.ANM");
    manager.ReleaseAnimation(nullptr);
    EXPECT_EQ(manager.GetAnimCount(), 1);
    EXPECT_EQ(manager.GetAnimInfo(0)->uses, 1);
}

TEST_F(ClumpAnimManagerTest, SetsAreFreedWithTheirLastUse)
{
    // A second load of the same file name only counts.
    EXPECT_EQ(manager.AddAnimation(kSet, ReadAnimationFile(SampleHeroAnimationPath().c_str()), MotionTable{}), 0);
    EXPECT_EQ(manager.GetAnimInfo(0)->uses, 2);
    EXPECT_EQ(manager.GetAnimCount(), 1);
    ASSERT_NE(manager.AssignAnimation(clump, kSet), 0u);
    EXPECT_EQ(manager.GetAnimInfo(0)->uses, 3);
    // Rebinding to the same set keeps it alive.
    ASSERT_NE(manager.AssignAnimation(clump, kSet), 0u);
    EXPECT_EQ(manager.GetAnimInfo(0)->uses, 3);
    EXPECT_EQ(manager.GetClumpInfoCount(), 1);

    const ClumpInfo *info = manager.FindClumpInfo(clump);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->name, kSet);
    EXPECT_EQ(info->animIndex, 0);
    EXPECT_EQ(info->restoreFrame, Skeleton()->parentFrame);  // the frame holding the skeleton
    EXPECT_EQ(manager.GetClumpInfo(0), info);

    manager.DissolveClump(clump);
    EXPECT_FALSE(manager.HoldsClump(clump));
    EXPECT_EQ(manager.GetAnimInfo(0)->uses, 2);
    manager.ReleaseAnimation(kSet);
    ASSERT_NE(manager.GetAnimInfo(0)->animation, nullptr);
    manager.ReleaseAnimation(kSet);
    EXPECT_EQ(manager.GetAnimInfo(0)->animation, nullptr);
    EXPECT_EQ(manager.FindAnimation(kSet), -1);
    // The skeleton no longer points at the freed animation.
    EXPECT_EQ(Skeleton()->currentAnim->pCurrentAnim, nullptr);
    EXPECT_FALSE(RpHAnimHierarchyUpdateMatrices(Skeleton()));

    // The slot is reused by the next load.
    EXPECT_EQ(manager.LoadAMF(SampleHeroAnimationPath().c_str()), 0);
    EXPECT_STREQ(manager.GetAnimInfo(0)->name.c_str(), "HERO01.ANM");
    EXPECT_EQ(manager.LoadAMF("/no/such/folder/NONE.ANM"), -1);
}

// The file's set is named by the file and plays the motions of the .AMF
// beside it; without one, motion 0 is the whole animation.
TEST_F(ClumpAnimManagerTest, LoadedFileNamesTheSetAndReadsItsMotionTable)
{
    CSClumpAnimManager own;
    const int32_t index = own.LoadAMF(SampleHeroAnimationPath().c_str());
    ASSERT_GE(index, 0);
    const AnimInfo *set = own.GetAnimInfo(index);
    EXPECT_EQ(set->name, "HERO01.ANM");
    // The hero's motions by its state numbers (42, its last attack, the
    // whole wave; 52, the grab's end, the last).
    ASSERT_EQ(set->motions.Count(), 53);
    EXPECT_EQ(set->motions.Find(42)->startFrame, 60);
    EXPECT_EQ(set->motions.Find(42)->endFrame, 120);
    EXPECT_EQ(set->motions.Find(52)->startFrame, 90);
    EXPECT_EQ(set->motions.Find(52)->endFrame, 120);
    // The bind pose has no motion table.
    const int32_t bind = own.LoadAMF(stagetest::SamplePath("RESOURCE/MAINCHAR/HERO01/HERO01_BIND.ANM").c_str());
    ASSERT_GE(bind, 0);
    ASSERT_EQ(own.GetAnimInfo(bind)->motions.Count(), 1);
    EXPECT_EQ(own.GetAnimInfo(bind)->motions.Find(0)->endFrame, 60);
    // A set is read once: the same file again is the same set; no file, none.
    EXPECT_EQ(own.LoadAMF(SampleHeroAnimationPath().c_str()), index);
    EXPECT_EQ(own.GetAnimCount(), 2);
    EXPECT_EQ(own.LoadAMF(nullptr), -1);
    gametest::CaptureDiagnostics();
    EXPECT_EQ(own.LoadAMF(stagetest::SamplePath("RESOURCE/MAINCHAR/HERO01/NOSUCH.ANM").c_str()), -1);
    gametest::TakeDiagnostics();
    EXPECT_EQ(own.GetAnimCount(), 2);
    ASSERT_NE(own.AssignAnimation(clump, "HERO01.ANM"), 0u);
    own.Release();  // the clump's record and the set go with it
    EXPECT_EQ(own.GetAnimCount(), 0);
    EXPECT_EQ(own.GetClumpInfoCount(), 0);
}

}  // namespace

// Held poses: a motion change and a time set keep their bookkeeping but
// leave the skeleton (and the pose checksum) as it stood; the first update
// after the hold poses the new motion from its start, as if the change had
// been made then.
TEST_F(ClumpAnimManagerTest, HeldPosesKeepTheSkeletonUntilTheNextUpdate)
{
    ASSERT_NE(manager.AssignAnimation(clump, kSet), 0u);
    manager.UpdateClump(clump, 0.5f);
    const std::vector<RwMatrix> shown = Matrices();
    const uint32_t checksum = ClumpPoseChecksum(clump);
    EXPECT_NE(checksum, 0u);

    manager.HoldPoses(true);
    EXPECT_TRUE(manager.PosesHeld());
    ASSERT_TRUE(manager.ChangeMotion(clump, 1, 0.0f));
    EXPECT_EQ(manager.GetMotionIndex(clump), 1);
    EXPECT_FLOAT_EQ(manager.GetMotionFrame(clump), 60.0f);
    ExpectSameMatrices(Matrices(), shown, 0.0f);
    manager.SetMotionTime(clump, 1.5f);
    EXPECT_FLOAT_EQ(manager.GetMotionTime(clump), 1.5f);
    ExpectSameMatrices(Matrices(), shown, 0.0f);
    EXPECT_EQ(ClumpPoseChecksum(clump), checksum);
    manager.ChangeMotion(clump, 1, 0.2f);  // a blend starts from the pose still shown
    ExpectSameMatrices(Matrices(), shown, 0.0f);

    // Released: the next update shows motion 1 at 0.1 s, blending from the
    // held pose, like the same steps taken without the hold.
    manager.HoldPoses(false);
    manager.UpdateClump(clump, 0.1f);
    EXPECT_NE(ClumpPoseChecksum(clump), checksum);
    const std::vector<RwMatrix> resumed = Matrices();

    other = RpClumpClone(clump);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(manager.AssignAnimation(other, kSet), 0u);
    manager.UpdateClump(other, 0.5f);
    ASSERT_TRUE(manager.ChangeMotion(other, 1, 0.2f));
    manager.UpdateClump(other, 0.1f);
    RpHAnimHierarchy *h = GetClumpHierarchy(other);
    ASSERT_NE(h, nullptr);
    ExpectSameMatrices(std::vector<RwMatrix>(h->pMatrixArray, h->pMatrixArray + h->numNodes), resumed, 1e-6f);
}

TEST(ClumpPoseChecksum, NoClumpGivesZero) { EXPECT_EQ(ClumpPoseChecksum(nullptr), 0u); }

}  // namespace clump_anim_manager_test
