// What bosses 1109 and 1110 share: the late-game champion. Melee combat
// with weapon flames, special attacks drawn from the heroes' own large
// skill effects at fixed frames of its attacks (once per visit each), a
// ten-second barrage, three rage phases that wait for a state in which
// rage is allowed, a guard (23), a flinch state (17) with its escape after
// three exits within 2 s, grab fights (22) and weapon beams. Each boss is
// this class with its row of differences (ChampionRules) and its own
// sensing, special attacks and barrage.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_beam.h"
#include "boss/boss_frame.h"
#include "boss/boss_patterns.h"

class CFSF;

namespace boss {

class CSBossChampion;

// The differences of one champion.
struct ChampionRules {
    const BossTraits *traits;
    // The idle timer starts again whenever the boss is out of state 0
    // (1110; 1109 never resets it).
    bool idleTimerResets;
    // The weapon flames of states 5 and 8 (user ids; 0, or one left out:
    // none).
    int32_t flame5Frames[2];
    int32_t flame8Frames[2];
    // The entry sound of state 11.
    int32_t sound11;
    // The barrage's interval.
    float barrageEvery;
    // The beams: two per champion at most, each laid once per visit of its
    // state from its weapon frame.
    struct Beam {
        int32_t state;  // -1: none
        const char *particle;
        int32_t weaponId;
    };
    Beam beams[2];
    // The boss's own steps: its special attacks (step 5) and one shot of
    // its barrage (step 6; `elapsed` the barrage's time).
    void (*specials)(CSBossChampion *self);
    void (*barrageShot)(CSBossChampion *self);
};

class CSBossChampion : public AiObject {
public:
    CSBossChampion() { fullDetail = true; }

    float IdleTimer = 0.0f;        // time in state 0
    FlinchEscape Escape;           // the escape counter
    float FlinchPeekTimer = 0.0f;  // state 17's interval
    float GuardTimer = 0.0f;       // time guarding in state 23
    bool RageDone[3] = {};  // 60, 30 and 10 %
    bool SpecialDone[8] = {};      // the special attacks of this visit, by the boss's own slots
    float BarrageTimer = 0.0f;
    float BarrageShotTimer = 0.0f;
    BossBeam Beams[2];
    bool Flame5Done = false;
    bool Flame8Done = false;
    bool RageAllowed = false;
    bool AuraOn = false;
    bool ArrowDone = false;        // 1110: the barrage's lit arrow
};

// The hits of a champion: a grab (1024) seizes it; in the grab fight 22 a
// blow while held (4096) hurts and the hero's let-go (2048) frees it; no
// damage at all in states 14 and 15.
int32_t ChampionHit(CSBossChampion *self, const MSGData &message, int32_t input);
// The sensing of the near bit: without it the foe is dropped and the input
// is 1 away from home, else 0; with it 1 with a foe, else 0 at home and 1
// away.
int32_t ChampionNear(CSBossChampion *self, int32_t bits);
// The act step of a champion (see boss_champion.cpp).
void ChampionAct(CSBossChampion *self, int32_t *next, float dt, const ChampionRules &rules);
// The AI-type table's release: the beams go back to their pool at once.
void ReleaseChampion(AiObject *actor);
// The model went out of view: the beams are let go of.
void ChampionModelGone(AiObject *actor);

// The special attack of slot `slot` in `state`, once per visit: true the
// first act at which the boss has its model and its clock has reached
// `frame` (-1: at entry) and `ready` holds.
bool ChampionSpecial(CSBossChampion *self, int32_t slot, int32_t state, float frame, bool ready);
// The pad-rumble request for each hero not busy.
void RequestRumbleForHeroes();

}  // namespace boss
