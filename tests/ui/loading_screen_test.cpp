// The loading screen: its strip and bar laid out at given clocks and
// progress, the pacing of its steps against a test's clock, the pictures
// chosen by stage, its music and depth states while it shows, and its
// drawing thread started and joined a thousand times without a drawing
// after the pictures are gone, its drawings leaving the frames the main
// thread builds alone.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <vector>
#include <string>
#include <thread>
#include <utility>

#include "app/application.h"
#include "app/audio.h"
#include "app/bmp_file.h"
#include "app/reference_image.h"
#include "app/clock.h"
#include "app/path.h"
#include "rwsdk/include/rwengine.h"
#include "app/locks.h"
#include "app/threads.h"
#include "tests/ui/ui_test_support.h"
#include "stage/stage_screen_calls.h"
#include "ui/loading_screen.h"
#include "ui/ui_quad.h"
#include "ui/ui_rect.h"

namespace loading_screen_test {

namespace {

using uitest::ScreensTest;

TEST(LoadingScreenLayout, TheStripStartsWithAAndShowsBABAfterEightySeconds)
{
    UIQuad quads[7];
    CSLoading::LayOut(0, 0.0f, quads);
    EXPECT_EQ(quads[0].v[0].x, 0.0f);
    EXPECT_EQ(quads[0].v[3].x, 549.0f);
    EXPECT_EQ(quads[1].v[0].x, 549.0f);
    EXPECT_EQ(quads[2].v[3].x, 1647.0f);
    EXPECT_EQ(quads[0].v[0].y, 91.0f);
    EXPECT_EQ(quads[0].v[3].y, 307.0f);
    // Frame A is the picture's upper part, B its lower.
    EXPECT_FLOAT_EQ(quads[0].v[0].v, 1.0f / 512.0f);
    EXPECT_FLOAT_EQ(quads[1].v[0].v, 219.0f / 512.0f);
    EXPECT_FLOAT_EQ(quads[2].v[0].v, 1.0f / 512.0f);
    // Half way through the first period the strip has moved half a tile.
    CSLoading::LayOut(40000, 0.0f, quads);
    EXPECT_EQ(quads[0].v[0].x, -274.0f);
    CSLoading::LayOut(80000, 0.0f, quads);
    EXPECT_EQ(CSLoading::StripOffset(80000), 0u);
    EXPECT_EQ(CSLoading::StripPeriod(80000), 1u);
    EXPECT_EQ(quads[0].v[0].x, 0.0f);
    EXPECT_FLOAT_EQ(quads[0].v[0].v, 219.0f / 512.0f);
    EXPECT_FLOAT_EQ(quads[1].v[0].v, 1.0f / 512.0f);
    EXPECT_FLOAT_EQ(quads[2].v[0].v, 219.0f / 512.0f);
    EXPECT_EQ(quads[0].v[0].emissiveColor, 0xFFF0F0F0u);
}

TEST(LoadingScreenLayout, TheBarFillsWithTheProgress)
{
    UIQuad quads[7];
    CSLoading::LayOut(0, 0.0f, quads);
    EXPECT_EQ(quads[5].v[0].x, 456.0f);
    EXPECT_EQ(quads[5].v[3].x, 456.0f);  // a fill of no width
    CSLoading::LayOut(0, 1.0f, quads);
    EXPECT_EQ(quads[5].v[3].x, 589.0f);
    EXPECT_FLOAT_EQ(quads[5].v[3].u, 134.0f / 512.0f);
    EXPECT_EQ(quads[6].v[0].x, 456.0f);
    EXPECT_EQ(quads[6].v[3].x, 589.0f);
    EXPECT_EQ(quads[6].v[0].y, 405.0f);
    EXPECT_EQ(quads[6].v[3].y, 417.0f);
    EXPECT_EQ(quads[3].v[3].y, 91.0f);
    EXPECT_EQ(quads[4].v[0].y, 307.0f);
}

// A quad's screen rectangle and its source (corners 0 and 3 of the four).
void ExpectQuad(const UIQuad &quad, UIRect screen, UIRect source)
{
    EXPECT_FLOAT_EQ(quad.v[0].x, screen.x0);
    EXPECT_FLOAT_EQ(quad.v[0].y, screen.y0);
    EXPECT_FLOAT_EQ(quad.v[3].x, screen.x1);
    EXPECT_FLOAT_EQ(quad.v[3].y, screen.y1);
    EXPECT_FLOAT_EQ(quad.v[0].u, source.x0);
    EXPECT_FLOAT_EQ(quad.v[0].v, source.y0);
    EXPECT_FLOAT_EQ(quad.v[3].u, source.x1);
    EXPECT_FLOAT_EQ(quad.v[3].v, source.y1);
}

// Every piece of a drawing where it stands and what it shows, the strip
// moved 274 pixels (40 s) and the bar half full: the third tile too,
// though it starts off the screen's right edge until the strip has moved
// 459 pixels.
TEST(LoadingScreenLayout, EveryPieceHasItsPlaceAndItsSource)
{
    constexpr float kU = 1.0f / 256.0f;
    constexpr float kV = 1.0f / 512.0f;
    const UIRect frameA = {1 * kU, 1 * kV, 255 * kU, 217 * kV};
    const UIRect frameB = {1 * kU, 219 * kV, 255 * kU, 435 * kV};
    UIQuad quads[7];
    CSLoading::LayOut(40000, 0.5f, quads);
    ExpectQuad(quads[0], {-274, 91, 275, 307}, frameA);
    ExpectQuad(quads[1], {275, 91, 824, 307}, frameB);
    ExpectQuad(quads[2], {824, 91, 1373, 307}, frameA);
    ExpectQuad(quads[3], {0, 0, 640, 91}, {1 * kV, 2 * kV, 511 * kV, 184 * kV});
    ExpectQuad(quads[4], {0, 307, 640, 480}, {1 * kV, 186 * kV, 511 * kV, 458 * kV});
    ExpectQuad(quads[5], {456, 405, 522.5f, 417}, {1 * kV, 486 * kV, 67.5f * kV, 510 * kV});
    ExpectQuad(quads[6], {456, 405, 589, 417}, {1 * kV, 460 * kV, 134 * kV, 484 * kV});
    for (const UIQuad &quad : quads) {
        for (const RwIm2DVertex &corner : quad.v) {
            EXPECT_EQ(corner.emissiveColor, 0xFFF0F0F0u);
        }
    }
    // The next period: B A B.
    CSLoading::LayOut(80000 + 40000, 0.5f, quads);
    ExpectQuad(quads[0], {-274, 91, 275, 307}, frameB);
    ExpectQuad(quads[1], {275, 91, 824, 307}, frameA);
    ExpectQuad(quads[2], {824, 91, 1373, 307}, frameB);
}

TEST(LoadingScreenLayout, EachStageGroupHasItsPicture)
{
    EXPECT_STREQ(CSLoading::ScenePictureOf(0), "GFSCENE1.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2010000), "GFSCENE1.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2080000), "GFSCENE1.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2090000), "GFSCENE2.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2150000), "GFSCENE2.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2160000), "GFSCENE3.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2270000), "GFSCENE4.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2280000), "GFSCENE5.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2380000), "GFSCENE6.BMP");
    EXPECT_STREQ(CSLoading::ScenePictureOf(2390000), "GFSCENE1.BMP");  // no such stage
    EXPECT_STREQ(CSLoading::ScenePictureOf(2420000), "GFSCENE7.BMP");
}

