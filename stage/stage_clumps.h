// Cloning and destroying the stage's models: through the game system when
// there is one (under the render lock, with the developer menu's clump list
// kept), else, as in the tools and the tests, the engine's own under the
// render lock.
#pragma once

#include "rpworld.h"

RpClump *CloneStageClump(RpClump *clump);
// Out of its world first; null is allowed.
void DestroyStageClump(RpClump *clump);
