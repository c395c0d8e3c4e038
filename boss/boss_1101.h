// Boss 1101: guards, counters after repeated hits (the escape 108 from
// three hurtable frames in its hurt window), turns toward its target
// before attacking, charges along its facing and damages whatever it runs
// into, chains a second blow when its first one lands, fires four big
// shots from state 19, and lets go of a character it holds when it dies.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;

class CSBoss1101 : public AiObject {
public:
    CSBoss1101()
    {
        fullDetail = true;
        timeSinceHurt = 5.0f;
    }

    bool inRange = false;                      // the last sensing had a hero within AttackRange
    RwV3d rememberedPoint = {0.0f, 0.0f, 0.0f};  // the target's position, taken in the alarm circle
    bool state19Effect = false;                // state 19's big shots of this visit
    bool landed = false;                       // a blow of state 10 hit an unguarded hero
    AiObject *heldCharacter = nullptr;         // let go at death and in state 32
    float hurtWindow = 2.0f;
    int32_t hurtableFrames = 0;
    float guardTimer = 0.0f;     // state 26
    float recoveryTimer = 0.0f;  // state 20
    float chargeTimer = 0.0f;    // state 13
    bool effect6 = false;  // the effects of this visit of states 6, 9, 12, 13, 16
    bool effect9 = false;
    bool effect12 = false;
    bool effect13 = false;
    bool effect16 = false;
    bool glow = false;  // stage 41's glow runs

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1101Traits;
    static constexpr monster::StateSound kSounds[] = {{5, 6300000, 0},  {6, 6220010, 0},  {7, 6300140, 0},
                                                      {10, 6300140, 0}, {17, 6220020, 0}, {19, 6220030, 0},
                                                      {25, 6220040, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // The frame's hook: excluded from broadcasts and not solid in states
    // 30 and 31.
    void BeforeThink();
    // The charge of state 13 (see boss_1101.cpp).
    void StepCharge(int32_t *next, float dt);
    // Lets go of the held character (kind 2 {0, 512, 0}).
    void ReleaseHeldCharacter();
};
