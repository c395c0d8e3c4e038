// The game system on the game's own engine start-up: its children as made,
// the world's ambient light, the camera, the arc cosines and their thread,
// clumps read through zufopen (from disk and from the open pack), the
// message table read through zufgetws, the font, the fatal report before
// and after the title, the tick's frame and the return to the title.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/bitmap_font.h"
#include "app/camera_frame.h"
#include "app/clock.h"
#include "app/fatal.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/game_system_children.h"
#include "devmenu/dev_menu.h"
#include "stage/stage_manager.h"
#include "ui/ui_manager.h"
#include "app/pack.h"
#include "app/render_callbacks.h"
#include "app/screen_coords.h"
#include "app/stage_scene.h"
#include "app/statistics.h"
#include "app/threads.h"
#include "d3d8/d3d8_platform.h"
#include "rwsdk/driver/d3d8/d3d8device.h"
#include "rwsdk/driver/d3d8/d3d8raster.h"
#include "tests/app/app_test_support.h"
#include "support/game/diagnostics_capture.h"

namespace game_system_test {

namespace {

using apptest::FatalRecorder;

const char *const kProp = "\\RESOURCE\\G_EVENT\\DFF\\PROP01.DFF";

class GameSystemTest : public apptest::GameEngineTest {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    void TearDown() override
    {
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }

    // The game system in a scratch data root holding `files` copied from the
    // sample data (paths under it, forward slashes).
    // The game system alone: the screens it makes are released again (their
    // own tests drive them) unless `withScreens`.
    void MakeIn(const std::string &name, std::initializer_list<const char *> files, uint32_t width = 64,
                uint32_t height = 48, bool withScreens = false)
    {
        root = apptest::ScratchFolder(name);
        for (const char *file : files) {
            const std::filesystem::path from = std::filesystem::path(apptest::SampleData()) / file;
            const std::filesystem::path to = std::filesystem::path(root) / file;
            std::filesystem::create_directories(to.parent_path());
            std::filesystem::copy_file(from, to);
        }
        StartIn(root, width, height);
        ASSERT_TRUE(gs.Create(width, height, 1));
        if (!withScreens) {
            GameSystemChildren{gs}.ReleaseScreens();
        }
    }

    // The frame the last render drew, shown and read back.
    win::Frame Shown()
    {
        win::Frame frame;
        RwCameraShowRaster(gs.camera, nullptr, 0);
        EXPECT_TRUE(d3d8::GetLastPresentedFrame(rwD3D8Device.device, &frame));
        return frame;
    }

