// The boss frame: what every boss does the same way, written once on the
// monster kit, with each boss's values from its traits row
// (boss_traits.h). A boss class is AiObject with its own words and the
// steps Update, Think, Act and SetState; the frame gives it
//   - the update (RunBossUpdate): think, act while active, the event hold,
//     set-state, the frame axes taken back, the pending damage dropped;
//   - the set-state body (EnterBossState) with its bound;
//   - the think step's message loop (RunBossMessages): event control, hits
//     read by the boss's rules, the model by the IsRender flag and the
//     boss's own sensing rule;
//   - the act step (RunBossAct): fourteen steps in order, the boss's own
//     state work at the fourth, reached statically through the class. A
//     boss that runs the steps in an order of its own calls the step
//     functions below itself.
#pragma once

#include <cstdint>
#include <span>

#include "actor/ai_message.h"
#include "boss/boss_traits.h"
#include "monster/kit_combat.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "monster/kit_state.h"

namespace boss {

using monster::StateSound;

// Burning lasts 4 s (2 % of MaxHP every 30 acts, 4 % with resistance bit
// 64); poison 30 s, 1 % of MaxHP every 60 acts.
inline constexpr monster::StatusRule kBossStatus = {
    .burnSeconds = 4.0f, .poisonSeconds = 30.0f, .poisonTickActs = 60, .poisonShare = 0.01f};
// How far from home a boss counts as home.
inline constexpr float kBossHomeDistance = 10.0f;
// The kept target of the sensing rules.
inline constexpr float kBossLostTargetSeconds = 1.0f;

// The hits of a boss as the kit reads them: the counted bits of every
// actor, the traits' heavy input, no-damage states and guard break; the
// sender becomes the last attacker and the last hitter; grabs only where
// a boss's rules take them.
monster::HitRules BossHitRules(const BossTraits &traits);

// ---- set-state and update ----

// The set-state body for states below the traits' bound (unsigned: -1
// changes nothing): the motion with the transition's blend (unless the
// event gave the model), the state, its clock and speed, the entry flag,
// the death tint cleared, the seeded state random, the heroes' hit marks
// re-armed; 1106 and 1107 also format their state-change line.
void EnterBossState(AiObject *boss, CFSF *fsf, int32_t state, const BossTraits &traits);

// The event hold of the update: an event-held boss that is not busy goes
// to its hold state, or, standing in it, takes its input-0 transition.
void HoldForEvent(AiObject *boss, int32_t *next, const BossTraits &traits);

// The update of every boss. Nothing once removed; then the boss's own step
// before thinking (when it has one: `BeforeThink`), think, act while
// active, and, unless removed by now, the event hold, set-state, the
// frame's axes copied into the cached position and directions, and the
// pending damage dropped.
template <typename Boss>
void RunBossUpdate(Boss *self, float dt)
{
    if (self->removed) {
        if constexpr (requires { self->WhileRemoved(); }) {
            self->WhileRemoved();
        }
        return;
    }
    if constexpr (requires { self->BeforeThink(); }) {
        self->BeforeThink();
    }
    self->ignoreFoes = false;
    int32_t next = -1;
    self->Think(&next, dt);
    if (self->active) {
        self->Act(&next, dt);
    }
    if (self->removed) {
        return;
    }
    HoldForEvent(self, &next, Boss::kTraits);
    self->SetState(self->Fsf(), next);
    self->SyncFrameAxes();
    self->pendingDamage = 0;
}

// ---- think ----

// The model by the visibility-instancing flag: with IsRender clear a boss
// with a model (not the event's) gives it back, and `modelGone` (may be
// null) lets go of what the boss keeps on it; with IsRender set a boss
// without a model takes one (active, on the ground, on its motion). False
// when none is free: the think step ends and tries again next frame.
bool SenseBossModel(AiObject *boss, void (*modelGone)(AiObject *));

// How the loop reads what every boss reads alike.
struct BossThinkRules {
    void (*modelGone)(AiObject *) = nullptr;  // see SenseBossModel
    // Control code 8192 that brings the boss its model also lets go of a
    // hero's hold (the held flag).
    bool showClearsHeld = false;
    // Every control code 8192 lets go of a hero's hold.
    bool holdClearsHeld = false;
    // The sensing message first takes or gives back the model by the
    // IsRender flag (a boss that comes and goes by itself does not).
    bool sensesModel = true;
};

// The think step's message loop over as many messages as the queue holds:
// one input, 0 at the start, kept from one message to the next. Kind 0
// the event control; kind 1 a hit, `hit(message, input)` giving the input
// (the hit feeds it unless the boss ignores hits); kind 3 the model, then
// `sense(bits, &input)`, which feeds the input unless it returns false;
// other kinds are dropped. Every input goes through FeedInput. False when
// a wanted model is not to be had (the loop ends there).
template <typename Hit, typename Sense>
bool RunBossMessages(AiObject *self, int32_t *next, const BossTraits &traits, const BossThinkRules &rules, Hit hit,
                     Sense sense)
{
    int32_t input = 0;
    return monster::DrainMessages(self, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgControl: {
            const bool hadModel = self->model != nullptr;
            if (!monster::HandleEventControl(self, m, next, {.showHoldClearsKnock = false})) {
                return false;
            }
            if ((rules.showClearsHeld && !hadModel && self->model != nullptr) ||
                (rules.holdClearsHeld && m.word[1] == kCtlShowHold)) {
                self->heldByHero = false;
            }
            return true;
        }
        case kMsgHitActor:
            if (traits.heavyInput >= 0) {
                input = hit(m, input);
                monster::FeedInput(self, next, input);
            }
            return true;
        case kMsgSensing:
            if (rules.sensesModel && !SenseBossModel(self, rules.modelGone)) {
                return false;
            }
            if (sense(m.word[0], &input)) {
                monster::FeedInput(self, next, input);
            }
            return true;
        default:
            return true;
        }
    });
}

