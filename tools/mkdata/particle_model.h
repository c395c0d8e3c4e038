// The sample particle model: a clump with one standard-particle atomic whose
// emitter is set up the way the game sets its emitters up (emitter class
// 0x33, particle class 0x67, batches of 100, standard, colour, size and
// tank properties written through their offsets).
#pragma once

#include "rpworld.h"

namespace mkdata {

inline const char *ParticleModelName() { return "PARTICLE01.DFF"; }

// Builds the clump; null on failure. Needs the world library, the tank and
// the standard particles attached. The clump holds its own class references.
RpClump *BuildParticleClump();

}  // namespace mkdata
