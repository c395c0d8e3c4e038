// The stage's life on the sample data's first stage, with the game system
// and recording stand-ins for the screen manager and the loading screen:
// the load's order with its progress values and the loading flag, the
// release (every clump out of its world before it goes, and gone once), a
// load that fails at each required file (the fatal report with the file's
// name and nothing left behind), the stage-change requests with every kind
// of target and the transition, pause and game speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "actor/ai_object.h"
#include "actor/hero.h"
#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/pack.h"
#include "app/render_callbacks.h"
#include "app/stage_scene.h"
#include "event/event_manager.h"
#include "d3d8/d3d8_platform.h"
#include "rwsdk/driver/d3d8/d3d8device.h"
#include "fx/weather.h"
#include "stage/camera_math.h"
#include "stage/clump_fade.h"
#include "stage/game_camera.h"
#include "stage/stage_manager.h"
#include "stage/stage_start.h"
#include "support/engine/freed_record_watch.h"
#include "support/game/diagnostics_capture.h"
#include "tests/app/app_test_support.h"
#include "tests/stage/stage_screen_fakes.h"
#include "tools/mkdata/stage_files.h"

namespace stage_life_test {

namespace {

using apptest::FatalRecorder;
using stagetest::Fake;

constexpr int32_t kStage1 = 2010000;
constexpr int32_t kStage2 = 2020000;

// What a good load of stage 1 tells the screens, in order.
std::vector<std::string> LoadLog(int32_t id)
{
    std::vector<std::string> log = {"loading flag 1", "reset clock", "loading on " + std::to_string(id)};
    for (const char *progress : {"0.20", "0.30", "0.50", "0.60", "0.70", "0.75", "0.80", "0.90", "1.00"}) {
        if (std::string(progress) == "0.60") {
            log.push_back("reset hud");  // after the heroes are placed
        }
        log.push_back(std::string("progress ") + progress + " flag 1");
        log.push_back("step");
    }
    log.insert(log.end(), {"loading off " + std::to_string(id), "loading flag 0", "fade in ff000000 1000"});
    return log;
}

class StageLifeTest : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void TearDown() override
    {
        recorder.reset();
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }

    // The game system on `root` (the sample data unless a test damages a copy).
    void Start(const std::string &root = apptest::SampleData(), uint32_t width = 64, uint32_t height = 48)
    {
        StartIn(root, width, height);
        ASSERT_TRUE(gs.Create(width, height, 1));
        // The stage alone, against the recording screens.
        GameSystemChildren{gs}.ReleaseScreens();
        screens.Install();
        // The game system's fatal report (the message box) ends a run that
        // has not reached the title: the test records instead.
        recorder.emplace();
        stage = gs.stageManager;
        ASSERT_NE(stage, nullptr);
        Fake().log.clear();
    }

    // A copy of what the first stage needs, for a test to take a file away.
    std::string StageCopy(const std::string &name)
    {
        const std::string root = apptest::ScratchFolder(name);
        for (const char *folder : {"PACK/STAGE1", "RESOURCE/STAGE/1", "RESOURCE/STAGEINF", "RESOURCE/AI",
                                   "RESOURCE/MONSTER", "RESOURCE/NPC", "RESOURCE/BREAKOBJ", "RESOURCE/MAINCHAR"}) {
            std::filesystem::create_directories(root + "/" + folder);
            std::filesystem::copy(apptest::SampleData() + "/" + folder, root + "/" + folder,
                                  std::filesystem::copy_options::recursive);
        }
        return root;
    }

    // Takes a file of a copy away, off the disk and out of its pack's list.
    static void TakeAway(const std::string &root, const std::string &file, const std::string &packList)
    {
        std::filesystem::remove(root + file);
        std::ifstream in(root + packList);
        std::string kept;
        const std::string name = file.substr(file.find_last_of('/') + 1);
        for (std::string line; std::getline(in, line);) {
            if (line.find(name) == std::string::npos) {
                kept += line + "\n";
            }
        }
        in.close();
        std::ofstream(root + packList, std::ios::trunc) << kept;
    }

    // The last actor of the first stage's placements in the chain.
    AiObject *LastPlaced() const
    {
        AiObject *actor = stage->actorHead;
        for (size_t i = 1; actor != nullptr && i < mkdata::SamplePlacements().size(); ++i) {
            actor = actor->next;
        }
        return actor;
    }
    // The types the first stage places, each one template.
    static size_t PlacedTypeCount()
    {
        std::set<int32_t> types;
        for (const AiPlacement &p : mkdata::SamplePlacements()) {
            types.insert(p.aiType);
        }
        return types.size();
    }

    void ExpectNothingLoaded()
    {
        EXPECT_EQ(stage->stageId, 0);
        EXPECT_FALSE(stage->IsStageLoaded());
        EXPECT_EQ(stage->world, nullptr);
        EXPECT_EQ(stage->lightsClump, nullptr);
        EXPECT_TRUE(stage->stageClumps.empty());
        EXPECT_TRUE(stage->placements.empty());
        EXPECT_TRUE(stage->territories.empty());
        EXPECT_TRUE(stage->modelTemplates.empty());
        EXPECT_EQ(stage->loadingState.active, 0);
        EXPECT_EQ(stage->stage41, 0);  // no world, so not the world of folder 41
        EXPECT_EQ(stage->hitTimerSwitch, 0);
        EXPECT_FALSE(zuIsPackOpen());
        // The main camera and the ambient light are back in the game
        // system's world (or, before any stage, in the first frame's scene).
        EXPECT_TRUE(RpCameraGetWorld(gs.camera) == gs.world || RpCameraGetWorld(gs.camera) == gs.defaultScene.world);
        EXPECT_EQ(RpLightGetWorld(gs.ambientLight), gs.world);
    }

