// Images engine module: block size and open/close callbacks registered by
// RwEngineInit. Placeholder until that module's own work replaces the block
// record, its size and these callbacks; the block is only zeroed for now.
#include <cstring>

#include "src/bacoremodules.h"

const RwInt32 rwImageModuleBlockSize = 568;  // real size of this module's block record (64-bit)
RwInt32 rwImageModuleOffset = -1;

void *RwImageOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwImageModuleOffset = offset;
    std::memset(static_cast<RwUInt8 *>(instance) + offset, 0, static_cast<size_t>(size));
    return instance;
}

void *RwImageClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)offset;
    (void)size;
    return instance;
}

// Gamma set-up the engine calls at start with the device's gamma value.
// Placeholder: the images work builds the gamma tables here.
RwBool RwImageSetGamma(RwReal gammaValue)
{
    (void)gammaValue;
    return TRUE;
}
