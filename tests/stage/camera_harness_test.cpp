// The game camera on the sample world: the first stage's world, stage info
// and camera walls through the stage-data readers, a test hero walking the
// yard and 600 ticks of scripted right-stick input. The camera stays inside
// the stage's limits and never stands behind a camera wall; a screenshot of
// the play view is compared with a reviewed reference.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "actor/hero.h"
#include "app/camera_frame.h"
#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/screenshot.h"
#include "stage/camera_modes.h"
#include "stage/clump_anim_manager.h"
#include "stage/game_camera.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"
#include "stage/v3.h"
#include "tests/app/app_test_support.h"
#include "tests/app/reference_image.h"
#include "tools/mkdata/camera_wall.h"

namespace camera_harness_test {

namespace {

constexpr float kTick = 1.0f / 60.0f;
constexpr int kTicks = 600;

// Where the test hero walks (feet), from the first start corner to corner of
// the yard (its walls stand at 200), at 75 units a second.
const RwV3d kWalk[] = {{-20, 0, -40},  {137.5f, 0, -137.5f}, {137.5f, 0, 137.5f},
                       {-137.5f, 0, 137.5f}, {-137.5f, 0, -137.5f}, {0, 0, 0}};
constexpr float kWalkSpeed = 75.0f;

RwV3d HeroAt(float seconds)
{
    float left = seconds * kWalkSpeed;
    const int legs = static_cast<int>(std::size(kWalk)) - 1;
    for (int i = 0; i < legs; ++i) {
        const float length = V3Distance(kWalk[i], kWalk[i + 1]);
        if (left <= length) {
            return V3Lerp(kWalk[i], kWalk[i + 1], left / length);
        }
        left -= length;
    }
    return kWalk[legs];
}

// The right stick: turns both ways and pitches to both limits.
void StickAt(int tick, float *x, float *y)
{
    const int phase = tick / 100;
    const float sx[] = {1.0f, 0.5f, -1.0f, 0.3f, -0.7f, 1.0f};
    const float sy[] = {0.0f, 1.0f, -1.0f, 1.0f, 0.0f, -0.6f};
    *x = sx[phase % 6];
    *y = sy[phase % 6];
}

class CameraHarnessTest : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        StartIn(apptest::SampleData(), 640, 480);
        ASSERT_TRUE(gs.Create(640, 480, 1));
        // The stage alone, in the first frame's scene.
        GameSystemChildren{gs}.ReleaseScreens();
        ASSERT_TRUE(gs.LoadDefaultScene());
        StageInfo info;
        ASSERT_TRUE(ReadStageInfoFile(StageInfoPath(kFirstStageId).c_str(), &info, false));
        ASSERT_EQ(info.cameraWall, 1);
        ASSERT_EQ(info.useAutoAdjustment, 1);
        stage.stageId = kFirstStageId;
        stage.SetStageInfo(info);
        stage.world = gs.defaultScene.world;
        stage.cameraWallClump = LoadClumpFile((StageWorldFolder(kFirstStageId) + "CAMWALL.DFF").c_str(), nullptr);
        ASSERT_NE(stage.cameraWallClump, nullptr);
        hero.position = kWalk[0];
        hero.padIndex = 0;
        stage.heroes[0] = &hero;
        stage.heroCount = 1;
        g_pStageManager = &stage;
        stage.CreateCamera();
        stage.LoadCamera();
    }
    void TearDown() override
    {
        g_pStageManager = nullptr;
        stage.DestroyCamera();
        if (stage.cameraWallClump != nullptr) {
            RpClumpDestroy(stage.cameraWallClump);
        }
        stage.world = nullptr;
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }
    RwV3d Eye() const { return RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos; }
    // One tick: the test hero where its walk has it, the script's stick on its pad.
    void Tick(int tick)
    {
        hero.position = HeroAt(static_cast<float>(tick) * kTick);
        PadState &pad = gs.padStates[kPadStateBlock][hero.padIndex];
        StickAt(tick, &pad.axes[2], &pad.axes[3]);
        stage.UpdateCamera(kTick);
    }

    CSGameSystem gs;
    CSStageManager stage;
    CSHero hero;
};

