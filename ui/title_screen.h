// Screen 7, the title: over a looping background movie the game's logo, a
// blinking press-start prompt and the legal notice; start on pad 0 (or the
// left mouse button) opens the four-item menu (new game, load, options,
// quit) on that pad. Left alone at the prompt for more than 73 seconds it
// fades to black into the attract movie. New game, load and options fade
// the screen through the manager and then ask for screen 8, 9 or 10; quit
// closes the program.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/ui_quad.h"

// A menu entry that slides sideways when it is selected.
struct SlideItem {
    std::unique_ptr<UIQuad> quad;
    uint32_t slideMs = 0xFFFFFFFFu;  // since the slide began; none at rest
    bool selected = false;
    float selectedLeftX = 0.0f;      // where the left edge stops when selected
    float restRightX = 640.0f;       // where the right edge stops otherwise
    // Where the quad stands now, in 640 x 480 units.
    float left = 0.0f, top = 0.0f, width = 0.0f, height = 0.0f;

    void Init();
    void Release() { quad.reset(); }
    void SetRange(float leftWhenSelected, float rightAtRest);
    void SetSelected(bool on, bool instant);
    void Update(uint32_t ms);
    void Draw(const RwTexture *texture) const;
    // Places the quad at (x0, y0)-(x1, y1).
    void Place(float x0, float y0, float x1, float y1);
};

class CSTitle {
public:
    static constexpr uint32_t kIdleMs = 73000;
    static constexpr uint32_t kOwnFadeMs = 2000;
    static constexpr uint32_t kChoiceFadeMs = 1000;
    static constexpr int kItems = 4;

    enum State : uint32_t { kPrompt = 0, kMenu = 1, kLeaving = 3, kNone = 0xFFFFFFFFu };
    enum MovieKind : int32_t { kNoMovie = -1, kBackground = 0, kAttract = 1 };

    CSTitle();
    ~CSTitle() { Release(); }
    CSTitle(const CSTitle &) = delete;
    CSTitle &operator=(const CSTitle &) = delete;

    void SetActive(bool on);
    void LoadTextures();
    void ReleaseTextures();
    void ReleaseQuads();
    void Release();
    void Update(uint32_t ms);
    void Render();

    void SetMenuCursor(uint32_t item, bool instant);
    void Confirm(int32_t pad);
    void Cancel(int32_t pad);
    void PlayPreLogo();
    void PlayLogoLoop();
    void PlayDemo();

    std::unique_ptr<SlideItem[]> items;
    std::unique_ptr<UIQuad> logoQuad, overlayQuad, dimPromptQuad, noticeQuad, brightPromptQuad, cursorQuad;
    std::unique_ptr<UIQuad> fadeQuad;
    RwTexture *logoTexture = nullptr;
    RwTexture *noticeTexture = nullptr;
    bool active = false;
    bool choicePending = false;
    uint32_t state = kNone;
    uint32_t selected = kNone;
    int32_t movieKind = kNoMovie;
    uint8_t promptRising = 0;
    uint8_t cursorRising = 0;
    uint32_t promptBlinkMs = 0;
    uint32_t cursorBlinkMs = 0;
    uint32_t idleMs = 0;
    uint32_t fadeMs = 0xFFFFFFFFu;
    bool demoPending = false;
    bool preLogoPlaying = false;
    bool loopBackground = false;
    // The movies that could not be played since the title was activated
    // (kPreLogoMovie, kLogoLoopMovie, kDemoMovie): each failure is reported
    // once, and the title then runs without that movie rather than asking
    // for it, and reporting it, again every frame.
    uint8_t refusedMovies = 0;

    enum MovieBit : uint8_t { kPreLogoMovie = 1, kLogoLoopMovie = 2, kDemoMovie = 4 };

private:
    void CreateQuads();
    void LayOut();
    void UpdateFade(uint32_t ms);
    void UpdateMovies(uint32_t ms);
    bool FinishChoice();
    void ReadInput();
    void ReadPromptInput();
    void ReadMenuInput();
    void StartDemoFade();
    void StartOwnFade();
    void StartMovie(const char *name, uint8_t bit);
    void UpdateCursor();
};

// The title screen (null outside its life).
extern CSTitle *g_pTitle;

// One blink step of `ms`: the alpha it gives; the timer restarts and the
// direction turns at 0 and 255. A full swing lasts 1020 ms.
uint8_t StepBlink(uint32_t ms, uint32_t *timer, uint8_t *rising);
