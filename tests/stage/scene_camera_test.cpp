// A scene's camera read from the CAMERA folders of the sample data: its
// view follows the animated root frame of the clump, the blend into it
// reaches it, its end is reported, and it is released with nothing left.
#include <gtest/gtest.h>

#include "app/path.h"
#include "camera_test_support.h"
#include "stage/camera_modes.h"
#include "stage/game_camera.h"
#include "stage_test_support.h"
#include "tools/mkdata/scene_camera.h"
#include "support/game/diagnostics_capture.h"

namespace scene_camera_test {

namespace {

using cameratest::SameView;

class SceneCameraTest : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        stagetest::StageEngineTest::SetUp();
        SetDataRootPath(stagetest::SamplePath("").c_str());
        camera_ = RwCameraCreate();
        RwCameraSetFrame(camera_, RwFrameCreate());
        cam_.Create(camera_);
    }
    void TearDown() override
    {
        cam_.UnloadEventClump(nullptr);
        RwFrame *frame = RwCameraGetFrame(camera_);
        RwCameraSetFrame(camera_, nullptr);
        RwFrameDestroy(frame);
        RwCameraDestroy(camera_);
        SetDataRootPath("");
        stagetest::StageEngineTest::TearDown();
    }
    const RwMatrix &View() const { return *RwFrameGetMatrix(RwCameraGetFrame(camera_)); }

    RwCamera *camera_ = nullptr;
    CSGameCamera cam_;
};

TEST_F(SceneCameraTest, PathsOfTheCameraFolders)
{
    EXPECT_EQ(SceneCameraClumpPath("CAM01.DFF"), "\\RESOURCE\\G_EVENT\\CAMERA\\DFF\\CAM01.DFF");
    EXPECT_EQ(SceneCameraAnimationPath("CAM01.ANM"), "\\RESOURCE\\G_EVENT\\CAMERA\\ANM\\CAM01.ANM");
}

TEST_F(SceneCameraTest, TheSceneViewFollowsTheAnimatedRootFrame)
{
    ASSERT_TRUE(cam_.LoadEventClump(mkdata::SceneCameraModelName(), mkdata::SceneCameraAnimName()));
    ASSERT_NE(cam_.EventClump(), nullptr);
    ASSERT_NE(cam_.EventView(), nullptr);
    EXPECT_TRUE(SameView(*cam_.EventView(), mkdata::SceneCameraViewAt(0.0f)));
    CameraInputs inputs;
    for (int i = 0; i < 90; ++i) {  // 1.5 s: a key of the flight
        cam_.AdvanceEventClump(1.0f / 60.0f);
        inputs.sceneView = cam_.EventView();
        cam_.Step(kCameraScene, 1.0f / 60.0f, inputs);
    }
    EXPECT_NEAR(cam_.EventAnimationTime(), 1.5f, 1e-3f);
    EXPECT_FALSE(cam_.EventAnimationEnded());
    EXPECT_TRUE(SameView(*cam_.EventView(), mkdata::SceneCameraViewAt(1.5f), 2e-3f));
    EXPECT_TRUE(SameView(View(), mkdata::SceneCameraViewAt(1.5f), 2e-3f));
    cam_.AdvanceEventClump(2.0f);
    EXPECT_TRUE(cam_.EventAnimationEnded());
    EXPECT_TRUE(SameView(*cam_.EventView(), mkdata::SceneCameraViewAt(mkdata::kSceneCameraDuration), 2e-3f));
    // Released by its name; another name leaves it.
    cam_.UnloadEventClump("OTHER.DFF");
    EXPECT_NE(cam_.EventClump(), nullptr);
    cam_.UnloadEventClump(mkdata::SceneCameraModelName());
    EXPECT_EQ(cam_.EventClump(), nullptr);
    EXPECT_EQ(cam_.EventView(), nullptr);
    EXPECT_EQ(cam_.EventAnimationTime(), -1.0f);
}

TEST_F(SceneCameraTest, MissingOrMismatchedFilesKeepNothing)
{
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(cam_.LoadEventClump("NONE.DFF", mkdata::SceneCameraAnimName()));
    EXPECT_FALSE(cam_.LoadEventClump(mkdata::SceneCameraModelName(), "NONE.ANM"));
    // The hero's animation does not fit the camera's one-node skeleton.
    EXPECT_FALSE(cam_.LoadEventClump(mkdata::SceneCameraModelName(), "../../../MAINCHAR/HERO01/HERO01.ANM"));
    const std::string printed = gametest::TakeDiagnostics();
    EXPECT_NE(printed.find("cannot be played on it"), std::string::npos) << printed;
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(cam_.LoadEventClump(nullptr, "X"));
    EXPECT_FALSE(cam_.LoadEventClump("", ""));
    gametest::TakeDiagnostics();
    EXPECT_EQ(cam_.EventClump(), nullptr);
    // A second load takes the place of the first.
    ASSERT_TRUE(cam_.LoadEventClump(mkdata::SceneCameraModelName(), mkdata::SceneCameraAnimName()));
    ASSERT_TRUE(cam_.LoadEventClump(mkdata::SceneCameraModelName(), mkdata::SceneCameraAnimName()));
    EXPECT_NE(cam_.EventClump(), nullptr);  // the tear-down finds only this one left
}

}  // namespace

}  // namespace scene_camera_test
