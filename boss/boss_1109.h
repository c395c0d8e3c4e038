// Boss 1109, the first champion (boss_champion.h): its special attacks
// come at frames of its attacks (1458, 1818, 2063, 2265, 2500 and 920),
// its barrage fires every 0.1 s at the foe, and a companion, when one is
// set, follows its motions.
#pragma once

#include <cstdint>

#include "boss/boss_champion.h"

class CFSF;

class CSBoss1109 : public boss::CSBossChampion {
public:
    // An object whose clump follows the boss's motions (nothing sets it
    // but whoever places one beside the boss).
    AiObject *Companion = nullptr;

    static constexpr const boss::BossTraits &kTraits = boss::kBoss1109Traits;

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);
    // The AI-type table's release: the beams given back, the companion let go.
    static void ReleaseOf(AiObject *actor);
};
