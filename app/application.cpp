// The application object and the application-wide services (see application.h).
#include "app/application.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/camera_frame.h"
#include "app/audio.h"
#include "app/clock.h"
#include "app/debug.h"
#include "app/engine_startup.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/input.h"
#include "app/language.h"
#include "app/movie_player.h"
#include "app/pack.h"
#include "app/path.h"
#include "app/screenshot.h"
#include "app/test_hooks.h"
#include "app/threads.h"
#include "app/trace.h"
#include "ui/loading_screen.h"
#include "rwd3d8.h"
#include "win/winuser.h"

CSApplication *g_pApplication = nullptr;
uint32_t CursorRequest = 0;

namespace {

uint8_t optionSwitch = 0;

// The working folder, where the data tree is.
std::string WorkingFolder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof(buffer)) != nullptr ? std::string(buffer) : std::string(".");
}

// --loading-shot: the loading screen's first drawing within that tick, as it
// stands in the camera raster before it is shown. Its drawings come one at
// a time, under the render lock.
uint32_t g_lastLoadingShotTick = 0;

void WriteLoadingShots(RwCamera *camera, uint32_t)
{
    const uint32_t tick = game::TraceTick();
    if (g_pApplication == nullptr || tick == g_lastLoadingShotTick) {
        return;
    }
    g_lastLoadingShotTick = tick;
    for (const game::Screenshot &shot : g_pApplication->Options().loadingShots) {
        if (shot.tick == tick && !game::WriteScreenshot(camera, shot.path)) {
            std::fprintf(stderr, "game: could not write the screenshot %s\n", shot.path.c_str());
        }
    }
}

}  // namespace

bool CSApplication::Create(HWND window, const game::Options &options)
{
    window_ = window;
    options_ = options;
    game::ModeChoice choice{};
    if (!game::ModeChoiceOf(options.mode, &choice)) {
        return false;
    }
    screenWidth_ = choice.width;
    screenHeight_ = choice.height;
    fullScreen_ = choice.fullScreen;
    active_ = true;
    quitting_ = false;
    startupMovie_ = false;
    cursorShown_ = true;
    CursorRequest = 0;

    EngineChoice engine;
    if (!StartEngine(window, choice, &engine)) {
        std::fprintf(stderr, "game: the engine could not start\n");
        return false;
    }
    engineStarted_ = true;
    subSystem = engine.subSystem;
    videoMode = engine.videoMode;
    device = RwD3D8GetCurrentD3DDevice();
    SetDataRootPath(WorkingFolder().c_str());

    // The game system, the input, the sound front-end and the movie player.
    uint32_t width{};
    uint32_t height{};
    ClientSize(&width, &height);
    gameSystem = new CSGameSystem;
    if (!gameSystem->Create(width, height, GetLanguageIndex())) {
        std::fprintf(stderr, "game: the game system could not be made\n");
        Destroy();
        return false;
    }
    gameSystem->displayInfoMode = options.displayInfo;
    CSLoading::afterDrawing = options.loadingShots.empty() ? nullptr : WriteLoadingShots;

    // The input object, after the game system whose pad-state blocks it fills.
    input = new CSInput;
    std::string inputError;
    if (!input->Create(options, &inputError)) {
        std::fprintf(stderr, "game: %s\n", inputError.c_str());
        Destroy();
        return false;
    }
    // The sound front-end (with its streaming thread) and the movie player.
    CreateSoundAndMovies();
    // The screens are held from the first tick on while it plays (StepStartupMovie).
    if (!options.movie.empty()) {
        PlayMovie(options.movie.c_str());
        startupMovie_ = true;
    }
    return true;
}

