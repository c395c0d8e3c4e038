// Monster type 1006: the template's melee monster with two particle streams
// on its body, a tint while it appears, and a drop rolled from its drop map
// when it goes. The class's layout (its constructor and release) also
// serves the monster types 1001 and 1008 to 1012, which have no update.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "monster/kit_streams.h"

class CSParticleSystem;

class CSMonster1006 : public AiObject {
public:
    CSMonster1006() = default;

    CSParticleSystem *streamA = nullptr;  // on model node 100160
    CSParticleSystem *streamB = nullptr;  // on model node 100150
    bool streamAStarted = false;
    bool streamBStarted = false;
    bool appearTint = false;  // the appear tint (material animation 39) runs

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    // Stops both body streams and starts them again (event code, through
    // AiObject::ReleaseTypeEffects); the started flags are left alone.
    void RestartEffects();

    // The words of the two streams, for the kit.
    monster::BodyStreamWords Streams();
    // The appear tint on a model just taken, and its end.
    void StartAppearTint();
    void StopAppearTint();

    // The AI-type table's entries (the release also serves 1001 and 1008
    // to 1012).
    static void RestartEffectsOf(AiObject *actor);
    static void ReleaseOf(AiObject *actor);
};
