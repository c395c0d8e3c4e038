// The beams the casting bosses lay from a weapon toward their foe (1104's
// casting beam, 1109's and 1110's weapon beams): a particle system turned
// from its up axis onto the line from the weapon frame to the foe, set
// half-way along it with an emitter that reaches both ends, and following
// the weapon frame. One beam is laid per visit of its state and given back
// (through the particle manager's give-back path) when the boss leaves the
// state, loses its model or dies, so that no visit keeps a system of the
// template's pool or leaves a beam on the weapon.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"

class CSParticleSystem;

namespace boss {

struct BossBeam {
    CSParticleSystem *system = nullptr;
    bool laid = false;  // laid in this visit
};

// Where a beam toward `foe` ends: its frame 100090, else its position.
RwV3d BeamTargetOf(AiObject *foe);

// The beam's placement in the world: its up axis turned onto the line
// from `from` to `to` (no turn when the line is within 0.99 of the up axis
// either way), its centre half-way, and the half-length of its emitter
// (half the distance).
struct BeamPlacement {
    RwMatrix world;
    float halfLength;
};
BeamPlacement PlaceBeam(const RwV3d &from, const RwV3d &to);

// In a beam state (`inState`): once per visit, with a model and a foe, a
// system of `particle` laid from the boss's frame `weaponId` to the foe.
// Outside it the beam is let go of: it stops and goes back to its pool
// once its particles are gone.
void StepBeam(AiObject *boss, BossBeam *beam, bool inState, const char *particle, int32_t weaponId);
// Lets go of the beam (the model is gone, the boss dies).
void LetGoOfBeam(BossBeam *beam);
// Gives it back at once (the stage, with the frame it follows, is going).
void GiveBackBeam(BossBeam *beam);

}  // namespace boss