    stagetest::RecordingScreenCalls screens;
    CSGameSystem gs;
    std::optional<FatalRecorder> recorder;
    CSStageManager *stage = nullptr;
};

TEST_F(StageLifeTest, LoadRunsInOrderBehindTheLoadingScreenAndReleaseUndoesIt)
{
    Start();
    // The first frame's scene is up, as at the title; the load takes it down.
    ASSERT_TRUE(gs.LoadDefaultScene());
    rwtest::FreedRecordWatch freed;
    ASSERT_TRUE(stage->LoadStage(kStage1));
    EXPECT_FALSE(game::StageSceneLoaded(gs.defaultScene));
    EXPECT_EQ(Fake().log, LoadLog(kStage1));
    EXPECT_TRUE(FatalRecorder::Names().empty());
    EXPECT_EQ(stage->stageId, kStage1);
    EXPECT_EQ(stage->stageNumber, 1);
    ASSERT_NE(stage->world, nullptr);
    EXPECT_EQ(stage->world->renderCallBack, GameRenderSector) << "the game's sector drawing, with the wire frame";
    ASSERT_NE(stage->lightsClump, nullptr);
    EXPECT_EQ(RpClumpGetWorld(stage->lightsClump), stage->world);
    ASSERT_EQ(stage->stageClumps.size(), 1u);
    EXPECT_EQ(RpClumpGetWorld(stage->stageClumps[0]), stage->world);
    RpClumpForAllAtomics(
        stage->stageClumps[0],
        [](RpAtomic *atomic, void *) {
            EXPECT_EQ(atomic->renderCallBack, GameRenderAtomic);
            return atomic;
        },
        nullptr);
    ASSERT_EQ(stage->placements.size(), mkdata::SamplePlacements().size());
    EXPECT_EQ(stage->placements[0].aiType, 1000);
    ASSERT_EQ(stage->territories.size(), 1u);
    // A placed model's template holds one copy for each actor placed in it.
    for (const auto &tpl : stage->modelTemplates) {
        const auto placed = std::count_if(stage->placements.begin(), stage->placements.end(),
                                          [&](const AiPlacement &p) { return p.aiType == tpl->GetAiType(); });
        if (placed > 0) {
            EXPECT_EQ(tpl->GetInstanceCount(), placed) << tpl->GetAiType();
        }
    }
    // The stage info: far plane, thinning bands and the ambient light.
    EXPECT_EQ(stage->farPlane, 600.0f);
    EXPECT_EQ(RwCameraGetFarClipPlane(gs.camera), 600.0f);
    EXPECT_EQ(stage->thinRadius[0], 150.0f);
    EXPECT_EQ(stage->farDistance, 400.0f);
    uint8_t ambient[4];
    gs.GetAmbientColor(ambient);
    EXPECT_EQ(ambient[0], stage->stageInfo.ambientRed);
    EXPECT_EQ(RpCameraGetWorld(gs.camera), stage->world);
    EXPECT_EQ(RpLightGetWorld(gs.ambientLight), stage->world);
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_EQ(stage->loadingState.progress, 1.0f);
    EXPECT_EQ(stage->gameSpeed, kNormalGameSpeed);

    // The stage already loaded is not loaded again.
    Fake().log.clear();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    EXPECT_TRUE(Fake().log.empty());

    // 0 releases: the stage clock is reset once more.
    ASSERT_TRUE(stage->LoadStage(0));
    EXPECT_EQ(Fake().log, std::vector<std::string>{"reset clock"});
    ExpectNothingLoaded();
    EXPECT_EQ(stage->stageNumber, 0);
    // The scene's and the stage's clumps left their worlds before they went,
    // and each went once.
    EXPECT_EQ(rwtest::FreedRecordWatch::ClumpsStillInAWorld(), 0u);
    EXPECT_EQ(rwtest::FreedRecordWatch::Refused(), 0u);
    // And it loads again after.
    ASSERT_TRUE(stage->LoadStage(kStage1));
    EXPECT_EQ(stage->stageClumps.size(), 1u);
}

TEST_F(StageLifeTest, IdsThatAreNoStageAreRefused)
{
    Start();
    for (int32_t id : {-1, 1, 2010001, 2000000, 2430000}) {
        EXPECT_FALSE(stage->LoadStage(id)) << id;
    }
    EXPECT_TRUE(Fake().log.empty());
    EXPECT_TRUE(FatalRecorder::Names().empty());
    ExpectNothingLoaded();
}

// Each required file taken away in turn: the fatal report names it, what
// was loaded is released, the loading screen is down and the flag clear.
TEST_F(StageLifeTest, AMissingRequiredFileReleasesEverythingAndIsReported)
{
    struct Case {
        const char *remove;   // under the root
        const char *reported;
    };
    const Case cases[] = {
        {"PACK/STAGE1/2010000.LST", "\\PACK\\STAGE1\\2010000.LST"},
        {"RESOURCE/STAGEINF/STAGE00.BSF", "\\RESOURCE\\STAGEINF\\STAGE00.BSF"},
        {"RESOURCE/AI/STAGE00.IAF", "\\RESOURCE\\AI\\STAGE00.IAF"},
    };
    const std::string root = StageCopy("stage_missing");
    Start(root);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.remove);
        const std::string path = root + "/" + c.remove;
        const std::string kept = path + ".kept";
        std::filesystem::rename(path, kept);
        Fake().log.clear();
        FatalRecorder::Names().clear();
        EXPECT_FALSE(stage->LoadStage(kStage1));
        std::filesystem::rename(kept, path);
        EXPECT_EQ(FatalRecorder::Names(), std::vector<std::string>{c.reported});
        ExpectNothingLoaded();
        EXPECT_EQ(Fake().loadingFlag, 0);
        EXPECT_EQ(Fake().loadingActive, 0);
        ASSERT_GE(Fake().log.size(), 3u);
        EXPECT_EQ(Fake().log[0], "loading flag 1");
        EXPECT_EQ(Fake().log.back(), "loading flag 0");
        // No fade-in after a failed load.
        for (const std::string &line : Fake().log) {
            EXPECT_EQ(line.find("fade in"), std::string::npos);
        }
    }
    // With the file back the stage loads.
    ASSERT_TRUE(stage->LoadStage(kStage1));
}

// The world and the models the stage info names are in the pack: taken out
// of the pack's list and off the disk, each is reported by its name.
class StageMissingModelTest : public StageLifeTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(StageMissingModelTest, IsReportedByNameAndNothingStays)
{
    const std::string file = GetParam();
    const std::string root = StageCopy("stage_missing_" + file);
    // The first frame's scene reads the same files: they go once it has.
    Start(root);
    TakeAway(root, "/RESOURCE/STAGE/1/" + file, "/PACK/STAGE1/2010000.LST");
    EXPECT_FALSE(stage->LoadStage(kStage1));
    EXPECT_EQ(FatalRecorder::Names(), std::vector<std::string>{"\\RESOURCE\\STAGE\\1\\" + file});
    ExpectNothingLoaded();
    EXPECT_EQ(Fake().log.back(), "loading flag 0");
}

INSTANTIATE_TEST_SUITE_P(WorldAndModels, StageMissingModelTest,
                         ::testing::Values("STAGE.BSP", "LIGHTS.DFF", "WALL.DFF", "CAMWALL.DFF", "CLUMP00.DFF"));

