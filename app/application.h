// The application: the one object that owns the window's game side. It is
// made after the "Game Mode" choice, in this order: the engine with its
// 1 MB arena and the game's plug-ins, the video mode, the image readers and
// the game's texture read; the data root (the working folder); then its
// children, each made by its own part of the shell (the game system, the
// input object, the sound front-end, the movie player; null until they
// exist). Teardown runs in reverse. One tick: apply the cursor request,
// the sound's per-frame work, input, and the game system's tick.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "rwcore.h"

class CSGameSystem;
class CSInput;
class CSAudio;
class CSMoviePlayer;
struct IDirect3DDevice8;

class CSApplication {
public:
    // Starts everything on `window` for the chosen mode; false (with what
    // was started stopped again) when a step fails.
    bool Create(HWND window, const game::Options &options);
    void Destroy();

    // One tick of the game; `tick` counts from 1.
    void Tick(uint32_t tick);
    // Draws and shows the tick's frame; false when a screenshot could not
    // be written.
    bool Render(uint32_t tick);

    // Window activation (focus); ticks run only while active.
    // Losing it in full screen stops a playing movie.
    void SetActive(bool active);
    bool IsActive() const { return active_; }
    // Set by CloseApplication; the main loop ends at its next turn.
    bool IsQuitting() const { return quitting_; }
    void Quit() { quitting_ = true; }

    HWND Window() const { return window_; }
    const game::Options &Options() const { return options_; }
    uint32_t ScreenWidth() const { return screenWidth_; }
    uint32_t ScreenHeight() const { return screenHeight_; }
    bool IsFullScreen() const { return fullScreen_; }
    // Whether the mouse cursor is shown (windowed runs).
    bool IsCursorShown() const { return cursorShown_; }

    // The children (null until their parts of the shell make them).
    CSGameSystem *gameSystem = nullptr;
    CSInput *input = nullptr;
    CSAudio *audio = nullptr;
    CSMoviePlayer *moviePlayer = nullptr;

    // The engine's chosen sub-system and video mode, and its device.
    RwInt32 subSystem = 0;
    RwVideoModeInfo videoMode = {};
    IDirect3DDevice8 *device = nullptr;

private:
    void ApplyCursorRequest();
    // The main camera's size: the client area, or the full-screen mode's.
    void ClientSize(uint32_t *width, uint32_t *height) const;
    void CreateSoundAndMovies();
    void DestroySoundAndMovies();
    // The movie of --movie: stopped by start on pad 0 or at its end; the
    // screens wait for it.
    void StepStartupMovie();

    HWND window_ = nullptr;
    game::Options options_;
    uint32_t screenWidth_ = 640;
    uint32_t screenHeight_ = 480;
    bool fullScreen_ = false;
    bool active_ = true;
    bool quitting_ = false;
    bool cursorShown_ = true;
    bool engineStarted_ = false;
    bool startupMovie_ = false;  // the movie of --movie plays, before the screens
};

// The one application (null outside its life).
extern CSApplication *g_pApplication;

// Marks the program as quitting; the main loop then ends the program.
void CloseApplication();

// The cursor request word: 1 show the mouse cursor, 2 hide it, 0 nothing.
// Applied and cleared by the next tick in a window.
extern uint32_t CursorRequest;

// The application's option switch (starts at 0).
void SetOptionSwitch(uint8_t value);
bool IsOptionSwitchOff();

// An empty query kept for its callers; always 0.
int32_t QueryStartValue();

// The chosen client size: 640 x 480 or 800 x 600.
uint32_t GetScreenWidth();
uint32_t GetScreenHeight();

// 0 when "<data root>\PACK\STAGE5\<stageId>.TSR" can be opened, else 2.
// A quiet probe: no diagnostic either way.
int32_t CheckExtraStageFile(int32_t stageId);

// The keep-alive routine that long reads call every 2000 ms: the sound
// front-end's per-frame work (nothing until it exists).
void ApplicationKeepAlive();
