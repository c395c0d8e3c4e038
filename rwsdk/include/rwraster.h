// Rasters: device-owned pixel buffers (textures, frame buffers, z-buffers,
// render targets). The engine keeps the record, its plug-in registry and
// the raster-context stack; everything that touches pixels is forwarded to
// the device through the standard-function slots of the engine instance.
#pragma once

#include "rwplugin.h"
#include "rwtypes.h"

struct RwRaster {
    RwRaster *parent;  // the raster whose pixels this one shares (itself for a top raster)
    RwUInt8 *cpPixels;  // while locked
    RwUInt8 *palette;   // while the palette is locked
    RwInt32 width;
    RwInt32 height;
    RwInt32 depth;   // bits per pixel, set by the device
    RwInt32 stride;  // bytes per line while locked
    RwInt16 nOffsetX;
    RwInt16 nOffsetY;
    RwUInt8 cType;
    RwUInt8 cFlags;
    RwUInt8 privateFlags;
    RwUInt8 cFormat;  // create flags bits 8-15, shifted down
    // Kept for the device while the raster is locked.
    RwInt32 originalWidth;
    RwInt32 originalHeight;
    RwInt32 originalStride;
    RwUInt32 originalReserved;
};

// Create flags: type in bits 0-2, type flags in bits 3-7, format above;
// combined with |, so plain constants rather than enumerations.
static constexpr RwInt32 rwRASTERTYPENORMAL = 0x00;
static constexpr RwInt32 rwRASTERTYPEZBUFFER = 0x01;
static constexpr RwInt32 rwRASTERTYPECAMERA = 0x02;
static constexpr RwInt32 rwRASTERTYPETEXTURE = 0x04;
static constexpr RwInt32 rwRASTERTYPECAMERATEXTURE = 0x05;
static constexpr RwInt32 rwRASTERTYPEMASK = 0x07;
static constexpr RwInt32 rwRASTERDONTALLOCATE = 0x80;

static constexpr RwInt32 rwRASTERFORMATDEFAULT = 0x0000;
static constexpr RwInt32 rwRASTERFORMAT1555 = 0x0100;
static constexpr RwInt32 rwRASTERFORMAT565 = 0x0200;
static constexpr RwInt32 rwRASTERFORMAT4444 = 0x0300;
static constexpr RwInt32 rwRASTERFORMATLUM8 = 0x0400;
static constexpr RwInt32 rwRASTERFORMAT8888 = 0x0500;
static constexpr RwInt32 rwRASTERFORMAT888 = 0x0600;
static constexpr RwInt32 rwRASTERFORMAT16 = 0x0700;
static constexpr RwInt32 rwRASTERFORMAT32 = 0x0900;
static constexpr RwInt32 rwRASTERFORMAT555 = 0x0A00;
static constexpr RwInt32 rwRASTERFORMATAUTOMIPMAP = 0x1000;
static constexpr RwInt32 rwRASTERFORMATPAL8 = 0x2000;
static constexpr RwInt32 rwRASTERFORMATPAL4 = 0x4000;
static constexpr RwInt32 rwRASTERFORMATMIPMAP = 0x8000;
static constexpr RwInt32 rwRASTERFORMATPIXELFORMATMASK = 0x0F00;
static constexpr RwInt32 rwRASTERFORMATMASK = 0xFF00;

// privateFlags bits of the palette lock, cleared by RwRasterUnlockPalette.
static constexpr RwUInt8 rwRASTERPALETTELOCKED = 0x18;
// Set by RwRasterSetFromImage.
static constexpr RwUInt8 rwRASTERPIXELDATASET = 0x01;

// Standard-function slots of the engine instance used by rasters and cameras.
enum RwStandardFunctionSlot : RwInt32 {
    rwSTANDARDCAMERABEGINUPDATE = 1,
    rwSTANDARDRASTERCREATE = 4,
    rwSTANDARDRASTERDESTROY = 5,
    rwSTANDARDCAMERAENDUPDATE = 10,
    rwSTANDARDSETRASTERCONTEXT = 11,
    rwSTANDARDRASTERCLEAR = 14,
    rwSTANDARDRASTERLOCK = 15,
    rwSTANDARDRASTERUNLOCK = 16,
    rwSTANDARDRASTERSHOWRASTER = 20,
    rwSTANDARDCAMERACLEAR = 21,
    rwSTANDARDRASTERLOCKPALETTE = 23,
    rwSTANDARDRASTERUNLOCKPALETTE = 24,
    rwSTANDARDRASTERGETMIPLEVELS = 28,
};

// Core error code of a raster operation that needs a pushed context.
static constexpr RwInt32 E_RW_NORASTERCONTEXT = 21;
// The context stack: slot 0 holds the built-in empty raster.
static constexpr RwInt32 rwRASTERCONTEXTSTACKSIZE = 10;

RwRaster *RwRasterCreate(RwInt32 width, RwInt32 height, RwInt32 depth, RwInt32 flags);
RwBool RwRasterDestroy(RwRaster *raster);
RwUInt8 *RwRasterLock(RwRaster *raster, RwUInt8 level, RwInt32 lockMode);
RwRaster *RwRasterUnlock(RwRaster *raster);
RwUInt8 *RwRasterLockPalette(RwRaster *raster, RwInt32 lockMode);
RwRaster *RwRasterUnlockPalette(RwRaster *raster);
RwInt32 RwRasterGetNumLevels(RwRaster *raster);
RwRaster *RwRasterPushContext(RwRaster *raster);
RwRaster *RwRasterPopContext(void);
RwRaster *RwRasterGetCurrentContext(void);
RwBool RwRasterClear(RwInt32 pixelValue);
RwRaster *RwRasterShow(RwRaster *raster, void *windowHandle, RwInt32 flags);

inline RwInt32 RwRasterGetWidth(const RwRaster *raster) { return raster->width; }
inline RwInt32 RwRasterGetHeight(const RwRaster *raster) { return raster->height; }
inline RwInt32 RwRasterGetDepth(const RwRaster *raster) { return raster->depth; }
inline RwInt32 RwRasterGetStride(const RwRaster *raster) { return raster->stride; }
inline RwInt32 RwRasterGetType(const RwRaster *raster) { return raster->cType & rwRASTERTYPEMASK; }
inline RwInt32 RwRasterGetFormat(const RwRaster *raster) { return static_cast<RwInt32>(raster->cFormat) << 8; }
inline RwRaster *RwRasterGetParent(const RwRaster *raster) { return raster->parent; }

RwInt32 RwRasterRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                               RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RwRasterGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RwRasterGetPluginRegistry(void);