    std::string root;
    CSGameSystem gs;
};

TEST_F(GameSystemTest, ChildrenAreMadeInOrderAndGoneAfter)
{
    MakeIn("children", {}, 64, 48, true);
    EXPECT_EQ(g_pGameSystem, &gs);
    // The screen manager first, then the developer menu (made closed); the
    // stage manager is made with no stage loaded.
    ASSERT_NE(gs.uiManager, nullptr);
    EXPECT_EQ(g_pUIManager, gs.uiManager);
    ASSERT_NE(gs.devMenu, nullptr);
    EXPECT_EQ(g_pDevMenu, gs.devMenu);
    EXPECT_FALSE(gs.devMenu->IsOpen());
    ASSERT_NE(gs.stageManager, nullptr);
    EXPECT_EQ(g_pStageManager, gs.stageManager);
    EXPECT_EQ(gs.stageManager->stageId, 0);
    ASSERT_NE(gs.textBlocks.Acquire(), nullptr);
    for (const auto &block : gs.padStates) {
        for (const PadState &pad : block) {
            EXPECT_EQ(pad.connected, 0);
        }
    }
    EXPECT_EQ(gs.displayInfoMode, 0u);
    EXPECT_EQ(gs.moveCollision, 1);
    ASSERT_NE(gs.world, nullptr);
    ASSERT_NE(gs.ambientLight, nullptr);
    EXPECT_EQ(RpLightGetWorld(gs.ambientLight), gs.world);
    ASSERT_NE(gs.camera, nullptr);
    EXPECT_EQ(RwRasterGetWidth(RwCameraGetRaster(gs.camera)), 64);
    EXPECT_EQ(RwRasterGetHeight(RwCameraGetRaster(gs.camera)), 48);
    EXPECT_EQ(ScreenClientWidth(), 64u);
    EXPECT_EQ(ScreenClientHeight(), 48u);
    EXPECT_EQ(gs.FrameMs(), 16u);
    EXPECT_EQ(gs.Fps(), 60.0f);
    EXPECT_EQ(std::string(gs.DataRoot()), root);
    const RwRaster *shown = RwCameraGetRaster(gs.camera);
    EXPECT_TRUE(RwD3D8RasterVideoListContains(shown));
    gs.Destroy();
    EXPECT_FALSE(RwD3D8RasterVideoListContains(shown)) << "the camera's raster goes with it";
    EXPECT_EQ(g_pGameSystem, nullptr);
    EXPECT_EQ(gs.world, nullptr);
    EXPECT_EQ(gs.ambientLight, nullptr);
    EXPECT_EQ(gs.camera, nullptr);
    EXPECT_EQ(gs.stageManager, nullptr);
    EXPECT_EQ(g_pStageManager, nullptr);
    EXPECT_EQ(gs.uiManager, nullptr);
    EXPECT_EQ(g_pUIManager, nullptr);
    EXPECT_EQ(gs.devMenu, nullptr);
    EXPECT_EQ(g_pDevMenu, nullptr);
    // Destroyed again, as its destructor does after a Destroy: nothing more
    // goes, and the fatal report is the test's recorder again.
    gs.Destroy();
    RaiseFatalError("after");
    ASSERT_EQ(FatalRecorder::Names().size(), 1u);
    EXPECT_EQ(FatalRecorder::Names()[0], "after");
    SetScreenClientSize(640, 480);
}

TEST_F(GameSystemTest, AmbientColourFarPlaneAndCamera)
{
    // Before the system is made there is no light: the colour reads as
    // nothing and setting one is ignored.
    const uint8_t early[4] = {10, 20, 30, 40};
    gs.SetAmbientColor(early);
    uint8_t none[4] = {1, 1, 1, 1};
    gs.GetAmbientColor(none);
    const uint8_t zero[4] = {0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(none, zero, 4));
    MakeIn("ambient", {});
    const uint8_t colour[4] = {255, 128, 0, 200};
    gs.SetAmbientColor(colour);
    uint8_t back[4] = {};
    gs.GetAmbientColor(back);
    EXPECT_EQ(0, std::memcmp(colour, back, 4));
    EXPECT_FLOAT_EQ(RpLightGetColor(gs.ambientLight)->green, 128.0f / 255.0f);
    gs.SetFarPlane(500.0f);
    EXPECT_EQ(RwCameraGetFarClipPlane(gs.camera), 500.0f);
    // The view matrix is copied for the projections.
    ASSERT_TRUE(gs.Render());
    EXPECT_EQ(gs.GetCamera(), gs.camera);
    EXPECT_EQ(0, std::memcmp(&gs.cameraMatrix, RwCameraGetViewMatrix(gs.camera), sizeof(RwMatrix)));
}

TEST_F(GameSystemTest, CameraStepsOpenOneUpdateAtATime)
{
    MakeIn("camera_frame", {});
    ClearCamera(gs.camera);
    ASSERT_TRUE(BeginCameraUpdate(gs.camera));
    EXPECT_FALSE(BeginCameraUpdate(gs.camera));  // already open
    EXPECT_EQ(RwCameraGetCurrentCamera(), gs.camera);
    EndCameraUpdate(gs.camera);
    EXPECT_EQ(RwCameraGetCurrentCamera(), nullptr);
    EndCameraUpdate(gs.camera);  // none open: nothing
    EXPECT_FALSE(BeginCameraUpdate(nullptr));
    // A frame drawn while another update is open is refused, not nested.
    ASSERT_TRUE(BeginCameraUpdate(gs.camera));
    EXPECT_FALSE(gs.Render());
    EndCameraUpdate(gs.camera);
    gs.Tick();
    EXPECT_TRUE(gs.FrameDrawn());
    EXPECT_EQ(0, std::memcmp(&gs.cameraMatrix, RwCameraGetViewMatrix(gs.camera), sizeof(RwMatrix)));
}

TEST_F(GameSystemTest, ArcCosinesDoNotDependOnTheThreadAndItIsJoined)
{
    MakeIn("acos", {});
    const size_t threads = GetWorkerThreadCount();
    const float before[3] = {gs.ACosDeg(0.25f), gs.ACosDeg(-0.999f), gs.ACosDeg(2.0f)};
    gs.StartACosTableThread();
    const float during[3] = {gs.ACosDeg(0.25f), gs.ACosDeg(-0.999f), gs.ACosDeg(2.0f)};
    gs.Destroy();  // joins it, finished or not
    EXPECT_EQ(GetWorkerThreadCount(), threads);
    EXPECT_TRUE(gs.acosTable.Ready());
    const float after[3] = {gs.ACosDeg(0.25f), gs.ACosDeg(-0.999f), gs.ACosDeg(2.0f)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(before[i], during[i]);
        EXPECT_EQ(before[i], after[i]);
    }
    EXPECT_EQ(after[2], 0.0f);
    EXPECT_FLOAT_EQ(CosDeg(60.0f), 0.5f);
}

TEST_F(GameSystemTest, ClumpsLoadCloneAndGo)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    MakeIn("clumps", {"RESOURCE/G_EVENT/DFF/PROP01.DFF"});
    RpClump *clump = gs.LoadClump(kProp, "\\RESOURCE\\G_EVENT\\DFF\\TEXTURES\\");
    ASSERT_NE(clump, nullptr);
    EXPECT_EQ(RpClumpGetWorld(clump), gs.world);
    EXPECT_GT(RpClumpGetNumAtomics(clump), 0);
    RpClump *clone = gs.CloneClump(clump);
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, clump);
    EXPECT_EQ(RpClumpGetNumAtomics(clone), RpClumpGetNumAtomics(clump));
    // Loaded atomics draw through the game's callback, and so do their clones'.
    for (RpClump *c : {clump, clone}) {
        RpClumpForAllAtomics(
            c,
            [](RpAtomic *atomic, void *) {
                EXPECT_EQ(atomic->renderCallBack, GameRenderAtomic);
                return atomic;
            },
            nullptr);
    }
    gs.DestroyClump(clone);
    gs.DestroyClump(clump);
    gs.DestroyClump(nullptr);
    EXPECT_EQ(gs.CloneClump(nullptr), nullptr);
    // A lower-case extension counts; a file read without the world stays out.
    std::filesystem::copy_file(root + "/RESOURCE/G_EVENT/DFF/PROP01.DFF", root + "/RESOURCE/G_EVENT/DFF/prop02.dff");
    RpClump *loose = LoadClumpFile("\\RESOURCE\\G_EVENT\\DFF\\PROP02.dff", nullptr);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(RpClumpGetWorld(loose), nullptr);
    gs.DestroyClump(loose);
}

