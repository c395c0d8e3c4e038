// Image-raster conversions: the device turns images into raster pixels and
// back, and says which raster suits an image, through its standard functions.
#include <cstring>

#include "rwengine.h"
#include "rwimage.h"
#include "rwraster.h"

RwBool RwStandardFunctionCall(RwInt32 slot, void *out, void *inOut, RwInt32 number)
{
    RwStandardFunc function = RwEngineInst->stdFunc[slot];
    return function != nullptr && function(out, inOut, number) != 0;
}

RwRaster *RwRasterSetFromImage(RwRaster *raster, RwImage *image)
{
    if (!RwStandardFunctionCall(rwSTANDARDRASTERSETIMAGE, raster, image, 0)) {
        return nullptr;
    }
    if (image->flags & rwIMAGEGAMMACORRECTED) {
        raster->privateFlags |= rwRASTERPIXELDATASET;
    }
    return raster;
}

RwImage *RwImageSetFromRaster(RwImage *image, RwRaster *raster)
{
    if (!RwStandardFunctionCall(rwSTANDARDIMAGEGETRASTER, image, raster, 0)) {
        return nullptr;
    }
    if (raster->privateFlags & rwRASTERPIXELDATASET) {
        image->flags |= rwIMAGEGAMMACORRECTED;
    }
    return image;
}

RwImage *RwImageFindRasterFormat(RwImage *ipImage, RwInt32 nRasterType, RwInt32 *npWidth, RwInt32 *npHeight,
                                 RwInt32 *npDepth, RwInt32 *npFormat)
{
    // The device fills a scratch record as big as any raster with its
    // extensions, so it may look at its own extension safely.
    alignas(16) RwUInt8 scratch[1024];
    std::memset(scratch, 0, sizeof(scratch));
    auto *raster = reinterpret_cast<RwRaster *>(scratch);
    if (RwRasterGetPluginRegistry()->sizeOfStruct > static_cast<RwInt32>(sizeof(scratch)) ||
        !RwStandardFunctionCall(rwSTANDARDIMAGEFINDRASTERFORMAT, raster, ipImage, nRasterType)) {
        return nullptr;
    }
    *npWidth = raster->width;
    *npHeight = raster->height;
    *npDepth = raster->depth;
    *npFormat = (static_cast<RwInt32>(raster->cFormat) << 8) | raster->cType;
    return ipImage;
}
