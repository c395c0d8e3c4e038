// A texture made of one texture's colours and another's grey level as its
// alpha, named after both: how bump maps become the alpha channel of the
// base texture they roughen.
#include "rwcore.h"

void RwTextureMakeCombinedName(RwChar *out, const RwChar *colourName, const RwChar *alphaName)
{
    RwInt32 n = 0;
    while (n < rwTEXTURECOMBINEDNAMELENGTH && (*colourName != '\0' || *alphaName != '\0')) {
        if (*colourName != '\0') {
            out[n++] = *colourName++;
        }
        if (n < rwTEXTURECOMBINEDNAMELENGTH && *alphaName != '\0') {
            out[n++] = *alphaName++;
        }
    }
    out[n] = '\0';
}

// A 32-bit image of the raster's size holding its pixels.
static RwImage *ImageOfRaster(RwRaster *raster)
{
    RwImage *image = RwImageCreate(raster->width, raster->height, 32);
    if (image == nullptr) {
        return nullptr;
    }
    if (RwImageAllocatePixels(image) == nullptr || RwImageSetFromRaster(image, raster) == nullptr) {
        RwImageDestroy(image);
        return nullptr;
    }
    return image;
}

// A 32-bit image of the given size, every pixel opaque white.
static RwImage *WhiteImage(RwInt32 width, RwInt32 height)
{
    RwImage *image = RwImageCreate(width, height, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    for (RwInt32 y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + static_cast<RwInt64>(y) * image->stride);
        for (RwInt32 x = 0; x < width; ++x) {
            row[x] = {255, 255, 255, 255};
        }
    }
    return image;
}

// The colour image with the alpha image's grey level as its alpha, as a
// texture whose raster keeps mip levels when its source had them.
static RwTexture *TextureFromImages(RwImage *colour, RwImage *alpha, const RwRaster *source)
{
    if (alpha->width != colour->width || alpha->height != colour->height) {
        RwImage *scaled = RwImageCreateResample(alpha, colour->width, colour->height);
        if (scaled == nullptr) {
            return nullptr;
        }
        RwImageDestroy(alpha);
        alpha = scaled;
    }
    RwImageMakeMask(alpha);
    RwImage *masked = RwImageApplyMask(colour, alpha);
    RwImageDestroy(alpha);
    RwInt32 width = 0;
    RwInt32 height = 0;
    RwInt32 depth = 0;
    RwInt32 format = 0;
    if (masked == nullptr ||
        RwImageFindRasterFormat(colour, rwRASTERTYPETEXTURE, &width, &height, &depth, &format) == nullptr) {
        return nullptr;
    }
    if (source->cFormat & (rwRASTERFORMATMIPMAP >> 8)) {
        format |= rwRASTERFORMATMIPMAP | rwRASTERFORMATAUTOMIPMAP;
    }
    RwRaster *raster = RwRasterCreate(width, height, depth, format);
    if (raster == nullptr) {
        return nullptr;
    }
    RwTexture *texture = RwRasterSetFromImage(raster, colour) != nullptr ? RwTextureCreate(raster) : nullptr;
    if (texture == nullptr) {
        RwRasterDestroy(raster);
    }
    return texture;
}

RwTexture *RwTextureCreateFromColourAndAlpha(RwTexture *colourTexture, RwTexture *alphaTexture)
{
    if (alphaTexture == nullptr || alphaTexture->raster == nullptr ||
        (colourTexture != nullptr && colourTexture->raster == nullptr)) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RwImage *alpha = ImageOfRaster(alphaTexture->raster);
    if (alpha == nullptr) {
        return nullptr;
    }
    RwImage *colour = colourTexture != nullptr ? ImageOfRaster(colourTexture->raster)
                                               : WhiteImage(alpha->width, alpha->height);
    if (colour == nullptr) {
        RwImageDestroy(alpha);
        return nullptr;
    }
    // The colour texture, or the alpha one standing in for it, gives the
    // new texture its mip levels, filtering, addressing and name.
    RwTexture *source = colourTexture != nullptr ? colourTexture : alphaTexture;
    RwTexture *texture = TextureFromImages(colour, alpha, source->raster);
    RwImageDestroy(colour);
    if (texture == nullptr) {
        return nullptr;
    }
    RwTextureSetFilterMode(texture, RwTextureGetFilterMode(source));
    const RwInt32 u = RwTextureGetAddressingU(source);
    const RwInt32 v = RwTextureGetAddressingV(source);
    RwTextureSetAddressing(texture, u == v ? v : 0);
    RwChar name[rwTEXTURECOMBINEDNAMELENGTH + 1];
    RwTextureMakeCombinedName(name, source->name, alphaTexture->name);
    RwTextureSetName(texture, name);
    return texture;
}
