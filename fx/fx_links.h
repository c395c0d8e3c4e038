// What the effects need of the rest of the game, in one place: the heroes
// and the actor chain, the message pool, sounds, the event manager and the
// screen manager. The stage connects these when it makes its effect
// managers; each may be null, and the effect that needs one then skips
// that step. Tests fill them with fakes.
//
// Actors are the game's AiObject records, passed through untouched.
#pragma once

#include <cstdint>

#include "rwcore.h"

class AiObject;

struct FxLinks {
    // ---- heroes ----
    int32_t (*heroCount)() = nullptr;
    AiObject *(*hero)(int32_t index) = nullptr;
    // Adds `amount` to the hero's stage earnings (the money picked up in
    // the running stage, paid out by the ranking).
    void (*addStageEarnings)(AiObject *hero, int32_t amount) = nullptr;

    // ---- actors ----
    // The actor chain: the first actor and the one after `actor`.
    AiObject *(*firstActor)() = nullptr;
    AiObject *(*nextActor)(AiObject *actor) = nullptr;
    int32_t (*aiType)(AiObject *actor) = nullptr;
    int32_t (*aiId)(AiObject *actor) = nullptr;
    bool (*isRemoved)(AiObject *actor) = nullptr;
    bool (*position)(AiObject *actor, RwV3d *out) = nullptr;
    // The actor's model frame with the user-property id (null: none).
    RwFrame *(*frameById)(AiObject *actor, int32_t id) = nullptr;

    // ---- messages ----
    // Posts one message into the stage's pool.
    void (*post)(int32_t kind, AiObject *sender, AiObject *target, int32_t w0, int32_t w1, int32_t w2) = nullptr;

    // ---- sounds, events, screens ----
    void (*playSound)(int32_t soundId) = nullptr;
    bool (*eventOccurred)(int32_t eventId) = nullptr;
    void (*showMoneyGain)(int32_t amount) = nullptr;
    // The running stage's id (0 outside a stage).
    int32_t (*stageId)() = nullptr;
};

// The links the effects use; empty until the stage connects them.
extern FxLinks g_fxLinks;

// Shorthands that skip what is not linked. An actor's type and AIID are
// asked of actors the chain or the heroes gave, never of a null one; its
// position may be asked of a missing owner or target, which has none.
int32_t FxHeroCount();
AiObject *FxHero(int32_t index);
bool FxActorPosition(AiObject *actor, RwV3d *out);
int32_t FxActorAiType(AiObject *actor);
int32_t FxActorAiId(AiObject *actor);
void FxPlaySound(int32_t soundId);
void FxPost(int32_t kind, AiObject *sender, AiObject *target, int32_t w0, int32_t w1, int32_t w2);
int32_t FxStageId();
