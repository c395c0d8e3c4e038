// Monster type 1004, a grab monster that seizes a hero in front of it and
// holds it one unit ahead for up to 3 s. The class also serves the
// non-player character 112 and the trap 1202.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

class CFSF;
class CSHero;

class CSMonster1004 : public AiObject {
public:
    CSMonster1004() = default;

    CSHero *heldHero = nullptr;     // the hero being held
    float holdTimer = 0.0f;         // seconds in the holding state 13
    int32_t effectStarted = 0;      // state 7's particles

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);
};
