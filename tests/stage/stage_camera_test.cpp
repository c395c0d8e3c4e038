// The stage's camera operations on the game system's main camera: the far
// plane of every mode, the game speed and the mode's end of blends, the
// blend back ending in mode 0 with the stage's far plane, the camera made
// from the stage info, the music and sound calls with and without sound,
// and the stage's sound effects let go of with the stage.
#include <gtest/gtest.h>

#include <cmath>

#include "actor/hero.h"
#include "app/game_system.h"
#include "app/file.h"
#include "app/trace.h"
#include "event/event_manager.h"
#include "event/event_record.h"
#include "event/event_table_file.h"
#include "stage/camera_modes.h"
#include "stage/game_camera.h"
#include "stage/media_paths.h"
#include "stage/model_frames.h"
#include "stage/sfx_manager.h"
#include "stage/sound_list.h"
#include "stage/stage_manager.h"
#include "stage/stage_music.h"
#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"
#include "tests/stage/stage_test_support.h"
#include "tools/model_test_support.h"
#include "fake_sound.h"
#include "support/game/diagnostics_capture.h"

namespace stage_camera_test {

namespace {

class StageCameraTest : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(apptest::ScratchFolder("stage_camera"));
        gametest::CaptureDiagnostics();
        ASSERT_TRUE(gs.Create(64, 48, 1));
        gametest::TakeDiagnostics();
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
        stage.heroes[0] = nullptr;
        stage.heroCount = 0;
        stage.DestroyCamera();
        stage.DestroySound();
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }
    float Far() const { return RwCameraGetFarClipPlane(gs.camera); }
    // The camera made and loaded on the stage info, following one hero at the origin.
    void FollowHeroAtOrigin()
    {
        stage.CreateCamera();
        stage.LoadCamera();
        hero.position = {0.0f, 0.0f, 0.0f};
        stage.heroes[0] = &hero;
        stage.heroCount = 1;
    }

    CSHero hero;  // outlives the stage, which only lends it a place
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
    gametest::CaptureDiagnostics();
    stage.SetCameraMode(9);
    stage.SetCameraMode(-1);
    EXPECT_NE(gametest::TakeDiagnostics().find("no camera mode"), std::string::npos);
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
    stage.LoadCamera();
    stage.Render();  // no world: nothing drawn
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
    gametest::CaptureDiagnostics();
    stage.LoadSound();
    gametest::TakeDiagnostics();
    EXPECT_EQ(stage.music->Stage(), 2010000);
    EXPECT_TRUE(stage.IsBGMStopped());  // no sound: nothing plays
    stage.PauseBGM();
    EXPECT_EQ(stage.music->Kind(), kMusicPaused);
    stage.ResumeBGM();
    EXPECT_EQ(stage.music->Kind(), kMusicNone);
    stage.SetBGMVolume(0.5f);
    EXPECT_FLOAT_EQ(stage.music->Volume(), 0.5f);
    stage.UpdateSound(16);
    stage.ReleaseSound();
    EXPECT_EQ(stage.music->Stage(), 0);
}

// The stage's music and sound calls reach its music and sound effects: the
// stage's piece, an event's piece, a fade out ended by the sound step, the
// stage's piece faded back in, and a sound effect played at the sound step.
TEST_F(StageCameraTest, TheStagesMusicAndSoundCallsReachItsMusicAndEffects)
{
    soundtest::FakeSound sound;
    sound.AddFile(StageMusicPath(2010000));
    sound.AddFile(EventMusicPath(3));
    sound.AddFile(SoundEffectPath(3100010));
    stage.sfxManager = new CSSFXManager(sound.Port());
    stage.music = new CSStageMusic(sound.Port());
    stage.music->SetStage(2010000);
    stage.PlayStageBGM();
    EXPECT_EQ(stage.music->Kind(), kMusicStage);
    EXPECT_EQ(stage.music->Name(), "2010000.WAV");
    stage.PlayEventBGM(0, 3);
    EXPECT_EQ(stage.music->Kind(), kMusicEvent);
    EXPECT_EQ(stage.music->Name(), "EVT3.WAV");
    stage.StopBGM(200);
    EXPECT_EQ(stage.music->Kind(), kMusicFading);
    stage.UpdateSound(200);
    EXPECT_TRUE(stage.IsBGMStopped());
    stage.FadeInStageBGM();
    EXPECT_EQ(stage.music->Kind(), kMusicStage);
    EXPECT_FLOAT_EQ(stage.music->FadeLevel(), 0.0f);  // from silence, over two seconds
    stage.UpdateSound(1000);
    EXPECT_NEAR(stage.music->FadeLevel(), 0.5f, 1e-5f);
    const int32_t ids[] = {3100010};
    stage.sfxManager->AddSFXList(ids, 1);
    stage.sfxManager->PlaySFX(3100010, 0);
    EXPECT_EQ(sound.Count("play " + SoundEffectPath(3100010)), 0u);
    stage.UpdateSound(16);
    EXPECT_EQ(sound.Count("play " + SoundEffectPath(3100010)), 1u);
    // Without a stage there is no stage piece to fade in or play: the music
    // ends (a piece numbered 0 is no stage's).
    sound.AddFile(StageMusicPath(0));
    stage.music->SetStage(0);
    stage.FadeInStageBGM();
    EXPECT_TRUE(stage.IsBGMStopped());
    EXPECT_EQ(stage.music->Handle(), SoundPort::kNoSound);
    stage.PlayEventBGM(0, 3);
    stage.PlayStageBGM();
    EXPECT_TRUE(stage.IsBGMStopped());
    EXPECT_EQ(sound.Count("play " + StageMusicPath(0)), 0u);
    stage.DestroySound();
}