// A stage whose info names a sky box loads its model from the sky box's
// folder and draws it around the camera; without the file the load stops
// with the fatal report naming it.
TEST_F(StageLifeTest, ASkyBoxTheInfoNamesStandsAroundTheCameraAndIsRequired)
{
    const std::string root = StageCopy("stage_sky_box");
    std::ofstream(root + "/RESOURCE/STAGEINF/STAGE00.BSF", std::ios::app) << "SkyBox: TESTSKY\n";
    const std::string sky = root + "/RESOURCE/SKYBOX/TESTSKY/SKYBOX.DFF";
    std::filesystem::create_directories(root + "/RESOURCE/SKYBOX/TESTSKY/TEXTURES");
    std::filesystem::copy_file(root + "/RESOURCE/STAGE/1/CLUMP00.DFF", sky);
    Start(root);
    ASSERT_TRUE(stage->LoadStage(kStage1));
    ASSERT_NE(stage->skyBoxClump, nullptr);
    EXPECT_EQ(RpClumpGetWorld(stage->skyBoxClump), stage->world);
    stage->Update(16);  // the camera's first placement
    ASSERT_TRUE(gs.Render());
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    const RwV3d at = RwFrameGetLTM(RpClumpGetFrame(stage->skyBoxClump))->pos;
    EXPECT_EQ(at.x, eye.x);
    EXPECT_EQ(at.y, eye.y);
    EXPECT_EQ(at.z, eye.z);
    stage->ReleaseStage();
    EXPECT_EQ(stage->skyBoxClump, nullptr);
    std::filesystem::remove(sky);
    FatalRecorder::Names().clear();
    EXPECT_FALSE(stage->LoadStage(kStage1));
    EXPECT_EQ(FatalRecorder::Names(), std::vector<std::string>{"\\RESOURCE\\SKYBOX\\TESTSKY\\SKYBOX.DFF"});
    ExpectNothingLoaded();
    EXPECT_EQ(stage->skyBoxClump, nullptr);
}

// A monster model the placements need is named by the report, and the stage
// stops there: no actor is made with a model missing.
TEST_F(StageLifeTest, AMissingPlacedModelIsReportedByNameAndNothingStays)
{
    const std::string root = StageCopy("stage_missing_monster");
    Start(root);
    std::filesystem::remove(root + "/RESOURCE/MONSTER/1000/1000.DFF");
    EXPECT_FALSE(stage->LoadStage(kStage1));
    EXPECT_EQ(FatalRecorder::Names(), std::vector<std::string>{"\\RESOURCE\\MONSTER\\1000\\1000.DFF"});
    ExpectNothingLoaded();
    EXPECT_EQ(Fake().log.back(), "loading flag 0");
}

// A stage without territories has no territory file: it loads all the
// same, with none, and nothing is reported as missing.
TEST_F(StageLifeTest, AStageWithoutATerritoryFileLoadsWithNone)
{
    const std::string root = StageCopy("stage_without_territories");
    std::filesystem::remove(root + "/RESOURCE/AI/STAGE00.ATF");
    Start(root);
    gametest::CaptureDiagnostics();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    gametest::TakeDiagnostics();
    EXPECT_TRUE(FatalRecorder::Names().empty());
    EXPECT_TRUE(stage->territories.empty());
    EXPECT_EQ(stage->placements.size(), mkdata::SamplePlacements().size());
}

TEST_F(StageLifeTest, WithoutScreensTheLoadCallsNone)
{
    Start();
    g_stageScreens = nullptr;
    g_stageLoadingScreen = nullptr;
    ASSERT_TRUE(stage->LoadStage(kStage1));
    EXPECT_TRUE(Fake().log.empty());
    // Stepped and drawn, its monsters' health bars go to no screen.
    stage->Update(16);
    ASSERT_NE(RwCameraBeginUpdate(gs.camera), nullptr);
    stage->Render();
    RwCameraEndUpdate(gs.camera);
    EXPECT_TRUE(Fake().hudActors.empty());
    // The stage's own record of the loading screen went up and down.
    EXPECT_EQ(stage->loadingState.active, 0);
    EXPECT_EQ(stage->loadingState.progress, 1.0f);
    stage->SetThreadedLoading(1);
    EXPECT_EQ(stage->IsThreadedLoading(), 1);
    stage->SetThreadedLoading(0);  // the switch turned back off
    EXPECT_EQ(stage->IsThreadedLoading(), 0);
}

// Without a game system (a tool's load, say) the stage still loads: no
// camera is moved into its world and no light is set.
TEST_F(StageLifeTest, WithoutAGameSystemTheStageStillLoads)
{
    Start();
    CSGameSystem *kept = g_pGameSystem;
    g_pGameSystem = nullptr;
    const bool loaded = stage->LoadStage(kStage1);
    g_pGameSystem = kept;
    ASSERT_TRUE(loaded);
    EXPECT_NE(stage->world, nullptr);
    EXPECT_NE(RpCameraGetWorld(gs.camera), stage->world);
}

// With a loading screen the switch is the screen's: it is told, and asked.
TEST_F(StageLifeTest, TheLoadingScreenHoldsTheThreadedLoadingSwitch)
{
    Start();
    stage->SetThreadedLoading(1);
    EXPECT_EQ(Fake().threaded, 1);
    Fake().threaded = 0;  // the screen turned it off
    EXPECT_EQ(stage->IsThreadedLoading(), 0);
}

// ---- Stage changes ----

TEST_F(StageLifeTest, AStageIdLoadsAtOnceOnTheInGameScreensOrByTheNextUpdate)
{
    Start();
    for (int32_t screen : {kScreenInGame, kScreenGameOver, kScreenLobby}) {
        stage->LoadStage(0);
        Fake().currentScreen = screen;
        stage->RequestStageChange(kStage1, 0, 2000);
        EXPECT_EQ(stage->stageId, kStage1) << screen;
        EXPECT_FALSE(stage->IsStageChangePending());
    }
    // On another screen (the stage entry) the next update carries it out.
    stage->LoadStage(0);
    Fake().currentScreen = 12;
    stage->RequestStageChange(kStage1, 0, 2000);
    EXPECT_EQ(stage->stageId, 0);
    EXPECT_TRUE(stage->IsStageChangePending());
    stage->RequestStageChange(kStage2, 0, 0);  // ignored while one is pending
    Fake().log.clear();
    stage->Update(16);
    EXPECT_EQ(stage->stageId, kStage1);
    EXPECT_FALSE(stage->IsStageChangePending());
    ASSERT_FALSE(Fake().log.empty());
    EXPECT_EQ(Fake().log[0], "letterbox 16");  // the letterbox steps first
    // Without a screen manager it is carried out inside the call.
    g_stageScreens = nullptr;
    stage->LoadStage(0);
    stage->RequestStageChange(kStage1, 0, 0);
    EXPECT_EQ(stage->stageId, kStage1);
}

TEST_F(StageLifeTest, TheSameStageIsReleasedAndLoadedAgain)
{
    Start();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    RpWorld *before = stage->world;
    (void)before;
    Fake().log.clear();
    stage->RequestStageChange(kStage1, 0, 0);
    std::vector<std::string> expected = {"reset clock"};  // the release
    const std::vector<std::string> load = LoadLog(kStage1);
    expected.insert(expected.end(), load.begin(), load.end());
    EXPECT_EQ(Fake().log, expected);
    EXPECT_EQ(stage->stageId, kStage1);
    EXPECT_FALSE(stage->IsStageChangePending());
}

TEST_F(StageLifeTest, ZeroReleasesAndMinusOneAsksForTheGameOverScreen)
{
    Start();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    Fake().log.clear();
    stage->RequestStageChange(0, 0, 0);
    ExpectNothingLoaded();
    EXPECT_EQ(Fake().log, std::vector<std::string>{"reset clock"});

    ASSERT_TRUE(stage->LoadStage(kStage1));
    Fake().log.clear();
    stage->RequestStageChange(-1, 0, 0);
    ExpectNothingLoaded();
    EXPECT_EQ(Fake().log, (std::vector<std::string>{"reset clock", "request screen 14"}));
    EXPECT_FALSE(stage->IsStageChangePending());
    EXPECT_EQ(stage->stageNumber, 0);
}

