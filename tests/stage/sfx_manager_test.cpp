// The stage's sound effects against a recording stand-in for the sound: the
// queue never holds a sample twice and plays at the sound step, list
// references keep a sample while any list holds it (the stage's list, a
// hero's, a scene's), missing samples are silent with one diagnostic.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/path.h"
#include "fake_sound.h"
#include "stage/sfx_manager.h"
#include "stage/sound_list.h"
#include "support/game/diagnostics_capture.h"

namespace sfx_manager_test {

namespace {

using soundtest::FakeSound;

class SfxManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int32_t id : {3100010, 3100020, 3100030, 3200010, 3200020}) {
            sound_.AddFile(SoundEffectPath(id));
        }
    }
    void TearDown() override { SetDataRootPath(""); }
    void WriteList(const std::string &root, const std::string &name, const std::vector<int32_t> &ids)
    {
        apptest::WriteText(root + "/RESOURCE/MEDIA/SFX/" + name, FormatSoundList(ids));
    }

    FakeSound sound_;
};

TEST_F(SfxManagerTest, QueueHoldsASampleOnceAndPlaysAtTheSoundStep)
{
    CSSFXManager sfx(sound_.Port());
    const int32_t ids[] = {3100010, 3100020};
    sfx.AddSFXList(ids, 2);
    EXPECT_TRUE(sfx.PlaySFX(3100010, 0));
    EXPECT_TRUE(sfx.PlaySFX(3100020, 1));
    EXPECT_TRUE(sfx.PlaySFX(3100010, 0));
    EXPECT_TRUE(sfx.PlaySFX(3100010, 1));
    ASSERT_EQ(sfx.QueueLength(), 2u);
    EXPECT_EQ(sfx.QueuedId(0), 3100010);
    EXPECT_EQ(sfx.QueuedId(1), 3100020);
    EXPECT_EQ(sound_.Count("play " + SoundEffectPath(3100010)), 0u);  // not before the sound step
    sfx.Update();
    EXPECT_EQ(sfx.QueueLength(), 0u);
    EXPECT_EQ(sound_.Count("play " + SoundEffectPath(3100010)), 1u);
    EXPECT_FALSE(sound_.Find(SoundEffectPath(3100010))->loop);  // the first request's loop flag
    EXPECT_TRUE(sound_.Find(SoundEffectPath(3100020))->loop);
    sfx.Update();
    EXPECT_EQ(sound_.Count("play " + SoundEffectPath(3100010)), 1u);
    // A stop takes the sample off the queue as well.
    sfx.PlaySFX(3100020, 1);
    sfx.StopSFX(3100020);
    EXPECT_EQ(sfx.QueueLength(), 0u);
    EXPECT_FALSE(sound_.Find(SoundEffectPath(3100020))->playing);
    EXPECT_EQ(sound_.Find(SoundEffectPath(3100010))->kind, SoundPort::kStatic);
}

TEST_F(SfxManagerTest, ListReferencesKeepASampleWhileAnyListHoldsIt)
{
    CSSFXManager sfx(sound_.Port());
    const int32_t stage[] = {3100010, 3100020};
    const int32_t scene[] = {3100020, 3100030};
    sfx.AddSFXList(stage, 1);  // the first of the two only
    EXPECT_FALSE(sfx.IsHeld(3100020));
    sfx.ReleaseSFXList(stage, 1);
    sfx.AddSFXList(stage, 2);
    sfx.AddSFXList(scene, 2);
    sfx.AddSFXList(scene, 2);
    EXPECT_EQ(sfx.References(3100020), 3);
    EXPECT_EQ(sound_.Count("load " + SoundEffectPath(3100020)), 1u);  // loaded once
    // Added twice, released once: still loaded.
    sfx.ReleaseSFXList(scene, 2);
    EXPECT_TRUE(sfx.IsLoaded(3100030));
    EXPECT_EQ(sfx.References(3100030), 1);
    // The scene gone: its own sample freed, the shared one kept for the stage.
    sfx.PlaySFX(3100030, 0);
    sfx.ReleaseSFXList(scene, 2);
    EXPECT_FALSE(sfx.IsHeld(3100030));
    EXPECT_EQ(sfx.QueueLength(), 0u);  // a freed sample leaves the queue
    EXPECT_EQ(sound_.Find(SoundEffectPath(3100030)), nullptr);
    EXPECT_TRUE(sfx.IsLoaded(3100020));
    EXPECT_EQ(sfx.References(3100020), 1);
    EXPECT_TRUE(sfx.PlaySFX(3100020, 0));
    // Releasing more than was added does not free what another list holds.
    gametest::CaptureDiagnostics();
    sfx.ReleaseSFXList(scene, 2);
    sfx.ReleaseSFXList(scene, 2);
    // Each sample let go of that is not held is said once.
    EXPECT_EQ(gametest::TakeDiagnostics(),
              "Sound 3100030 is released but not held\nSound 3100020 is released but not held\n");
    EXPECT_FALSE(sfx.IsHeld(3100020));  // its last reference was the stage's
    sfx.AddSFXList(stage, 2);
    sfx.Release();
    EXPECT_EQ(sfx.SampleCount(), 0u);
    EXPECT_TRUE(sound_.voices.empty());
}

