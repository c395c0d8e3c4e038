// Entering a state: the set-state body that every behaviour shares, and the
// sounds a state plays on its first act.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "monster/kit_common.h"

namespace monster {

// The clump's motion changed to `state` with the blend of the transition
// last taken (when the actor has a model) and the animation clock put on
// the motion's first frame.
void StartStateMotion(AiObject *actor, CFSF *fsf, int32_t state);

// The shared set-state body, for 0 <= state <= lastState (-1 and larger
// numbers change nothing, false then): unless the event gave the actor
// its model, the clump's motion changes to the state with the blend of the
// transition last taken and the animation clock goes to the motion's first
// frame; then the state, its speed, the state-entered flag, the death tint
// cleared, the per-entry flags re-armed (the hit mark of every hero of the
// stage, the once-per-entry effects), and, when the type draws one, the
// state random: the game's generator seeded with the last tick's time, so
// that every actor entering a state in one tick draws alike.
bool EnterState(AiObject *actor, CFSF *fsf, int32_t state, int32_t lastState, bool drawsStateRandom);

// One row of a state-sound table: the sounds a state plays on entry (0: none;
// a row without a second has none).
struct StateSound {
    int32_t state;
    int32_t first;
    int32_t second = 0;
};
// On the first act of a state (the state-entered flag, cleared here) its
// sounds from the table play once, not looped.
void PlayEntrySounds(AiObject *actor, std::span<const StateSound> table);
// A sound that plays once on entering `state` and stops when the actor is
// in another state (kept in the dizzy-sound flag). A state of -1 never plays.
void StepStateLoopSound(AiObject *actor, int32_t state, int32_t soundId);

// Time the game's generator is seeded with on a state entry.
uint32_t StateRandomSeed();

}  // namespace monster
