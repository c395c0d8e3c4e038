// Boss 1103, the great melee fighter: three rage phases (below 60, 30 and
// 10 % of its HP) that force its slowed ground blast (state 21) and its
// shockwave, a guard (28), a guard stance (22) that peeks back (17) or
// escapes (108) when pressed, a charged double shot (state 20, frame
// 2935), weapon flames, grab fights with the heroes (states 23 to 27), the
// hit timer and rage glow of the stage's hit-timer switch, and the thrown
// recovery.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

class CFSF;

class CSBoss1103 : public AiObject {
public:
    CSBoss1103()
    {
        fullDetail = true;
        timeSinceHurt = 5.0f;
    }

    bool ShotDone = false;      // state 20's double shot of this visit
    bool BlastDone = false;     // state 21's blast of this visit
    bool CounterLanded = false;  // a state-10 blow hit a foe
    AiObject *GrabbedHero = nullptr;  // let go in the hold state and at death
    float HurtWindow = 2.0f;
    int32_t HurtableFrames = 0;
    bool RageDone[3] = {};  // 60, 30 and 10 %
    float GuardPeekTimer = 0.0f;  // state 22's interval
    float GuardTimer = 0.0f;      // time guarding in state 28
    bool Flame12Done = false;
    bool Flame18Done = false;
    bool Flame21Done = false;
    bool RageGlowOn = false;

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1103Traits;
    static constexpr monster::StateSound kSounds[] = {
        {5, 6230000, 0},  {6, 6230020, 0},  {12, 6230020, 0}, {7, 6300080, 0},  {13, 6300080, 0}, {9, 6230010, 0},
        {10, 6300110, 0}, {22, 6230030, 0}, {23, 6230040, 0}, {27, 6230040, 0}, {29, 6230050, 0}};

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);

    // The frame's hook: excluded from broadcasts and not solid in states
    // 31 and 32.
    void BeforeThink();
    // The sensing rule (see boss_1103.cpp).
    bool Sense(int32_t bits, int32_t *input, float dt);
    // The weapon flames, the double shot, the rage and its blast.
    void StepAttacks(int32_t *next);
    // Whether a hero holds, throws or shakes the boss.
    bool Held() const { return heldByHero || thrown || shakeRequest; }
};

// The stage's hit-timer switch (on only while stage 41's world is loaded).
bool HitTimerSwitchOn();