TEST_F(GameSystemTest, ClumpReadsScanToTheClumpChunkAndRefuseTheRest)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    MakeIn("clump_files", {"RESOURCE/G_EVENT/DFF/PROP01.DFF"});
    const std::vector<uint8_t> prop = apptest::ReadBytes(root + "/RESOURCE/G_EVENT/DFF/PROP01.DFF");
    // A chunk of another type (a 4-byte string chunk) before the clump.
    std::vector<uint8_t> leading = {0x02, 0, 0, 0, 4, 0, 0, 0, 0xFF, 0xFF, 0x03, 0x18, 'a', 'b', 'c', 0};
    leading.insert(leading.end(), prop.begin(), prop.end());
    apptest::WriteBytes(root + "/LEADING.DFF", leading);
    RpClump *scanned = gs.LoadClump("\\LEADING.DFF", nullptr);
    EXPECT_NE(scanned, nullptr);
    gs.DestroyClump(scanned);
    // Not a DFF name, no file, no clump chunk, a clump cut short.
    apptest::WriteBytes(root + "/PROP.BSP", prop);
    gametest::CaptureDiagnostics();
    EXPECT_EQ(gs.LoadClump("\\PROP.BSP", nullptr), nullptr);
    EXPECT_EQ(gs.LoadClump("\\DF", nullptr), nullptr);
    EXPECT_EQ(gs.LoadClump(nullptr, nullptr), nullptr);
    EXPECT_EQ(gametest::TakeDiagnostics(), "Clump Name:\\PROP.BSP is not a DFF file\n"
                                           "Clump Name:\\DF is not a DFF file\n"
                                           "Clump Name:(null) is not a DFF file\n");
    // A name that is only the extension, in either case, is a DFF name (of no file here).
    gametest::CaptureDiagnostics();
    EXPECT_EQ(gs.LoadClump("DFF", nullptr), nullptr);
    EXPECT_EQ(gs.LoadClump("dff", nullptr), nullptr);
    EXPECT_EQ(gametest::TakeDiagnostics().find("is not a DFF file"), std::string::npos);
    EXPECT_EQ(gs.LoadClump("\\MISSING.DFF", nullptr), nullptr);
    apptest::WriteBytes(root + "/EMPTY.DFF", {0x02, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x03, 0x18});
    EXPECT_EQ(gs.LoadClump("\\EMPTY.DFF", nullptr), nullptr);
    apptest::WriteBytes(root + "/SHORT.DFF", std::vector<uint8_t>(prop.begin(), prop.begin() + prop.size() / 2));
    EXPECT_EQ(gs.LoadClump("\\SHORT.DFF", nullptr), nullptr);
    EXPECT_TRUE(FatalRecorder::Names().empty());  // a clump that cannot load is the caller's to report
}

