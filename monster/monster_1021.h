// Monster type 1021: a heavy melee monster of the template that seizes a
// hero and carries it 15 units ahead for up to 3 s, guards against all but
// heavy blows, and charges, pushing heroes and other fighters out of its
// way.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

class CSHero;

class CSMonster1021 : public AiObject {
public:
    CSMonster1021() = default;

    CSHero *grabTarget = nullptr;  // the hero held in the grab
    float grabTimer = 0.0f;        // seconds in the holding state 13
    float guardTimer = 0.0f;       // seconds in the guard state 27
    bool chargeEffectStarted = false;  // state 17's model effect, once per entry
    bool sparkState4 = false;         // state 4's sparks, once per entry
    bool sparkState7 = false;         // state 7's sparks, once per entry
    int32_t statusParticlesMark = 0;

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);

    // The AI-type table's release.
    static void ReleaseOf(AiObject *actor);
};
