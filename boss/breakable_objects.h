// The breakable objects, AI types 10000 to 10031: their classes, the update
// that the AI-type table gives them (a switch on the type's row), and the
// steps their designs share. Most types break on one qualifying hit (state
// 0 standing, 1 breaking, 2 broken: the drop, the pieces, removal); the
// front-only target 10026 (breakable_target.cpp), the liftable object 10027
// (breakable_liftable.cpp) and the barrel bombs 10028 and 10029
// (breakable_bomb.cpp) have designs of their own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "actor/ai_message.h"
#include "actor/ai_object.h"
#include "actor/ai_type_table.h"
#include "boss/breakable_table.h"

class CFSF;
class CSParticleSystem;

// Every breakable object starts hurtable.
class CSBreakObj10008 : public AiObject {
public:
    CSBreakObj10008() { hurtable = true; }
};

// Types 10002 to 10007: charging monsters bump them (and their kind-2
// bumps break them).
class CSBreakObj10002 : public AiObject {
public:
    CSBreakObj10002()
    {
        hurtable = true;
        pushable = true;
    }
};

// Type 10000: its animation holds until the first hit; it sparkles as it breaks.
class CSBreakObj10000 : public AiObject {
public:
    CSBreakObj10000()
    {
        hurtable = true;
        animHold = true;
        pushable = true;
    }

    bool sparkleStarted = false;
};

// Type 10026: a target with hit points, hurt only from in front, which
// restores itself after it breaks.
class CSBreakObj10026 : public AiObject {
public:
    CSBreakObj10026() { hurtable = true; }

    float stateTimer = 0.0f;
    AiObject *pendingAttacker = nullptr;  // the sender of this frame's hit
    AiObject *attackerToApply = nullptr;  // last frame's, applied by the act

    static void Update(CSBreakObj10026 *self, float dt);
    static void Think(CSBreakObj10026 *self, int32_t *next);
    static void Act(CSBreakObj10026 *self, int32_t *next, float dt);
    static void ReleaseOf(AiObject *actor);
};

// Types 10028 and 10029: barrel bombs whose fuse a hit lights; they blow up
// 5 s later.
class CSBreakObj10028 : public AiObject {
public:
    CSBreakObj10028() { hurtable = true; }

    float fuseTimer = 0.0f;  // grows in the fuse state, never reset
    bool sparkStarted = false;
    bool flashStarted = false;
    bool explosionStarted = false;
    CSParticleSystem *spark = nullptr;  // the burning fuse's sparks

    static void Update(CSBreakObj10028 *self, float dt);
    static void Think(CSBreakObj10028 *self, int32_t *next);
    static void Act(CSBreakObj10028 *self, int32_t *next, float dt);
    static void ReleaseOf(AiObject *actor);
};

// Type 10027, a plain actor: a liftable object with hit points that
// heroes grab, and that dies like a character.
struct CSBreakObj10027 {
    static void Update(AiObject *self, float dt);
    static void Think(AiObject *self, int32_t *next);
    static void Act(AiObject *self, int32_t *next, float dt);
};

// 10001 and 10027: a plain actor, hurtable from the start.
AiObject *ConstructPlainBreakable(void *memory);

// The update of a breakable object (a switch on its type's row): nothing
// for another type.
void UpdateBreakable(AiObject *actor, float dt);

// The AI-type table's row of a breakable object's type (10000..10031).
constexpr AiTypeInfo BreakableAiTypeRow(int32_t aiType)
{
    const BreakableRow &row = kBreakableRows[aiType - kFirstBreakableType];
    AiTypeInfo info;
    info.aiType = aiType;
    info.modelFolder = ModelFolder::kBreakObj;
    info.modelId = row.modelId;
    info.update = &UpdateBreakable;
    switch (row.cls) {
    case BreakClass::kObj10000:
        info.objectSize = sizeof(CSBreakObj10000);
        info.construct = &ConstructActor<CSBreakObj10000>;
        break;
    case BreakClass::kPlain:
        info.objectSize = sizeof(AiObject);
        info.construct = &ConstructPlainBreakable;
        break;
    case BreakClass::kObj10002:
        info.objectSize = sizeof(CSBreakObj10002);
        info.construct = &ConstructActor<CSBreakObj10002>;
        break;
    case BreakClass::kObj10008:
        info.objectSize = sizeof(CSBreakObj10008);
        info.construct = &ConstructActor<CSBreakObj10008>;
        break;
    case BreakClass::kObj10026:
        info.objectSize = sizeof(CSBreakObj10026);
        info.construct = &ConstructActor<CSBreakObj10026>;
        info.release = &CSBreakObj10026::ReleaseOf;
        break;
    case BreakClass::kObj10028:
        info.objectSize = sizeof(CSBreakObj10028);
        info.construct = &ConstructActor<CSBreakObj10028>;
        info.release = &CSBreakObj10028::ReleaseOf;
        break;
    }
    return info;
}

// ---- the steps the designs share ----
namespace breakable {

// The update every design shares: nothing once removed; the think step;
// the act step while active (on its full-detail frames, unless it acts on
// every frame), the time gathered over thinned frames then spent; the
// set-state step for 0..lastState (the death-tint flag kept when asked).
struct Steps {
    void (*think)(AiObject *actor, int32_t *next);
    void (*act)(AiObject *actor, int32_t *next, float dt);
    int32_t lastState;
    bool actsOnEveryFrame;
    bool keepsDeathTint;
};
void RunUpdate(AiObject *actor, float dt, const Steps &steps);

// The state machine's step at the end of a think: the input fed from the
// object's own state.
void Feed(AiObject *actor, int32_t *next, int32_t input);

// Takes a model of its type, makes the object active, puts it on the
// ground and on its state's motion. False when none is free.
bool TakeModel(AiObject *actor);
// The model by distance: out of view (no bit 16) the model goes back
// (unless `keepsEventModel` and the event gave it); in view an object
// without one takes one. False when none is free (the think ends).
bool ModelByDistance(AiObject *actor, int32_t bits, bool keepsEventModel = false);

// The shared set-state body for 0 <= state <= last: the motion changed
// (with a model), the death-tint flag cleared (unless `keepsDeathTint`),
// the state, the state-entered flag and the animation clock.
void SetState(AiObject *actor, CFSF *fsf, int32_t state, int32_t last, bool keepsDeathTint = false);

// On the first act of a state (its entered flag, cleared here) the sound.
void SoundOnEntry(AiObject *actor, int32_t soundId);
// A material animation on the model, once per state entry (the death-tint
// flag), with the current motion's length plus `added` as its speed.
void FadeOnce(AiObject *actor, int32_t matAnim, float added);
// The broken-pieces effect of `piecesId` at the object's frame.
void Pieces(AiObject *actor, int32_t piecesId);
// The drop of a broken object (the event's drop, else the drop map's); the
// id spawned, 0 for none.
int32_t Drop(AiObject *actor);

}  // namespace breakable
