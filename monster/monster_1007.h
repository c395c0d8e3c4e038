// Monster type 1007: the template's melee monster with a guard state, a
// grab cone, a carrying charge and two particle streams on its hands.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "monster/kit_streams.h"

class CSParticleSystem;

class CSMonster1007 : public AiObject {
public:
    CSMonster1007() = default;

    float guardTimer = 0.0f;               // seconds in the guard state 23
    bool chargeEffectStarted = false;      // state 11's effect, once per entry
    CSParticleSystem *streamA = nullptr;   // on model node 100160
    CSParticleSystem *streamB = nullptr;   // on model node 100150
    bool streamAStarted = false;
    bool streamBStarted = false;

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    // Stops both hand streams and starts them again (event code, through
    // AiObject::ReleaseTypeEffects); the started flags are left alone.
    void RestartEffects();
    // Lets go of both hand streams (they fade out and go back to their
    // pool) and forgets them.
    void LetGoHandStreams();
    // The words of the two streams, for the kit.
    monster::BodyStreamWords Streams();
    // The same with the started flags cleared, so that the next act with a
    // model starts them again.
    void ForgetHandStreams();

    // The AI-type table's entries.
    static void RestartEffectsOf(AiObject *actor);
    static void ReleaseOf(AiObject *actor);
};
