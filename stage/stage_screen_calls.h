// The stage's calls into the screen manager and into the loading screen.
// Both belong to the screens, which fill a table of their operations when
// they make the object and take it away when they free it; while a table is
// absent the stage makes none of its calls (the loading screen then falls
// back to the stage record's plain loading state). Tests put recording
// tables in.
#pragma once

#include <cstdint>

class AiObject;

// Screen numbers the stage asks for or tests.
inline constexpr int32_t kScreenLobby = 11;
inline constexpr int32_t kScreenInGame = 13;
inline constexpr int32_t kScreenGameOver = 14;
inline constexpr int32_t kScreenStageEnd = 15;

// What the stage asks of the screen manager. Every entry is set by the
// screens when they install the table.
struct StageScreenCalls {
    // CSUIManager::StepLetterbox: the bars advance by the frame's ms.
    void (*stepLetterbox)(uint32_t ms);
    // CSUIManager::ShowLetterbox and HideLetterbox over ms (below 1: at once).
    void (*showLetterbox)(int32_t ms);
    void (*hideLetterbox)(int32_t ms);
    // CSUIManager::IsPauseMenuOpen: non-zero while the pause menu is open.
    uint8_t (*isPauseMenuOpen)();
    // CSUIManager::ResetStageHUD, after the heroes are placed.
    void (*resetStageHud)();
    // CSUIManager::ResetStageClock, at load and at release.
    void (*resetStageClock)();
    // The manager's loading flag, set while a stage loads.
    void (*setLoadingFlag)(uint8_t on);
    // The current screen number (0 before the first switch).
    int32_t (*currentScreen)();
    // CSUIManager::RequestModule and SwitchModule.
    void (*requestScreen)(int32_t screen);
    void (*switchScreen)();
    // CSUIManager::StartFade (colour to cover with) and StartFadeIn (colour
    // to come out of), over ms; IsFading while a colour fade runs.
    void (*startFade)(uint32_t argb, uint32_t ms);
    void (*startFadeIn)(uint32_t argb, uint32_t ms);
    uint8_t (*isFading)();
    // CSUIManager::AddHudActor: a monster whose health bar may show.
    void (*addHudActor)(AiObject *actor);
    // CSUIManager::ApplyCarriedState: the new game's carried state onto the
    // heroes and items.
    void (*applyCarriedState)();
    // The hero and pad of the manager's hero block (the chosen character).
    void (*chosenHero)(int32_t *hero, int32_t *pad);
};

// What the stage asks of its loading screen (CSLoading).
struct StageLoadingCalls {
    void (*activate)(uint8_t on, int32_t stageId);
    void (*setProgress)(float progress);
    void (*step)();
    uint8_t (*isActive)();
    void (*setThreadedLoading)(uint8_t on);
    uint8_t (*isThreadedLoading)();
    // Joins its drawing thread, if one runs (a program that must end while
    // a stage loads); may be null.
    void (*stopThread)();
};

// The installed tables; null while the screen manager or the loading screen
// does not exist.
extern const StageScreenCalls *g_stageScreens;
extern const StageLoadingCalls *g_stageLoadingScreen;

inline bool StageHasScreens() { return g_stageScreens != nullptr; }