// A finished stage's number asks for the stage-end screen and stays pending
// until that screen releases the stage; the release makes it the current
// stage number (0 for 39).
TEST_F(StageLifeTest, AFinishedStageWaitsForTheStageEndScreen)
{
    Start();
    for (int32_t number : {1, 5, 36, 42, 39}) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(stage->LoadStage(kStage1));
        Fake().log.clear();
        stage->RequestStageChange(number, 0, 0);
        EXPECT_EQ(Fake().log, std::vector<std::string>{"request screen 15"});
        EXPECT_TRUE(stage->IsStageChangePending());
        EXPECT_TRUE(stage->IsStageLoaded());
        // Nothing else is taken meanwhile, and updates do not ask again.
        stage->RequestStageChange(kStage2, 0, 0);
        stage->RequestStageChange(-1, 0, 0);
        Fake().log.clear();
        stage->Update(16);
        EXPECT_EQ(Fake().log, std::vector<std::string>{"letterbox 16"});
        EXPECT_EQ(stage->stageId, kStage1);
        // The stage-end screen releases the stage.
        ASSERT_TRUE(stage->LoadStage(0));
        EXPECT_EQ(stage->stageNumber, number == 39 ? 0 : number);
        EXPECT_FALSE(stage->IsStageChangePending());
    }
}

TEST_F(StageLifeTest, OtherTargetsAreIgnored)
{
    Start();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    Fake().log.clear();
    for (int32_t target : {43, -2, 2010001, 2430000, 2000000, 100}) {
        stage->RequestStageChange(target, 0, 0);
        stage->RequestStageChange(target, 1, 2000);
        EXPECT_FALSE(stage->IsStageChangePending()) << target;
    }
    EXPECT_TRUE(Fake().log.empty());
    EXPECT_EQ(stage->stageId, kStage1);
    EXPECT_EQ(stage->cameraMode, 0);
}

// With transition: camera mode 1 and a colour fade over the time; the
// update carries the change out once the time has passed and no colour
// fade runs any more.
TEST_F(StageLifeTest, ATransitionWaitsForItsTimeAndTheFade)
{
    Start();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    Fake().log.clear();
    stage->RequestStageChange(kStage2 - 10000, 1, 2000);
    EXPECT_EQ(stage->cameraMode, 1);
    EXPECT_EQ(Fake().log, std::vector<std::string>{"fade ff000000 2000"});
    Fake().fading = 1;
    for (int i = 0; i < 124; ++i) {
        stage->Update(16);  // 1984 ms
    }
    EXPECT_TRUE(stage->IsStageChangePending());
    stage->Update(16);  // 2000 ms, but the fade still runs
    EXPECT_TRUE(stage->IsStageChangePending());
    Fake().fading = 0;
    Fake().log.clear();
    stage->Update(16);
    EXPECT_FALSE(stage->IsStageChangePending());
    // Released and loaded again (the same stage here).
    ASSERT_GE(Fake().log.size(), 3u);
    EXPECT_EQ(Fake().log[0], "letterbox 16");
    EXPECT_EQ(Fake().log[1], "reset clock");
    EXPECT_EQ(stage->stageId, kStage1);

    // A finished stage's number after a transition asks for the stage end.
    stage->RequestStageChange(1, 1, 100);
    Fake().log.clear();
    stage->Update(50);
    stage->Update(50);
    EXPECT_EQ(Fake().log, (std::vector<std::string>{"letterbox 50", "letterbox 50", "request screen 15"}));
}

// ---- The frame ----

// While the pause menu is open the update steps only the letterbox: 100
// ticks change nothing, and the render still draws the world.
TEST_F(StageLifeTest, PauseStopsTheUpdateButTheWorldIsStillDrawn)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadHeroesOnce();  // the camera looks at the hero
    ASSERT_TRUE(stage->LoadStage(kStage1));
    stage->Update(16);  // the camera's first placement
    stage->BlendGameSpeedTo(1.0f);
    Fake().pauseMenuOpen = 1;
    Fake().log.clear();
    for (int i = 0; i < 100; ++i) {
        stage->Update(16 + static_cast<uint32_t>(i % 3));
    }
    ASSERT_EQ(Fake().log.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(Fake().log[static_cast<size_t>(i)], "letterbox " + std::to_string(16 + i % 3));
    }
    EXPECT_EQ(stage->gameSpeed, kNormalGameSpeed);
    EXPECT_TRUE(Fake().hudActors.empty());
    // The world is drawn as it stands.
    ASSERT_TRUE(gs.Render());
    RwCameraShowRaster(gs.camera, nullptr, 0);
    win::Frame frame;
    ASSERT_TRUE(d3d8::GetLastPresentedFrame(rwD3D8Device.device, &frame));
    int lit = 0;
    for (uint32_t y = 0; y < frame.height; ++y) {
        for (uint32_t x = 0; x < frame.width; ++x) {
            const uint32_t p = frame.At(x, y);
            lit += ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) > 60 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 64 * 48 / 2);

    // Closed again, the speed moves.
    Fake().pauseMenuOpen = 0;
    stage->Update(100);
    EXPECT_NEAR(stage->gameSpeed, kNormalGameSpeed + 0.1f, 1e-5f);
}

// Between stages (the stage-end screen, say) the update steps the letterbox
// and the game speed, but nothing of a stage: the camera does not follow the
// heroes that outlive it, and they take no step.
TEST_F(StageLifeTest, WithoutAStageTheCameraAndTheHeroesStandStill)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadHeroesOnce();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    stage->Update(16);
    ASSERT_TRUE(stage->LoadStage(0));
    CSHero *hero = stage->heroes[0];
    ASSERT_NE(hero, nullptr);
    RwV3d feet;
    hero->GetPosition(&feet);
    hero->SetPosition({feet.x + 50.0f, feet.y, feet.z + 50.0f});
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    const float clock = hero->animClock;
    stage->BlendGameSpeedTo(1.0f);
    Fake().log.clear();
    for (int i = 0; i < 30; ++i) {
        stage->Update(16);
    }
    const RwV3d now = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    EXPECT_EQ(now.x, eye.x);
    EXPECT_EQ(now.y, eye.y);
    EXPECT_EQ(now.z, eye.z);
    EXPECT_EQ(hero->animClock, clock);
    EXPECT_EQ(Fake().log, std::vector<std::string>(30, "letterbox 16"));
    EXPECT_FLOAT_EQ(stage->gameSpeed, 1.0f);
}

