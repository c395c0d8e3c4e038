// What bosses 1106 and 1107 share: the forward walker. It always walks
// ahead along its facing and steers only by turning toward its target at
// a fixed rate; it guards, waits, recovers, and reacts to a hero that
// holds, shakes and throws it. The think step is one for both, with the
// walk input W (5 for 1106, 1 for 1107); the act steps below are called
// by each boss's act in its order.
#pragma once

#include <cstdint>
#include <span>

#include "actor/ai_object.h"
#include "boss/boss_frame.h"

namespace boss {

// The timers each walker keeps in its own words.
struct WalkerTimers {
    float *guard;     // state 19
    float *recovery;  // state 16
    float *wait;      // state 3
};

// The shared think: the frame's message loop (damage of states 18 and 19
// only with bit 64, which breaks the guard; control code 8192 bringing a
// model lets go of a hero's hold) and the sensing: the kept target with
// walk input `walk` (a held walker keeps its input), the alarm circle's 1
// or 11 by the state random, the attack range's 10 for a target in the
// attack cone.
void WalkerThink(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, int32_t walk);

// In the listed states, on entry (once per entry by `done`): the boss faces
// its target at once, or home without one; `done` clears elsewhere.
void FaceTargetOnEntry(AiObject *boss, std::span<const int32_t> states, bool *done);
// In states 1, 2, 3, 18 and 19: turning toward the target (home without
// one) by TurnDeg x dt, none within the 0.99 dead zone.
void WalkerTurn(AiObject *boss, float dt);
// Damage: the frame's, with the hit-stop only in the hit-stop state while
// neither grab-locked nor thrown.
void WalkerDamage(AiObject *boss, const BossTraits &traits);
// State 3 feeds 2 after 3 s; the recovery state's input 17 while the boss
// is neither held, grab-locked nor thrown and its target is not in its
// grab move; the guard (the guarding flag also in state 18).
void WalkerTimersStep(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, const WalkerTimers &timers);
// The hero's hold: the thrown recovery (frozen 0.3 s, its damage held back
// and given again 0.3 s later), state 0 letting go of the held flag, the
// shaking in states 16 and 17, a held boss leaving states 5, 7 and 12
// with input 30, and state 23 feeding 2 after 1 s.
void WalkerHoldRules(AiObject *boss, int32_t *next, float dt);
// The entry sounds of the table and, in states 18 and 19, the guard sound
// in every frame in which a hit without bit 64 arrives.
void WalkerSounds(AiObject *boss, const BossTraits &traits, std::span<const StateSound> sounds);
// The hit-stop, which runs only while neither grab-locked nor thrown and
// not in state 20; the dying and gone states clear it.
void WalkerHitStop(AiObject *boss, float dt, const BossTraits &traits);
// The move: always toward the point one unit ahead, without turning,
// with the full character move in `collideStates`; nothing while thrown,
// dying, removed or event-held.
void WalkerMove(AiObject *boss, float dt, std::span<const int32_t> collideStates);

}  // namespace boss