TEST_F(GameSystemTest, AClumpComesFromTheOpenPack)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    // The stage pack holds LIGHTS.DFF; the loose copy is not there.
    MakeIn("clump_pack", {"PACK/STAGE1/2010000.STR", "PACK/STAGE1/2010000.LST"});
    EXPECT_EQ(gs.LoadClump("\\RESOURCE\\STAGE\\1\\LIGHTS.DFF", nullptr), nullptr);
    ASSERT_TRUE(zuOpenPack("\\PACK\\STAGE1\\2010000.STR"));
    RpClump *lights = gs.LoadClump("\\RESOURCE\\STAGE\\1\\LIGHTS.DFF", nullptr);
    zuClosePack();
    ASSERT_NE(lights, nullptr);
    gs.DestroyClump(lights);
}

TEST_F(GameSystemTest, TheMessageTableIsReadThroughTheFileLayer)
{
    root = apptest::ScratchFolder("table");
    // A text longer than one zufgetws read, CR LF lines, no mark.
    const std::u16string longText(3000, u'x');
    apptest::WriteBytes(root + "/RESOURCE/UITEXT/MESSAGE/FRE.TCR",
                        apptest::Utf16(u"Count: 2\r\nID: 1\r\nTexts: 1\r\nManque : \r\nID: 9\r\nTexts: 2\r\n" +
                                           longText + u"\r\nfin\r\n",
                                       false));
    StartIn(root);
    ASSERT_TRUE(gs.Create(64, 48, 2));
    ASSERT_NE(gs.messageBox.FindEntry(9), nullptr);
    EXPECT_EQ(gs.messageBox.FindEntry(9)->texts[0], longText);
    EXPECT_EQ(gs.messageBox.FindEntry(9)->texts[1], u"fin");
    EXPECT_EQ(gs.messageBox.FatalMessage("A.DFF"), u"Manque : A.DFF");
    // A damaged table is refused with a diagnostic and not used.
    apptest::WriteBytes(root + "/RESOURCE/UITEXT/MESSAGE/GER.TCR",
                        apptest::Utf16(u"Count: 3\nID: 1\nTexts: 1\nFehlt: \n", true));
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(gs.messageBox.LoadTable(3));
    const std::string said = gametest::TakeDiagnostics();
    EXPECT_NE(said.find("RESOURCE/UITEXT/MESSAGE/GER.TCR: line 4: the file ends before entry 2 of 3"),
              std::string::npos)
        << said;
    EXPECT_EQ(gs.messageBox.FindEntry(1), nullptr);
    // No table for a language without one, nor outside the languages.
    EXPECT_FALSE(gs.messageBox.LoadTable(5));
    EXPECT_FALSE(gs.messageBox.LoadTable(15));
}

