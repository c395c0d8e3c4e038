// The default texture reader: finds an image file for a texture name on the
// image search path, asks the device for a raster that fits, resizes and
// palettises the image to suit, and makes the texture; with mipmapping on,
// every level is read from its own file (or generated from level 0).
#include <cstring>

#include "rwerror.h"
#include "rwimage.h"
#include "rwraster.h"
#include "src/batextur.h"

// Longest name kept, then room for a mip suffix and a file extension, so
// no append can run past a buffer.
static constexpr RwInt32 rwTEXTURENAMEBUFFER = rwTEXTURELONGNAMELENGTH + rwTEXTUREMIPNAMEROOM + rwIMAGEMAXEXTENSION + 2;
static constexpr RwInt32 rwTEXTUREMAXLEVELS = 16;
static constexpr RwUInt8 rwFORMATBYTEAUTOMIPMAP = rwRASTERFORMATAUTOMIPMAP >> 8;
static constexpr RwUInt8 rwFORMATBYTEPAL8 = rwRASTERFORMATPAL8 >> 8;
static constexpr RwUInt8 rwFORMATBYTEPAL4 = rwRASTERFORMATPAL4 >> 8;
static constexpr RwInt32 rwLOCKWRITE = 1;
static constexpr RwInt32 rwLOCKREAD = 2;
static constexpr RwInt32 rwLOCKWRITENOFETCH = 5;

struct NameBuffers {
    RwChar name[rwTEXTURENAMEBUFFER];
    RwChar mask[rwTEXTURENAMEBUFFER];
};

static void FillNames(NameBuffers *buffers, const RwChar *name, const RwChar *maskName)
{
    rwTextureCopyName(buffers->name, rwTEXTURELONGNAMELENGTH, name);
    rwTextureCopyName(buffers->mask, rwTEXTURELONGNAMELENGTH, maskName);
}

RwBool RwTextureGenerateMipName(RwChar *name, RwChar *maskName, RwUInt8 mipLevel, RwInt32 format)
{
    (void)format;
    if (mipLevel < 1 || mipLevel > 15) {
        return TRUE;
    }
    const RwChar suffix[3] = {'m', "0123456789abcdef"[mipLevel], '\0'};
    std::strcat(name, suffix);
    if (maskName != nullptr && maskName[0] != '\0') {
        std::strcat(maskName, suffix);
    }
    return TRUE;
}

static void CallMipName(NameBuffers *buffers, RwUInt8 level, RwInt32 flags)
{
    RwTextureCallBackMipmapName callback = rwTextureGetGlobals()->mipmapNameCallback;
    if (callback != nullptr) {
        callback(buffers->name, buffers->mask, level, flags);
        // A callback that writes past the promised room is not guarded
        // against, but one that forgets the terminator is.
        buffers->name[rwTEXTURENAMEBUFFER - rwIMAGEMAXEXTENSION - 2] = '\0';
        buffers->mask[rwTEXTURENAMEBUFFER - rwIMAGEMAXEXTENSION - 2] = '\0';
    }
}

// Copies `name` into `buffer` (cut like any long name) and appends the
// extension of the file found for it.
static void NameWithExtension(RwChar *buffer, const RwChar *name)
{
    rwTextureCopyName(buffer, rwTEXTURELONGNAMELENGTH, name);
    if (buffer[0] == '\0') {
        return;
    }
    const RwChar *extension = RwImageFindFileType(buffer);
    if (extension != nullptr) {
        std::strncat(buffer, extension, rwIMAGEMAXEXTENSION + 1);
    }
}

static RwImage *Palettise(RwImage *image, RwInt32 depth)
{
    RwPalQuant pq;
    if (!RwPalQuantInit(&pq)) {
        return image;
    }
    RwPalQuantAddImage(&pq, image, 1.0f);
    RwImage *indexed = RwImageCreate(image->width, image->height, depth);
    if (indexed != nullptr && RwImageAllocatePixels(indexed) != nullptr) {
        RwPalQuantResolvePalette(indexed->palette, 1 << depth, &pq);
        RwPalQuantMatchImage(indexed->cpPixels, indexed->stride, depth, FALSE, &pq, image);
        indexed->flags |= image->flags & rwIMAGEGAMMACORRECTED;
        RwImageDestroy(image);
        image = indexed;
    } else if (indexed != nullptr) {
        RwImageDestroy(indexed);
    }
    RwPalQuantTerm(&pq);
    return image;
}