// The stage's sound effects come from its list at load and go with the stage:
// once released no sample of the list is held or left loaded in the sound.
TEST_F(StageCameraTest, ReleasingTheStageLetsGoOfItsListsSounds)
{
    apptest::WriteText(std::string(GetDataRootPath()) + "/RESOURCE/MEDIA/SFX/2010000.SFL",
                       FormatSoundList({3100010, 3100020}));
    soundtest::FakeSound sound;
    sound.AddFile(SoundEffectPath(3100010));
    sound.AddFile(SoundEffectPath(3100020));
    stage.sfxManager = new CSSFXManager(sound.Port());
    stage.stageId = 2010000;
    stage.LoadSound();
    EXPECT_EQ(stage.sfxManager->SampleCount(), 2u);
    EXPECT_EQ(sound.voices.size(), 2u);
    stage.ReleaseSound();
    EXPECT_EQ(stage.sfxManager->SampleCount(), 0u);
    EXPECT_TRUE(stage.sfxManager->StageList().empty());
    EXPECT_TRUE(sound.voices.empty());
    EXPECT_EQ(sound.Count("unload " + SoundEffectPath(3100010)), 1u);
    stage.DestroySound();
}

TEST_F(StageCameraTest, TheHeroesAreFollowedAndTheFirstHerosRightStickTurns)
{
    stage.CreateCamera();
    stage.LoadCamera();
    CSHero first;
    CSHero second;
    first.position = {1.0f, 0.0f, 2.0f};
    first.padIndex = 1;
    stage.heroes[0] = &first;
    stage.heroCount = 1;
    stage.UpdateCamera(1.0f / 60.0f);
    EXPECT_NEAR(stage.camera->Focus().x, 1.0f, 1e-5f);
    EXPECT_NEAR(stage.camera->Focus().y, kCameraFocusHeight, 1e-5f);
    // The stick of the hero's own pad turns the camera; the others do not.
    gs.padStates[kPadStateBlock][0].axes[2] = 1.0f;
    stage.UpdateCamera(0.5f);
    EXPECT_FLOAT_EQ(stage.camera->Orbit().rotate, 45.0f);
    gs.padStates[kPadStateBlock][1].axes[2] = 1.0f;
    gs.padStates[kPadStateBlock][1].axes[3] = -0.5f;
    stage.UpdateCamera(0.5f);
    EXPECT_FLOAT_EQ(stage.camera->Orbit().rotate, 45.0f + 0.5f * kCameraTurnRate);
    EXPECT_FLOAT_EQ(stage.camera->Orbit().pitch, 30.0f - 0.25f * kCameraPitchRate);
    // Two heroes: their midpoint.
    second.position = {3.0f, 0.0f, 6.0f};
    stage.heroes[1] = &second;
    stage.heroCount = 2;
    stage.UpdateCamera(1.0f / 60.0f);
    EXPECT_NEAR(stage.camera->Focus().x, 2.0f, 1e-5f);
    EXPECT_NEAR(stage.camera->Focus().z, 4.0f, 1e-5f);
    EXPECT_EQ(stage.camera->HeroFocusCount(), 2);
    // The timed move turns to an actor's point at the focus height.
    AiObject npc;
    npc.position = {-4.0f, 0.0f, 5.0f};
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    stage.camera->PrepareTimedMove(gs.camera, &npc, 0.5f);
    stage.SetCameraMode(kCameraTurnTo);
    for (int i = 0; i < 31; ++i) {
        stage.UpdateCamera(1.0f / 60.0f);
    }
    const RwMatrix *view = RwFrameGetLTM(RwCameraGetFrame(gs.camera));
    const RwV3d want = {npc.position.x - eye.x, kCameraFocusHeight - eye.y, npc.position.z - eye.z};
    const float length = std::sqrt(want.x * want.x + want.y * want.y + want.z * want.z);
    EXPECT_NEAR(view->at.x, want.x / length, 1e-3f);
    EXPECT_NEAR(view->at.y, want.y / length, 1e-3f);
    EXPECT_NEAR(view->at.z, want.z / length, 1e-3f);
    stage.camera->PrepareTimedMove(gs.camera, static_cast<AiObject *>(nullptr), 0.5f);  // back
    stage.SetCameraMode(kCameraTurnBack);
    for (int i = 0; i < 40 && stage.cameraMode == kCameraTurnBack; ++i) {
        stage.UpdateCamera(1.0f / 60.0f);
    }
    EXPECT_EQ(stage.cameraMode, kCameraPlay);
}

