// Boss 1110, the second champion (boss_champion.h): its special attacks
// come at entry or at frames 530, 1845, 2056, 2366 and 2404, it looks for
// its foe in its attack cone from 5 units behind, and its barrage fires
// pairs of shots to either side ahead every 0.33 s with one lit arrow.
#pragma once

#include <cstdint>

#include "boss/boss_champion.h"

class CFSF;

class CSBoss1110 : public boss::CSBossChampion {
public:
    static constexpr const boss::BossTraits &kTraits = boss::kBoss1110Traits;

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
    void SetState(CFSF *fsf, int32_t state);
};
