// What the screens need of the rest of the game, in one table: the movie
// player and the stage manager with its heroes and item owner. The game's
// own table (GameUILinks) goes to the application's movie player and the
// running stage manager, and each of its calls does nothing (or answers
// 0, false, null) while that object is absent. Tests put recording tables
// in with UILinksScope.
#pragma once

#include <cstdint>

class AiObject;
class CSHero;
class CSItemDescTable;
class CSItemManager;
struct RwTexture;

struct UILinks {
    // ---- movies (full paths) ----
    void (*playMovie)(const char *path);
    void (*stopMovie)();
    bool (*isMoviePlaying)();
    // The program closes (the title's quit).
    void (*closeApplication)();

    // ---- the stage manager ----
    bool (*hasStage)();
    void (*createSubObjects1)();
    void (*createSubObjects2)();
    void (*loadEffectsPack)();
    void (*loadItemsPack)();
    void (*loadEventsPack)();
    void (*loadHeroesOnce)();
    void (*unloadHeroes)();
    void (*requestStageChange)(int32_t target, uint8_t transition, uint32_t ms);
    // Its loading screen: on or off for a stage id, and a value of the
    // loading bar with a drawing (the `loading` trace line).
    void (*activateLoading)(uint8_t on, int32_t stageId);
    void (*loadingProgress)(float progress);
    // LoadStage: a stage id loads it, 0 releases the running stage.
    void (*loadStage)(int32_t id);
    // The current stage number (after a release: the finished stage).
    int32_t (*stageNumber)();
    void (*setBGMVolume)(float volume);
    // The render's step that lets the event manager draw its message
    // window. (The stage's own render hands the monsters whose health bar
    // may show to AddHudActor.)
    void (*updateMessageWindow)();

    // ---- the heroes: the first hero of the stage's list, null when none ----
    CSHero *(*firstHero)();

    // ---- the item owner (nothing while the stage has none) ----
    bool (*hasItemOwner)();
    void (*clearOwnedLists)();
    // The item's OwnLimit; -1 for an id the item tables do not hold.
    int32_t (*itemOwnLimit)(uint32_t id);
    // One more of the item in list 0 (shared), 1 or 2 (the players'); false
    // when none more can be had.
    bool (*addItem)(int32_t list, uint32_t id);
    void (*resetItemRange)();

    // ---- the running stage as the overlay reads it ----
    int32_t (*stageId)();  // 0 while no stage is loaded
    int32_t (*cameraMode)();
    // The hero list in player order; null outside it.
    int32_t (*heroCount)();
    CSHero *(*hero)(int32_t index);
    // The head of the actor chain (each actor's next link goes on).
    AiObject *(*firstActor)();
    // The item owner and the item descriptions (null while the stage has
    // none), and the stage's item sheet of an icon number (null when that
    // sheet is not loaded).
    CSItemManager *(*items)();
    const CSItemDescTable *(*itemDescriptions)();
    RwTexture *(*itemSheet)(int32_t icon);
    // Its event manager: an in-game animation or movie event runs; end it.
    // False and nothing while the stage has no event manager.
    bool (*sceneRunning)();
    void (*skipScene)();

    // ---- the stage as the pause menu asks it ----
    // Its music paused while the menu covers the stage, and resumed.
    void (*pauseMusic)();
    void (*resumeMusic)();
    // The running in-game animation event's camera loaded again.
    void (*reloadSceneCamera)();
    // Back to the title at the end of the frame (the game system's stage exit).
    void (*requestStageExit)();
};

UILinks GameUILinks();

// The links in use (the game's own until a test replaces them).
UILinks &UI();

// The first hero of the stage's list; null when none, or without the link.
inline CSHero *UIFirstHero() { return UI().firstHero != nullptr ? UI().firstHero() : nullptr; }

// A test's links while it lives; the previous ones come back after.
class UILinksScope {
public:
    explicit UILinksScope(const UILinks &links) : saved_(UI()) { UI() = links; }
    ~UILinksScope() { UI() = saved_; }
    UILinksScope(const UILinksScope &) = delete;
    UILinksScope &operator=(const UILinksScope &) = delete;

private:
    UILinks saved_;
};
