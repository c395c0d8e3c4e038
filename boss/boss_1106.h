// Boss 1106, the forward walker (boss_walker.h): it walks ahead along its
// facing, steers by turning, guards, and has one special attack (state
// 20) with a large effect.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;

class CSBoss1106 : public AiObject {
public:
    CSBoss1106() { fullDetail = true; }

    float guardTimer = 0.0f;     // state 19
    float recoveryTimer = 0.0f;  // state 16
    float waitTimer = 0.0f;      // state 3
    bool faced11 = false;        // faced the target on entering state 11
    bool faced13 = false;
    bool effect8 = false;        // state 8's particles started
    bool effect13 = false;
    bool effect20 = false;       // state 20's big shot started

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1106Traits;
    static constexpr monster::StateSound kSounds[] = {
        {4, 6040030, 0},  {20, 6040030, 0}, {5, 6300080, 0},  {12, 6300080, 0}, {7, 6040040, 0}, {11, 6040040, 0},
        {9, 6300100, 0},  {14, 6300100, 0}, {16, 6040060, 0}, {17, 6040060, 0}, {21, 6040080, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);
};
