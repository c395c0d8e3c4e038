// The current default world-sector pipeline (the one a sector without a
// pipeline of its own, in a world without one, is drawn with), and the
// library's own defaults behind the current ones.
#include "rpd3d8pipe.h"
#include "world/baworld.h"

void RpWorldSetDefaultSectorPipeline(RwPipeline *pipeline)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    globals->currentSectorPipeline = pipeline != nullptr ? pipeline : globals->defaultSectorPipeline;
}

RwPipeline *RpWorldGetDefaultSectorPipeline(void) { return rpWorldGetGlobals()->currentSectorPipeline; }

RwPipeline *RpWorldGetGenericSectorPipeline(void) { return rpWorldGetGlobals()->defaultSectorPipeline; }

RwPipeline *RpAtomicGetGenericPipeline(void) { return rpWorldGetGlobals()->defaultAtomicPipeline; }