RwImage *RwTextureReadLevelImage(const RwChar *name, const RwChar *maskName, RwInt32 flags, RwInt32 *width,
                                 RwInt32 *height, RwInt32 *depth, RwInt32 *format)
{
    NameBuffers buffers;
    NameWithExtension(buffers.name, name);
    NameWithExtension(buffers.mask, maskName);
    RwImage *image = RwImageReadMaskedImage(buffers.name, buffers.mask);
    if (image == nullptr) {
        return nullptr;
    }
    if (*width == 0 || *height == 0) {
        if (RwImageFindRasterFormat(image, flags, width, height, depth, format) == nullptr) {
            RwImageDestroy(image);
            RwErrorReportCommon(E_RW_INVIMAGEFORMAT);
            return nullptr;
        }
    }
    if (image->width == *width && image->height == *height) {
        return image;
    }
    const RwInt32 fileDepth = image->depth;
    RwImage *resized = RwImageCreateResample(image, *width, *height);
    RwImageDestroy(image);
    if (resized == nullptr) {
        return nullptr;
    }
    return (fileDepth == 4 || fileDepth == 8) ? Palettise(resized, fileDepth) : resized;
}

static RwInt32 PaletteDepth(const RwRaster *raster)
{
    if (raster->cFormat & rwFORMATBYTEPAL4) {
        return 4;
    }
    return (raster->cFormat & rwFORMATBYTEPAL8) ? 8 : 0;
}

static RwTexture *MakeTexture(RwRaster *raster, const RwChar *name, const RwChar *maskName)
{
    RwTexture *texture = RwTextureCreate(raster);
    if (texture == nullptr) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    RwTextureSetName(texture, name);
    RwTextureSetMaskName(texture, maskName != nullptr ? maskName : "");
    return texture;
}

// Gamma-corrects (unless already done) and uploads level 0.
static RwRaster *SetLevelZero(RwRaster *raster, RwImage *image)
{
    if (!(image->flags & rwIMAGEGAMMACORRECTED)) {
        RwImageGammaCorrect(image);
    }
    return RwRasterSetFromImage(raster, image);
}

static void DestroyImages(RwImage **images, RwInt32 count, const RwImage *keep)
{
    for (RwInt32 i = 0; i < count; ++i) {
        if (images[i] != nullptr && images[i] != keep) {
            RwImageDestroy(images[i]);
        }
        images[i] = nullptr;
    }
}

// Gamma-corrects the levels (only level 0 of a palettised set, whose
// palette they share), then uploads each level the raster will lock.
static RwBool UploadLevels(RwRaster *raster, RwImage **images, RwInt32 count, RwBool palettised, const RwImage *keep)
{
    for (RwInt32 i = 0; i < count; ++i) {
        if ((i == 0 || !palettised) && !(images[i]->flags & rwIMAGEGAMMACORRECTED)) {
            RwImageGammaCorrect(images[i]);
        }
    }
    RwBool ok = TRUE;
    for (RwInt32 i = 0; i < count && ok; ++i) {
        if (RwRasterLock(raster, static_cast<RwUInt8>(i), rwLOCKWRITENOFETCH) != nullptr) {
            ok = RwRasterSetFromImage(raster, images[i]) != nullptr;
            RwRasterUnlock(raster);
        }
    }
    DestroyImages(images, count, keep);
    return ok;
}

static RwTexture *ReadPlain(const RwChar *name, const RwChar *maskName)
{
    NameBuffers buffers;
    FillNames(&buffers, name, maskName);
    CallMipName(&buffers, 0, rwRASTERTYPETEXTURE);
    RwInt32 width = 0, height = 0, depth = 0, format = 0;
    RwImage *image = RwTextureReadLevelImage(buffers.name, buffers.mask, rwRASTERTYPETEXTURE, &width, &height, &depth,
                                             &format);
    if (image == nullptr) {
        return nullptr;
    }
    RwRaster *raster = RwRasterCreate(width, height, depth, format);
    if (raster == nullptr) {
        RwImageDestroy(image);
        return nullptr;
    }
    RwRGBA palette[256];
    const RwInt32 paletteDepth = PaletteDepth(raster);
    if (paletteDepth != 0 && !RwImagePalettiseLevels(palette, nullptr, &image, 1, paletteDepth)) {
        RwImageDestroy(image);
        RwRasterDestroy(raster);
        return nullptr;
    }
    const RwRaster *set = SetLevelZero(raster, image);
    RwImageDestroy(image);
    if (set == nullptr) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    return MakeTexture(raster, name, maskName);
}

