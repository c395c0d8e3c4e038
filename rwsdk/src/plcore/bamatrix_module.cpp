// Matrix module: creates the matrix free list when the engine starts, turns
// the identity shortcuts on and installs the portable multiply and the
// default tolerances; destroys the free list when the engine stops.
#include <cstring>

#include "rwengine.h"
#include "rwmemory.h"
#include "src/bacoremodules.h"
#include "src/plcore/bamatrix.h"

const RwInt32 rwMatrixModuleBlockSize = static_cast<RwInt32>(sizeof(rwMatrixGlobals));
RwInt32 rwMatrixModuleOffset = -1;

// The free list's own record lives here, not in the heap, so a restart
// reuses it.
static RwFreeList matrixFreeListRecord;

static constexpr RwInt32 rwMATRIXENTRIESPERBLOCK = 256;
static constexpr RwInt32 rwMATRIXALIGNMENT = 16;

rwMatrixGlobals *rwMatrixGetGlobals(void)
{
    return static_cast<rwMatrixGlobals *>(RwEngineGetModuleBlock(rwMatrixModuleOffset));
}

void *RwMatrixModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwMatrixModuleOffset = offset;
    auto *globals = reinterpret_cast<rwMatrixGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->matrixFreeList = RwFreeListCreateEx(static_cast<RwInt32>(sizeof(RwMatrix)), rwMATRIXENTRIESPERBLOCK,
                                                 rwMATRIXALIGNMENT, 1, &matrixFreeListRecord);
    if (globals->matrixFreeList == nullptr) {
        return nullptr;
    }
    globals->optimizations = rwMATRIXINTERNALIDENTITY;
    globals->multiply = rwMatrixPortableMultiply;
    globals->tolerance = {0.01f, 0.01f, 0.01f};
    return instance;
}

void *RwMatrixModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *globals = reinterpret_cast<rwMatrixGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->matrixFreeList != nullptr) {
        RwFreeListDestroy(globals->matrixFreeList);
        globals->matrixFreeList = nullptr;
    }
    return instance;
}
