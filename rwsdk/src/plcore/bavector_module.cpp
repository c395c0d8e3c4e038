// Square-root module: builds the two square-root lookup tables when the
// engine starts and installs the portable point and direction transforms;
// frees the tables when the engine stops.
#include <cmath>
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "src/bacoremodules.h"
#include "src/plcore/bavector.h"

const RwInt32 rwV3dModuleBlockSize = static_cast<RwInt32>(sizeof(rwV3dGlobals));
RwInt32 rwV3dModuleOffset = -1;

rwV3dGlobals *rwV3dGetGlobals(void)
{
    return static_cast<rwV3dGlobals *>(RwEngineGetModuleBlock(rwV3dModuleOffset));
}

// The tables hold, for each of 2048 mantissa steps in [1, 2) and in [2, 4),
// the root's bit pattern with the exponent part taken out, so that a lookup
// plus the halved exponent of the argument rebuilds the root.
static void BuildTables(RwUInt32 *sqrtTable, RwUInt32 *invTable)
{
    const RwInt32 half = rwSQRTTABLEENTRIES / 2;
    for (RwInt32 i = 0; i < half; ++i) {
        const RwReal x = BitsFloat(0x3F800000u + static_cast<RwUInt32>(i) * 0x1000u);
        const RwReal root = std::sqrt(x);
        sqrtTable[half + i] = FloatBits(root) - 0x1FC00000u;
        invTable[half + i] = FloatBits(static_cast<RwReal>(1.0 / std::sqrt(static_cast<double>(x)))) - 0x20000000u;
    }
    for (RwInt32 i = 0; i < half; ++i) {
        const RwReal x = BitsFloat(0x40000000u + static_cast<RwUInt32>(i) * 0x1000u);
        const RwReal root = std::sqrt(x);
        sqrtTable[i] = FloatBits(root) - 0x20000000u;
        invTable[i] = FloatBits(static_cast<RwReal>(1.0 / std::sqrt(static_cast<double>(x)))) - 0x1FC00000u;
    }
}

void *RwV3dModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwV3dModuleOffset = offset;
    auto *globals = reinterpret_cast<rwV3dGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->transformPoints = rwV3dPortableTransformPoints;
    globals->transformDirections = rwV3dPortableTransformDirections;

    const size_t tableBytes = sizeof(RwUInt32) * rwSQRTTABLEENTRIES;
    globals->sqrtTable = static_cast<RwUInt32 *>(RwMalloc(tableBytes));
    if (globals->sqrtTable == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    globals->invSqrtTable = static_cast<RwUInt32 *>(RwMalloc(tableBytes));
    if (globals->invSqrtTable == nullptr) {
        RwFree(globals->sqrtTable);
        globals->sqrtTable = nullptr;
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    BuildTables(globals->sqrtTable, globals->invSqrtTable);
    return instance;
}

void *RwV3dModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *globals = reinterpret_cast<rwV3dGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->invSqrtTable != nullptr) RwFree(globals->invSqrtTable);
    if (globals->sqrtTable != nullptr) RwFree(globals->sqrtTable);
    globals->invSqrtTable = nullptr;
    globals->sqrtTable = nullptr;
    return instance;
}
