// The loading screen (see loading_screen.h).
#include "ui/loading_screen.h"

#include <algorithm>
#include <string>

#include "app/application.h"
#include "app/audio.h"
#include "app/camera_frame.h"
#include "app/chunk_read.h"
#include "app/clock.h"
#include "app/debug.h"
#include "app/fatal.h"
#include "app/game_system.h"
#include "app/locks.h"
#include "app/statistics.h"
#include "app/textures.h"
#include "app/threads.h"
#include "app/trace.h"
#include "stage/stage_screen_calls.h"
#include "ui/ui_manager.h"
#include "ui/ui_quad.h"
#include "ui/ui_rect.h"

CSLoading *g_pLoading = nullptr;

namespace {

constexpr uint32_t kQuadColour = 0xFFF0F0F0u;
constexpr int kThreadPriorityNormal = 3;
constexpr const char *kMusicPath = "\\RESOURCE\\MEDIA\\BGM\\LOADING.WAV";

// Set on the loader thread: its drawings say so in the trace.
thread_local bool t_loaderThread = false;


// Frames A (upper) and B (lower) of the scene picture.
constexpr UIRect kFrameA = {1.0f / 256.0f, 1.0f / 512.0f, 255.0f / 256.0f, 217.0f / 512.0f};
constexpr UIRect kFrameB = {1.0f / 256.0f, 219.0f / 512.0f, 255.0f / 256.0f, 435.0f / 512.0f};

void Set(UIQuad *quad, float x0, float y0, float x1, float y1, const UIRect &source)
{
    SetQuadPositions(quad->v, x0, y0, x1, y1);
    SetQuadUVs(quad->v, source.x0, source.y0, source.x1, source.y1);
    SetQuadArgb(quad->v, kQuadColour);
}

// The depth states around the screen's drawings; render states take effect
// only inside a camera update (each drawing sets its own states too).
void SetDepthIfDrawing(bool on)
{
    if (RwCameraGetCurrentCamera() != nullptr) {
        SetDepthTestAndWrite(on);
    }
}

CSAudio *Audio() { return g_pApplication != nullptr ? g_pApplication->audio : nullptr; }

RwCamera *MainCamera() { return g_pGameSystem != nullptr ? g_pGameSystem->camera : nullptr; }

// With the thread running, the screen's own camera on the main camera's
// rasters: its update leaves the frames and the world the main thread is
// building alone.
bool BeginDrawing(CSLoading *loading, RwCamera *camera)
{
    RwCamera *own = loading->ThreadCamera();
    if (own == nullptr) {
        return BeginCameraUpdate(camera);
    }
    // Nothing without the main camera, nor inside another camera's update
    // (a frame the main thread draws).
    if (camera == nullptr || RwCameraGetCurrentCamera() != nullptr) {
        return false;
    }
    RwCameraSetRaster(own, RwCameraGetRaster(camera));
    RwCameraSetZRaster(own, RwCameraGetZRaster(camera));
    return RwCameraBeginScreenUpdate(own) != nullptr;
}

void EndDrawing(CSLoading *loading, RwCamera *camera)
{
    RwCamera *own = loading->ThreadCamera();
    if (own == nullptr) {
        EndCameraUpdate(camera);
    } else if (RwCameraGetCurrentCamera() == own) {
        RwCameraEndScreenUpdate(own);
    }
}

// Begin the main camera's update, draw, end it; the raster is shown either
// way. Without a main camera nothing begins and nothing is shown.
void DrawIntoMainCamera(CSLoading *loading)
{
    RwCamera *camera = MainCamera();
    const uint32_t before = loading->Drawings();
    if (BeginDrawing(loading, camera)) {
        loading->Draw();
        EndDrawing(loading, camera);
    }
    if (CSLoading::afterDrawing != nullptr && loading->Drawings() != before) {
        CSLoading::afterDrawing(camera, loading->Drawings());
    }
    ShowCameraRaster(camera);
}

const StageLoadingCalls kLoadingCalls = {
    [](uint8_t on, int32_t stageId) {
        if (g_pLoading != nullptr) {
            g_pLoading->Activate(on, stageId);
        }
    },
    [](float progress) {
        if (g_pLoading != nullptr) {
            g_pLoading->SetProgress(progress);
        }
    },
    [] {
        if (g_pLoading != nullptr) {
            g_pLoading->Step();
        }
    },
    [] { return g_pLoading != nullptr ? g_pLoading->IsActive() : uint8_t{0}; },
    [](uint8_t on) {
        if (g_pLoading != nullptr) {
            g_pLoading->SetThreadedLoading(on);
        }
    },
    [] { return g_pLoading != nullptr ? g_pLoading->IsThreadedLoading() : uint8_t{0}; },
    [] {
        if (g_pLoading != nullptr) {
            g_pLoading->StopThread();
        }
    },
};

}  // namespace

