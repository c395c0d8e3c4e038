// The champions 1109 and 1110 (see boss_champion.h).
#include "boss/boss_champion.h"

#include "actor/fsf.h"
#include "actor/hero.h"
#include "app/input.h"
#include "fx/ge_manager.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"

namespace boss {

using monster::kInputChase;
using monster::kInputIdle;

namespace champion {

constexpr int32_t kIdleState = 0;
constexpr float kIdleSeconds = 3.0f;
constexpr int32_t kInputIdleA = 21;
constexpr int32_t kInputIdleB = 23;
constexpr int32_t kWalkState = 1;
constexpr int32_t kInputCloseIn = 19;
constexpr int32_t kPickState = 4;
constexpr int32_t kInputPickAgain = 4;
constexpr int32_t kFlameStates[] = {5, 8};
constexpr const char *kFlame = "3010600.zus";
constexpr int32_t kRageState = 14;
constexpr int32_t kBarrageState = 15;
constexpr float kBarrageSeconds = 10.0f;
constexpr int32_t kInputBarrageOver = 22;
constexpr int32_t kAuraStates[] = {14, 15, 16};
constexpr int32_t kDownStates[] = {20, 22};
constexpr int32_t kDownEndsState = 19;
constexpr int32_t kDownState = 20;
constexpr int32_t kGrabFightState = 22;
constexpr float kDownSeconds = 3.0f;
constexpr int32_t kRageAllowedStates[] = {5, 8, 11, 12, 13};
constexpr int32_t kTurnStates[] = {2, 4, 8, 14, 15};
constexpr int32_t kCollideState = 2;
constexpr int32_t kGuardSound = 6300210;
constexpr int32_t kRumblePattern = 9030010;

monster::HitRules ChampionHits(const BossTraits &traits)
{
    monster::HitRules rules = BossHitRules(traits);
    rules.takesGrabs = true;
    rules.grabbedStates[0] = kGrabFightState;
    return rules;
}

CSBossChampion *Self(AiObject *actor) { return static_cast<CSBossChampion *>(actor); }

// The once-per-visit flags that clear outside their states.
void StepFlames(CSBossChampion *self, const ChampionRules &rules)
{
    const int32_t *frames[] = {rules.flame5Frames, rules.flame8Frames};
    bool *done[] = {&self->Flame5Done, &self->Flame8Done};
    for (int32_t i = 0; i < 2; ++i) {
        if (FirstInVisit(self, kFlameStates[i], done[i], self->model != nullptr)) {
            for (int32_t k = 0; k < 2; ++k) {
                if (frames[i][k] != 0) {
                    StartOnFrame(self, kFlame, frames[i][k], false);
                }
            }
        }
    }
}

void StepIdleAndWalk(CSBossChampion *self, int32_t *next, float dt, const ChampionRules &rules)
{
    if (self->state == kIdleState) {
        if (self->IdleTimer < kIdleSeconds) {
            self->IdleTimer += dt;
        } else {
            monster::FeedInput(self, next, self->stateRandom < 50 ? kInputIdleA : kInputIdleB);
        }
    } else if (rules.idleTimerResets) {
        self->IdleTimer = 0.0f;
    }
    if (self->state == kWalkState && self->target != nullptr) {
        monster::FeedInput(self, next, kInputCloseIn);
    }
    if (self->state == kPickState) {
        monster::FeedInput(self, next, self->stateRandom < 60 ? kInputChase : kInputPickAgain);
    }
}

void StepBarrage(CSBossChampion *self, int32_t *next, float dt, const ChampionRules &rules)
{
    if (self->state != kBarrageState) {
        return;
    }
    self->BarrageTimer += dt;
    if (self->BarrageTimer >= kBarrageSeconds) {
        self->BarrageTimer = 0.0f;
        self->BarrageShotTimer = rules.barrageEvery;
        self->ArrowDone = false;
        monster::FeedInput(self, next, kInputBarrageOver);
        return;
    }
    if (self->BarrageShotTimer >= rules.barrageEvery) {
        self->BarrageShotTimer = 0.0f;
        rules.barrageShot(self);
    }
    self->BarrageShotTimer += dt;
}

// Down in states 20 and 22, and at the end of 19's motion; 3 s after the
// fall (the timer running on through the grab fight) it gets up (106).
void StepDown(CSBossChampion *self, int32_t *next, float dt)
{
    self->down = monster::IsOneOf(self->state, kDownStates) || (self->state == kDownEndsState && self->animEnded);
    if (self->state == kDownState || self->state == kGrabFightState) {
        self->downTimer += dt;
        if (self->state == kDownState && self->downTimer >= kDownSeconds) {
            monster::FeedInput(self, next, monster::kInputGetUp);
        }
    } else {
        self->downTimer = 0.0f;
    }
}

// Rage waits for a state in which it is allowed: the next state chosen so
// far is 5, 8, 11, 12 or 13, or none.
void StepRage(CSBossChampion *self, int32_t *next, const ChampionRules &rules)
{
    self->RageAllowed = monster::IsOneOf(*next, kRageAllowedStates) ||
                        monster::Unsigned(*next) >= static_cast<uint32_t>(rules.traits->stateBound);
    // The phases fire in order (60, 30, 10 %), so each finds the ones
    // before it done.
    if (StepHpPhases(self, next, *rules.traits, self->RageDone, self->RageAllowed)) {
        self->BarrageTimer = 0.0f;
        self->BarrageShotTimer = rules.barrageEvery;
        self->ArrowDone = false;
    }
    if (self->state == kRageState) {
        CCGEManager *effects = monster::Effects();
        if (!self->AuraOn && effects != nullptr && effects->bigShot3219700 != nullptr && self->model != nullptr) {
            effects->bigShot3219700->Start(BossMatrix(self));
            self->AuraOn = true;
        }
    } else if (!monster::IsOneOf(self->state, kAuraStates)) {
        self->AuraOn = false;
    }
}

}  // namespace champion

int32_t ChampionHit(CSBossChampion *self, const MSGData &message, int32_t input)
{
    const BossTraits &traits = *BossTraitsOf(self->aiType);
    const int32_t pending = self->pendingDamage;
    input = monster::ClassifyHit(self, message, input, champion::ChampionHits(traits));
    if (monster::IsOneOf(self->state, traits.noDamageAlways)) {
        self->pendingDamage = pending;
    }
    return input;
}

int32_t ChampionNear(CSBossChampion *self, int32_t bits)
{
    const bool home = monster::HomeDistance(self) <= kBossHomeDistance;
    if ((bits & kSenseNear) == 0) {
        self->target = nullptr;
        return home ? kInputIdle : kInputChase;
    }
    return self->target != nullptr || !home ? kInputChase : kInputIdle;
}

bool ChampionSpecial(CSBossChampion *self, int32_t slot, int32_t state, float frame, bool ready)
{
    const bool reached = frame < 0.0f || ClockFrame(self) >= frame;
    return FirstInVisit(self, state, &self->SpecialDone[slot], ready && reached && self->model != nullptr);
}

void RequestRumbleForHeroes()
{
    for (int32_t i = 0; i < monster::HeroCount(); ++i) {
        CSHero *hero = monster::Hero(i);
        if (hero != nullptr && !hero->busy) {
            RequestPadRumble(i, champion::kRumblePattern);
        }
    }
}

void ReleaseChampion(AiObject *actor)
{
    for (BossBeam &beam : champion::Self(actor)->Beams) {
        GiveBackBeam(&beam);
    }
    actor->Release();
}

void ChampionModelGone(AiObject *actor)
{
    for (BossBeam &beam : champion::Self(actor)->Beams) {
        LetGoOfBeam(&beam);
    }
}

void ChampionAct(CSBossChampion *self, int32_t *next, float dt, const ChampionRules &rules)
{
    const BossTraits &traits = *rules.traits;
    const BossGoal goal = StepGoal(self, StepWaypoint(self, dt));
    champion::StepFlames(self, rules);
    champion::StepIdleAndWalk(self, next, dt, rules);
    rules.specials(self);
    champion::StepBarrage(self, next, dt, rules);
    StepRecovery(self, next, dt, traits, &self->FlinchPeekTimer, true, true);
    StepFlinchEscape(self, next, dt, traits, &self->Escape, self->state == champion::kGrabFightState);
    self->guarding = StepGuardState(self, next, dt, traits, &self->GuardTimer, false);
    champion::StepDown(self, next, dt);
    champion::StepRage(self, next, rules);
    if (monster::IsOneOf(self->state, champion::kTurnStates)) {
        TurnTowardFoe(self, dt);
    }
    StepDamage(self, InHitStopState(self, traits));
    StepStatus(self, dt);
    StepHeroHits(self, next, traits);
    for (int32_t i = 0; i < 2; ++i) {
        const ChampionRules::Beam &beam = rules.beams[i];
        StepBeam(self, &self->Beams[i], beam.state >= 0 && self->state == beam.state, beam.particle, beam.weaponId);
    }
    const StateSound sounds[] = {{2, 6300310},  {3, 6270000},  {4, 6300290},  {8, 6300290},  {12, 6300290},
                                 {19, 6300290}, {6, 6300110},  {10, 6300170}, {11, rules.sound11},
                                 {14, 6270010}, {16, 6270030}, {17, 6270010}, {22, 6270010}};
    StepHoldAndEntrySound(self, traits, sounds);
    if (self->state == traits.guardState && HitWithoutGuardBreak(self)) {
        monster::PlaySound(champion::kGuardSound);
    }
    monster::StepHitStop(self, dt);
    if (StepBossDeath(self, next)) {
        ChampionModelGone(self);
    }
    StepBossEnd(self, traits);
    StepFlags(self, traits, dt);
    StepMove(self, goal, dt,
             {.turn = self->state == champion::kWalkState, .collide = self->state == champion::kCollideState});
    CountFlinchExit(self, *next, traits, &self->Escape);
    StepHandOver(self);
}

}  // namespace boss
