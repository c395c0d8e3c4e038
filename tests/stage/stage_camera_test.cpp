// The stage's camera operations on the game system's main camera: the far
// plane of every mode, the game speed and the mode's end of blends, the
// blend back ending in mode 0 with the stage's far plane, the camera made
// from the stage info, and the music and sound calls without sound.
#include <gtest/gtest.h>

#include "app/game_system.h"
#include "stage/camera_modes.h"
#include "stage/game_camera.h"
#include "stage/sfx_manager.h"
#include "stage/stage_manager.h"
#include "stage/stage_music.h"
#include "tests/app/app_test_support.h"

namespace {

class StageCameraTest : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(apptest::ScratchFolder("stage_camera"));
        testing::internal::CaptureStderr();
        ASSERT_TRUE(gs.Create(64, 48, 1));
        testing::internal::GetCapturedStderr();
        StageInfo info;
        info.farPlane1P = 250.0f;
        info.farPlane2P = 200.0f;
        info.camera1 = {10.0f, 60.0f, 4.0f, 12.0f, 45.0f, 30.0f};
        info.useAutoAdjustment = 1;
        stage.SetStageInfo(info);
        g_pStageManager = &stage;
    }
    void TearDown() override
    {
        g_pStageManager = nullptr;
        stage.DestroyCamera();
        stage.DestroySound();
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }
    float Far() const { return RwCameraGetFarClipPlane(gs.camera); }

    CSGameSystem gs;
    CSStageManager stage;
};

TEST_F(StageCameraTest, EveryModeSetsItsFarPlane)
{
    const float expected[kCameraModeCount] = {250, 250, 600, 400, 250, 600, 400, 600, 400};
    for (int32_t mode = kCameraModeCount - 1; mode >= 0; --mode) {
        stage.SetCameraMode(mode);
        EXPECT_EQ(stage.cameraMode, mode);
        EXPECT_FLOAT_EQ(Far(), expected[mode]) << "mode " << mode;
    }
    testing::internal::CaptureStderr();
    stage.SetCameraMode(9);
    stage.SetCameraMode(-1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no camera mode"), std::string::npos);
    EXPECT_EQ(stage.cameraMode, 0);
    EXPECT_FLOAT_EQ(Far(), 250.0f);
}

TEST_F(StageCameraTest, SceneBlendModesSetTheGameSpeedTarget)
{
    EXPECT_FLOAT_EQ(stage.targetGameSpeed, kNormalGameSpeed);
    stage.SetCameraMode(kCameraBlendIn);
    EXPECT_FLOAT_EQ(stage.targetGameSpeed, 0.4f);
    stage.SetCameraMode(kCameraScene);
    EXPECT_FLOAT_EQ(stage.targetGameSpeed, 0.4f);
    stage.SetCameraMode(kCameraBlendOut);
    EXPECT_FLOAT_EQ(stage.targetGameSpeed, 0.66f);
    stage.BlendGameSpeedTo(1.0f);
    EXPECT_FLOAT_EQ(stage.targetGameSpeed, 1.0f);
    stage.BlendGameSpeedTo(-3.0f);  // refused
    EXPECT_FLOAT_EQ(stage.targetGameSpeed, 1.0f);
    EXPECT_FLOAT_EQ(stage.gameSpeed, kNormalGameSpeed);  // the update moves it, not the call
}

TEST_F(StageCameraTest, TheCameraIsMadeOnTheMainCameraAndLoadedFromTheStageInfo)
{
    stage.UpdateCamera(0.016f);  // no camera yet: nothing
    stage.CreateCamera();
    ASSERT_NE(stage.camera, nullptr);
    CSGameCamera *made = stage.camera;
    stage.CreateCamera();
    EXPECT_EQ(stage.camera, made);  // once
    EXPECT_EQ(stage.camera->Camera(), gs.camera);
    stage.SetCameraMode(kCameraScene);
    stage.LoadCamera();
    EXPECT_EQ(stage.cameraMode, kCameraPlay);
    EXPECT_TRUE(stage.camera->AutoAdjust());
    EXPECT_FLOAT_EQ(stage.camera->Orbit().rotate, 45.0f);
    EXPECT_FLOAT_EQ(stage.camera->Orbit().pitch, 30.0f);
}

TEST_F(StageCameraTest, BlendBackEndsInModeZeroWithTheStagesFarPlane)
{
    stage.CreateCamera();
    stage.LoadCamera();
    stage.SetCameraMode(kCameraBlendOut);
    EXPECT_FLOAT_EQ(Far(), 400.0f);
    stage.camera->BlendFromScene(gs.camera, 0.5f);
    stage.UpdateCamera(0.25f);
    stage.UpdateCamera(0.25f);  // without heroes there is no play view: back at once
    EXPECT_EQ(stage.cameraMode, kCameraPlay);
    EXPECT_FLOAT_EQ(Far(), 250.0f);
    stage.SetCameraMode(kCameraTurnBack);
    stage.UpdateCamera(0.016f);
    EXPECT_EQ(stage.cameraMode, kCameraPlay);
    stage.ReleaseCamera();
}

TEST_F(StageCameraTest, WithoutHeroesOrStageTheFadeDrawIsPlain)
{
    g_pStageManager = nullptr;
    gs.RenderClumpWithFade(nullptr, 0.5f);
    g_pStageManager = &stage;
    gs.RenderClumpWithFade(nullptr, 0.5f);
    stage.CreateCamera();
    gs.RenderClumpWithFade(nullptr, 0.5f);
    EXPECT_EQ(stage.translucent.Count(), 0u);
}

TEST_F(StageCameraTest, MusicAndSoundCallsWithoutSound)
{
    EXPECT_TRUE(stage.IsBGMStopped());
    stage.PlayStageBGM();  // no music member yet: nothing
    stage.CreateSound();
    ASSERT_NE(stage.sfxManager, nullptr);
    ASSERT_NE(stage.music, nullptr);
    stage.stageId = 2010000;
    testing::internal::CaptureStderr();
    stage.LoadSound();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(stage.music->Stage(), 2010000);
    EXPECT_TRUE(stage.IsBGMStopped());  // no sound: nothing plays
    stage.PauseBGM();
    EXPECT_EQ(stage.music->Kind(), kMusicPaused);
    stage.ResumeBGM();
    stage.SetBGMVolume(0.5f);
    EXPECT_FLOAT_EQ(stage.music->Volume(), 0.5f);
    stage.UpdateSound(16);
    stage.ReleaseSound();
    EXPECT_EQ(stage.music->Stage(), 0);
}

}  // namespace