void InstallLoadingScreenCalls(CSLoading *loading)
{
    if (loading != nullptr) {
        g_stageLoadingScreen = &kLoadingCalls;
    } else if (g_stageLoadingScreen == &kLoadingCalls) {
        g_stageLoadingScreen = nullptr;
    }
}

CSLoading::CSLoading() : drawFrame(DrawIntoMainCamera), now(timeGetTime), startThread(CreateWorkerThread)
{
    g_pLoading = this;
}

CSLoading::~CSLoading()
{
    StopThread();
    DestroyThreadCamera();
    active_.store(0);
    DestroyTexture(picture_);
    DestroyTexture(bar_);
    picture_ = nullptr;
    bar_ = nullptr;
    if (musicHandle_ != kNoMusic && Audio() != nullptr) {
        Audio()->UnloadSound(musicHandle_);
    }
    if (g_pLoading == this) {
        g_pLoading = nullptr;
    }
}

const char *CSLoading::ScenePictureOf(int32_t stageId)
{
    const int32_t n = stageId >= 2000000 && (stageId - 2000000) % 10000 == 0 ? (stageId - 2000000) / 10000 : 0;
    if (n >= 9 && n <= 15) {
        return "GFSCENE2.BMP";
    }
    if (n >= 16 && n <= 22) {
        return "GFSCENE3.BMP";
    }
    if (n >= 23 && n <= 27) {
        return "GFSCENE4.BMP";
    }
    if (n >= 28 && n <= 32) {
        return "GFSCENE5.BMP";
    }
    if (n >= 33 && n <= 38) {
        return "GFSCENE6.BMP";
    }
    if (n >= 40 && n <= 42) {
        return "GFSCENE7.BMP";
    }
    return "GFSCENE1.BMP";
}

void CSLoading::Activate(uint8_t on, int32_t stageId)
{
    on = on != 0 ? 1 : 0;
    if (on == active_.load()) {
        return;
    }
    if (on != 0) {
        active_.store(1);
        stageId_ = stageId;
        drawings_.store(0);
        clock_.store(0);
        musicHandle_ = kNoMusic;
        lastStepMs_ = 0;
        progress_.store(0.0f);
        LoadPictures(stageId);
        SetDepthIfDrawing(false);
        // Before the thread's first drawing.
        game::TraceLine("loading").Word("on").Int(stageId).Word(ScenePictureOf(stageId)).Int(threaded_);
        if (threaded_ != 0) {
            CreateThreadCamera();
            thread_ = startThread(ThreadMain, this, kThreadPriorityNormal);
            if (thread_ == nullptr) {
                DestroyThreadCamera();
            }
        }
        if (thread_ != nullptr) {
            StepOnce(0);
        }
        PlayMusic();
        return;
    }
    active_.store(0);
    // The thread leaves after the drawing it is in; it is joined before
    // anything it draws with goes.
    if (thread_ != nullptr) {
        StopThread();
        StepOnce(0);
    }
    DestroyThreadCamera();
    DestroyTexture(picture_);
    DestroyTexture(bar_);
    picture_ = nullptr;
    bar_ = nullptr;
    const bool music = musicHandle_ != kNoMusic;
    if (music) {
        if (CSAudio *audio = Audio()) {
            audio->StopSound(musicHandle_);
            audio->UnloadSound(musicHandle_);
        }
        musicHandle_ = kNoMusic;
    }
    SetDepthIfDrawing(true);
    game::TraceLine("loading").Word("off").Int(stageId_).Int(drawings_.load()).Int(music ? 1 : 0);
}