TEST_F(SfxManagerTest, MissingSampleIsSilentWithOneDiagnostic)
{
    CSSFXManager sfx(sound_.Port());
    const int32_t ids[] = {3900000, 3900000, 12, 3100010};
    gametest::CaptureDiagnostics();
    sfx.AddSFXList(ids, 4);
    EXPECT_FALSE(sfx.PlaySFX(3900000, 0));
    EXPECT_FALSE(sfx.PlaySFX(3900000, 0));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(sfx.PlaySFX(3999999, 0));  // never listed
    }
    sfx.Update();
    const std::string printed = gametest::TakeDiagnostics();
    EXPECT_TRUE(sfx.IsHeld(3900000));
    EXPECT_FALSE(sfx.IsLoaded(3900000));
    EXPECT_EQ(sfx.References(3900000), 2);
    EXPECT_EQ(sfx.QueueLength(), 0u);
    EXPECT_EQ(sound_.Count("load " + SoundEffectPath(3900000)), 1u);
    auto occurrences = [&](const std::string &what) {
        size_t n = 0;
        for (size_t at = printed.find(what); at != std::string::npos; at = printed.find(what, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(occurrences("Sound 3900000"), 1u) << printed;
    EXPECT_EQ(occurrences("Sound 3999999"), 1u) << printed;
    EXPECT_EQ(occurrences("12 is not a sound id"), 1u) << printed;
    // Without any sound at all the manager still keeps its books.
    CSSFXManager quiet{SoundPort{}};
    gametest::CaptureDiagnostics();
    quiet.AddSFXList(ids + 3, 1);
    gametest::TakeDiagnostics();
    EXPECT_FALSE(quiet.PlaySFX(3100010, 0));
    quiet.Update();
}

TEST_F(SfxManagerTest, StageAndHeroListsFromTheirFiles)
{
    const std::string root = apptest::ScratchFolder("sfx_lists");
    SetDataRootPath(root.c_str());
    WriteList(root, "2010000.SFL", {3100010, 3100020});
    WriteList(root, "HERO01.SFL", {3200010, 3100020});
    WriteList(root, "HERO02.SFL", {3200020});
    CSSFXManager sfx(sound_.Port());
    ASSERT_TRUE(sfx.LoadStageSFX(2010000));
    ASSERT_TRUE(sfx.LoadCharacterSFX(0));
    ASSERT_TRUE(sfx.LoadCharacterSFX(1));
    EXPECT_EQ(sfx.References(3100020), 2);
    EXPECT_EQ(sfx.StageList(), (std::vector<int32_t>{3100010, 3100020}));
    // Loading a hero's list again replaces it rather than adding to it.
    ASSERT_TRUE(sfx.LoadCharacterSFX(0));
    EXPECT_EQ(sfx.References(3200010), 1);
    // The stage released: the hero's hold on the shared sample keeps it.
    sfx.ReleaseStageSFX();
    EXPECT_FALSE(sfx.IsHeld(3100010));
    EXPECT_TRUE(sfx.IsLoaded(3100020));
    sfx.ReleaseCharacterSFX(0);
    sfx.ReleaseCharacterSFX(1);
    EXPECT_EQ(sfx.SampleCount(), 0u);
    // A stage without a list, and heroes that do not exist.
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(sfx.LoadStageSFX(2990000));
    EXPECT_FALSE(sfx.LoadCharacterSFX(2));
    EXPECT_FALSE(sfx.LoadCharacterSFX(-1));
    // A hero whose list has gone loads none, and its old list is let go.
    ASSERT_TRUE(sfx.LoadCharacterSFX(1));
    std::remove((root + "/RESOURCE/MEDIA/SFX/HERO02.SFL").c_str());
    EXPECT_FALSE(sfx.LoadCharacterSFX(1));
    gametest::TakeDiagnostics();
    EXPECT_FALSE(sfx.IsHeld(3200020));
    EXPECT_EQ(sfx.SampleCount(), 0u);
}

TEST_F(SfxManagerTest, VolumeReachesLoadedAndLaterSamples)
{
    CSSFXManager sfx(sound_.Port());
    const int32_t first[] = {3100010};
    const int32_t later[] = {3100020};
    sfx.AddSFXList(first, 1);
    sfx.SetSoundVolume(0.25f);
    sfx.AddSFXList(later, 1);
    EXPECT_FLOAT_EQ(sound_.Find(SoundEffectPath(3100010))->volume, 0.25f);
    EXPECT_FLOAT_EQ(sound_.Find(SoundEffectPath(3100020))->volume, 0.25f);
    EXPECT_EQ(sound_.Find(SoundEffectPath(3100020))->group, kStageEffectGroup);
    sfx.SetSoundVolume(7.0f);
    EXPECT_FLOAT_EQ(sfx.SoundVolume(), 1.0f);
}

}  // namespace

}  // namespace sfx_manager_test
