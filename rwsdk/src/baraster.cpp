// Raster operations: records from the free list, pixel work forwarded to
// the device's standard functions, and the raster-context stack that says
// which raster the device draws into and clears.
#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwresources.h"
#include "src/baraster.h"

RwBool rwStandardCall(RwInt32 slot, void *out, void *inOut, RwInt32 number)
{
    RwStandardFunc function = RwEngineInst->stdFunc[slot];
    return function != nullptr && function(out, inOut, number) != 0;
}

RwRaster *RwRasterCreate(RwInt32 width, RwInt32 height, RwInt32 depth, RwInt32 flags)
{
    rwRasterGlobals *globals = rwRasterGetGlobals();
    auto *raster = static_cast<RwRaster *>(RwFreeListEntryAlloc(globals->rasterFreeList));
    if (raster == nullptr) {
        return nullptr;
    }
    raster->parent = raster;
    raster->cpPixels = nullptr;
    raster->palette = nullptr;
    raster->width = width;
    raster->height = height;
    raster->depth = depth;
    raster->stride = 0;
    raster->nOffsetX = 0;
    raster->nOffsetY = 0;
    raster->cType = 0;
    raster->cFlags = 0;
    raster->privateFlags = 0;
    raster->cFormat = 0;
    raster->originalWidth = 0;
    raster->originalHeight = 0;
    raster->originalStride = 0;
    raster->originalReserved = 0;
    if (!rwStandardCall(rwSTANDARDRASTERCREATE, nullptr, raster, flags)) {
        RwFreeListEntryFree(globals->rasterFreeList, raster);
        return nullptr;
    }
    if (RwPluginRegistryInitObject(RwRasterGetPluginRegistry(), raster) == nullptr) {
        rwStandardCall(rwSTANDARDRASTERDESTROY, nullptr, raster, 0);
        RwFreeListEntryFree(globals->rasterFreeList, raster);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return raster;
}

RwBool RwRasterDestroy(RwRaster *raster)
{
    RwPluginRegistryDeInitObject(RwRasterGetPluginRegistry(), raster);
    rwStandardCall(rwSTANDARDRASTERDESTROY, nullptr, raster, 0);
    RwFreeListEntryFree(rwRasterGetGlobals()->rasterFreeList, raster);
    return TRUE;
}

RwUInt8 *RwRasterLock(RwRaster *raster, RwUInt8 level, RwInt32 lockMode)
{
    RwUInt8 *pixels = nullptr;
    const RwInt32 number = ((static_cast<RwInt32>(level) & 0xFF) << 8) + lockMode;
    if (!rwStandardCall(rwSTANDARDRASTERLOCK, &pixels, raster, number)) {
        return nullptr;
    }
    return pixels;
}

RwRaster *RwRasterUnlock(RwRaster *raster)
{
    rwStandardCall(rwSTANDARDRASTERUNLOCK, nullptr, raster, 0);
    return raster;
}

RwUInt8 *RwRasterLockPalette(RwRaster *raster, RwInt32 lockMode)
{
    RwUInt8 *palette = nullptr;
    if (!rwStandardCall(rwSTANDARDRASTERLOCKPALETTE, &palette, raster, lockMode)) {
        return nullptr;
    }
    return palette;
}

RwRaster *RwRasterUnlockPalette(RwRaster *raster)
{
    rwStandardCall(rwSTANDARDRASTERUNLOCKPALETTE, nullptr, raster, 0);
    raster->privateFlags &= static_cast<RwUInt8>(~rwRASTERPALETTELOCKED);
    return raster;
}

RwInt32 RwRasterGetNumLevels(RwRaster *raster)
{
    if (!(raster->cFormat & (rwRASTERFORMATMIPMAP >> 8))) {
        return 1;
    }
    RwInt32 levels = 0;
    if (!rwStandardCall(rwSTANDARDRASTERGETMIPLEVELS, &levels, raster, 0)) {
        return -1;
    }
    return levels;
}

// At most nine rasters can be pushed above the built-in one.
RwRaster *RwRasterPushContext(RwRaster *raster)
{
    rwRasterGlobals *globals = rwRasterGetGlobals();
    if (globals->stackDepth >= rwRASTERCONTEXTSTACKSIZE - 1) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    if (!rwStandardCall(rwSTANDARDSETRASTERCONTEXT, nullptr, raster, 0)) {
        return nullptr;
    }
    globals->contextStack[++globals->stackDepth] = raster;
    return raster;
}

// The depth stays lowered even when the device refuses the raster below.
RwRaster *RwRasterPopContext(void)
{
    rwRasterGlobals *globals = rwRasterGetGlobals();
    if (globals->stackDepth <= 0) {
        RwErrorReport(rwID_CORE, E_RW_NORASTERCONTEXT);
        return nullptr;
    }
    RwRaster *popped = globals->contextStack[globals->stackDepth--];
    if (!rwStandardCall(rwSTANDARDSETRASTERCONTEXT, nullptr, globals->contextStack[globals->stackDepth], 0)) {
        return nullptr;
    }
    return popped;
}

RwRaster *RwRasterGetCurrentContext(void)
{
    rwRasterGlobals *globals = rwRasterGetGlobals();
    return globals->contextStack[globals->stackDepth];
}

RwBool RwRasterClear(RwInt32 pixelValue)
{
    if (rwRasterGetGlobals()->stackDepth == 0) {
        RwErrorReport(rwID_CORE, E_RW_NORASTERCONTEXT);
        return FALSE;
    }
    rwStandardCall(rwSTANDARDRASTERCLEAR, nullptr, nullptr, pixelValue);
    return TRUE;
}

RwRaster *RwRasterShow(RwRaster *raster, void *windowHandle, RwInt32 flags)
{
    RwResourcesNextFrame();
    if (!rwStandardCall(rwSTANDARDRASTERSHOWRASTER, raster, windowHandle, flags)) {
        return nullptr;
    }
    return raster;
}
