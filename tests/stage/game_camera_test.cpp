// The game camera frame by frame on a real camera and frame: the far plane
// of every mode, the play view within the limits, blends into and out of a
// scene (halfway at half time, on target at the end, mode 0 after the blend
// back, mode 0 mid-blend ending it), the timed move there and back, saving
// and restoring the matrix, and the pull-in against what blocks the view.
#include <gtest/gtest.h>

#include <cmath>

#include "camera_test_support.h"
#include "stage/camera_math.h"
#include "stage/camera_modes.h"
#include "stage/game_camera.h"
#include "stage/v3.h"

namespace game_camera_test {

namespace {

using cameratest::LookingAt;
using cameratest::Near;
using cameratest::SameView;

const StageCameraLimits kOne = {10.0f, 60.0f, 40.0f, 120.0f, 45.0f, 30.0f};
const StageCameraLimits kTwo = {15.0f, 55.0f, 50.0f, 140.0f, 135.0f, 35.0f};
constexpr float kTick = 1.0f / 60.0f;

TEST(CameraModes, FarPlanePerMode)
{
    const float stage = 250.0f;
    const float expected[kCameraModeCount] = {stage, stage, 600.0f, 400.0f, stage, 600.0f, 400.0f, 600.0f, 400.0f};
    for (int32_t mode = 0; mode < kCameraModeCount; ++mode) {
        EXPECT_FLOAT_EQ(CameraModeFarPlane(mode, stage), expected[mode]) << "mode " << mode;
    }
    EXPECT_FLOAT_EQ(CameraModeFarPlane(-1, stage), stage);
    EXPECT_FLOAT_EQ(CameraModeFarPlane(9, stage), stage);
}

class GameCameraTest : public cameratest::CameraEngineTest {
protected:
    void SetUp() override
    {
        cameratest::CameraEngineTest::SetUp();
        cam_.Create(camera_);
        cam_.SetLimits(kOne, kTwo, false);
        inputs_.heroCount = 1;
        inputs_.heroes[0] = {10.0f, 0.0f, 20.0f};
    }
    // Steps `ticks` ticks in `mode`; the number of the step that asked for
    // mode 0 (1-based), or 0 when none did.
    int Run(int32_t mode, int ticks, float seconds = kTick)
    {
        for (int i = 1; i <= ticks; ++i) {
            if (cam_.Step(mode, seconds, inputs_)) {
                return i;
            }
        }
        return 0;
    }
    RwV3d Focus() const { return V3Add(inputs_.heroes[0], {0.0f, kCameraFocusHeight, 0.0f}); }
    // One tick of play with the scene's view offered; the play view.
    RwMatrix PlayBesideScene()
    {
        inputs_.sceneView = &scene_;
        Run(kCameraPlay, 1);
        return cam_.PlayView();
    }

    const RwMatrix scene_ = LookingAt({20, 3, 20}, {0, 0, 0});

