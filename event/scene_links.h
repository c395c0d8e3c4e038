// What the in-game animation scenes need of the game beyond the events'
// common links (event_links.h): the millisecond clock that times the load's
// slices and the reader's keep-alive, the screen manager's loading flag, the
// scene actors, the game camera's scene clump, the stage's speed, letterbox
// and actor pass, the scene's sounds, animations, items and subtitle text.
// The stage connects them (ConnectSceneLinks); each may be null, and the
// step that needs one then does without it. Tests fill them with fakes.
#pragma once

#include <cstdint>

#include "rwcore.h"

class AiObject;
class CSTextBlock;
struct RpClump;

struct SceneLinks {
    // ---- shell ----
    uint32_t (*nowMs)() = nullptr;  // null: the game's clock (timeGetTime)
    void (*keepAlive)() = nullptr;
    void (*setLoading)(bool on) = nullptr;

    // ---- the scene's actors ----
    AiObject *(*findActor)(int32_t aiId) = nullptr;
    bool (*hasModel)(AiObject *actor) = nullptr;
    bool (*inHoldState)(AiObject *actor) = nullptr;
    RpClump *(*clump)(AiObject *actor) = nullptr;
    // Moved there with its frame's axes taken over; `home` also makes it
    // the actor's home position.
    void (*place)(AiObject *actor, const RwV3d &position, bool home) = nullptr;
    void (*remove)(AiObject *actor) = nullptr;
    void (*setEventHeld)(AiObject *actor) = nullptr;
    void (*releaseTypeEffects)(AiObject *actor) = nullptr;
    // The actor keeps its own update while the actor pass is frozen (it
    // must reach its hold state before the scene plays it).
    void (*keepUpdating)(AiObject *actor, bool on) = nullptr;

    // ---- the actors' scene animations (the stage's event animation manager) ----
    bool (*loadAnimation)(const char *path) = nullptr;
    void (*releaseAnimation)(const char *name) = nullptr;
    // Binds the named animation to the clump and starts its motion 0.
    bool (*playAnimation)(RpClump *clump, const char *name) = nullptr;
    void (*advanceAnimation)(RpClump *clump, float seconds) = nullptr;
    // The scene is done with the clump: it plays the actor's own animation
    // again (or, for a clump of no actor's model, is let go).
    void (*returnAnimation)(AiObject *actor, RpClump *clump) = nullptr;

    // ---- the stage ----
    void (*setActorUpdate)(uint8_t on) = nullptr;
    void (*blendGameSpeed)(float speed) = nullptr;
    void (*letterboxAtOnce)(bool show) = nullptr;

    // ---- the game camera's scene clump ----
    bool (*loadCamera)(const char *model, const char *animation) = nullptr;
    void (*unloadCamera)(const char *model) = nullptr;
    bool (*cameraEnded)() = nullptr;
    float (*cameraTime)() = nullptr;
    void (*advanceCamera)(float seconds) = nullptr;
    void (*restoreCamera)() = nullptr;  // the matrix that saveCamera kept
    void (*blendCamera)(bool intoScene, float seconds) = nullptr;

    // ---- sounds, items, text ----
    void (*addSounds)(const int32_t *ids, int32_t count) = nullptr;
    void (*releaseSounds)(const int32_t *ids, int32_t count) = nullptr;
    bool (*hasItem)(int32_t itemId) = nullptr;  // the players' shared list
    void (*removeItem)(int32_t itemId) = nullptr;
    bool (*itemPopupShown)() = nullptr;
    CSTextBlock *(*takeTextBlock)() = nullptr;

    // ---- what single scenes add ----
    // 0: the smoke of 79022000 at a point; 1: the flash of 79061600 turned
    // as the clump's frame (when there is one) at a point.
    void (*startEffect)(int32_t which, const RwV3d &at, RpClump *turnedAs) = nullptr;
    void (*unloadRain)() = nullptr;
};

extern SceneLinks g_sceneLinks;

// The scene clock in milliseconds.
uint32_t SceneNowMs();
