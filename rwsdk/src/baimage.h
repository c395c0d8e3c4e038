// Private to the image module: its engine block (free lists, search path,
// gamma tables, the name buffer candidate file names are built in, and the
// list of registered file formats).
#pragma once

#include "rwimage.h"

// A channel byte to the 0-1 range.
static constexpr RwReal rwONEOVER255 = 0.003921569f;

struct rwImageGlobals {
    RwFreeList *imageFreeList;
    RwChar *path;
    RwInt32 pathSize;
    RwUInt8 gammaTable[256];
    RwUInt8 invGammaTable[256];
    RwReal gammaVal;
    RwChar *nameBuffer;
    RwInt32 nameBufferSize;
    RwFreeList *formatFreeList;
    RwImageFormat *formatList;
};

rwImageGlobals *rwImageGetGlobals(void);
RwPluginRegistry *rwImageGetPluginRegistry(void);
// Fills the block's forward and inverse tables for `gammaValue`.
void rwImageBuildGammaTables(rwImageGlobals *globals, RwReal gammaValue);