    CSGameCamera cam_;
    CameraInputs inputs_;
};

TEST_F(GameCameraTest, PlayModesFollowTheHeroInsideTheLimits)
{
    for (int32_t mode : {kCameraPlay, kCameraPlayNear, kCameraPlayStage}) {
        cam_.SetLimits(kOne, kTwo, false);
        EXPECT_EQ(Run(mode, 1), 0) << "a play mode stays";
        const RwMatrix &view = View();
        const RwV3d toFocus = V3Sub(Focus(), view.pos);
        const float distance = V3Length(toFocus);
        EXPECT_NEAR(distance, 40.0f + 80.0f * 20.0f / 50.0f, 1e-3f) << "mode " << mode;
        EXPECT_TRUE(Near(view.at, V3Scale(toFocus, 1.0f / distance)));
        EXPECT_NEAR(std::asin(-view.at.y) * 57.29578f, 30.0f, 1e-2f);  // looking down by the pitch
    }
    // Full stick for a long time: turned, pitch and distance at their limits.
    inputs_.stickX = 1.0f;
    inputs_.stickY = 1.0f;
    // Nothing in the way: the distance follows the pitch's at once, without
    // the easing out of a pull-in.
    const float before = cam_.Orbit().distance;
    Run(kCameraPlay, 1);
    EXPECT_GT(cam_.Orbit().distance, before + kCameraEaseOut * kTick);
    EXPECT_FLOAT_EQ(cam_.Orbit().distance, cam_.WantedDistance());
    Run(kCameraPlay, 600);
    EXPECT_FLOAT_EQ(cam_.Orbit().pitch, 60.0f);
    EXPECT_NEAR(V3Distance(View().pos, Focus()), 120.0f, 1e-3f);
    inputs_.stickY = -1.0f;
    Run(kCameraPlay, 600);
    EXPECT_FLOAT_EQ(cam_.Orbit().pitch, 10.0f);
    EXPECT_NEAR(V3Distance(View().pos, Focus()), 40.0f, 1e-3f);
}

TEST_F(GameCameraTest, TwoHeroesTakeTheirMidpointAndTheSecondLimits)
{
    inputs_.heroCount = 2;
    inputs_.heroes[0] = {-30.0f, 0.0f, 0.0f};
    inputs_.heroes[1] = {30.0f, 0.0f, 0.0f};
    cam_.SetLimits(kOne, kTwo, false);
    Run(kCameraPlay, 1);
    EXPECT_TRUE(Near(cam_.Focus(), {0.0f, kCameraFocusHeight, 0.0f}));
    // pitch 30 lies in 15..55; the spread of 60 asks for more than the pitch does
    EXPECT_NEAR(cam_.WantedDistance(), 50.0f + kCameraSpreadShare * 60.0f, 1e-3f);
    inputs_.stickY = -1.0f;
    Run(kCameraPlay, 600);
    EXPECT_FLOAT_EQ(cam_.Orbit().pitch, 15.0f);
}

TEST_F(GameCameraTest, HoldAndNoHeroesLeaveTheCameraWhereItIs)
{
    const RwMatrix placed = LookingAt({7, 7, 7}, {0, 0, 0});
    SetView(placed);
    EXPECT_EQ(Run(kCameraHold, 10), 0) << "the hold lasts until the stage ends it";
    EXPECT_TRUE(SameView(View(), placed));
    inputs_.heroCount = 0;
    Run(kCameraPlay, 10);
    EXPECT_TRUE(SameView(View(), placed));
    // Nor does the stick turn the orbit while there is no hero to follow.
    inputs_.heroCount = 1;
    Run(kCameraPlay, 10);
    const float rotate = cam_.Orbit().rotate;
    const float pitch = cam_.Orbit().pitch;
    inputs_.heroCount = 0;
    inputs_.stickX = 1.0f;
    inputs_.stickY = 1.0f;
    Run(kCameraPlay, 60);
    EXPECT_FLOAT_EQ(cam_.Orbit().rotate, rotate);
    EXPECT_FLOAT_EQ(cam_.Orbit().pitch, pitch);
}

TEST_F(GameCameraTest, SceneModeTakesTheScenesView)
{
    const RwMatrix scene = LookingAt({20, 3, 20}, {0, 0, 0});
    inputs_.sceneView = &scene;
    EXPECT_EQ(Run(kCameraScene, 1), 0) << "the scene's view lasts until its event ends it";
    EXPECT_TRUE(SameView(View(), scene));
    // Without a scene clump the camera holds.
    inputs_.sceneView = nullptr;
    SetView(LookingAt({1, 1, 1}, {0, 0, 0}));
    EXPECT_EQ(Run(kCameraScene, 3), 0);
    EXPECT_TRUE(SameView(View(), LookingAt({1, 1, 1}, {0, 0, 0})));
}

TEST_F(GameCameraTest, BlendIntoTheSceneIsHalfwayAtHalfTimeAndOnTargetAtTheEnd)
{
    Run(kCameraPlay, 1);
    const RwMatrix start = View();
    const RwMatrix scene = LookingAt({20, 3, 20}, {0, 0, 0});
    inputs_.sceneView = &scene;
    cam_.BlendToScene(camera_, 1.0f);
    EXPECT_EQ(Run(kCameraBlendIn, 30), 0);  // 0.5 s
    RwMatrix half{};
    BlendCameraViews(start, scene, 0.5f, &half);
    EXPECT_TRUE(SameView(View(), half));
    EXPECT_TRUE(Near(View().pos, V3Lerp(start.pos, scene.pos, 0.5f)));
    Run(kCameraBlendIn, 30);
    EXPECT_TRUE(SameView(View(), scene));
    EXPECT_FALSE(cam_.BlendRunning());
    // Afterwards mode 5 follows the scene's view as it moves.
    const RwMatrix moved = LookingAt({22, 3, 18}, {0, 0, 0});
    inputs_.sceneView = &moved;
    Run(kCameraBlendIn, 1);
    EXPECT_TRUE(SameView(View(), moved));
}

TEST_F(GameCameraTest, BlendBackEndsInModeZeroOnThePlayView)
{
    const RwMatrix scene = LookingAt({20, 3, 20}, {0, 0, 0});
    inputs_.sceneView = &scene;
    Run(kCameraPlay, 1);
    const RwMatrix play = cam_.PlayView();
    Run(kCameraScene, 1);
    cam_.BlendFromScene(camera_, 0.5f);
    EXPECT_EQ(Run(kCameraBlendOut, 15), 0);  // 0.25 s: halfway
    RwMatrix half{};
    BlendCameraViews(scene, play, 0.5f, &half);
    EXPECT_TRUE(SameView(View(), half));
    EXPECT_EQ(Run(kCameraBlendOut, 20), 15);  // asks for mode 0 on arriving
    EXPECT_TRUE(SameView(View(), play));
    // Mode 6 with nothing to blend asks for mode 0 at once.
    EXPECT_EQ(Run(kCameraBlendOut, 5), 1);
}

TEST_F(GameCameraTest, ModeZeroMidBlendEndsIt)
{
    const RwMatrix &scene = scene_;
    const RwMatrix play = PlayBesideScene();
    cam_.BlendToScene(camera_, 2.0f);
    Run(kCameraBlendIn, 30);
    EXPECT_TRUE(cam_.BlendRunning());
    cam_.OnModeSet(kCameraPlay);  // a skip
    EXPECT_FALSE(cam_.BlendRunning());
    Run(kCameraPlay, 1);
    EXPECT_TRUE(SameView(View(), play));
    // A later blend-in mode starts no leftover blend: it cuts to the scene.
    Run(kCameraBlendIn, 1);
    EXPECT_TRUE(SameView(View(), scene));
    // The same for a timed move.
    cam_.PrepareTimedMove(camera_, &scene.pos, 1.0f);
    cam_.OnModeSet(kCameraPlay);
    EXPECT_FALSE(cam_.TimedMoveRunning());
    // Other modes leave a running blend alone.
    cam_.BlendFromScene(camera_, 1.0f);
    cam_.OnModeSet(kCameraBlendOut);
    EXPECT_TRUE(cam_.BlendRunning());
}

TEST_F(GameCameraTest, TimedMoveTurnsToAnActorAndBackInHalfASecond)
{
    Run(kCameraPlay, 1);
    const RwMatrix play = View();
    cam_.SaveMatrix(camera_);
    const RwV3d npc = {6.0f, 1.0f, 8.0f};
    cam_.PrepareTimedMove(camera_, &npc, 0.5f);
    EXPECT_EQ(Run(kCameraTurnTo, 15), 0);
    // Halfway through the turn, standing where it was.
    RwMatrix half{};
    BlendCameraViews(play, LookingAt(play.pos, npc), 0.5f, &half);
    EXPECT_TRUE(SameView(View(), half));
    EXPECT_EQ(Run(kCameraTurnTo, 15), 0);  // mode 7 holds once there
    EXPECT_TRUE(SameView(View(), LookingAt(play.pos, npc)));
    EXPECT_FALSE(cam_.TimedMoveRunning());
    Run(kCameraTurnTo, 10);
    EXPECT_TRUE(SameView(View(), LookingAt(play.pos, npc)));
    // And back over 0.5 s to the play view; mode 8 then asks for mode 0.
    cam_.PrepareTimedMoveBack(camera_, 0.5f);
    EXPECT_EQ(Run(kCameraTurnBack, 60), 30);
    EXPECT_TRUE(SameView(View(), play));
    cam_.RestoreMatrix(camera_);
    EXPECT_TRUE(SameView(View(), play));
    // 0 seconds clears a move; mode 8 without one asks for mode 0 at once.
    cam_.PrepareTimedMove(camera_, &npc, 0.0f);
    EXPECT_FALSE(cam_.TimedMoveRunning());
    EXPECT_FALSE(cam_.StepTimedMove(kTick));
    EXPECT_EQ(Run(kCameraTurnBack, 3), 1);
}

TEST_F(GameCameraTest, AZeroSecondBlendIsACut)
{
    const RwMatrix &scene = scene_;
    const RwMatrix play = PlayBesideScene();
    cam_.BlendToScene(camera_, 0.0f);
    EXPECT_FALSE(cam_.BlendRunning());
    EXPECT_EQ(Run(kCameraBlendIn, 1), 0);
    EXPECT_TRUE(SameView(View(), scene));
    // Back with no time: mode 6 asks for mode 0 on its first step and
    // leaves the camera to it, which stands on the play view.
    cam_.BlendFromScene(camera_, 0.0f);
    EXPECT_FALSE(cam_.BlendRunning());
    EXPECT_EQ(Run(kCameraBlendOut, 3), 1);
    EXPECT_TRUE(SameView(View(), scene));
    Run(kCameraPlay, 1);
    EXPECT_TRUE(SameView(View(), play));
}

TEST_F(GameCameraTest, ABlendIntoASceneWaitsForTheScenesView)
{
    Run(kCameraPlay, 1);
    const RwMatrix start = View();
    inputs_.sceneView = nullptr;
    cam_.BlendToScene(camera_, 0.5f);
    EXPECT_EQ(Run(kCameraBlendIn, 10), 0);
    EXPECT_TRUE(SameView(View(), start)) << "no scene view yet: the camera stands";
    EXPECT_TRUE(cam_.BlendRunning());
    const RwMatrix scene = LookingAt({20, 3, 20}, {0, 0, 0});
    inputs_.sceneView = &scene;
    // The time waited counts: the blend goes on from 11 of its 30 ticks.
    Run(kCameraBlendIn, 1);
    RwMatrix part{};
    BlendCameraViews(start, scene, 11.0f / 30.0f, &part);
    EXPECT_TRUE(SameView(View(), part));
    Run(kCameraBlendIn, 19);  // the blend's half second is over
    EXPECT_TRUE(SameView(View(), scene));
    EXPECT_FALSE(cam_.BlendRunning());
}

TEST_F(GameCameraTest, WithNoPlayViewYetTheWayBackEndsAtOnce)
{
    // No hero has been followed yet: there is no play view to go back to.
    inputs_.heroCount = 0;
    const RwMatrix placed = LookingAt({7, 7, 7}, {0, 0, 0});
    SetView(placed);
    cam_.PrepareTimedMoveBack(camera_, 0.5f);
    EXPECT_EQ(Run(kCameraTurnBack, 3), 1);
    EXPECT_FALSE(cam_.TimedMoveRunning());
    EXPECT_TRUE(SameView(View(), placed));
    cam_.BlendFromScene(camera_, 0.5f);
    EXPECT_EQ(Run(kCameraBlendOut, 3), 1);
    EXPECT_FALSE(cam_.BlendRunning());
    // Once a hero stands, a later turn back with nothing prepared is over at
    // once too: nothing of the ended ones is left running.
    inputs_.heroCount = 1;
    EXPECT_EQ(Run(kCameraTurnBack, 3), 1);
    EXPECT_EQ(Run(kCameraBlendOut, 3), 1);
    EXPECT_TRUE(SameView(View(), placed));
}

TEST_F(GameCameraTest, SaveAndRestoreTheMatrix)
{
    const RwMatrix kept = LookingAt({3, 9, -2}, {1, 0, 1});
    SetView(kept);
    cam_.RestoreMatrix(camera_);  // nothing saved yet: nothing happens
    EXPECT_TRUE(SameView(View(), kept));
    cam_.SaveMatrix(camera_);
    SetView(LookingAt({0, 1, 0}, {5, 5, 5}));
    cam_.RestoreMatrix(camera_);
    EXPECT_TRUE(SameView(View(), kept));
}

// A wall across the line: the plane x = wallX between the focus and the camera.
struct Wall {
    float x;
};

float ClearBeforeWall(void *context, const RwV3d &from, const RwV3d &to)
{
    const float wallX = static_cast<Wall *>(context)->x;
    if ((from.x - wallX) * (to.x - wallX) >= 0.0f) {
        return 1.0f;
    }
    const float share = (wallX - from.x) / (to.x - from.x);
    const float length = V3Distance(from, to);
    return std::max(0.0f, share - kCameraRadius / length);
}

TEST_F(GameCameraTest, AutoAdjustmentPullsInAtOnceAndEasesOut)
{
    inputs_.heroes[0] = {0.0f, 0.0f, 0.0f};
    StageCameraLimits side = kOne;
    side.initialRotateDegree = 90.0f;  // the camera stands on -x of the hero
    Wall wall{-30.0f};
    inputs_.clearShare = ClearBeforeWall;
    inputs_.clearContext = &wall;
    // Without auto adjustment the wall is ignored.
    cam_.SetLimits(side, kTwo, false);
    Run(kCameraPlay, 1);
    EXPECT_LT(View().pos.x, wall.x);
    // With it the camera never stands beyond the wall.
    cam_.SetLimits(side, kTwo, true);
    Run(kCameraPlay, 1);
    EXPECT_GT(View().pos.x, wall.x);
    const float pulled = cam_.Orbit().distance;
    EXPECT_LT(pulled, cam_.WantedDistance());
    // The wall goes: out gradually, then at the wanted distance.
    wall.x = -1000.0f;
    Run(kCameraPlay, 1);
    EXPECT_NEAR(cam_.Orbit().distance, pulled + kCameraEaseOut * kTick, 1e-4f);
    Run(kCameraPlay, 120);
    EXPECT_FLOAT_EQ(cam_.Orbit().distance, cam_.WantedDistance());
}

}  // namespace

}  // namespace game_camera_test