// The test's clock and a drawing that records what it saw.
struct Pacing {
    static inline uint32_t now = 0;
    static inline int drawings = 0;
    static inline std::atomic<int> threadDrawings{0};
    static inline std::atomic<int> drawnWithoutPictures{0};
    static uint32_t Now() { return now; }
    static void Count(CSLoading *) { ++drawings; }
    // From any thread: the pictures must be there while the screen draws.
    static void Check(CSLoading *loading)
    {
        ++threadDrawings;
        if (loading->IsActive() != 0 && (loading->Picture() == nullptr || loading->Bar() == nullptr)) {
            ++drawnWithoutPictures;
        }
    }
};

class LoadingScreenTest : public ScreensTest {
protected:
    void SetUp() override { StartOnSampleData(); }
    CSLoading &Loading() { return *g_pLoading; }
};

TEST_F(LoadingScreenTest, StepsComeAtMostEveryTwentyMsAndTheClockAtMost33)
{
    ASSERT_NE(g_pLoading, nullptr);
    CSLoading &loading = Loading();
    loading.drawFrame = Pacing::Count;
    loading.now = Pacing::Now;
    Pacing::drawings = 0;
    Pacing::now = 5000;
    loading.Activate(1, 2010000);
    ASSERT_EQ(loading.IsActive(), 1);
    EXPECT_NE(loading.Picture(), nullptr);
    EXPECT_NE(loading.Bar(), nullptr);
    loading.Step();  // the first: at once, the clock unmoved
    EXPECT_EQ(Pacing::drawings, 1);
    EXPECT_EQ(loading.Clock(), 0u);
    Pacing::now += 10;
    loading.Step();  // 10 ms later: no drawing
    EXPECT_EQ(Pacing::drawings, 1);
    Pacing::now += 10;
    loading.Step();  // 20 ms after the last drawing
    EXPECT_EQ(Pacing::drawings, 2);
    EXPECT_EQ(loading.Clock(), 20u);
    Pacing::now += 200;
    loading.Step();  // a long pause moves the strip by 33 ms only
    EXPECT_EQ(Pacing::drawings, 3);
    EXPECT_EQ(loading.Clock(), 53u);
    // Activating again does nothing.
    loading.Activate(1, 2160000);
    EXPECT_EQ(loading.Clock(), 53u);
    loading.Activate(0, 2010000);
    EXPECT_EQ(loading.IsActive(), 0);
    EXPECT_EQ(loading.Picture(), nullptr);
    EXPECT_EQ(loading.Bar(), nullptr);
    loading.Step();  // inactive: nothing
    EXPECT_EQ(Pacing::drawings, 3);
}

