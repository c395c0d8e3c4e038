// The application made and torn down in-process on a headless window: the
// engine with the game's memory and files, the data root, the cursor
// request applied in a window only, quitting, and the small services.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/audio.h"
#include "app/debug.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/memory.h"
#include "app/movie_player.h"
#include "app/options.h"
#include "app/path.h"
#include "app/screen_coords.h"
#include "app/trace.h"
#include "rwengine.h"
#include "tests/app/app_test_support.h"
#include "tests/app/bmp_file.h"
#include "ui/loading_screen.h"
#include "platform/movie/movie_test_support.h"

namespace application_test {

namespace {

class Application : public ::testing::Test {
protected:
    // The window opens at the mode's size unless `windowWidth` says otherwise.
    void Make(int mode, uint32_t windowWidth = 0, uint32_t windowHeight = 0)
    {
        root_ = apptest::ScratchFolder("application");
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(root_);
        options_.mode = mode;
        options_.headless = true;
        game::ModeChoice choice{};
        game::ModeChoiceOf(mode, &choice);
        window_ = rwtest::OpenHeadlessWindow("game", windowWidth != 0 ? windowWidth : choice.width,
                                             windowWidth != 0 ? windowHeight : choice.height);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(app_.Create(window_, options_));
        g_pApplication = &app_;
    }
    void TearDown() override
    {
        if (g_pApplication != nullptr) {
            app_.Destroy();
            g_pApplication = nullptr;
        }
        rwtest::CloseHeadlessWindow(window_);
        if (!previous_.empty()) {
            std::filesystem::current_path(previous_);
        }
        SetDataRootPath("");
    }
    CSApplication app_;
    game::Options options_;
    HWND window_ = nullptr;
    std::string root_;
    std::filesystem::path previous_;
};

TEST_F(Application, StartsTheEngineOnTheGamesMemoryAndFilesInTheWorkingFolder)
{
    const size_t before = zuGetBytesInUse();
    Make(2);
    EXPECT_EQ(RwEngineInst->engineStatus, rwENGINESTATUSSTARTED);
    EXPECT_GT(zuGetBytesInUse(), before);  // the engine allocates from the game's allocator
    EXPECT_EQ(std::filesystem::path(GetDataRootPath()), std::filesystem::current_path());
    EXPECT_EQ(GetScreenWidth(), 800u);
    EXPECT_EQ(GetScreenHeight(), 600u);
    // The engine's file reads go through the game's file layer.
    apptest::WriteText(root_ + "/RESOURCE/X.TXT", "x");
    EXPECT_TRUE(RwFileExists("\\resource\\x.txt"));
    EXPECT_NE(app_.device, nullptr);
    // The game system is made with the application and goes with it.
    ASSERT_NE(app_.gameSystem, nullptr);
    EXPECT_EQ(g_pGameSystem, app_.gameSystem);
    app_.Destroy();
    EXPECT_EQ(g_pGameSystem, nullptr);
    g_pApplication = nullptr;
    EXPECT_EQ(RwEngineInst->engineStatus, rwENGINESTATUSIDLE);
    EXPECT_EQ(zuGetBytesInUse(), before);  // everything given back
}

TEST_F(Application, TheCursorRequestIsAppliedAndClearedInAWindow)
{
    // A request left from before the application is made is dropped: it
    // starts with the cursor shown and nothing asked.
    CursorRequest = 2;
    Make(1);
    EXPECT_TRUE(app_.IsCursorShown());
    EXPECT_EQ(CursorRequest, 0u);
    // The first tick switches to the first screen, which asks to show the
    // cursor (as every screen switch does).
    ASSERT_TRUE(apptest::CopyInterfacePacks(root_)) << "no sample data: build the sample-data target";
    app_.Tick(1);
    EXPECT_EQ(CursorRequest, 1u);
    CursorRequest = 2;
    app_.Tick(2);
    EXPECT_FALSE(app_.IsCursorShown());
    EXPECT_EQ(CursorRequest, 0u);
    CursorRequest = 1;
    app_.Tick(3);
    EXPECT_TRUE(app_.IsCursorShown());
    EXPECT_EQ(CursorRequest, 0u);
}

TEST_F(Application, TheCursorRequestWaitsInFullScreen)
{
    Make(3);
    EXPECT_TRUE(app_.IsFullScreen());
    ASSERT_TRUE(apptest::CopyInterfacePacks(root_)) << "no sample data: build the sample-data target";
    app_.Tick(1);  // the first screen switch
    CursorRequest = 2;
    app_.Tick(2);
    EXPECT_TRUE(app_.IsCursorShown());
    EXPECT_EQ(CursorRequest, 2u);
    CursorRequest = 0;
}

// Full screen takes the device's exclusive 32-bit mode of the chosen size,
// and the game draws at that size whatever the window's client area is.
TEST_F(Application, FullScreenTakesTheExclusiveModeOfItsSize)
{
    Make(4, 640, 480);
    EXPECT_TRUE(app_.IsFullScreen());
    EXPECT_NE(app_.videoMode.flags & rwVIDEOMODEEXCLUSIVE, 0u);
    EXPECT_EQ(app_.videoMode.width, 800u);
    EXPECT_EQ(app_.videoMode.height, 600u);
    EXPECT_EQ(app_.videoMode.depth, 32u);
    ASSERT_NE(g_pGameSystem, nullptr);
    ASSERT_NE(g_pGameSystem->camera, nullptr);
    const RwRaster *raster = RwCameraGetRaster(g_pGameSystem->camera);
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(RwRasterGetWidth(raster), 800);
    EXPECT_EQ(RwRasterGetHeight(raster), 600);
    EXPECT_EQ(g_pGameSystem->ClientWidth(), 800u);
    EXPECT_EQ(g_pGameSystem->ClientHeight(), 600u);
    // The interface's 640 x 480 layout spans the whole 800 x 600 screen.
    RwIm2DVertex corner{};
    SetScreenX(&corner, 640.0f);
    SetScreenY(&corner, 480.0f);
    EXPECT_FLOAT_EQ(corner.x, 800.0f);
    EXPECT_FLOAT_EQ(corner.y, 600.0f);
}

// --loading-shot: the loading screen's first drawing within the named tick
// is written as the camera raster holds it; later drawings of that tick,
// and ticks that name no shot, write nothing; a shot that cannot be
// written is said.
TEST_F(Application, ALoadingShotIsTheLoadingScreensFirstDrawingWithinItsTick)
{
    root_ = apptest::ScratchFolder("application");
    options_.loadingShots = {{1, root_ + "/first.bmp"}, {3, root_ + "/third.bmp"}, {4, root_ + "/none/x.bmp"}};
    Make(1);
    ASSERT_NE(CSLoading::afterDrawing, nullptr);
    RwCamera *camera = app_.gameSystem->camera;
    auto drawing = [&](uint32_t tick, RwRGBA colour, uint32_t count) {
        game::TraceSetTick(tick);
        RwCameraClear(camera, &colour, rwCAMERACLEARIMAGE);
        CSLoading::afterDrawing(camera, count);
    };
    auto shot = [](const std::string &path) {
        apptest::Bmp bmp;
        return apptest::LoadBmp(path, &bmp) ? bmp.Pixel(10, 10) : 0xDEADu;
    };
    const RwRGBA red = {255, 0, 0, 255}, green = {0, 255, 0, 255}, blue = {0, 0, 255, 255};
    drawing(1, red, 1);
    drawing(1, green, 2);
    EXPECT_EQ(shot(root_ + "/first.bmp"), 0xFF0000u);
    drawing(2, green, 3);
    drawing(3, blue, 4);
    drawing(3, red, 5);
    EXPECT_EQ(shot(root_ + "/third.bmp"), 0x0000FFu);
    EXPECT_EQ(shot(root_ + "/first.bmp"), 0xFF0000u);
    testing::internal::CaptureStderr();
    drawing(4, green, 6);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "game: could not write the screenshot " + root_ + "/none/x.bmp\n");
    game::TraceSetTick(0);
}

// The engine's reports are diagnostic lines while the engine runs, each
// saying whether it is an error or a note; once it stops they go nowhere.
TEST_F(Application, TheEnginesReportsAreDiagnosticLinesWhileItRuns)
{
    Make(1);
    const bool before = SetDebugOutput(true);
    testing::internal::CaptureStderr();
    RwErrorReportDetail(rwID_COMMON, E_RW_READ, "a read failed");
    RwDebugSendMessage(rwDEBUGMESSAGE, "a note");
    const std::string said = testing::internal::GetCapturedStderr();
    RwError taken{};
    RwErrorGet(&taken);
    EXPECT_EQ(said.rfind("game: engine error: E_RW_READ", 0), 0u) << said;
    EXPECT_NE(said.find("a read failed"), std::string::npos) << said;
    EXPECT_NE(said.find("\ngame: engine message: a note\n"), std::string::npos) << said;
    app_.Destroy();
    g_pApplication = nullptr;
    testing::internal::CaptureStderr();
    RwDebugSendMessage(rwDEBUGMESSAGE, "after");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    SetDebugOutput(before);
}

TEST_F(Application, CloseApplicationMarksItQuitting)
{
    Make(1);
    EXPECT_FALSE(app_.IsQuitting());
    CloseApplication();
    EXPECT_TRUE(app_.IsQuitting());
}

TEST(ApplicationServices, OptionSwitchStartValueAndScreenSizeWithoutAnApplication)
{
    EXPECT_TRUE(IsOptionSwitchOff());
    SetOptionSwitch(3);
    EXPECT_FALSE(IsOptionSwitchOff());
    SetOptionSwitch(0);
    EXPECT_TRUE(IsOptionSwitchOff());
    EXPECT_EQ(QueryStartValue(), 0);
    EXPECT_EQ(GetScreenWidth(), 640u);
    EXPECT_EQ(GetScreenHeight(), 480u);
    // A client area of no size (a window not shown yet) is taken as the
    // interface's own 640 x 480.
    SetScreenClientSize(0, 0);
    EXPECT_EQ(ScreenClientWidth(), 640u);
    EXPECT_EQ(ScreenClientHeight(), 480u);
    CloseApplication();  // no application: nothing happens
    ApplicationKeepAlive();
    PlayMovie("\\ENGUIMV\\TEST.BIK");
    EXPECT_FALSE(IsMoviePlaying());
    StopMovie();
    EXPECT_EQ(GetAudioMemoryUsed(), 0u);
    RequestStageExit();
}

TEST(Options, TheTableTakesEveryOptionAndNamesWhatIsWrong)
{
    const char *argv[] = {"game",         "--headless", "--mode",       "3",         "--frames", "5",
                          "--fixed-step", "16",         "--screenshot", "2:a.bmp",   "--language", "0"};
    game::Options options;
    std::string error;
    ASSERT_TRUE(game::ParseOptions(12, argv, &options, &error)) << error;
    EXPECT_TRUE(options.headless);
    EXPECT_EQ(options.mode, 3);
    EXPECT_EQ(options.frames, 5u);
    EXPECT_EQ(options.fixedStepMs, 16u);
    ASSERT_EQ(options.screenshots.size(), 1u);
    EXPECT_EQ(options.screenshots[0].path, "a.bmp");
    EXPECT_EQ(options.language, 0);
    EXPECT_FALSE(options.debug);
    const char *debug[] = {"game", "--debug"};
    ASSERT_TRUE(game::ParseOptions(2, debug, &options, &error)) << error;
    EXPECT_TRUE(options.debug);
    const char *defaults[] = {"game"};
    ASSERT_TRUE(game::ParseOptions(1, defaults, &options, &error));
    EXPECT_EQ(options.language, 1);
    EXPECT_EQ(options.mode, 0);
    EXPECT_FALSE(options.debug);
    const char *bad[] = {"game", "--language", "15"};
    EXPECT_FALSE(game::ParseOptions(3, bad, &options, &error));
    EXPECT_EQ(error, "--language takes 0 to 14");
    const char *missing[] = {"game", "--mode"};
    EXPECT_FALSE(game::ParseOptions(2, missing, &options, &error));
    EXPECT_EQ(error, "option --mode needs a value");
    const char *unknown[] = {"game", "--bogus"};
    EXPECT_FALSE(game::ParseOptions(2, unknown, &options, &error));
    EXPECT_EQ(error, "unknown option --bogus");
}

TEST_F(Application, MoviesPlayFromTheSoundAndMovieChildrenAndFocusLossInFullScreenStopsThem)
{
    Make(3);
    apptest::FatalRecorder fatal;  // in place of the message box the game system installed
    apptest::FatalRecorder::Names().clear();
    ASSERT_NE(app_.audio, nullptr);
    ASSERT_NE(app_.moviePlayer, nullptr);
    StopMovie();  // idle: nothing
    PlayMovie(nullptr);
    EXPECT_FALSE(IsMoviePlaying());
    const std::string clip = movietest::Clip("APP.BIK");
    PlayMovie(clip.c_str());
    EXPECT_TRUE(IsMoviePlaying());
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
    ApplicationKeepAlive();
    app_.SetActive(false);  // full screen: the movie stops
    EXPECT_FALSE(IsMoviePlaying());
    EXPECT_FALSE(app_.moviePlayer->IsActive());

    const std::string missing = root_ + "/NOPE.BIK";
    const std::string garbage = root_ + "/GARBAGE.BIK";
    apptest::WriteText(garbage, std::string(4000, 'x'));
    PlayMovie(missing.c_str());
    PlayMovie(garbage.c_str());
    // Named by their game paths; the one that is there with why it cannot be played.
    ASSERT_EQ(apptest::FatalRecorder::Names().size(), 2u);
    EXPECT_EQ(apptest::FatalRecorder::Names()[0], "/NOPE.BIK");
    EXPECT_EQ(apptest::FatalRecorder::Names()[1], "/GARBAGE.BIK");
    EXPECT_EQ(UnreadableReason("/NOPE.BIK"), "");
    EXPECT_EQ(UnreadableReason("/GARBAGE.BIK"), "it is not a movie");
    EXPECT_FALSE(IsMoviePlaying());
}

TEST_F(Application, InAWindowFocusLossLeavesTheMovieAlone)
{
    Make(1);
    const std::string clip = movietest::Clip("APP.BIK");
    PlayMovie(clip.c_str());
    app_.SetActive(false);
    EXPECT_TRUE(IsMoviePlaying());
    app_.SetActive(true);
    StopMovie();
    EXPECT_FALSE(IsMoviePlaying());
}

// Start on pad 0 skips only the start-up movie: a movie the screens or an
// event play goes on until they stop it.
TEST_F(Application, StartLeavesAMovieTheGamePlaysToItsScreen)
{
    const std::string script = apptest::ScratchFolder("application-start") + "/start.txt";
    apptest::WriteText(script, "1 key Enter 1\n");
    options_.inputScript = script;
    Make(1);
    ASSERT_TRUE(apptest::CopyInterfacePacks(root_)) << "no sample data: build the sample-data target";
    const std::string clip = movietest::Clip("APP.BIK");
    PlayMovie(clip.c_str());
    app_.Tick(1);
    ASSERT_EQ(app_.gameSystem->padStates[2][0].buttons[kPadStart], kPadPressedState);
    EXPECT_TRUE(IsMoviePlaying());
    StopMovie();
}

TEST(Options, HeroLifeTakesATickAndALifeAndRepeats)
{
    const char *argv[] = {"game", "--hero-life", "30:0", "--hero-life", "90:1500"};
    game::Options options;
    std::string error;
    ASSERT_TRUE(game::ParseOptions(5, argv, &options, &error)) << error;
    ASSERT_EQ(options.heroLife.size(), 2u);
    EXPECT_EQ(options.heroLife[0].tick, 30u);
    EXPECT_EQ(options.heroLife[0].life, 0);
    EXPECT_EQ(options.heroLife[1].tick, 90u);
    EXPECT_EQ(options.heroLife[1].life, 1500);
    for (const char *bad : {"30", "0:5", ":5", "30:", "30:-1", "x:5", "30:2147483648"}) {
        const char *args[] = {"game", "--hero-life", bad};
        EXPECT_FALSE(game::ParseOptions(3, args, &options, &error)) << bad;
        EXPECT_EQ(error, "--hero-life takes TICK:LIFE") << bad;
    }
    EXPECT_NE(game::OptionsHelp().find("--hero-life <TICK:LIFE>"), std::string::npos);
}

TEST(Options, PlayersTakesOneOrTwo)
{
    game::Options options;
    std::string error;
    const char *none[] = {"game"};
    ASSERT_TRUE(game::ParseOptions(1, none, &options, &error)) << error;
    EXPECT_EQ(options.players, 1);
    const char *two[] = {"game", "--stage", "2", "--players", "2"};
    ASSERT_TRUE(game::ParseOptions(5, two, &options, &error)) << error;
    EXPECT_EQ(options.players, 2);
    for (const char *bad : {"0", "3", "x", "-1"}) {
        const char *args[] = {"game", "--players", bad};
        EXPECT_FALSE(game::ParseOptions(3, args, &options, &error)) << bad;
        EXPECT_EQ(error, "--players takes 1 or 2") << bad;
    }
    EXPECT_NE(game::OptionsHelp().find("--players <1 or 2>"), std::string::npos);
}

TEST(Options, BossGaugeTakesATickAndRepeats)
{
    const char *argv[] = {"game", "--boss-gauge", "20", "--boss-gauge", "400"};
    game::Options options;
    std::string error;
    ASSERT_TRUE(game::ParseOptions(5, argv, &options, &error)) << error;
    EXPECT_EQ(options.bossGaugeTicks, (std::vector<uint32_t>{20, 400}));
    for (const char *bad : {"0", "-3", "x", "20:1"}) {
        const char *args[] = {"game", "--boss-gauge", bad};
        EXPECT_FALSE(game::ParseOptions(3, args, &options, &error)) << bad;
        EXPECT_EQ(error, "--boss-gauge takes TICK") << bad;
    }
}

TEST(Options, MovieNamesAFileToPlayAtStartUp)
{
    const char *argv[] = {"game", "--movie", "ENGUIMV/TEST.BIK"};
    game::Options options;
    std::string error;
    ASSERT_TRUE(game::ParseOptions(3, argv, &options, &error)) << error;
    EXPECT_EQ(options.movie, "ENGUIMV/TEST.BIK");
    const char *empty[] = {"game", "--movie", ""};
    EXPECT_FALSE(game::ParseOptions(3, empty, &options, &error));
}

}  // namespace

}  // namespace application_test
