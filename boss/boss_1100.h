// Boss 1100: the boss frame with one attack rule. While a hero stands in
// its alarm circle it attacks (input 10) at most once every 3 seconds.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;

class CSBoss1100 : public AiObject {
public:
    CSBoss1100() { fullDetail = true; }

    float attackTimer = 0.0f;   // seconds, counts up while below 3.0
    bool startEffect = false;   // state 1's particles started, cleared in other states

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1100Traits;
    static constexpr monster::StateSound kSounds[] = {
        {0, 6220010, 0}, {1, 6300140, 0}, {2, 6220030, 0}, {3, 6220000, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // The frame's hooks.
    void StepTimers(float dt);
    void StateWork(int32_t *next, float dt);
    boss::BossMoveRule MoveRule() const { return {.turn = false, .collide = true}; }
};