// The sensing rule that keeps a lost target for 1.0 s. With bit 2: the
// foes found and the target picked, the timer restarted; a target gives
// `walk`; without one, home gives 0, else `walk`. Without bit 2: input 0
// while the timer runs (it grows by dt); then the target is dropped and
// home gives 0, else `walk`. With `heldKeeps`, a boss a hero holds keeps
// the input at home with bit 2, lets the timer run out at once, and walks
// from home without it.
int32_t SenseKeptTarget(AiObject *boss, int32_t bits, int32_t input, int32_t walk, float dt, bool heldKeeps);
// The alarm bit (8) of the sensing rules that remember where the foe
// stood: the foes found and the target picked; with a target the input is
// `withTarget` and, outside `keepState`, the target's position goes to
// *remembered. True with a target.
bool SenseAlarmRemembering(AiObject *boss, int32_t bits, int32_t withTarget, int32_t keepState, RwV3d *remembered,
                           int32_t *input);
// The attack bit (4) of the same rules: without it *inRange := false; with
// it the foes found and the target picked, *inRange := true with a target,
// and false (no input, *inRange kept) without one.
bool SenseAttackInRange(AiObject *boss, int32_t bits, bool *inRange);

// Whether the target lies in the attack cone: the direction from one
// unit behind the boss to it against the facing, beyond cos(AttackHalfAngle).
bool TargetInAttackCone(AiObject *boss);
// The cosine of the direction to the target from the point 5 units behind
// the boss against its facing (1 without a target), and whether it lies
// in the attack cone by that measure.
float TargetCosineFromBehind(AiObject *boss);

// ---- act ----

// A point the boss walks to and how far it is.
struct BossGoal {
    RwV3d point = {0.0f, 0.0f, 0.0f};
    float distance = 0.0f;
};
// Step 1: with a target, the next point toward it at the state's Speed
// (MoveStep, which raises the path-following flag around obstacles).
struct BossWay {
    RwV3d point = {0.0f, 0.0f, 0.0f};
    bool has = false;
};
BossWay StepWaypoint(AiObject *boss, float dt);
// Step 3: the waypoint while following a path to the target, else the
// target, else home.
BossGoal StepGoal(AiObject *boss, const BossWay &way);
// Step 5: the weapons of an attack state against each hero not removed,
// each hero hit once per state entry with the kind-2 hit; `onFresh` shows
// each fresh blow (a boss that notes its blows calls ShowBlowOnHero itself).
void StepHeroHits(AiObject *boss, int32_t *next, const BossTraits &traits,
                  void (*onFresh)(AiObject *boss, const monster::FreshHit &hit) = &monster::ShowBlowOnHero);