void CSApplication::CreateSoundAndMovies()
{
    if (options_.headless) {
        // SDL's dummy driver, unless one is named already (the disk driver records
        // what a run played).
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
    audio = new CSAudio;
    // Under --fixed-step the sound follows the game's clock, as everything else does.
    audio->Create(true, options_.fixedStepMs);
    moviePlayer = new CSMoviePlayer;
}

void CSApplication::DestroySoundAndMovies()
{
    // The movie first: its decode thread is joined and its sound given back before
    // the sound library stops; the library joins its own threads before its voices go.
    delete moviePlayer;
    moviePlayer = nullptr;
    delete audio;
    audio = nullptr;
}

void CSApplication::SetActive(bool active)
{
    if (active_ && !active && fullScreen_) {
        StopMovie();
    }
    active_ = active;
}

void CSApplication::StepStartupMovie()
{
    if (!startupMovie_) {
        return;
    }
    // As the logo screens do: start pressed on pad 0 skips the movie; its end stops it.
    bool skip = false;
    if (gameSystem != nullptr) {
        const PadState &pad = gameSystem->padStates[2][0];
        skip = pad.connected != 0 && pad.buttons[kPadStart] == kPadPressedState;
    }
    if (moviePlayer == nullptr || !moviePlayer->IsActive() || skip || !moviePlayer->IsPlaying()) {
        StopMovie();
        startupMovie_ = false;
    }
    // The screens start once the start-up movie is over.
    if (gameSystem != nullptr) {
        gameSystem->screensHeld = startupMovie_;
    }
}

void CSApplication::Destroy()
{
    DestroySoundAndMovies();
    delete input;
    input = nullptr;
    delete gameSystem;
    gameSystem = nullptr;
    // Every child joins its own threads before it is freed; one left
    // running here would outlive what it uses.
    if (GetWorkerThreadCount() != 0) {
        DebugPrint("CSApplication: %zu worker threads were never joined\n", GetWorkerThreadCount());
    }
    zuClosePack();
    if (engineStarted_) {
        StopEngine();
        engineStarted_ = false;
        device = nullptr;
    }
}

void CSApplication::ApplyCursorRequest()
{
    if (fullScreen_ || CursorRequest == 0) {
        return;
    }
    if (CursorRequest == 1 || CursorRequest == 2) {
        cursorShown_ = CursorRequest == 1;
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
            SDL_ShowCursor(cursorShown_ ? SDL_ENABLE : SDL_DISABLE);
        }
    }
    CursorRequest = 0;
}

void CSApplication::Tick(uint32_t tick)
{
    ApplyCursorRequest();
    ApplicationKeepAlive();
    if (input != nullptr && gameSystem != nullptr && input->Poll(tick, gameSystem->padStates)) {
        CloseApplication();  // the input script's "quit"
    }
    StepStartupMovie();
    if (gameSystem != nullptr) {
        ApplyTestSettings(options_, tick, gameSystem->stageManager);
        gameSystem->Tick();
    }
}

bool CSApplication::Render(uint32_t tick)
{
    if (gameSystem == nullptr) {
        return true;
    }
    bool ok = true;
    // A frame the game system did not draw (a lost device, the loading
    // screen drawing for itself) is neither shot nor shown.
    if (gameSystem->FrameDrawn()) {
        for (const game::Screenshot &shot : options_.screenshots) {
            if (shot.tick == tick && !game::WriteScreenshot(gameSystem->camera, shot.path)) {
                std::fprintf(stderr, "game: could not write the screenshot %s\n", shot.path.c_str());
                ok = false;
            }
        }
        ShowCameraRaster(gameSystem->camera);
    }
    gameSystem->EndFrame();
    return ok;
}

void CSApplication::ClientSize(uint32_t *width, uint32_t *height) const
{
    // In full screen the exclusive mode's size, else the window's client area.
    if ((videoMode.flags & rwVIDEOMODEEXCLUSIVE) != 0) {
        *width = static_cast<uint32_t>(videoMode.width);
        *height = static_cast<uint32_t>(videoMode.height);
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    *width = static_cast<uint32_t>(client.right - client.left);
    *height = static_cast<uint32_t>(client.bottom - client.top);
}

void CloseApplication()
{
    if (g_pApplication != nullptr) {
        g_pApplication->Quit();
    }
}

void SetOptionSwitch(uint8_t value) { optionSwitch = value; }

bool IsOptionSwitchOff() { return optionSwitch == 0; }

int32_t QueryStartValue() { return 0; }

uint32_t GetScreenWidth() { return g_pApplication != nullptr ? g_pApplication->ScreenWidth() : 640; }

uint32_t GetScreenHeight() { return g_pApplication != nullptr ? g_pApplication->ScreenHeight() : 480; }

int32_t CheckExtraStageFile(int32_t stageId)
{
    char path[4096];
    std::snprintf(path, sizeof(path), "%s\\PACK\\STAGE5\\%d.TSR", GetDataRootPath(), stageId);
    return zufexists(path) ? 0 : 2;
}

void ApplicationKeepAlive()
{
    if (g_pApplication != nullptr && g_pApplication->audio != nullptr) {
        g_pApplication->audio->Update();
    }
}