TEST_F(LoadingScreenTest, AThousandThreadedLoadsJoinTheirThreadBeforeThePicturesGo)
{
    CSLoading &loading = Loading();
    loading.drawFrame = Pacing::Check;
    // Pictures of a few pixels keep the thousand loads quick.
    const std::string root = apptest::ScratchFolder("small_loading_pictures");
    const std::vector<uint32_t> pixels(16, 0xFF808080u);
    for (const char *file : {"/RESOURCE/UITEXT/LOADING/GFSCENE1.BMP", "/RESOURCE/UITEXT/LOADING/ENG/GFLOAD.BMP",
                             "/RESOURCE/UITEXT/LOADING/ENG/GFLOADA.BMP"}) {
        std::filesystem::create_directories(std::filesystem::path(root + file).parent_path());
        ASSERT_TRUE(apptest::WriteBmp(root + file, 4, 4, pixels));
    }
    SetDataRootPath(root.c_str());
    Pacing::threadDrawings = 0;
    Pacing::drawnWithoutPictures = 0;
    // No real sleeping: the thread draws as fast as it can.
    UseTestClock([](void *) -> uint32_t { return 1000; }, [](uint32_t, void *) {}, nullptr);
    loading.SetThreadedLoading(1);
    const size_t threads = GetWorkerThreadCount();
    for (int i = 0; i < 1000; ++i) {
        loading.Activate(1, 2010000);
        ASSERT_TRUE(loading.HasThread());
        loading.SetProgress(static_cast<float>(i) / 1000.0f);
        loading.Step();  // the loader's steps do nothing while the thread draws
        loading.Activate(0, 2010000);
        ASSERT_FALSE(loading.HasThread());
        ASSERT_EQ(GetWorkerThreadCount(), threads);
    }
    UseSystemClock();
    SetDataRootPath(apptest::SampleData().c_str());
    EXPECT_GE(Pacing::threadDrawings.load(), 2000);
    EXPECT_EQ(Pacing::drawnWithoutPictures.load(), 0);
    EXPECT_EQ(loading.Picture(), nullptr);
}

// While the thread draws, the main thread builds the stage's frames: the
// thread's camera updates must not synchronise (walk, clean, unlink) them.
TEST_F(LoadingScreenTest, TheThreadsDrawingsLeaveTheFramesTheLoaderBuildsAlone)
{
    CSLoading &loading = Loading();
    ASSERT_NE(g_pGameSystem, nullptr);
    ASSERT_NE(g_pGameSystem->camera, nullptr);
    RwFrame *built = RwFrameCreate();
    ASSERT_NE(built, nullptr);
    RwFrameMarkDirty(built);
    UseTestClock([](void *) -> uint32_t { return 1000; }, [](uint32_t, void *) {}, nullptr);
    loading.SetThreadedLoading(1);
    loading.Activate(1, 2010000);
    ASSERT_TRUE(loading.HasThread());
    ASSERT_NE(loading.ThreadCamera(), nullptr);
    // Waits for drawings of the thread itself (the first one is the main thread's).
    while (loading.Drawings() < 4) {
        std::this_thread::yield();
    }
    EXPECT_NE(RwFrameIsDirty(built), 0u) << "the loading thread synchronised the loader's frames";
    loading.Activate(0, 2010000);
    EXPECT_EQ(loading.ThreadCamera(), nullptr);
    EXPECT_EQ(RwCameraGetCurrentCamera(), nullptr);
    loading.SetThreadedLoading(0);
    UseSystemClock();
    RwFrameDestroy(built);
}

