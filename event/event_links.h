// What the events need of the rest of the game, in one place: the heroes
// and the actor chain, the stage change, the bridge's dynamic effect set,
// the vine pool, the boss gauge and the trace. The stage connects these
// when it makes the event manager; each may be null, and the event step
// that needs one then skips it. Tests fill them with fakes.
//
// Actors are the game's AiObject records, passed through untouched.
#pragma once

#include <cstdint>

#include "rwcore.h"

class AiObject;

struct EventLinks {
    // ---- heroes: the stage's hero list, in player order ----
    int32_t (*heroCount)() = nullptr;
    AiObject *(*hero)(int32_t index) = nullptr;
    // The player slot (0, 1) the hero is played from.
    int32_t (*playerIndex)(AiObject *hero) = nullptr;

    // ---- actors ----
    AiObject *(*firstActor)() = nullptr;
    AiObject *(*nextActor)(AiObject *actor) = nullptr;
    // The event group of the actor's placement (its EventID).
    int32_t (*eventGroup)(AiObject *actor) = nullptr;
    bool (*isRemoved)(AiObject *actor) = nullptr;
    bool (*isBusy)(AiObject *actor) = nullptr;
    // Position and facing, refreshed from the model.
    bool (*pose)(AiObject *actor, RwV3d *position, RwV3d *facing) = nullptr;

    // ---- the stage ----
    void (*requestStageChange)(int32_t target, int32_t flag, int32_t transitionMs) = nullptr;

    // ---- effects: the bridge's dynamic effect set ----
    // A free slot, or -1; its two models show the even or the odd piece kind.
    int32_t (*takeDynSlot)(int32_t pieceKind) = nullptr;
    void (*placeDynSlot)(int32_t slot, const RwV3d &position) = nullptr;
    // The bridge's five set-up values, the middle and low parts of its
    // Param and the count of pieces standing.
    void (*setDynValues)(int32_t slot, const float values[5], int32_t middle, int32_t low, int32_t count) = nullptr;
    void (*showDynSlot)(int32_t slot, bool firstModel, bool secondModel) = nullptr;
    void (*freeDynSlot)(int32_t slot) = nullptr;

    // ---- effects: the vine pool of the general-effects manager ----
    void (*startVines)(const RwV3d &centre) = nullptr;
    void (*updateVines)(float dt) = nullptr;

    // ---- screens ----
    void (*requestBossGauge)() = nullptr;
    // The pad that confirms the message window (the one the title chose);
    // pad 0 while unlinked.
    int32_t (*controllingPad)() = nullptr;

    // ---- the run's trace: "event id kind started|ended count" ----
    void (*trace)(int32_t eventId, const char *kind, const char *what, int32_t count) = nullptr;
};

// The links the events use; empty until the stage connects them.
extern EventLinks g_eventLinks;

// Shorthands that skip what is not linked.
int32_t EventHeroCount();
AiObject *EventHero(int32_t index);
int32_t EventHeroPlayerIndex(AiObject *hero);
bool EventActorRemoved(AiObject *actor);
bool EventActorBusy(AiObject *actor);
int32_t EventActorGroup(AiObject *actor);
bool EventActorPose(AiObject *actor, RwV3d *position, RwV3d *facing);
// Any hero of the hero list is busy.
bool EventAnyHeroBusy();

// What the game system gives: the confirm press of the controlling pad
// (circle or start pressed this frame) or the mouse button pressed this
// frame; the arc cosine in degrees from the game's table; the time of the
// last tick.
bool EventConfirmPressed();
float EventACosDeg(float cosine);
uint32_t EventLastTickMs();
