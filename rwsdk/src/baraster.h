// Private to the raster module: its engine block (the context stack and the
// raster free list).
#pragma once

#include "rwraster.h"

struct RwFreeList;

struct rwRasterGlobals {
    RwRaster *contextStack[rwRASTERCONTEXTSTACKSIZE];
    RwInt32 stackDepth;
    RwFreeList *rasterFreeList;
};

rwRasterGlobals *rwRasterGetGlobals(void);

// Calls a standard-function slot of the engine instance; a slot the device
// left empty fails.
RwBool rwStandardCall(RwInt32 slot, void *out, void *inOut, RwInt32 number);