TEST_F(LoadingScreenTest, TheSamplePicturesAsDrawnHalfWayThroughAPeriod)
{
    CSLoading &loading = Loading();
    loading.drawFrame = Pacing::Count;
    loading.now = Pacing::Now;
    Pacing::now = 1000;
    loading.Activate(1, 2160000);
    // The strip 40 s on (moved half a tile), the bar at 0.6.
    for (int i = 0; i < 1213; ++i) {
        Pacing::now += 33;
        loading.Step();
    }
    ASSERT_EQ(loading.Clock(), 39996u);  // the first step moves nothing
    loading.SetProgress(0.6f);
    const win::Frame frame = DrawFrame([&] { loading.Draw(); });
    loading.Activate(0, 2160000);
    const std::string dir = apptest::ScratchFolder("loading_picture");
    ASSERT_TRUE(apptest::WriteBmp(dir + "/loading.bmp", static_cast<int32_t>(frame.width),
                                  static_cast<int32_t>(frame.height), frame.pixels));
    apptest::ExpectLikeReference(dir + "/loading.bmp",
                                 std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/loading_stage16.bmp",
                                 dir + "/difference.bmp");
}

// A sound front-end without a device, the application's for the test.
struct SoundScope {
    SoundScope()
    {
        audio.Create(false);
        application.audio = &audio;
        g_pApplication = &application;
    }
    ~SoundScope()
    {
        g_pApplication = nullptr;
        audio.Release();
    }
    CSAudio audio;
    CSApplication application;
};

// The loading music: read as an interface sound at the settings' sound
// volume and playing while the screen shows; stopped and unloaded when it
// goes, so that the stage is not loaded to its tune.
TEST_F(LoadingScreenTest, ItsMusicPlaysAtTheSoundVolumeWhileItShowsAndIsUnloadedAfter)
{
    SoundScope scope;
    CSAudio &audio = scope.audio;
    UISettings settings = ui->Settings();
    settings.soundVolume = 0.5f;
    ui->StoreSettings(settings);
    CSLoading &loading = Loading();
    loading.drawFrame = Pacing::Count;
    loading.Activate(1, 2010000);
    const uint32_t music = loading.MusicHandle();
    ASSERT_NE(music, CSLoading::kNoMusic);
    EXPECT_TRUE(audio.IsPlaying(music));
    EXPECT_EQ(audio.GetGroup(music), CSAudio::kInterfaceGroup);
    EXPECT_FLOAT_EQ(audio.GetVolume(music), 0.5f);
    EXPECT_GT(audio.GetMemoryUsed(music), 0u);
    loading.Activate(0, 2010000);
    EXPECT_EQ(loading.MusicHandle(), CSLoading::kNoMusic);
    EXPECT_FALSE(audio.IsPlaying(music));
    EXPECT_EQ(audio.GetMemoryUsed(music), 0u);
}

// A loading screen that goes while it shows (the program ends during a
// load) unloads its music; after the application it leaves the sound alone.
TEST_F(LoadingScreenTest, GoingWhileItShowsItUnloadsItsMusicUnlessTheApplicationWentFirst)
{
    SoundScope scope;
    CSLoading *const owner = g_pLoading;
    uint32_t music = CSLoading::kNoMusic;
    {
        CSLoading screen;
        screen.drawFrame = Pacing::Count;
        screen.Activate(1, 2010000);
        music = screen.MusicHandle();
        ASSERT_NE(music, CSLoading::kNoMusic);
        EXPECT_TRUE(scope.audio.IsPlaying(music));
    }
    EXPECT_EQ(scope.audio.GetMemoryUsed(music), 0u);
    EXPECT_EQ(g_pLoading, nullptr);
    {
        CSLoading screen;
        screen.drawFrame = Pacing::Count;
        screen.Activate(1, 2010000);
        ASSERT_NE(screen.MusicHandle(), CSLoading::kNoMusic);
        g_pApplication = nullptr;
    }
    g_pApplication = &scope.application;
    g_pLoading = owner;
}

