// The colour module keeps no data; it is registered so the module order and
// offsets stay as the engine expects, and it only counts opens and closes.
#include "rwcolor.h"
#include "src/bacoremodules.h"

const RwInt32 rwColorModuleBlockSize = 0;
RwInt32 rwColorModuleOffset = -1;
static RwInt32 colorModuleOpenCount = 0;

void *RwColorModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    rwColorModuleOffset = offset;
    ++colorModuleOpenCount;
    return instance;
}

void *RwColorModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)offset;
    (void)size;
    if (colorModuleOpenCount > 0) {
        --colorModuleOpenCount;
    }
    return instance;
}

RwInt32 RwColorModuleGetOpenCount(void) { return colorModuleOpenCount; }