// The world's sectors, the stage models and the actors are drawn only where
// they meet the main camera's view: turned away from the stage, the camera
// draws none of them.
TEST_F(StageLifeTest, OnlyWhatMeetsTheViewIsDrawn)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadHeroesOnce();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    stage->Update(16);
    static int sectors = 0;
    static int atomics = 0;
    RpWorldSetSectorRenderCallBack(stage->world, [](RpWorldSector *sector) {
        ++sectors;
        return GameRenderSector(sector);
    });
    const auto counted = [](RpAtomic *atomic, void *) {
        return RpAtomicSetRenderCallBack(atomic, [](RpAtomic *a) {
            ++atomics;
            return GameRenderAtomic(a);
        });
    };
    int models = 0;
    for (AiObject *actor = stage->actorHead; actor != nullptr; actor = actor->next) {
        if (actor->Clump() != nullptr) {
            RpClumpForAllAtomics(actor->Clump(), counted, nullptr);
            ++models;
        }
    }
    for (RpClump *clump : stage->stageClumps) {
        RpClumpForAllAtomics(clump, counted, nullptr);
        ++models;
    }
    ASSERT_GT(models, 1);
    sectors = atomics = 0;
    ASSERT_TRUE(gs.Render());
    EXPECT_GT(sectors, 0);
    EXPECT_GT(atomics, 0);
    // Far beyond the stage's box, looking farther out.
    const RwBBox *box = RpWorldGetBBox(stage->world);
    const RwV3d eye = {box->sup.x + 5000.0f, box->sup.y, box->sup.z};
    RwMatrix away{};
    CameraLookAt(eye, {eye.x + 100.0f, eye.y, eye.z}, &away);
    RwFrameTransform(RwCameraGetFrame(gs.camera), &away, rwCOMBINEREPLACE);
    sectors = atomics = 0;
    ASSERT_TRUE(gs.Render());
    EXPECT_EQ(sectors, 0);
    EXPECT_EQ(atomics, 0);
}

TEST_F(StageLifeTest, GameSpeedMovesTowardItsTargetAtOnePerSecond)
{
    Start();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    EXPECT_FLOAT_EQ(stage->TimeScale(), 1.0f);
    stage->BlendGameSpeedTo(0.4f);
    stage->Update(100);
    EXPECT_NEAR(stage->gameSpeed, 0.56f, 1e-5f);
    stage->Update(1000);
    EXPECT_FLOAT_EQ(stage->gameSpeed, 0.4f);  // not past the target
    EXPECT_NEAR(stage->TimeScale(), 0.4f / 0.66f, 1e-6f);
    stage->BlendGameSpeedTo(0.66f);
    stage->Update(200);
    EXPECT_NEAR(stage->gameSpeed, 0.6f, 1e-5f);
    stage->Update(200);
    EXPECT_FLOAT_EQ(stage->gameSpeed, kNormalGameSpeed);
    // Targets that are no speed are refused.
    for (float bad : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        stage->BlendGameSpeedTo(bad);
    }
    EXPECT_FLOAT_EQ(stage->targetGameSpeed, kNormalGameSpeed);
}

// A stage left while a scene blends in (camera mode 5, speed 0.4) does not
// hand its slow speed to the next: every load starts at the speed of play.
TEST_F(StageLifeTest, EachLoadStartsAtTheSpeedOfPlay)
{
    Start();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    stage->SetCameraMode(5);
    for (int i = 0; i < 40; ++i) {
        stage->Update(16);
    }
    ASSERT_FLOAT_EQ(stage->gameSpeed, kSceneGameSpeed);
    ASSERT_FLOAT_EQ(stage->targetGameSpeed, kSceneGameSpeed);
    Fake().currentScreen = kScreenInGame;
    stage->RequestStageChange(kStage1, 0, 0);
    ASSERT_EQ(stage->stageId, kStage1);
    EXPECT_EQ(stage->cameraMode, 0);
    EXPECT_FLOAT_EQ(stage->gameSpeed, kNormalGameSpeed);
    EXPECT_FLOAT_EQ(stage->targetGameSpeed, kNormalGameSpeed);
    // It runs at that speed: the actors' step is the frame's own.
    stage->Update(16);
    EXPECT_FLOAT_EQ(stage->gameSpeed, kNormalGameSpeed);
    EXPECT_FLOAT_EQ(stage->TimeScale(), 1.0f);
    // So does a stage loaded after a release.
    stage->BlendGameSpeedTo(kSceneGameSpeed);
    stage->Update(1000);
    ASSERT_TRUE(stage->LoadStage(0));
    ASSERT_TRUE(stage->LoadStage(kStage1));
    EXPECT_FLOAT_EQ(stage->gameSpeed, kNormalGameSpeed);
    EXPECT_FLOAT_EQ(stage->targetGameSpeed, kNormalGameSpeed);
}

// A scene's blend in brings the letterbox over 500 ms and slows the game;
// the blend back takes both back. Other modes leave the letterbox alone.
TEST_F(StageLifeTest, SceneBlendModesBringAndTakeTheLetterbox)
{
    Start();
    stage->SetCameraMode(5);
    EXPECT_EQ(Fake().log, std::vector<std::string>{"show letterbox 500"});
    EXPECT_FLOAT_EQ(stage->targetGameSpeed, kSceneGameSpeed);
    stage->SetCameraMode(2);
    stage->SetCameraMode(6);
    EXPECT_EQ(Fake().log, (std::vector<std::string>{"show letterbox 500", "hide letterbox 500"}));
    EXPECT_FLOAT_EQ(stage->targetGameSpeed, kNormalGameSpeed);
    for (int32_t mode : {0, 1, 3, 4, 7, 8}) {
        stage->SetCameraMode(mode);
    }
    EXPECT_EQ(Fake().log.size(), 2u);
    // Without a screen manager the modes still set the speed.
    g_stageScreens = nullptr;
    stage->SetCameraMode(5);
    EXPECT_FLOAT_EQ(stage->targetGameSpeed, kSceneGameSpeed);
    EXPECT_EQ(Fake().log.size(), 2u);
}

// The frame the game system draws and shows.
win::Frame DrawnFrame(CSGameSystem &gs)
{
    win::Frame frame;
    EXPECT_TRUE(gs.Render());
    RwCameraShowRaster(gs.camera, nullptr, 0);
    EXPECT_TRUE(d3d8::GetLastPresentedFrame(rwD3D8Device.device, &frame));
    return frame;
}

// Moves the clump so that the middle of its bounds stands at `to`.
void MoveClumpTo(RpClump *clump, const RwV3d &to)
{
    RwSphere sphere;
    ASSERT_TRUE(ClumpWorldSphere(clump, &sphere));
    const RwV3d by = {to.x - sphere.center.x, to.y - sphere.center.y, to.z - sphere.center.z};
    RwFrameTranslate(RpClumpGetFrame(clump), &by, rwCOMBINEPOSTCONCAT);
}

// The colour of each material the clump's atomics hold, slot by slot.
std::vector<RwRGBA> MaterialColours(RpClump *clump)
{
    std::vector<RwRGBA> colours;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            const RpGeometry *geometry = RpAtomicGetGeometry(atomic);
            for (RwInt32 i = 0; geometry != nullptr && i < geometry->matList.numMaterials; ++i) {
                static_cast<std::vector<RwRGBA> *>(data)->push_back(geometry->matList.materials[i]->color);
            }
            return atomic;
        },
        &colours);
    return colours;
}