// Shown in the middle of a frame's drawing, the screen turns the depth
// test and write off for its flat pictures, and on again when it goes.
TEST_F(LoadingScreenTest, ShownDuringAFramesDrawingItTurnsTheDepthOffAndOnAgain)
{
    CSLoading &loading = Loading();
    loading.drawFrame = Pacing::Count;
    const auto depthState = [] {
        RwInt32 test = -1, write = -1;
        RwGetRenderState(rwRENDERSTATEZTESTENABLE, &test);
        RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &write);
        return std::make_pair(test, write);
    };
    ASSERT_TRUE(BeginCameraUpdate(gs.camera));
    SetDepthTestAndWrite(true);
    loading.Activate(1, 2010000);
    EXPECT_EQ(depthState(), std::make_pair(RwInt32{0}, RwInt32{0}));
    loading.Activate(0, 2010000);
    EXPECT_EQ(depthState(), std::make_pair(RwInt32{1}, RwInt32{1}));
    EndCameraUpdate(gs.camera);
}

TEST_F(LoadingScreenTest, TheStageTableReachesItAndMissingPicturesAreFatal)
{
    ASSERT_NE(g_stageLoadingScreen, nullptr);
    Loading().drawFrame = Pacing::Count;
    g_stageLoadingScreen->setThreadedLoading(1);
    EXPECT_EQ(g_stageLoadingScreen->isThreadedLoading(), 1);
    g_stageLoadingScreen->setThreadedLoading(0);
    g_stageLoadingScreen->activate(1, 2010000);
    EXPECT_EQ(g_stageLoadingScreen->isActive(), 1);
    g_stageLoadingScreen->setProgress(0.5f);
    EXPECT_EQ(Loading().Progress(), 0.5f);
    g_stageLoadingScreen->activate(0, 2010000);
    EXPECT_EQ(g_stageLoadingScreen->isActive(), 0);
    // A data root without the pictures: each is reported by its game path.
    const std::string root = apptest::ScratchFolder("no_loading_pictures");
    SetDataRootPath(root.c_str());
    apptest::FatalRecorder recorder;
    apptest::FatalRecorder::Names().clear();
    Loading().Activate(1, 2160000);
    EXPECT_EQ(apptest::FatalRecorder::Names(),
              (std::vector<std::string>{"\\RESOURCE\\UITEXT\\LOADING\\GFSCENE3.BMP",
                                        "\\RESOURCE\\UITEXT\\LOADING\\ENG\\GFLOAD.BMP"}));
    Loading().Activate(0, 2160000);
    SetDataRootPath(apptest::SampleData().c_str());
}

// The test's clock for a drawing thread: a standing clock and pauses that
// only count, so that a test can wait for the thread's rounds.
struct ThreadRounds {
    static inline std::atomic<int> pauses{0};
    static void Use()
    {
        pauses = 0;
        UseTestClock([](void *) -> uint32_t { return 1000; }, [](uint32_t, void *) { ++pauses; }, nullptr);
    }
    // Until the thread (or the caller) has paused `n` more times.
    static void Await(int n)
    {
        const int target = pauses.load() + n;
        while (pauses.load() < target) {
            std::this_thread::yield();
        }
    }
};

// A loading screen asked to draw from its thread when no thread can be
// started still shows: it draws in the loader's steps, as without threads.
TEST_F(LoadingScreenTest, AThreadThatCannotStartLeavesItDrawingInTheLoadersSteps)
{
    CSLoading &loading = Loading();
    loading.drawFrame = Pacing::Count;
    loading.now = Pacing::Now;
    loading.startThread = [](WorkerRoutine, void *, int) -> WorkerThread * { return nullptr; };
    Pacing::drawings = 0;
    Pacing::now = 5000;
    loading.SetThreadedLoading(1);
    loading.Activate(1, 2010000);
    EXPECT_EQ(loading.IsActive(), 1);
    EXPECT_FALSE(loading.HasThread());
    EXPECT_EQ(loading.ThreadCamera(), nullptr);
    EXPECT_EQ(Pacing::drawings, 0);  // no first drawing of a thread's start
    loading.Step();
    Pacing::now += 20;
    loading.Step();
    EXPECT_EQ(Pacing::drawings, 2);
    EXPECT_EQ(loading.Clock(), 20u);
    loading.Activate(0, 2010000);
    EXPECT_EQ(Pacing::drawings, 2);  // and no last one at its end
    EXPECT_EQ(loading.Picture(), nullptr);
}