RwTexture *RwTextureDefaultReadMipmaps(const RwChar *name, const RwChar *maskName)
{
    rwTextureGlobals *globals = rwTextureGetGlobals();
    RwInt32 flags = rwRASTERTYPETEXTURE;
    if (globals->mipmapping) {
        flags |= rwRASTERFORMATMIPMAP | (globals->autoMipmapping ? rwRASTERFORMATAUTOMIPMAP : 0);
    }
    NameBuffers buffers;
    FillNames(&buffers, name, maskName);
    CallMipName(&buffers, 0, flags);
    RwInt32 width = 0, height = 0, depth = 0, format = 0;
    RwImage *images[rwTEXTUREMAXLEVELS] = {};
    images[0] = RwTextureReadLevelImage(buffers.name, buffers.mask, flags, &width, &height, &depth, &format);
    if (images[0] == nullptr) {
        return nullptr;
    }
    RwRaster *raster = RwRasterCreate(width, height, depth, format);
    if (raster == nullptr) {
        RwImageDestroy(images[0]);
        return nullptr;
    }
    const RwInt32 levels = RwRasterGetNumLevels(raster);
    const bool mipmapped = (raster->cFormat & (rwRASTERFORMATMIPMAP >> 8)) != 0;
    const bool automatic = (raster->cFormat & rwFORMATBYTEAUTOMIPMAP) != 0;
    if (!mipmapped || automatic) {
        const RwRaster *set = SetLevelZero(raster, images[0]);
        RwImageDestroy(images[0]);
        if (set == nullptr) {
            RwRasterDestroy(raster);
            return nullptr;
        }
        return MakeTexture(raster, name, maskName);
    }
    if (levels < 1 || levels > rwTEXTUREMAXLEVELS) {
        RwImageDestroy(images[0]);
        RwRasterDestroy(raster);
        RwErrorReportCommon(E_RW_INVIMAGEFORMAT);
        return nullptr;
    }
    for (RwInt32 i = 1; i < levels; ++i) {
        FillNames(&buffers, name, maskName);
        CallMipName(&buffers, static_cast<RwUInt8>(i), flags);
        if (RwRasterLock(raster, static_cast<RwUInt8>(i), rwLOCKWRITENOFETCH) == nullptr) {
            DestroyImages(images, i, nullptr);
            RwRasterDestroy(raster);
            return nullptr;
        }
        RwInt32 levelWidth = raster->width, levelHeight = raster->height;
        RwInt32 levelDepth = raster->depth, levelFormat = RwRasterGetFormat(raster) | raster->cType;
        RwRasterUnlock(raster);
        images[i] = RwTextureReadLevelImage(buffers.name, buffers.mask, flags, &levelWidth, &levelHeight, &levelDepth,
                                            &levelFormat);
        if (images[i] == nullptr) {
            DestroyImages(images, i, nullptr);
            RwRasterDestroy(raster);
            return nullptr;
        }
    }
    RwRGBA palette[256];
    const RwInt32 paletteDepth = PaletteDepth(raster);
    if ((paletteDepth != 0 && !RwImagePalettiseLevels(palette, nullptr, images, levels, paletteDepth)) ||
        !UploadLevels(raster, images, levels, paletteDepth != 0, nullptr)) {
        DestroyImages(images, levels, nullptr);
        RwRasterDestroy(raster);
        return nullptr;
    }
    return MakeTexture(raster, name, maskName);
}

RwTexture *RwTextureDefaultRead(const RwChar *name, const RwChar *maskName)
{
    if (rwTextureGetGlobals()->mipmapping) {
        return RwTextureDefaultReadMipmaps(name, maskName);
    }
    return ReadPlain(name, maskName);
}

RwRaster *RwTextureDefaultGenerateMipmaps(RwRaster *raster, RwImage *image)
{
    RwImage *images[rwTEXTUREMAXLEVELS] = {};
    const RwInt32 levels = RwRasterGetNumLevels(raster);
    if (levels < 1 || levels > rwTEXTUREMAXLEVELS) {
        return nullptr;
    }
    if (image != nullptr && image->depth == 32) {
        images[0] = image;
    } else {
        RwImage *wide = RwImageCreate(image != nullptr ? image->width : raster->width,
                                      image != nullptr ? image->height : raster->height, 32);
        if (wide == nullptr || RwImageAllocatePixels(wide) == nullptr ||
            (image != nullptr ? RwImageCopy(wide, image) == nullptr : RwImageSetFromRaster(wide, raster) == nullptr)) {
            if (wide != nullptr) {
                RwImageDestroy(wide);
            }
            return nullptr;
        }
        images[0] = wide;
    }
    const RwUInt8 savedFormat = raster->cFormat;
    raster->cFormat = static_cast<RwUInt8>(raster->cFormat & ~rwFORMATBYTEAUTOMIPMAP);
    RwBool ok = TRUE;
    for (RwInt32 i = 1; i < levels && ok; ++i) {
        if (RwRasterLock(raster, static_cast<RwUInt8>(i), rwLOCKREAD) == nullptr) {
            ok = FALSE;
            break;
        }
        images[i] = RwImageCreateResample(images[i - 1], raster->width, raster->height);
        RwRasterUnlock(raster);
        ok = images[i] != nullptr;
    }
    RwRGBA palette[256];
    const RwInt32 paletteDepth = PaletteDepth(raster);
    if (ok && paletteDepth != 0) {
        ok = RwImagePalettiseLevels(palette, image, images, levels, paletteDepth);
    }
    if (ok) {
        ok = UploadLevels(raster, images, levels, paletteDepth != 0, image);
    }
    DestroyImages(images, levels, image);
    raster->cFormat = savedFormat;
    return ok ? raster : nullptr;
}
