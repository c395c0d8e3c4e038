// Releasing a model template that still has instances out: every clone
// leaves the animation manager (which would otherwise pose freed clumps at
// the next stage) and is destroyed, whether or not the template has an
// animation set, one standing in a world taken out of it first; the
// template can be filled again afterwards.
#include <gtest/gtest.h>

#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"
#include "tests/stage/stage_test_support.h"

namespace model_template_release_test {

namespace {

using ReleaseTest = stagetest::StageEngineTest;

TEST_F(ReleaseTest, InstancesLeaveTheAnimationsWithTheTemplate)
{
    CSClumpAnimManager animations;
    ASSERT_GE(animations.LoadAMF(stagetest::SamplePath("RESOURCE/MONSTER/1000/1000.ANM").c_str()), 0);
    CSModelTemplate monster;
    ASSERT_TRUE(
        monster.Adopt(1000, stagetest::ReadSampleClump("RESOURCE/MONSTER/1000/1000.DFF"), &animations, "1000.ANM"));
    CSModelInstance *taken = monster.TakeInstance(nullptr);
    ASSERT_NE(taken, nullptr);
    CSModelInstance *spare = monster.AddInstance();
    ASSERT_NE(spare, nullptr);
    const RpClump *clumps[] = {taken->clump, spare->clump};
    EXPECT_TRUE(animations.HoldsClump(clumps[0]));
    EXPECT_TRUE(animations.HoldsClump(clumps[1]));
    monster.Release();
    // (The addresses are only compared: the clumps are gone.)
    EXPECT_FALSE(animations.HoldsClump(clumps[0]));
    EXPECT_FALSE(animations.HoldsClump(clumps[1]));
    EXPECT_EQ(monster.GetInstanceCount(), 0);
    EXPECT_EQ(monster.GetSourceClump(), nullptr);
    animations.ReleaseAll();
}

TEST_F(ReleaseTest, ATemplateWithoutAnimationsReleasesItsInstances)
{
    RpWorld *world = stagetest::ReadSampleWorld();
    ASSERT_NE(world, nullptr);
    CSModelTemplate prop;
    ASSERT_TRUE(prop.Adopt(1000, stagetest::ReadSampleClump("RESOURCE/MONSTER/1000/1000.DFF"), nullptr, nullptr));
    CSModelInstance *standing = prop.TakeInstance(nullptr);
    ASSERT_NE(standing, nullptr);
    RpWorldAddClump(world, standing->clump);
    ASSERT_NE(prop.TakeInstance(nullptr), nullptr);
    prop.Release();
    // The one that stood in the world left it before it went.
    EXPECT_EQ(world->numClumpsInWorld, 0);
    RpWorldDestroy(world);
    EXPECT_EQ(prop.GetInstanceCount(), 0);
    EXPECT_EQ(prop.TakeInstance(nullptr), nullptr);  // nothing left to clone
    // The engine's tear-down finds every clone destroyed.
}

}  // namespace

}  // namespace model_template_release_test
