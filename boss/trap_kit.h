// The steps the traps share, over AiObject and the trap's row: taking a
// model (on the ground unless the row says not), the think step's event
// control and hits, the set-state bodies, the damage taken, the death with
// its jets given back, the drop or the reward for hero 0, the jets started
// on their nodes, the blows of a firing state on the heroes (a weapon once
// per weapon, the status renewed with 0 damage once it has worn off), and
// the state sounds.
#pragma once

#include <cstdint>
#include <span>

#include "actor/ai_message.h"
#include "actor/ai_object.h"
#include "boss/trap_traits.h"

class CFSF;
class CSParticleSystem;

namespace trap {

// The trap's jets and the weapon that last touched a hero.
struct JetSet {
    bool *started;
    std::span<CSParticleSystem *> jets;
    int32_t *lastWeaponId;
};

// A model of the trap's type: active, shown, on its current motion at its
// animation clock, put on the ground when the row says so (and the stage
// has collision). False when none is free (the think step ends).
bool TakeTrapModel(AiObject *actor, const TrapTraits &row);

// What an event action did to the trap.
enum class EventSwitch : uint8_t {
    kNoModel,     // a model was wanted and none is free (the think ends)
    kRead,        // read: switched off, a drop named, or nothing for it
    kSwitchedOn,  // its own group's notice
};
// Kind 0 of the event actions: 8192 with the trap's own non-zero group
// switches it on (taking a model when it has none), 16384 switches it off,
// any code with bit 32768 names its drop.
EventSwitch SwitchByEvent(AiObject *actor, const TrapTraits &row, const MSGData &message);
// A hero's hit of attribute 1 or 64: its blow damage (monster::AddBlowDamage).
void TakeHit(AiObject *actor, const MSGData &message);

// The set-state body: the motion changed to the state (with the blend of
// the transition last taken) when the trap has a model, the animation
// clock at the state's first frame, the state; then, as asked, the heroes'
// hit marks cleared, the death tint cleared and the state-entered flag set.
struct SetStateRules {
    bool clearsHitMarks = true;
    bool clearsDeathTint = true;
    bool marksEntry = true;
};
bool EnterTrapState(AiObject *actor, CFSF *fsf, int32_t state, int32_t lastState, const SetStateRules &rules);

// Last frame's hits when the state's IsHurt is set: the hit flash and the
// HP, and the hurt sound when `withSound`.
void TakeDamage(AiObject *actor, bool withSound);
// HP below 1: input 120 and the dying flag; true then.
bool StepDeath(AiObject *actor, int32_t *next);
// Every jet stops emitting and goes back to its pool once its particles
// are gone; the trap forgets it.
void LetGoJets(const JetSet &set);
// The jets of the row on their nodes, once (the started flag).
void StartJets(AiObject *actor, const TrapTraits &row, const JetSet &set);

// In the firing state with a model: each hero not removed that a weapon of
// the state touches is hit once per weapon (a different weapon clears the
// hero's mark), and a hero still touched whose status has worn off gets it
// again with 0 damage.
void BlowOnHeroes(AiObject *actor, const TrapTraits &row, const JetSet &set);

// In the gone state: the drop (the event's, or a roll of the drop map);
// when nothing drops, the kill and the reward of hero 0 (none without a
// hero 0); then out of play.
void GoneWithReward(AiObject *actor, const TrapTraits &row);

// The update's first half: nothing once removed; else *next := -1, the
// think step, and the act step while active. False when removed.
template <typename Think, typename Act>
bool ThinkThenAct(AiObject *actor, float dt, int32_t *next, Think think, Act act)
{
    if (actor->removed) {
        return false;
    }
    *next = monster::kNoState;
    think(actor, next);
    if (actor->active) {
        act(actor, next, dt);
    }
    return true;
}

// The state sounds on the first act of states 1, 2 and 3.
void PlayStateSounds(AiObject *actor);
// Hurtable := the state's IsHurt; the hand-over of this frame's hits.
void EndAct(AiObject *actor);

// A kind-2 hit on a hero from the trap.
void HitHero(AiObject *trap, AiObject *hero, int32_t attribute, int32_t damage);
// The status of the attribute has worn off on the hero (always true for a
// row without one).
bool StatusWornOff(AiObject *hero, TrapStatus status);

}  // namespace trap