TEST_F(GameSystemTest, AFatalErrorBeforeTheTitleEndsTheProgram)
{
    MakeIn("fatal_early", {});
    EXPECT_EXIT(RaiseFatalError("\\RESOURCE\\X.DFF"), testing::ExitedWithCode(1),
                "Cannot find the file: RESOURCE/X.DFF");
    EXPECT_EXIT(gs.LoadFont(), testing::ExitedWithCode(1), "Cannot find the file: RESOURCE/FONT/ENGFONT.XBF");
}

// A font that is there but damaged is no missing file: the fatal report
// says it cannot be read, and why.
TEST_F(GameSystemTest, ADamagedFontIsAFatalUnreadableFile)
{
    MakeIn("fatal_font", {});
    apptest::WriteBytes(root + "/RESOURCE/FONT/CHIFONT.XBF", {'X', 'B', 'F', '1', 0, 0});
    gs.language = 0;
    EXPECT_EXIT(gs.LoadFont(), testing::ExitedWithCode(1),
                "Cannot read RESOURCE/FONT/CHIFONT.XBF: shorter than its header");
}

// Where the fatal report goes on (after the title), a font that is missing
// or damaged is reported by its name and not taken: the text keeps no font.
TEST_F(GameSystemTest, AFontThatCannotBeHadIsReportedAndNotTaken)
{
    MakeIn("font_faults", {});
    FatalRecorder recorder;
    SetGlobalFont(nullptr);
    EXPECT_FALSE(gs.LoadFont());
    apptest::WriteBytes(root + "/RESOURCE/FONT/ENGFONT.XBF", {'X', 'B', 'F', '1', 0, 0});
    EXPECT_FALSE(gs.LoadFont());
    EXPECT_EQ(FatalRecorder::Names(),
              (std::vector<std::string>{"\\RESOURCE\\FONT\\ENGFONT.XBF", "\\RESOURCE\\FONT\\ENGFONT.XBF"}));
    EXPECT_EQ(GetGlobalFont(), nullptr);
}

// A test clock: no real sleeping, every sleep recorded.
struct RecordedSleeps {
    static uint32_t Now(void *) { return 1000; }
    static void Sleep(uint32_t ms, void *self) { static_cast<RecordedSleeps *>(self)->slept.push_back(ms); }
    std::vector<uint32_t> slept;
};

TEST_F(GameSystemTest, AfterTheTitleAFatalErrorReturnsToTheTitleAtTheEndOfTheFrame)
{
    MakeIn("fatal_late", {});
    RecordedSleeps sleeps;
    UseTestClock(RecordedSleeps::Now, RecordedSleeps::Sleep, &sleeps);
    gs.messageBox.SetTitleReached();
    RaiseFatalError("\\RESOURCE\\Y.DFF");
    EXPECT_TRUE(gs.StageExitRequested());
    gs.Tick();
    EXPECT_TRUE(gs.FrameDrawn());
    EXPECT_TRUE(sleeps.slept.empty());
    gs.EndFrame();  // black for 100 ms, then the title
    EXPECT_FALSE(gs.StageExitRequested());
    EXPECT_EQ(sleeps.slept, std::vector<uint32_t>{100});
    const win::Frame shown = Shown();
    EXPECT_EQ(shown.At(10, 10) & 0xFFFFFF, 0u);
    gs.EndFrame();  // nothing more
    EXPECT_EQ(sleeps.slept.size(), 1u);
    UseTestClock(nullptr, nullptr, nullptr);
    // Through the application's routine the same.
    RequestStageExit();
    EXPECT_TRUE(gs.StageExitRequested());
}