TEST_F(CameraHarnessTest, SixHundredTicksInsideTheLimitsAndNeverBehindACameraWall)
{
    const StageCameraLimits &limits = stage.stageInfo.camera1;
    EXPECT_FLOAT_EQ(RwCameraGetFarClipPlane(gs.camera), stage.stageInfo.farPlane1P);
    int pulledIn = 0;
    float lowest = 90.0f;
    float highest = -90.0f;
    for (int tick = 0; tick < kTicks; ++tick) {
        Tick(tick);
        ASSERT_EQ(stage.cameraMode, kCameraPlay);
        const CameraOrbit &orbit = stage.camera->Orbit();
        ASSERT_GE(orbit.pitch, limits.pitchDegreeMin) << tick;
        ASSERT_LE(orbit.pitch, limits.pitchDegreeMax) << tick;
        ASSERT_GE(stage.camera->WantedDistance(), limits.distanceMin) << tick;
        ASSERT_LE(stage.camera->WantedDistance(), limits.distanceMax) << tick;
        ASSERT_LE(orbit.distance, stage.camera->WantedDistance() + 1e-4f) << tick;
        // The focus is inside the walls, so a camera inside them has no wall
        // between itself and the hero.
        const RwV3d eye = Eye();
        ASSERT_LT(std::fabs(eye.x), mkdata::kCameraWallAt) << tick;
        ASSERT_LT(std::fabs(eye.z), mkdata::kCameraWallAt) << tick;
        ASSERT_GT(eye.y, 0.0f) << tick;
        ASSERT_NEAR(V3Distance(eye, stage.camera->Focus()), orbit.distance, 1e-3f) << tick;
        pulledIn += orbit.distance < stage.camera->WantedDistance() - 0.01f ? 1 : 0;
        lowest = std::min(lowest, orbit.pitch);
        highest = std::max(highest, orbit.pitch);
    }
    // The script reaches both pitch limits, and the walls did pull the camera in.
    EXPECT_FLOAT_EQ(lowest, limits.pitchDegreeMin);
    EXPECT_FLOAT_EQ(highest, limits.pitchDegreeMax);
    EXPECT_GT(pulledIn, 30);
    // Without the walls the same script takes the camera out of the yard.
    stage.cameraWallClump = (RpClumpDestroy(stage.cameraWallClump), nullptr);
    stage.LoadCamera();
    bool outside = false;
    for (int tick = 0; tick < kTicks && !outside; ++tick) {
        Tick(tick);
        outside = std::fabs(Eye().x) > mkdata::kCameraWallAt || std::fabs(Eye().z) > mkdata::kCameraWallAt;
    }
    EXPECT_TRUE(outside);
}

TEST_F(CameraHarnessTest, PlayViewScreenshot)
{
    const RwV3d feet = kWalk[0];
    stage.UpdateCamera(kTick);
    // The test hero: the sample figure in its first pose, standing at its feet.
    RpClump *hero = LoadClumpFile("\\RESOURCE\\MAINCHAR\\HERO01\\HERO01.DFF", "\\RESOURCE\\MAINCHAR\\HERO01\\");
    ASSERT_NE(hero, nullptr);
    RwFrameTranslate(RpClumpGetFrame(hero), &feet, rwCOMBINEREPLACE);
    CSClumpAnimManager animations;
    ASSERT_GE(animations.LoadAMF("\\RESOURCE\\MAINCHAR\\HERO01\\HERO01.ANM"), 0);
    ASSERT_NE(animations.AssignAnimation(hero, "HERO01.ANM"), 0u);
    RpWorldAddClump(gs.defaultScene.world, hero);

    RwRGBA clear = {40, 40, 60, 255};
    RwCameraClear(gs.camera, &clear, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    ASSERT_TRUE(BeginCameraUpdate(gs.camera));
    game::StageSceneRender(gs.defaultScene);
    gs.RenderClumpWithFade(hero, 0.5f);  // a hero hides no hero of its own
    stage.RenderTranslucent();
    EndCameraUpdate(gs.camera);
    const std::string folder = apptest::ScratchFolder("camera_harness");
    const std::string shot = folder + "/camera_mode0.bmp";
    ASSERT_TRUE(game::WriteScreenshot(gs.camera, shot));
    apptest::ExpectLikeReference(shot, std::string(RW_TEST_SOURCE_DIR) + "/tests/stage/reference/camera_mode0.bmp",
                                 folder + "/camera_mode0_difference.bmp");

    animations.ReleaseAll();
    RpWorldRemoveClump(gs.defaultScene.world, hero);
    RpClumpDestroy(hero);
}

}  // namespace

}  // namespace camera_harness_test
