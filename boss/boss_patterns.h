// The patterns several bosses repeat with their own values (the last
// columns of their traits rows): the guard that ends after its time or
// breaks under a heavy hit, the recovery state's input 17 at an interval,
// the escape from three hurtable frames in the hurt window, and the HP
// phases that force the phase state once each.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "boss/boss_traits.h"

namespace boss {

// The guard state: this frame's guard break (status 8, a hit with bit 64)
// clears the timer and feeds 102; otherwise the timer grows by dt and at
// the traits' guard time feeds 18 and starts again (with `feedsIdle`, input
// 0 is fed in the frames between). Nothing outside the guard state. True
// while the boss stands in it unbroken.
bool StepGuardState(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, float *timer, bool feedsIdle);

// A hit without the guard break this frame (the last hitter is set).
bool HitWithoutGuardBreak(const AiObject *boss);

// The recovery state: while `running`, the timer grows by dt and, each time
// it reaches the traits' interval, starts again and feeds 17 when the state
// random is below the traits' bound and `mayRecover`; elsewhere (or not
// running) the timer is 0.
void StepRecovery(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, float *timer, bool running,
                  bool mayRecover);

// The hurt window of the escape: the window grows while below 2.0 s; a
// frame in a hurtable state while it is below 2.0 s counts.
inline constexpr float kHurtWindowSeconds = 2.0f;
void CountHurtWindow(AiObject *boss, float dt, float *window, int32_t *hurtableFrames);
// In the recovery state: a window that has run its 2.0 s opens again;
// past two hurtable frames in it, input 108 (when `mayEscape`) and the
// count starts again.
void StepHurtEscape(AiObject *boss, int32_t *next, float *window, int32_t *hurtableFrames, bool mayEscape = true);

// The escape of bosses 1109 and 1110: each exit from the flinch state (the
// recovery state) counts; the first frame in it opens a 2-s window, and the
// third exit within it feeds 108 once. The window stands still in the grab
// fight (`paused`) and closes after its 2 s.
struct FlinchEscape {
    float window = 0.0f;
    int32_t count = 0;
    bool armed = false;
    bool leftFlinch = false;
};
// At the act's escape step: the window opened, run, closed; the escape fed.
void StepFlinchEscape(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, FlinchEscape *escape,
                      bool paused);
// At the act's end: whether `next` leaves the flinch state (for a state
// below `bound`); such an exit counts.
void CountFlinchExit(const AiObject *boss, int32_t next, const BossTraits &traits, FlinchEscape *escape);

// The HP phases: for the traits' thresholds in order, a phase not yet done
// whose threshold HP has crossed feeds 16 while `allowed`; the first whose
// transition reaches the phase state is marked done, and the others wait
// for a later frame (they fire one after another). True when one fired.
// Only bosses with HP phases (a phase state) call it.
bool StepHpPhases(AiObject *boss, int32_t *next, const BossTraits &traits, bool done[3], bool allowed);

// Lets go of a character the boss holds (kind 2 {0, 512, 0}); the word is
// cleared. Nothing when it holds none.
void LetGoOfHeld(AiObject *boss, AiObject **held);

// Excluded from broadcasts and not solid in `excluded` states (the update's
// step before thinking of 1101 and 1103), else included and solid.
void ExcludeInStates(AiObject *boss, const int32_t (&excluded)[2]);

// A glow (material animation 40, looping) that runs while the boss has its
// model, while `on` (the stage-41 world, the hit-timer switch); *glowing
// says whether it runs.
void StepGlow(AiObject *boss, bool on, bool *glowing);

// What a hero's hold does to a boss, state by state: a state that lets go
// of the held flag, the states in which a shaking hero jolts it, the blows
// a held boss leaves with input 30 (its anchor kept), and the get-up state
// that feeds 2 after 1 s (-1 pads the lists).
struct HeroHoldStates {
    int32_t letGoState;
    int32_t shakeStates[2];
    int32_t leaveStates[5];
    int32_t getUpState;
};
// The thrown recovery (frozen 0.3 s, its damage held back and given again
// 0.3 s later), then the states' rules above.
void StepHeroHold(AiObject *boss, int32_t *next, float dt, const HeroHoldStates &states);

// Whether the boss's target is a hero in its own grab move.
bool TargetInGrabMove(const AiObject *boss);

}  // namespace boss
