// Textures engine module: block size and open/close callbacks registered by
// RwEngineInit. Placeholder until that module's own work replaces the block
// record, its size and these callbacks; the block is only zeroed for now.
#include <cstring>

#include "src/bacoremodules.h"

const RwInt32 rwTextureModuleBlockSize = 96;  // real size of this module's block record (64-bit)
RwInt32 rwTextureModuleOffset = -1;

void *RwTextureOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwTextureModuleOffset = offset;
    std::memset(static_cast<RwUInt8 *>(instance) + offset, 0, static_cast<size_t>(size));
    return instance;
}

void *RwTextureClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)offset;
    (void)size;
    return instance;
}