void CSLoading::StopThread()
{
    if (thread_ == nullptr) {
        return;
    }
    active_.store(0);
    JoinWorkerThread(thread_);
    thread_ = nullptr;
}

void CSLoading::CreateThreadCamera()
{
    RwCamera *main = MainCamera();
    if (threadCamera_ != nullptr || main == nullptr) {
        return;
    }
    threadCamera_ = RwCameraCreate();
    if (threadCamera_ == nullptr) {
        return;
    }
    RwCameraSetProjection(threadCamera_, RwCameraGetProjection(main));
    RwCameraSetViewWindow(threadCamera_, RwCameraGetViewWindow(main));
    RwCameraSetNearClip(threadCamera_, RwCameraGetNearClipPlane(main));
    RwCameraSetFarClip(threadCamera_, RwCameraGetFarClipPlane(main));
    RwCameraSetRaster(threadCamera_, RwCameraGetRaster(main));
    RwCameraSetZRaster(threadCamera_, RwCameraGetZRaster(main));
}

void CSLoading::DestroyThreadCamera()
{
    if (threadCamera_ == nullptr) {
        return;
    }
    // The rasters are the main camera's.
    RwCameraSetRaster(threadCamera_, nullptr);
    RwCameraSetZRaster(threadCamera_, nullptr);
    RwCameraDestroy(threadCamera_);
    threadCamera_ = nullptr;
}

void CSLoading::LoadPictures(int32_t stageId)
{
    // A picture that cannot be read is named by its game path, with the reason
    // when it is there (the reader's report is the one left after this).
    (void)game::TakeEngineError("");
    const std::string folder = "\\RESOURCE\\UITEXT\\LOADING\\";
    RwImageSetPath((std::string(UIDataRoot()) + folder).c_str());
    if (picture_ == nullptr) {
        const char *name = ScenePictureOf(stageId);
        {
            const RequiredFileRead required(folder + name);  // its fatal report names it
            picture_ = ReadTextureWithoutMask(name);
        }
        if (picture_ == nullptr) {
            RaisePictureFatal(folder.c_str(), name, nullptr);
        }
    }
    if (bar_ == nullptr) {
        const std::string barFolder = std::string("\\RESOURCE\\UITEXT\\LOADING") + UILanguageFolder();
        RwImageSetPath((std::string(UIDataRoot()) + barFolder).c_str());
        (void)game::TakeEngineError("");
        {
            const RequiredFileRead picture(barFolder + "GFLOAD.BMP");
            const RequiredFileRead mask(barFolder + "GFLOADA.BMP");
            bar_ = LoadTextureWithMask("GFLOAD.BMP", "GFLOADA.BMP");
        }
        if (bar_ == nullptr) {
            RaisePictureFatal(barFolder.c_str(), "GFLOAD.BMP", "GFLOADA.BMP");
        }
    }
}

void CSLoading::PlayMusic()
{
    CSAudio *audio = Audio();
    if (musicHandle_ != kNoMusic || audio == nullptr) {
        return;
    }
    const float volume = g_pUIManager != nullptr ? g_pUIManager->Settings().soundVolume : 1.0f;
    musicHandle_ = audio->LoadSound((std::string(UIDataRoot()) + kMusicPath).c_str(), CSAudio::kStatic,
                                   CSAudio::kInterfaceGroup, volume);
    if (musicHandle_ != kNoMusic) {
        audio->PlaySound(musicHandle_, 1);
    }
}