// With auto adjustment the camera also keeps clear of the first model of
// event 79050300, which it asks the event manager for; without an event
// manager, or while the model lets moves through, the model is no wall.
TEST_F(StageCameraTest, TheBlockingEventsModelPullsTheCameraIn)
{
    FollowHeroAtOrigin();
    stage.UpdateCamera(1.0f / 60.0f);
    const float wanted = stage.camera->WantedDistance();
    ASSERT_FLOAT_EQ(stage.camera->Orbit().distance, wanted);

    // The prop stands half-way between the hero's focus and the camera.
    testing::internal::CaptureStderr();  // its textures are not looked for here
    RpClump *prop = stagetest::ReadSampleClump("RESOURCE/G_EVENT/DFF/PROP01.DFF");
    testing::internal::GetCapturedStderr();
    ASSERT_NE(prop, nullptr);
    RpAtomic *atomic = modeltest::FirstAtomic(prop);
    ASSERT_NE(atomic, nullptr);
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    const RwV3d focus = stage.camera->Focus();
    const RwV3d centre = RpAtomicGetWorldBoundingSphere(atomic)->center;
    const RwV3d middle = {(eye.x + focus.x) * 0.5f - centre.x, (eye.y + focus.y) * 0.5f - centre.y,
                          (eye.z + focus.z) * 0.5f - centre.z};
    RwFrameTranslate(RpClumpGetFrame(prop), &middle, rwCOMBINEREPLACE);
    SetClumpCollisionTest(prop, true);

    CSEventManager events;
    EventTableEntry door;
    door.eventId = 79050300;
    const std::string text = FormatEventTable({door});
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    ASSERT_TRUE(events.LoadEventTable(file));
    zufclose(file);
    EventRecord *record = events.FindEvent(79050300);
    ASSERT_NE(record, nullptr);
    RpClump *models[1] = {prop};
    record->Models = models;
    record->ModelNum = 1;

    // Without the event manager the model is not seen.
    stage.UpdateCamera(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(stage.camera->Orbit().distance, wanted);
    // With it the camera pulls in at once, in front of the model.
    stage.eventManager = &events;
    stage.UpdateCamera(1.0f / 60.0f);
    const float pulled = stage.camera->Orbit().distance;
    EXPECT_LT(pulled, 0.75f * wanted);
    // A model that lets moves through blocks nothing: the camera eases out.
    SetClumpCollisionTest(prop, false);
    stage.UpdateCamera(1.0f / 60.0f);
    EXPECT_GT(stage.camera->Orbit().distance, pulled);

    stage.eventManager = nullptr;
    record->Models = nullptr;
    record->ModelNum = 0;
    events.Release();
    RpClumpDestroy(prop);
}

// A stage change with transition holds the camera and fades the music out
// over half the transition's time.
TEST_F(StageCameraTest, AStageChangeWithTransitionFadesTheMusicOverHalfItsTime)
{
    stage.CreateCamera();
    stage.LoadCamera();
    soundtest::FakeSound sound;
    sound.AddFile(StageMusicPath(2010000));
    CSStageMusic music(sound.Port());
    CSStageMusic *own = stage.music;
    stage.music = &music;
    music.SetStage(2010000);
    music.PlayStageBGM();
    ASSERT_EQ(music.Kind(), kMusicStage);

    stage.RequestStageChange(2010000, 1, 2000);
    EXPECT_TRUE(stage.IsStageChangePending());
    EXPECT_EQ(stage.cameraMode, kCameraHold);
    EXPECT_EQ(music.Kind(), kMusicFading);
    stage.UpdateSound(500);
    EXPECT_FALSE(stage.IsBGMStopped());
    EXPECT_NEAR(music.FadeLevel(), 0.5f, 1e-5f);
    stage.UpdateSound(500);
    EXPECT_TRUE(stage.IsBGMStopped());

    stage.stageChange = StageChangeRequest{};
    stage.music = own;
}

// A game camera made while the game had no main camera loads and steps with
// the trace on: it has no place to give, so the trace gets no camera line.
TEST_F(StageCameraTest, ACameraMadeWithoutTheMainCameraStepsAndTracesNoPlace)
{
    const std::string path = apptest::ScratchFolder("stage_trace_no_camera") + "/trace.txt";
    std::string error;
    ASSERT_TRUE(game::TraceOpen(path, &error)) << error;
    RwCamera *main = gs.camera;
    gs.camera = nullptr;
    stage.CreateCamera();
    gs.camera = main;
    ASSERT_EQ(stage.camera->Camera(), nullptr);
    stage.LoadCamera();
    stage.UpdateCamera(1.0f / 60.0f);
    game::TraceClose();
    EXPECT_TRUE(gametest::RecordsOfKind(gametest::ReadTrace(path), "camera").empty());
}

TEST_F(StageCameraTest, CameraMusicAndSoundTraceLines)
{
    const std::string path = apptest::ScratchFolder("stage_trace") + "/trace.txt";
    std::string error;
    ASSERT_TRUE(game::TraceOpen(path, &error)) << error;
    FollowHeroAtOrigin();
    soundtest::FakeSound sound;
    sound.AddFile(StageMusicPath(2010000));
    sound.AddFile(EventMusicPath(1));
    sound.AddFile(SoundEffectPath(3100010));
    CSStageMusic music(sound.Port());
    CSSFXManager sfx(sound.Port());
    const int32_t ids[] = {3100010};
    sfx.AddSFXList(ids, 1);
    music.SetStage(2010000);
    game::TraceSetTick(1);
    stage.UpdateCamera(1.0f / 60.0f);
    music.PlayStageBGM();
    sfx.PlaySFX(3100010, 0);
    sfx.PlaySFX(3100010, 0);
    sfx.Update();
    game::TraceSetTick(2);
    stage.SetCameraMode(kCameraHold);
    stage.UpdateCamera(1.0f / 60.0f);
    music.PauseBGM();
    music.ResumeBGM();
    music.PlayEventBGM(0, 1);
    music.StopBGM(100);
    music.Update(100);
    TraceMusic("start", "ui", "SELCHAR.WAV");
    game::TraceClose();

    const auto records = gametest::ReadTrace(path);
    const auto cameras = gametest::RecordsOfKind(records, "camera");
    // The load's line, then one a tick.
    ASSERT_EQ(cameras.size(), 3u);
    EXPECT_EQ(cameras[0].tick, 0u);
    EXPECT_EQ(cameras[0].Int(0), kCameraPlay);
    EXPECT_EQ(cameras[1].tick, 1u);
    EXPECT_EQ(cameras[1].Int(0), kCameraPlay);
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    EXPECT_NEAR(cameras[2].Real(1), eye.x, 0.01);
    EXPECT_NEAR(cameras[2].Real(2), eye.y, 0.01);
    EXPECT_NEAR(cameras[2].Real(3), eye.z, 0.01);
    EXPECT_EQ(cameras[2].Int(0), kCameraHold);
    const auto sfxLines = gametest::RecordsOfKind(records, "sfx");
    ASSERT_EQ(sfxLines.size(), 1u);  // queued twice, started once
    EXPECT_EQ(sfxLines[0].Int(0), 3100010);
    std::vector<std::string> musicLines;
    for (const auto &line : gametest::RecordsOfKind(records, "music")) {
        musicLines.push_back(line.fields[0] + " " + line.fields[1] + " " + line.fields[2]);
    }
    EXPECT_EQ(musicLines, (std::vector<std::string>{"start stage 2010000.WAV", "pause stage 2010000.WAV",
                                                    "resume stage 2010000.WAV", "stop stage 2010000.WAV",
                                                    "start event EVT1.WAV", "stop event EVT1.WAV",
                                                    "start ui SELCHAR.WAV"}));
}

}  // namespace

}  // namespace stage_camera_test
