// Screen 10, the options, reached from the title's options item and always
// left for the title. Two pages share one object: the settings page
// (option_screen.cpp: music and sound volume, the key-binding row, the
// mouse speed, the defaults and the exit) and the key binding page
// (option_binding_page.cpp: which keyboard key and game-pad button or axis
// drives each of the pad's functions).
//
// Volumes apply at once; the bindings and the mouse speed live in the
// input object and are written to buttons.pref only when the screen is
// left. OPTBASE and OPTION come with the front end's pictures and go with
// the title's (the screen's own activation loads none).
#pragma once

#include <cstdint>
#include <memory>

#include "ui/ui_quad.h"

class CSTextBlock;

class CSOption {
public:
    static constexpr int kSettingsRows = 6;
    static constexpr int kVolumeSteps = 20;
    static constexpr int kChevrons = 3;
    static constexpr int kChevronFrames = 7;
    static constexpr int kHoldUpdates = 40;  // a held left or right repeats only after these
    static constexpr int kBindingCells = 22;
    static constexpr int kBindingRows = 8;
    static constexpr int kMouseTexts = 5;
    static constexpr int kConflictTexts = 3;
    static constexpr int kStartDelay = 5;       // updates without input after a binding
    static constexpr float kRepeatTimer = 0.7f; // a held direction on the binding page
    static constexpr int32_t kAxisThreshold = 150;
    static constexpr uint32_t kLeaveFadeMs = 1000;
    static constexpr int32_t kMusicFadeMs = 700;

    enum Row : int32_t { kRowMusic, kRowSound, kRowKeys, kRowMouse, kRowDefaults, kRowExit };
    enum Page : int32_t { kSettingsPage = 0, kBindingPage = 1 };

    CSOption();
    ~CSOption() { Release(); }
    CSOption(const CSOption &) = delete;
    CSOption &operator=(const CSOption &) = delete;

    void SetActive(bool on);
    // OPTBASE (without a mask) and OPTION with OPTIONA, inside the open
    // front-end pack; each only when not loaded.
    void LoadTextures();
    void ReleaseTextures();
    // At the end of the screen's life (its destructor): everything goes.
    void Release();
    // One frame of `ms` (the game system's frame time).
    void Update(uint32_t ms);
    void Render();

    // ---- The settings page (option_screen.cpp)
    void ReadVolumes();
    void WriteVolumes();
    void AdjustSetting(int32_t delta);
    void SetSettingsRow(int32_t row);
    void ConfirmRow();
    void Back();
    void StepArrowAnimation();
    // Whether the left (level above 0) and right (below 20) chevrons of the
    // selected volume row are drawn in this frame.
    bool ShowsLeftChevrons() const;
    bool ShowsRightChevrons() const;

    // ---- The key binding page (option_binding_page.cpp)
    void SetBindingCursor(int32_t cell);
    // To a cell, with its sub-page and the move sound; nothing when it is
    // the selected one.
    void MoveBindingCursor(int32_t cell);
    void RefreshBindingTexts();
    void StartListening();
    void BindKey(int32_t code);
    void BindPadButton(int32_t index);
    void BindPadAxis(int32_t index);

    // The function a cell (0 .. kBindingCells - 1) binds ("square" ...),
    // its sub-page and row.
    static const char *CellFunction(int32_t cell);
    static int32_t CellSubPage(int32_t cell);
    static int32_t CellRow(int32_t cell);
    // The navigation table: the cell reached from `cell` by a direction
    // (0 left, 1 right, 2 up, 3 down); the cell itself where it stays.
    static int32_t NeighbourCell(int32_t cell, int32_t direction);

    // Pictures of the settings page.
    std::unique_ptr<UIQuad> background, header;
    std::unique_ptr<UIQuad[]> leftChevrons, rightChevrons;       // kChevrons each
    std::unique_ptr<UIQuad[]> musicEmpty, musicFilled, soundEmpty, soundFilled;  // kVolumeSteps each
    std::unique_ptr<UIQuad[]> rowBars;                           // kSettingsRows
    std::unique_ptr<UIQuad[]> rowLabels;                         // kSettingsRows
    std::unique_ptr<UIQuad> cursor, mouseBar, mouseKnob, mouseSlow, mouseFast;
    RwTexture *baseTexture = nullptr;   // OPTBASE.BMP
    RwTexture *panelTexture = nullptr;  // OPTION.BMP
    bool active = false;
    bool leavePending = false;
    int32_t musicLevel = 0;
    int32_t soundLevel = 0;
    float clockMs = 0.0f;
    float lastRepeatMs = 0.0f;
    int32_t repeatIntervalMs = 100;
    int32_t holdCount = 0;
    float nowMs = 0.0f;
    float lastChevronMs = 0.0f;
    int32_t chevronIntervalMs = 100;
    int32_t chevronFrame = 0;
    int32_t page = kSettingsPage;
    int32_t settingsRow = kRowMusic;
    int32_t startDelay = kStartDelay;
    bool conflict = false;
    float repeatTimer = kRepeatTimer;

    // The key binding page.
    float subPageOffset = 0.0f;
    int32_t selectedCell = 0;
    int32_t subPage = 0;
    bool listening = false;
    std::unique_ptr<UIQuad> pointer, listenMark, pageBar, pageMarker, rowNames;
    std::unique_ptr<UIQuad[]> headings;  // 3: mouse, keyboard, game pad
    CSTextBlock *conflictTexts[kConflictTexts] = {};
    CSTextBlock *padTexts[kBindingRows] = {};
    CSTextBlock *keyTexts[kBindingRows] = {};
    CSTextBlock *mouseTexts[kMouseTexts] = {};

private:
    void CreateQuads();
    void ReleaseQuads();
    void LayOutSettings();
    void LayOutVolumeBars();
    void LayOutChevrons();
    void LayOutMouseSpeed();
    void FinishLeave();
    void Leave();
    void UpdateSettingsPage();
    void RenderSettingsPage();
    // The binding page's pictures that stay (headings, indicator bar).
    void LayOutBindingPage();
    // The sub-page's row names, the page marker and the texts.
    void LayoutPage();
    void UpdateBindingPage();
    void UpdateListening();
    void RenderBindingPage();
    void FinishBinding();
    void ReturnToSettings();
};

// The options screen (null outside its life).
extern CSOption *g_pOption;

// Whether a key code drives any of the pad's functions on the keyboard.
bool IsKeyBound(int32_t code);
// On a game pad's slot: the first of the fourteen button functions that
// holds `newCode` takes `oldCode`.
void SwapPadBinding(int32_t slot, int32_t newCode, int32_t oldCode);