TEST_F(GameSystemTest, TheTickDrawsTheStatisticsInTheFont)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    MakeIn("statistics", {"RESOURCE/FONT/ENGFONT.XBF"}, 640, 480);
    ASSERT_TRUE(gs.LoadFont());
    EXPECT_EQ(GetGlobalFont(), &gs.font);
    gs.Tick();
    ASSERT_TRUE(gs.FrameDrawn());
    const win::Frame plain = Shown();
    gs.displayInfoMode = 1;
    gs.Tick();
    const win::Frame withFps = Shown();
    // "FPS 60" in white at (8, 8): light pixels appear in the top-left
    // corner, nowhere else.
    int changed = 0, light = 0;
    ASSERT_EQ(withFps.width, 640u);
    for (uint32_t y = 0; y < 480; ++y) {
        for (uint32_t x = 0; x < 640; ++x) {
            if (plain.At(x, y) != withFps.At(x, y)) {
                ++changed;
                EXPECT_LT(x, 8u + 6 * 11) << x << ", " << y;
                EXPECT_LT(y, 8u + 19) << x << ", " << y;
                light += (withFps.At(x, y) & 0xFF) > 0xC0 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(changed, 30);
    EXPECT_GT(light, 10);
}

// Made again after a run, the game system starts afresh: no frame drawn
// yet, the overlay off, collision on, no stage exit asked, the screens free.
TEST_F(GameSystemTest, MadeAgainItStartsAfresh)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    MakeIn("again", {"RESOURCE/FONT/ENGFONT.XBF"}, 640, 480);
    gs.Tick();
    ASSERT_TRUE(gs.FrameDrawn());
    gs.displayInfoMode = 3;
    gs.moveCollision = 0;
    gs.RequestStageExit();
    gs.screensHeld = true;
    ASSERT_TRUE(gs.Create(640, 480, 1));
    EXPECT_FALSE(gs.FrameDrawn());
    EXPECT_EQ(gs.displayInfoMode, 0u);
    EXPECT_EQ(gs.moveCollision, 1);
    EXPECT_FALSE(gs.StageExitRequested());
    EXPECT_FALSE(gs.screensHeld);
}

// The full overlay (mode 3) names the running stage on its fifth row: a
// stage of another number changes that row and nothing else.
TEST_F(GameSystemTest, TheFullStatisticsNameTheRunningStage)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    MakeIn("statistics_stage", {"RESOURCE/FONT/ENGFONT.XBF"}, 640, 480);
    ASSERT_TRUE(gs.LoadFont());
    ASSERT_NE(gs.stageManager, nullptr);
    gs.displayInfoMode = 3;
    const auto drawn = [&](int32_t stageId) {
        const int32_t kept = gs.stageManager->stageId;
        gs.stageManager->stageId = stageId;
        const RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(gs.camera, const_cast<RwRGBA *>(&black), rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        EXPECT_NE(RwCameraBeginUpdate(gs.camera), nullptr);
        DrawStatistics(&gs);
        RwCameraEndUpdate(gs.camera);
        gs.stageManager->stageId = kept;
        return Shown();
    };
    const win::Frame first = drawn(2010000);
    const win::Frame second = drawn(2020000);
    ASSERT_EQ(second.width, 640u);
    const uint32_t rowHeight = GetGlobalFont()->LineHeight();
    const uint32_t top = 8 + 4 * rowHeight;
    int changed = 0;
    for (uint32_t y = 0; y < 480; ++y) {
        for (uint32_t x = 0; x < 640; ++x) {
            if (first.At(x, y) != second.At(x, y)) {
                ++changed;
                EXPECT_GE(y, top) << x << ", " << y;
                EXPECT_LT(y, top + rowHeight) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(changed, 5);
}

// The first stage's scene from its pack: without the world the plain frame
// shows, quietly; without the lights or the prop the stage is there but
// cannot be shown, which is fatal and names the file. Whole, the world
// holds the lights, the prop and the camera, until the scene goes.
TEST_F(GameSystemTest, TheFirstStageSceneNeedsItsWorldLightsAndProp)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    MakeIn("first_scene", {"PACK/STAGE1/2010000.STR", "PACK/STAGE1/2010000.LST"});
    gs.messageBox.SetTitleReached();  // a fatal report returns to the title
    const std::string listPath = root + "/PACK/STAGE1/2010000.LST";
    std::vector<std::string> lines;
    {
        std::ifstream in(listPath);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
    }
    // The pack's list without the line of `file` (a stage file's name).
    const auto listWithout = [&](const std::string &file) {
        std::ofstream out(listPath, std::ios::trunc);
        for (const std::string &line : lines) {
            if (file.empty() || line.find("\\" + file + "\t") == std::string::npos) {
                out << line << "\n";
            }
        }
    };
    game::StageScene scene;
    listWithout("STAGE.BSP");
    EXPECT_FALSE(game::StageSceneLoad(&scene, gs.camera));
    EXPECT_FALSE(game::StageSceneLoaded(scene));
    EXPECT_FALSE(zuIsPackOpen());
    EXPECT_FALSE(gs.StageExitRequested());
    for (const char *file : {"LIGHTS.DFF", "CLUMP00.DFF"}) {
        SCOPED_TRACE(file);
        listWithout(file);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(game::StageSceneLoad(&scene, gs.camera));
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said, std::string("Cannot read RESOURCE/STAGE/1/") + file + ": the file is missing\n");
        EXPECT_TRUE(gs.StageExitRequested());
        EXPECT_FALSE(game::StageSceneLoaded(scene));
        EXPECT_EQ(scene.lights, nullptr);
        EXPECT_FALSE(zuIsPackOpen());
    }
    // A pack the pack layer refuses is named, and nothing is read past it,
    // though the world lies on the disk too.
    listWithout("");
    std::ofstream(listPath, std::ios::app) << "no record here\n";
    const std::string diskWorld = root + "/RESOURCE/STAGE/1/STAGE.BSP";
    std::filesystem::create_directories(root + "/RESOURCE/STAGE/1");
    std::filesystem::copy_file(apptest::SampleData() + "/RESOURCE/STAGE/1/STAGE.BSP", diskWorld);
    {
        FatalRecorder fatal;  // every report, in place of the box's first
        FatalRecorder::Names().clear();
        EXPECT_FALSE(game::StageSceneLoad(&scene, gs.camera));
        ASSERT_EQ(FatalRecorder::Names().size(), 1u);
        EXPECT_NE(FatalRecorder::Names()[0].find("2010000.LST"), std::string::npos) << FatalRecorder::Names()[0];
    }
    EXPECT_FALSE(game::StageSceneLoaded(scene));
    EXPECT_FALSE(zuIsPackOpen());
    std::filesystem::remove(diskWorld);

    listWithout("");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(game::StageSceneLoad(&scene, gs.camera));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(zuIsPackOpen());  // what the stage took of the pack stays
    ASSERT_NE(scene.world, nullptr);
    EXPECT_EQ(RpClumpGetWorld(scene.lights), scene.world);
    EXPECT_EQ(RpClumpGetWorld(scene.prop), scene.world);
    EXPECT_EQ(RpCameraGetWorld(gs.camera), scene.world);
    EXPECT_EQ(scene.camera, gs.camera);
    game::StageSceneUnload(&scene);
    EXPECT_FALSE(game::StageSceneLoaded(scene));
    EXPECT_EQ(scene.prop, nullptr);
    EXPECT_EQ(scene.sign, nullptr);
    EXPECT_EQ(RpCameraGetWorld(gs.camera), nullptr);

    // A data tree without the stage at all shows the plain frame, quietly.
    std::filesystem::remove(listPath);
    std::filesystem::remove(root + "/PACK/STAGE1/2010000.STR");
    FatalRecorder fatal;
    FatalRecorder::Names().clear();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(game::StageSceneLoad(&scene, gs.camera));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(FatalRecorder::Names().empty());
}

}  // namespace

}  // namespace game_system_test