void CSLoading::AdvanceClock(uint32_t ms) { clock_.fetch_add(std::min(ms, kMaxClockStepMs)); }

void CSLoading::Step()
{
    if (active_.load() == 0 || thread_ != nullptr) {
        return;
    }
    const uint32_t t = now();
    uint32_t elapsed = 0;
    if (lastStepMs_ != 0) {
        elapsed = t - lastStepMs_;
        if (elapsed < kMinStepMs) {
            return;
        }
    }
    AdvanceClock(elapsed);
    lastStepMs_ = t;
    drawFrame(this);
}

void CSLoading::DrawOnce()
{
    CSRenderLockGuard lock;
    drawFrame(this);
}

uint8_t CSLoading::StepOnce(uint32_t ms)
{
    AdvanceClock(ms);
    DrawOnce();
    SleepMs(kThreadSleepMs);
    return active_.load();
}

uint32_t CSLoading::ThreadMain(void *context)
{
    auto *self = static_cast<CSLoading *>(context);
    t_loaderThread = true;
    DebugPrint("loading screen: drawn from its own thread\n");
    uint32_t t0 = self->now();
    do {
        const uint32_t t = self->now();
        self->AdvanceClock(t - t0);
        self->DrawOnce();
        SleepMs(kThreadSleepMs);
        t0 = t;
    } while (self->active_.load() != 0);
    return 0;
}

void CSLoading::LayOut(uint32_t clockMs, float progress, UIQuad quads[7])
{
    const float o = static_cast<float>(StripOffset(clockMs));
    const bool even = StripPeriod(clockMs) % 2 == 0;
    const UIRect &outer = even ? kFrameA : kFrameB;
    const UIRect &inner = even ? kFrameB : kFrameA;
    Set(&quads[0], -o, 91, 549 - o, 307, outer);
    Set(&quads[1], 549 - o, 91, 1098 - o, 307, inner);
    Set(&quads[2], 1098 - o, 91, 1647 - o, 307, outer);
    Set(&quads[3], 0, 0, 640, 91, {1.0f / 512.0f, 2.0f / 512.0f, 511.0f / 512.0f, 184.0f / 512.0f});
    Set(&quads[4], 0, 307, 640, 480, {1.0f / 512.0f, 186.0f / 512.0f, 511.0f / 512.0f, 458.0f / 512.0f});
    Set(&quads[5], 456, 405, 456 + 133 * progress, 417,
        {1.0f / 512.0f, 486.0f / 512.0f, (133 * progress + 1) / 512.0f, 510.0f / 512.0f});
    Set(&quads[6], 456, 405, 589, 417, {1.0f / 512.0f, 460.0f / 512.0f, 134.0f / 512.0f, 484.0f / 512.0f});
}

void CSLoading::Draw()
{
    if (active_.load() == 0) {
        return;
    }
    UIQuad quads[7];
    LayOut(clock_.load(), progress_.load(), quads);
    SetInterfaceRenderStates();
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, GetTextureRaster(picture_));
    for (int i = 0; i < 3; ++i) {
        DrawClippedQuad(quads[i].v);
    }
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, GetTextureRaster(bar_));
    for (int i = 3; i < 7; ++i) {
        DrawClippedQuad(quads[i].v);
    }
    if (g_pGameSystem != nullptr) {
        DrawStatistics(g_pGameSystem);
    }
    const uint32_t drawing = drawings_.fetch_add(1) + 1;
    game::TraceLine("loading")
        .Word("draw")
        .Int(drawing)
        .Int(clock_.load())
        .Real(progress_.load())
        .Int(t_loaderThread ? 1 : 0);
}