// The engine's record allocation with the cameras' records refused (the
// free list a camera comes from is learnt from one camera made first).
struct NoCameraRecords {
    static inline void *(*alloc)(RwFreeList *) = nullptr;
    static inline RwFreeList *cameras = nullptr;
    static inline std::atomic<int> mode{0};  // 1 learns, 2 refuses
    static void *Alloc(RwFreeList *list)
    {
        if (mode.load() == 1 && cameras == nullptr) {
            cameras = list;
        }
        return mode.load() == 2 && list == cameras ? nullptr : alloc(list);
    }
    NoCameraRecords()
    {
        alloc = RwEngineInst->memoryFuncs.rwfreelistalloc;
        RwEngineInst->memoryFuncs.rwfreelistalloc = Alloc;
        cameras = nullptr;
        mode = 1;
        RwCameraDestroy(RwCameraCreate());
        mode = 2;
    }
    ~NoCameraRecords() { RwEngineInst->memoryFuncs.rwfreelistalloc = alloc; }
};

// Without a camera of its own (none could be made) the thread draws the
// screen through the main camera.
TEST_F(LoadingScreenTest, WithoutACameraOfItsOwnTheThreadDrawsThroughTheMainOne)
{
    CSLoading &loading = Loading();
    ThreadRounds::Use();
    loading.SetThreadedLoading(1);
    {
        const NoCameraRecords refused;
        ASSERT_NE(NoCameraRecords::cameras, nullptr);
        EXPECT_EQ(RwCameraCreate(), nullptr);
        loading.Activate(1, 2010000);
        ASSERT_TRUE(loading.HasThread());
        EXPECT_EQ(loading.ThreadCamera(), nullptr);
        while (loading.Drawings() < 4) {
            std::this_thread::yield();
        }
        loading.Activate(0, 2010000);
    }
    EXPECT_FALSE(loading.HasThread());
    EXPECT_EQ(RwCameraGetCurrentCamera(), nullptr);
    UseSystemClock();
}

// A game system without its camera (no window to draw into): the screen
// comes and goes, stepped or threaded, and draws nothing.
TEST_F(LoadingScreenTest, WithoutAMainCameraItComesAndGoesAndDrawsNothing)
{
    CSLoading &loading = Loading();
    RwCamera *const camera = gs.camera;
    gs.camera = nullptr;
    loading.now = Pacing::Now;
    Pacing::now = 5000;
    loading.Activate(1, 2010000);
    loading.Step();
    Pacing::now += 40;
    loading.Step();
    EXPECT_EQ(loading.Drawings(), 0u);
    EXPECT_EQ(loading.Clock(), 33u);  // the steps come all the same
    loading.Activate(0, 2010000);
    ThreadRounds::Use();
    loading.SetThreadedLoading(1);
    loading.Activate(1, 2010000);
    ASSERT_TRUE(loading.HasThread());
    EXPECT_EQ(loading.ThreadCamera(), nullptr);
    ThreadRounds::Await(4);
    EXPECT_EQ(loading.Drawings(), 0u);
    loading.Activate(0, 2010000);
    EXPECT_FALSE(loading.HasThread());
    UseSystemClock();
    gs.camera = camera;
}

// Turned on, threaded, in the middle of a frame the main thread draws
// (under the render lock, which holds the thread back): its first drawing,
// the caller's, stays out of that frame; once the frame is done the
// thread draws.
TEST_F(LoadingScreenTest, TurnedOnThreadedDuringAFramesDrawingItDrawsNothingIntoThatFrame)
{
    CSLoading &loading = Loading();
    ThreadRounds::Use();
    loading.SetThreadedLoading(1);
    {
        const CSRenderLockGuard frame;
        ASSERT_TRUE(BeginCameraUpdate(gs.camera));
        loading.Activate(1, 2010000);
        ASSERT_TRUE(loading.HasThread());
        EXPECT_EQ(loading.Drawings(), 0u);
        EXPECT_EQ(RwCameraGetCurrentCamera(), gs.camera);
        EndCameraUpdate(gs.camera);
    }
    while (loading.Drawings() < 2) {
        std::this_thread::yield();
    }
    loading.Activate(0, 2010000);
    EXPECT_EQ(RwCameraGetCurrentCamera(), nullptr);
    UseSystemClock();
}

}  // namespace

}  // namespace loading_screen_test