// How many pixels of two frames of one size differ.
size_t PixelsApart(const win::Frame &a, const win::Frame &b)
{
    size_t apart = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
        apart += a.pixels[i] != b.pixels[i] ? 1 : 0;
    }
    return apart;
}

bool SameColours(const std::vector<RwRGBA> &a, const std::vector<RwRGBA> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RwRGBA &x, const RwRGBA &y) {
        return x.red == y.red && x.green == y.green && x.blue == y.blue && x.alpha == y.alpha;
    });
}

// The running stage's model that stands across the line from the camera to
// the hero is drawn see-through: wherever the model covers the hero, the
// frame is the model's own colour blended at half alpha over the hero's,
// frame after frame, and the model's materials are as they were once drawn.
TEST_F(StageLifeTest, AStageModelBetweenTheCameraAndTheHeroIsDrawnSeeThrough)
{
    Start(apptest::SampleData(), 160, 120);
    stage->CreateSubObjects1();
    stage->LoadHeroesOnce();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    stage->Update(16);
    ASSERT_EQ(stage->stageClumps.size(), 1u);
    RpClump *model = stage->stageClumps[0];
    // The crate alone: the lamp on its lid is glass, see-through already, and
    // two see-through layers make no single blend to check against.
    RpAtomic *lamp = nullptr;
    RpClumpForAllAtomics(
        model,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            if (RpAtomicGetGeometry(atomic)->numMorphTargets == 1) {
                *static_cast<RpAtomic **>(data) = atomic;
            }
            return atomic;
        },
        &lamp);
    ASSERT_NE(lamp, nullptr);
    RpClumpRemoveAtomic(model, lamp);
    RpAtomicDestroy(lamp);
    ASSERT_EQ(RpClumpGetNumAtomics(model), 1);
    const std::vector<RwRGBA> colours = MaterialColours(model);
    ASSERT_EQ(stage->camera->HeroFocusCount(), 1);
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    const RwV3d focus = stage->camera->HeroFocuses()[0];
    const RwV3d between = {(eye.x + focus.x) * 0.5f, (eye.y + focus.y) * 0.5f, (eye.z + focus.z) * 0.5f};

    // With no hero to keep in sight (the camera held where it stands), the
    // model across the line is drawn as it is.
    MoveClumpTo(model, between);
    stage->StepCamera(0.0f, nullptr, 0, 0.0f, 0.0f);
    ASSERT_EQ(stage->camera->HeroFocusCount(), 0);
    const win::Frame opaque = DrawnFrame(gs);
    // Out of the way (in a far corner of the yard): the hero shows.
    MoveClumpTo(model, {150.0f, 5.0f, 150.0f});
    const win::Frame hero = DrawnFrame(gs);
    // Across the line with the hero in sight: see-through, twice alike.
    MoveClumpTo(model, between);
    stage->UpdateCamera(0.0f);
    ASSERT_EQ(stage->camera->HeroFocusCount(), 1);
    const win::Frame faded = DrawnFrame(gs);
    EXPECT_EQ(PixelsApart(DrawnFrame(gs), faded), 0u) << "a second frame fades it further";
    EXPECT_TRUE(SameColours(MaterialColours(model), colours)) << "the fade left its materials changed";
    const RwV3d held = RwFrameGetLTM(RwCameraGetFrame(gs.camera))->pos;
    ASSERT_EQ(held.x, eye.x);  // the camera stood still throughout
    ASSERT_EQ(held.z, eye.z);
    // The wood of its sides and the metal of its lid alike: every pixel of
    // the model is its own colour at alpha 128 / 255 over the hero's frame.
    constexpr double kAlpha = 128.0 / 255.0;
    int covered = 0;
    int middle = 0;
    for (uint32_t y = 0; y < opaque.height; ++y) {
        for (uint32_t x = 0; x < opaque.width; ++x) {
            const uint32_t h = hero.At(x, y), f = faded.At(x, y), o = opaque.At(x, y);
            if (o == h) {
                continue;
            }
            ++covered;
            middle += (x >= 75 && x < 85 && y >= 55 && y < 65) ? 1 : 0;
            for (int shift : {16, 8, 0}) {
                const double want = (o >> shift & 0xFF) * kAlpha + (h >> shift & 0xFF) * (1.0 - kAlpha);
                const int got = static_cast<int>(f >> shift & 0xFF);
                ASSERT_LE(std::abs(got - want), 2.0)
                    << x << ", " << y << " channel " << shift << ": model " << (o >> shift & 0xFF) << ", hero "
                    << (h >> shift & 0xFF) << ", drawn " << got << ", want " << want;
            }
        }
    }
    EXPECT_EQ(middle, 100) << "the model covers the middle";
    EXPECT_GT(covered, 2000);
    // The see-through models are drawn each frame afresh.
    EXPECT_EQ(stage->translucent.Count(), 0u);
    // Held again, the model is drawn as it was before it faded.
    stage->StepCamera(0.0f, nullptr, 0, 0.0f, 0.0f);
    ASSERT_EQ(stage->camera->HeroFocusCount(), 0);
    EXPECT_EQ(PixelsApart(DrawnFrame(gs), opaque), 0u);
}

// ---- Heroes and actors ----

// A second player takes the other hero on the second pad, once; a hero
// already loaded, or one that is no hero, is not loaded again. Both go
// with their models when the heroes are unloaded (the first player's hero
// being the second character, the second player's wears the template kept
// in the first slot).
TEST_F(StageLifeTest, TheSecondPlayerTakesTheOtherHeroOnce)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadSecondPlayersHero();  // no first hero yet: nothing
    EXPECT_EQ(stage->heroCount, 0);
    Fake().chosenHero = 1;
    Fake().chosenPad = 0;
    stage->LoadHeroesOnce();
    stage->LoadHeroes(1, 0, 0);  // that hero is in already
    EXPECT_EQ(stage->heroCount, 1);
    stage->LoadSecondPlayersHero();
    stage->LoadSecondPlayersHero();
    ASSERT_EQ(stage->heroCount, 2);
    ASSERT_NE(stage->heroes[1], nullptr);
    EXPECT_EQ(stage->heroes[1]->characterNumber, 0);
    EXPECT_EQ(stage->heroes[1]->aiType, 0);
    EXPECT_EQ(stage->heroes[1]->padIndex, kSecondPlayerPad);
    EXPECT_NE(stage->heroes[1]->aiId, stage->heroes[0]->aiId);
    stage->LoadHeroes(0, 0, 0);
    stage->LoadHeroes(-1, 0, 0);
    stage->LoadHeroes(kMaxHeroes, 0, 0);
    EXPECT_EQ(stage->heroCount, 2);
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_TRUE(FatalRecorder::Names().empty());
    stage->UnloadHeroes();
    EXPECT_EQ(stage->heroCount, 0);
    EXPECT_EQ(stage->heroes[1], nullptr);
}