// Step 6: in a state whose IsHurt is set, last frame's damage flashes the
// boss and costs HP; in `hitStopHere` it starts the hit-stop.
void StepDamage(AiObject *boss, bool hitStopHere);
bool InHitStopState(const AiObject *boss, const BossTraits &traits);
// Step 7: last frame's burn and poison take hold (unless resisted), and
// run: burning 4 s, poison 30 s, each costing HP unless event-held.
void StepStatus(AiObject *boss, float dt);
// Step 8: the hold-state flag, and the state's entry sound on its first
// act (the entry flag kept by states without one, and without sounds).
void StepHoldAndEntrySound(AiObject *boss, const BossTraits &traits, std::span<const StateSound> sounds);
// Step 10: with HP below 1, input 120; busy, no longer grabbed. True then.
bool StepBossDeath(AiObject *boss, int32_t *next);
// Step 11: the dying state's fade and status particles (once each); the
// gone state's drop, status particles off, the reward and the removal.
void StepBossEnd(AiObject *boss, const BossTraits &traits);
// The gone state's reward: a hero that struck last gains a kill and the
// boss's Exp.
void PayBossReward(AiObject *boss);
// Step 12: hurtable by the state's IsHurt, targetable by the traits; in
// the hold state the burn and poison timers run a second time.
void StepFlags(AiObject *boss, const BossTraits &traits, float dt);
// Step 13: the state's acceleration with the sign clamp, then, unless
// busy, removed or event-held, the move toward the goal by speed x dt.
struct BossMoveRule {
    bool turn = false;     // the boss turns to face its move
    bool collide = false;  // the full character move
};
void StepMove(AiObject *boss, const BossGoal &goal, float dt, const BossMoveRule &rule);
// Step 14: this frame's damage and status become the next act's; the
// last hitter forgotten.
void StepHandOver(AiObject *boss);

// The act step of a boss that runs the frame's order: waypoint, the
// boss's timers (`StepTimers`, when it has them), goal (`ChooseGoal`
// replaces the frame's when the boss has one), the boss's state work
// (`StateWork`), the hero hit test, damage, status, hold flag and entry
// sound (the class's `kSounds`), hit-stop, death, the end states, the
// flags, the move (the class's `MoveRule`) and the hand-over.
template <typename Boss>
void RunBossAct(Boss *self, int32_t *next, float dt)
{
    constexpr const BossTraits &traits = Boss::kTraits;
    const BossWay way = StepWaypoint(self, dt);
    if constexpr (requires { self->StepTimers(dt); }) {
        self->StepTimers(dt);
    }
    BossGoal goal;
    if constexpr (requires { self->ChooseGoal(way); }) {
        goal = self->ChooseGoal(way);
    } else {
        goal = StepGoal(self, way);
    }
    self->StateWork(next, dt);
    if (traits.hitsHeroes) {
        StepHeroHits(self, next, traits);
    }
    StepDamage(self, InHitStopState(self, traits));
    StepStatus(self, dt);
    StepHoldAndEntrySound(self, traits, Boss::kSounds);
    monster::StepHitStop(self, dt);
    StepBossDeath(self, next);
    StepBossEnd(self, traits);
    StepFlags(self, traits, dt);
    StepMove(self, goal, dt, self->MoveRule());
    StepHandOver(self);
}

// Once per visit of `state`: true the first act in it at which `ready`
// holds (*done set then); *done clears in every other state.
bool FirstInVisit(const AiObject *boss, int32_t state, bool *done, bool ready);

// Turning toward the target (home without one) by TurnDeg x dt: toward
// its side, a half turn in one sense when it lies behind, none within the
// 0.99 dead zone.
void TurnTowardFoe(AiObject *boss, float dt);

// The step `step` of a body of `radius` standing on the ground at the
// boss's feet, clipped against the world's walls (the sphere stands on the
// ground, so the floor it runs over is no wall); nothing moves. True when
// a wall shortened it.
bool ClipStepAgainstWorld(AiObject *boss, float radius, RwV3d *step);

// A particle system on the model frame with the user id, started and left
// to burn out (it goes back to its pool once dead); `attached` makes it
// follow the frame.
void StartOnFrame(AiObject *boss, const char *particle, int32_t userId, bool attached);
// The world matrix of the model frame with the user id; null without a
// model or such a frame.
const RwMatrix *UserFrameMatrix(AiObject *boss, int32_t userId);
// Its position, the origin when there is none.
RwV3d UserFramePosition(AiObject *boss, int32_t userId);
// Its position, the actor's own position when it has no such frame.
RwV3d FramePositionOr(AiObject *actor, int32_t userId);
// The world matrix of the boss's model (its root frame), null without one.
const RwMatrix *BossMatrix(AiObject *boss);
// The motion frame of the boss's clock: the animation clock x 60.
float ClockFrame(const AiObject *boss);

}  // namespace boss
