// Monster types 1002 and 1003, grab monsters that share one class (which
// also serves the non-player character 10) of four words, each of which
// the two types use for their own ends: the named accessors say which.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

class CFSF;
class CSHero;

// One of the class's words: a held hero, a time or a flag, as its user needs.
struct MonsterWord {
    CSHero *hero = nullptr;
    float seconds = 0.0f;
    int32_t flag = 0;
};

class CSMonster1003 : public AiObject {
public:
    CSMonster1003() = default;

    MonsterWord word[4];

    // Type 1003: the held hero, the hold timer, state 4's effect flag.
    CSHero *&HeldHero1003() { return word[0].hero; }
    float &HoldTimer1003() { return word[1].seconds; }
    int32_t &EffectStarted1003() { return word[2].flag; }
    // Type 1002: the held hero, the hold timer, the side-step draw.
    CSHero *&HeldHero1002() { return word[1].hero; }
    float &HoldTimer1002() { return word[2].seconds; }
    int32_t &SideStep1002() { return word[3].flag; }

    // Type 1003's steps: it seizes a hero and holds it 15 units ahead.
    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);
};

// Type 1002: seizes a hero and holds it at arm's length; steps aside.
struct CSMonster1002 {
    static void Update(CSMonster1003 *self, float dt);
    static void Think(CSMonster1003 *self, int32_t *next, float dt);
    static void Act(CSMonster1003 *self, int32_t *next, float dt);
    static void SetState(CSMonster1003 *self, CFSF *fsf, int32_t state);
};