// A hero whose model file is gone is reported by its name and does not
// stand; the other hero still comes.
TEST_F(StageLifeTest, AHeroWithoutItsModelIsReportedByNameAndDoesNotStand)
{
    const std::string root = StageCopy("stage_missing_hero");
    std::filesystem::copy(apptest::SampleData() + "/PACK/HERO", root + "/PACK/HERO");
    Start(root);
    TakeAway(root, "/RESOURCE/MAINCHAR/HERO02/HERO02.DFF", "/PACK/HERO/HERO02.LST");
    stage->CreateSubObjects1();
    Fake().chosenHero = 1;
    stage->LoadHeroesOnce();
    EXPECT_EQ(FatalRecorder::Names(), std::vector<std::string>{"\\RESOURCE\\MAINCHAR\\HERO02\\HERO02.DFF"});
    EXPECT_EQ(stage->heroCount, 0);
    EXPECT_EQ(stage->heroes[0], nullptr);
    EXPECT_FALSE(zuIsPackOpen());
    stage->LoadHeroes(0, 0, 0);
    ASSERT_EQ(stage->heroCount, 1);
    EXPECT_EQ(stage->heroes[0]->characterNumber, 0);
    stage->UnloadHeroes();
}

TEST_F(StageLifeTest, HeroesOutliveStagesAndJoinTheChainAtTheirStartsAtEachLoad)
{
    Start();
    stage->CreateSubObjects1();
    Fake().chosenHero = 1;
    Fake().chosenPad = 1;
    stage->LoadHeroesOnce();
    stage->LoadHeroesOnce();  // loaded already
    ASSERT_EQ(stage->heroCount, 1);
    CSHero *hero = stage->heroes[0];
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(hero->aiType, 1);
    EXPECT_EQ(hero->characterNumber, 1);
    EXPECT_EQ(hero->padIndex, 1);
    ASSERT_NE(hero->model, nullptr);
    EXPECT_EQ(hero->hp, mkdata::SampleCharacterParams("HERO02").maxHP);
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_TRUE(FatalRecorder::Names().empty());

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(stage->LoadStage(kStage1));
        // The placed actors first (the monster at their head), then the
        // hero at the first start.
        ASSERT_NE(stage->actorHead, nullptr);
        EXPECT_EQ(stage->actorHead->aiType, 1000);
        EXPECT_EQ(stage->actorHead->aiId, 1);
        EXPECT_NE(stage->actorHead->model, nullptr);
        EXPECT_EQ(LastPlaced()->next, hero);
        EXPECT_EQ(hero->next, nullptr);
        // The statistics overlay's figures: the stage and every actor of its chain.
        EXPECT_EQ(GameSystemChildren{gs}.ActorCount(), static_cast<int32_t>(mkdata::SamplePlacements().size()) + 1);
        EXPECT_EQ(GameSystemChildren{gs}.StageId(), kStage1);
        RwV3d at;
        hero->GetPosition(&at);
        EXPECT_FLOAT_EQ(at.x, stage->stageInfo.start1.x);
        EXPECT_FLOAT_EQ(at.z, stage->stageInfo.start1.z);
        RwV3d facing;
        hero->GetDirection(&facing);
        EXPECT_NEAR(facing.z, 1.0f, 1e-5f);
        EXPECT_EQ(stage->modelTemplates.size(), PlacedTypeCount());
        ASSERT_TRUE(stage->LoadStage(0));
        // Released: the actors and their templates go, the hero stays out of the chain.
        EXPECT_EQ(stage->actorHead, nullptr);
        EXPECT_EQ(GameSystemChildren{gs}.ActorCount(), 0);
        EXPECT_TRUE(stage->modelTemplates.empty());
        EXPECT_EQ(stage->heroes[0], hero);
        EXPECT_EQ(hero->next, nullptr);
        EXPECT_NE(hero->model, nullptr);
        hero->SetPosition({0.0f, 0.0f, 0.0f});
    }
    ASSERT_TRUE(stage->LoadStage(kStage1));
    stage->UnloadHeroes();
    EXPECT_EQ(stage->heroCount, 0);
    EXPECT_EQ(stage->heroes[0], nullptr);
    EXPECT_EQ(LastPlaced()->next, nullptr);  // the hero left the chain
    // Without a screen manager the first hero on pad 0.
    g_stageScreens = nullptr;
    stage->LoadHeroesOnce();
    ASSERT_EQ(stage->heroCount, 1);
    EXPECT_EQ(stage->heroes[0]->aiType, 0);
    EXPECT_EQ(stage->heroes[0]->padIndex, 0);
    EXPECT_EQ(stage->heroes[0]->hp, mkdata::SampleCharacterParams("HERO01").maxHP);
}

// The render hands the screen manager the monsters with a model whose
// health-bar flag is set; not the heroes, not a monster without a model,
// and nothing while the pause menu is open.
TEST_F(StageLifeTest, MonstersWithAModelAreCollectedForTheirHealthBars)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadHeroesOnce();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    AiObject *monster = stage->actorHead;
    ASSERT_NE(monster, nullptr);
    EXPECT_TRUE(monster->healthBar);
    ASSERT_TRUE(gs.Render());
    EXPECT_EQ(Fake().hudActors, std::vector<AiObject *>{monster});
    // A type outside 1000..9999 with the flag is not a monster.
    Fake().hudActors.clear();
    stage->heroes[0]->healthBar = true;
    ASSERT_TRUE(gs.Render());
    EXPECT_EQ(Fake().hudActors, std::vector<AiObject *>{monster});
    Fake().hudActors.clear();
    Fake().pauseMenuOpen = 1;
    ASSERT_TRUE(gs.Render());
    EXPECT_TRUE(Fake().hudActors.empty());
    Fake().pauseMenuOpen = 0;
    // A stage drawn with no screens at all (a tool's run) has no one to hand
    // the monsters to, and draws on.
    const StageScreenCalls *screens = g_stageScreens;
    g_stageScreens = nullptr;
    ASSERT_TRUE(gs.Render());
    g_stageScreens = screens;
    EXPECT_TRUE(Fake().hudActors.empty());
    monster->SetModelInstance(nullptr);
    ASSERT_TRUE(gs.Render());
    EXPECT_TRUE(Fake().hudActors.empty());
}

// The actor pass runs in the update on a time step scaled by speed / 0.66;
// under the pause menu it does not run.
TEST_F(StageLifeTest, TheActorPassRunsOnTheScaledTimeStepAndNotUnderThePauseMenu)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadHeroesOnce();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    AiObject *monster = stage->actorHead;
    ASSERT_NE(monster, nullptr);
    const float clock0 = monster->animClock;
    stage->Update(16);
    EXPECT_NEAR(monster->animClock - clock0, 0.016f, 1e-5f);
    stage->gameSpeed = stage->targetGameSpeed = 0.33f;
    const float clock1 = monster->animClock;
    stage->Update(16);
    EXPECT_NEAR(monster->animClock - clock1, 0.008f, 1e-5f);

    Fake().pauseMenuOpen = 1;
    const float clock2 = monster->animClock;
    const int pending = stage->messagePool->PendingCount();
    for (int i = 0; i < 100; ++i) {
        stage->Update(16);
    }
    EXPECT_EQ(monster->animClock, clock2);
    EXPECT_EQ(stage->messagePool->PendingCount(), pending);
}

