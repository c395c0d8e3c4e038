// Boss 1105, the partner of boss 1104: it stays away (without a model,
// feeding input 201) until 1104 calls it, comes out at 1104's side
// straight into its appearing state 4, fires bursts of three wing balls at
// a foe, and leaves again when the call ends, giving its model back at the
// end of its leaving state. It ignores hits and never loses HP.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;

class CSBoss1105 : public AiObject {
public:
    CSBoss1105() { fullDetail = true; }

    float AimTimer = 0.0f;    // time a foe has been within AttackRange
    bool Called = false;      // written by boss 1104: wanted at its side
    bool AppearDone = false;  // finished appearing (read by boss 1104)
    float ShotTimer = 0.1f;   // time since the last wing ball
    int32_t ShotCount = 0;    // wing balls in this visit of state 3
    bool Waiting = false;     // set by the think step while not called

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1105Traits;
    static constexpr monster::StateSound kSounds[] = {{0, 6240090, 0}, {1, 6240090, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // Called and without a model: takes one at its place, on the ground,
    // straight into the appearing state. False when none is free.
    bool Appear();
    // State 3: a wing ball at a time, at most three a visit, 0.1 s apart.
    void StepWingBalls(float dt);
};
