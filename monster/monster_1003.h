// Monster types 1002 and 1003, grab monsters that share one class (which
// also serves the non-player character 10) of four words, each of which
// the three types use for their own ends: the named accessors say which.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "monster/monster_word.h"

class CSHero;

class CSMonster1003 : public AiObject {
public:
    CSMonster1003() = default;

    MonsterWord word[4];

    // Type 1003: the held hero, the hold timer, state 4's effect flag.
    CSHero *&HeldHero1003() { return word[0].hero; }
    float &HoldTimer1003() { return word[1].seconds; }
    bool &EffectStarted1003() { return word[2].flag; }
    // Type 1002: the held hero, the hold timer, the side-step draw.
    CSHero *&HeldHero1002() { return word[1].hero; }
    float &HoldTimer1002() { return word[2].seconds; }
    bool &SideStep1002() { return word[3].flag; }

    // Character 10: the sender of the last grab hit on it, the hero it
    // holds, the hold timer, the roll drawn on each act.
    AiObject *&GrabbingAttacker10() { return word[0].actor; }
    CSHero *&GrabTarget10() { return word[1].hero; }
    float &GrabTimer10() { return word[2].seconds; }
    bool &RollFlag10() { return word[3].flag; }

    // Type 1003's steps: it seizes a hero and holds it 15 units ahead.
    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
};

// Type 1002: seizes a hero and holds it at arm's length; steps aside.
struct CSMonster1002 {
    static void Update(CSMonster1003 *self, float dt);
    static void Think(CSMonster1003 *self, int32_t *next, float dt);
    static void Act(CSMonster1003 *self, int32_t *next, float dt);
};