// The effects take the actors' speed-scaled step: the first stage's fog
// fades in over its 2 s of play time, half as fast at half the speed of
// play, and not at all under the pause menu.
TEST_F(StageLifeTest, TheEffectsRunOnTheScaledTimeStepAndNotUnderThePauseMenu)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadEffectsPack();
    stage->LoadHeroesOnce();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    ASSERT_NE(stage->weather, nullptr);
    ASSERT_TRUE(stage->weather->IsFogOn());
    const float fog0 = stage->weather->FogAmount();
    stage->Update(16);
    EXPECT_NEAR(stage->weather->FogAmount() - fog0, 0.016f / 2.0f, 1e-5f);
    stage->gameSpeed = stage->targetGameSpeed = 0.33f;
    const float fog1 = stage->weather->FogAmount();
    stage->Update(16);
    EXPECT_NEAR(stage->weather->FogAmount() - fog1, 0.008f / 2.0f, 1e-5f);
    Fake().pauseMenuOpen = 1;
    const float fog2 = stage->weather->FogAmount();
    for (int i = 0; i < 100; ++i) {
        stage->Update(16);
    }
    EXPECT_EQ(stage->weather->FogAmount(), fog2);
    // The fog is the stage's own: the screens drawn over the stage are drawn
    // without it, also when no rain layer (which draws without fog) is drawn.
    stage->weather->SetRainDrawn(false);
    ASSERT_NE(RwCameraBeginUpdate(gs.camera), nullptr);
    stage->Render();
    RwBool fog = TRUE;
    RwGetRenderState(rwRENDERSTATEFOGENABLE, &fog);
    RwCameraEndUpdate(gs.camera);
    EXPECT_FALSE(fog);
}

// The event manager: made with the events pack once per run, the stage's
// events loaded after its actors and released with it; the events step in
// the update (not under the pause menu) and reach the stage change.
TEST_F(StageLifeTest, TheEventsLoadWithTheStageAndStepInTheUpdate)
{
    Start();
    stage->CreateSubObjects1();
    stage->LoadEventsPack();
    CSEventManager *events = stage->eventManager;
    ASSERT_NE(events, nullptr);
    stage->LoadEventsPack();
    EXPECT_EQ(stage->eventManager, events);
    EXPECT_FALSE(zuIsPackOpen());
    stage->LoadHeroesOnce();
    ASSERT_TRUE(stage->LoadStage(kStage1));
    EXPECT_EQ(events->stageId, kStage1);
    EXPECT_FALSE(events->StageEvents().empty());
    // Under the pause menu the events stand still.
    Fake().pauseMenuOpen = 1;
    for (int i = 0; i < 100; ++i) {
        stage->Update(16);
    }
    EXPECT_FALSE(stage->IsStageChangePending());
    // While its monster stands the first stage stays in play.
    Fake().pauseMenuOpen = 0;
    for (int i = 0; i < 100; ++i) {
        stage->Update(16);
    }
    EXPECT_FALSE(stage->IsStageChangePending());
    // Once it is gone the exit is open; a hero walking into it ends its
    // event, which starts the exit, which asks the stage for the stage end
    // with a transition.
    AiObject *monster = stage->FindAiObjectById(1);
    ASSERT_NE(monster, nullptr);
    monster->Remove();
    for (int i = 0; i < 10; ++i) {
        stage->Update(16);
    }
    EXPECT_FALSE(stage->IsStageChangePending());
    ASSERT_NE(stage->heroes[0], nullptr);
    stage->heroes[0]->SetPosition({0.0f, 0.0f, 150.0f});  // the far end of the yard
    for (int i = 0; i < 3 && !stage->IsStageChangePending(); ++i) {
        stage->Update(16);
    }
    ASSERT_TRUE(stage->IsStageChangePending());
    EXPECT_EQ(stage->stageChange.target, 1);
    EXPECT_EQ(stage->stageChange.transition, 1);
    EXPECT_EQ(stage->cameraMode, 1);
    ASSERT_TRUE(stage->LoadStage(0));
    EXPECT_TRUE(events->StageEvents().empty());
    EXPECT_EQ(stage->stageNumber, 0);  // released before the stage end asked for it
}

// --stage N's new game: the parts once per run, the in-game screen at once,
// then the stage.
TEST_F(StageLifeTest, ANewGameFromTheCommandLineSwitchesToTheInGameScreenAndLoads)
{
    Start();
    Fake().currentScreen = 0;
    // The first screen of the run is not one that changes at once: the
    // switch to 13 comes first (the fake's current screen follows it).
    static const StageScreenCalls *recording = &stagetest::RecordingScreens();
    static StageScreenCalls following = *recording;
    following.switchScreen = [] {
        Fake().currentScreen = kScreenInGame;
        stagetest::Log("switch screen");
    };
    g_stageScreens = &following;
    ASSERT_TRUE(StartStageNewGame(stage, 1));
    // The loading screen comes up at 0, shows 0.1 once the parts and the
    // heroes are in, and stays up into the stage's load.
    const std::vector<std::string> start = {"loading on 2010000", "progress 0.00 flag 0", "step",
                                            "progress 0.10 flag 0", "step",         "request screen 13",
                                            "switch screen",        "loading flag 1"};
    ASSERT_GE(Fake().log.size(), start.size());
    EXPECT_EQ(std::vector<std::string>(Fake().log.begin(), Fake().log.begin() + static_cast<long>(start.size())),
              start);
    EXPECT_EQ(std::count(Fake().log.begin(), Fake().log.end(), "loading off 2010000"), 1);
    EXPECT_EQ(Fake().log.back(), "apply carried state");
    EXPECT_EQ(stage->stageId, kStage1);
    EXPECT_NE(stage->messagePool, nullptr);  // the parts made once per run
    EXPECT_NE(stage->camera, nullptr);
    EXPECT_EQ(stage->effectsPackLoaded, 1);  // each pack read once per run
    EXPECT_EQ(stage->itemsPackLoaded, 1);
    EXPECT_EQ(stage->eventsPackLoaded, 1);
    EXPECT_EQ(stage->heroCount, 1);
    // Two players: the second takes the other hero on the second pad.
    ASSERT_TRUE(StartStageNewGame(stage, 1, 2));
    ASSERT_EQ(stage->heroCount, 2);
    EXPECT_EQ(stage->heroes[1]->padIndex, kSecondPlayerPad);
    // Released, both heroes stand out of the chain, neither linked to the other.
    ASSERT_TRUE(stage->LoadStage(0));
    EXPECT_EQ(stage->heroes[0]->next, nullptr);
    EXPECT_EQ(stage->heroes[1]->next, nullptr);
    EXPECT_FALSE(StartStageNewGame(stage, 0));
    EXPECT_FALSE(StartStageNewGame(stage, 43));
}

}  // namespace

}  // namespace stage_life_test
