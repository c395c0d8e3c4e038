// CSLoading, the loading screen: the stage group's scene picture scrolling
// as an endless strip between two bands, the progress bar and the loading
// music, drawn straight into the main camera while a stage loads (the
// normal frame is skipped meanwhile). It draws in steps that the loaders
// call between their loads, at most one drawing per 20 ms; or, with
// threaded loading on, from a thread of its own that draws under the
// render lock every 10 ms until the screen is turned off. The thread is
// joined before the pictures it draws are freed. While it runs the screen
// draws through a camera of its own, frameless and outside any world, on
// the main camera's rasters: the main thread builds the stage's frames and
// atomics meanwhile, and the main camera's update would synchronise them.
//
// The stage manager owns it; the stage and the stage entry reach it
// through the stage's loading-screen table (stage/stage_screen_calls.h).
#pragma once

#include <atomic>
#include <cstdint>

struct RwCamera;
struct RwTexture;
struct WorkerThread;
struct UIQuad;

class CSLoading {
public:
    static constexpr uint32_t kMinStepMs = 20;
    static constexpr uint32_t kMaxClockStepMs = 33;
    static constexpr uint32_t kThreadSleepMs = 10;
    static constexpr uint32_t kNoMusic = 0xFFFFFFFFu;

    // What a drawing does: begin the main camera's update, draw, end it,
    // show the raster. Tests put a recorder in.
    using DrawFrame = void (*)(CSLoading *loading);

    CSLoading();
    ~CSLoading();
    CSLoading(const CSLoading &) = delete;
    CSLoading &operator=(const CSLoading &) = delete;

    // On: pictures of the stage, the thread when threaded, the music. Off:
    // the thread joined, a last drawing, pictures and music freed. Nothing
    // when the screen is already in that state.
    void Activate(uint8_t on, int32_t stageId);
    void SetProgress(float progress) { progress_.store(progress); }
    float Progress() const { return progress_.load(); }
    // One drawing from the loading code (no thread): at most one per 20 ms,
    // the clock moving by the time since the last one, at most 33 ms.
    void Step();
    // One drawing under the render lock, the clock moved by min(ms, 33),
    // then a 10 ms pause; the active byte.
    uint8_t StepOnce(uint32_t ms);
    void SetThreadedLoading(uint8_t on) { threaded_ = on != 0 ? 1 : 0; }
    uint8_t IsThreadedLoading() const { return threaded_; }
    uint8_t IsActive() const { return active_.load(); }
    bool HasThread() const { return thread_ != nullptr; }

    // The drawing itself, between camera begin and end.
    void Draw();
    // The scene picture of the stage group and the bar picture; a missing
    // one raises the fatal report with its file name.
    void LoadPictures(int32_t stageId);
    void PlayMusic();
    // Joins the thread (the screen stays as it is otherwise); for a program
    // that must end while a stage loads.
    void StopThread();

    uint32_t Clock() const { return clock_.load(); }
    // The drawings since the screen was last turned on.
    uint32_t Drawings() const { return drawings_.load(); }
    uint32_t MusicHandle() const { return musicHandle_; }
    RwTexture *Picture() const { return picture_; }
    RwTexture *Bar() const { return bar_; }
    // The camera the thread draws through (null without the thread).
    RwCamera *ThreadCamera() const { return threadCamera_; }

    // The strip's offset and period count at `clockMs`, in the screen's
    // unsigned 32-bit arithmetic.
    static uint32_t StripOffset(uint32_t clockMs) { return clockMs * 1098u / 160000u % 549u; }
    static uint32_t StripPeriod(uint32_t clockMs) { return clockMs * 1098u / 87840000u; }
    // "GFSCENE1.BMP" .. "GFSCENE7.BMP" by the stage's number.
    static const char *ScenePictureOf(int32_t stageId);
    // The seven quads of one drawing (strip tiles 1-3, top band, bottom
    // band, progress fill, progress frame).
    static void LayOut(uint32_t clockMs, float progress, UIQuad quads[7]);

    // For tests: the drawing, the clock the pacing reads and the start of
    // the drawing thread (CreateWorkerThread).
    DrawFrame drawFrame;
    uint32_t (*now)();
    WorkerThread *(*startThread)(uint32_t (*routine)(void *context), void *context, int priority);
    // Called after each drawing into the main camera, before its raster is
    // shown, with the camera and the drawing's number since the screen came
    // on (the --loading-shot test option); from the loader thread too,
    // under the render lock.
    static inline void (*afterDrawing)(RwCamera *camera, uint32_t drawing) = nullptr;

private:
    static uint32_t ThreadMain(void *context);
    void DrawOnce();
    void AdvanceClock(uint32_t ms);
    void CreateThreadCamera();
    void DestroyThreadCamera();

    RwTexture *picture_ = nullptr;
    RwTexture *bar_ = nullptr;
    std::atomic<uint8_t> active_{0};
    uint8_t threaded_ = 0;
    WorkerThread *thread_ = nullptr;
    RwCamera *threadCamera_ = nullptr;
    std::atomic<uint32_t> clock_{0};
    uint32_t musicHandle_ = kNoMusic;
    uint32_t lastStepMs_ = 0;
    std::atomic<float> progress_{0.0f};
    std::atomic<uint32_t> drawings_{0};
    int32_t stageId_ = 0;
};

// The loading screen (null outside its life).
extern CSLoading *g_pLoading;

// The stage's loading-screen table over g_pLoading (installed while it lives).
void InstallLoadingScreenCalls(CSLoading *loading);
