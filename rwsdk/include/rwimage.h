// Images: blocks of pixels in main memory (4- or 8-bit palettised, or
// 32-bit colour) that image files are read into and textures are built
// from; the search path and file formats by extension, gamma tables,
// conversion to and from rasters, resampling and the palette quantiser.
#pragma once

#include "rwplugin.h"
#include "rwtypes.h"

struct RwRaster;
struct RwStream;
struct RwFreeList;

// Flag bits of RwImage::flags.
static constexpr RwInt32 rwIMAGEALLOCATED = 0x1;       // the image owns its pixel block
static constexpr RwInt32 rwIMAGEGAMMACORRECTED = 0x2;  // colours went through the gamma table

struct RwImage {
    RwInt32 flags;
    RwInt32 width;
    RwInt32 height;
    RwInt32 depth;   // 4, 8 or 32 bits per pixel
    RwInt32 stride;  // bytes from one row to the next
    RwUInt8 *cpPixels;  // row 0 first; one index byte per pixel at depth 4 and 8
    RwRGBA *palette;    // 1 << depth entries at depth 4 and 8, else null
};

// Standard-function slots that image and texture code call (the raster
// header names the others).
static constexpr RwInt32 rwSTANDARDIMAGEGETRASTER = 6;   // (image, raster, 0)
static constexpr RwInt32 rwSTANDARDRASTERSETIMAGE = 7;   // (raster, image, 0)
static constexpr RwInt32 rwSTANDARDTEXTURESETRASTER = 8;
static constexpr RwInt32 rwSTANDARDIMAGEFINDRASTERFORMAT = 9;  // (scratch raster, image, raster type)
static constexpr RwInt32 rwSTANDARDNATIVETEXTUREGETSIZE = 25;
static constexpr RwInt32 rwSTANDARDNATIVETEXTUREREAD = 26;
static constexpr RwInt32 rwSTANDARDNATIVETEXTUREWRITE = 27;

// Calls standard-function slot `slot`; an empty slot fails.
RwBool RwStandardFunctionCall(RwInt32 slot, void *out, void *inOut, RwInt32 number);

typedef RwImage *(*RwImageCallBackRead)(const RwChar *imageName);
typedef RwImage *(*RwImageCallBackWrite)(RwImage *image, const RwChar *imageName);

// Longest extension kept by RwImageRegisterFormat (without the dot).
static constexpr RwInt32 rwIMAGEMAXEXTENSION = 18;

struct RwImageFormat {
    RwChar lowerExtension[rwIMAGEMAXEXTENSION + 2];  // "." + extension, lower case
    RwChar upperExtension[rwIMAGEMAXEXTENSION + 2];
    RwImageCallBackRead imageRead;
    RwImageCallBackWrite imageWrite;
    RwImageFormat *next;
};

// Module callbacks (engine module 0x406).
void *RwImageOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwImageClose(void *instance, RwInt32 offset, RwInt32 size);

// Records and pixels.
RwImage *RwImageCreate(RwInt32 width, RwInt32 height, RwInt32 depth);
RwBool RwImageDestroy(RwImage *image);
RwImage *RwImageAllocatePixels(RwImage *image);
RwImage *RwImageFreePixels(RwImage *image);
RwInt32 RwImageStrideFor(RwInt32 width, RwInt32 depth);
RwInt32 RwImageRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RwImageGetPluginOffset(RwUInt32 pluginID);

inline RwInt32 RwImageGetWidth(const RwImage *image) { return image->width; }
inline RwInt32 RwImageGetHeight(const RwImage *image) { return image->height; }
inline RwInt32 RwImageGetDepth(const RwImage *image) { return image->depth; }
inline RwInt32 RwImageGetStride(const RwImage *image) { return image->stride; }
inline RwUInt8 *RwImageGetPixels(const RwImage *image) { return image->cpPixels; }
inline RwRGBA *RwImageGetPalette(const RwImage *image) { return image->palette; }
// The colour of pixel x of `row` (a row of `image`): its own at depth 32,
// else the palette entry its index names.
inline const RwRGBA &RwImagePixelColour(const RwImage *image, const RwUInt8 *row, RwInt32 x)
{
    if (image->depth == 32) {
        return reinterpret_cast<const RwRGBA *>(row)[x];
    }
    return image->palette[row[x] & ((1u << image->depth) - 1u)];
}
// Points the image at pixels (and a palette) it does not own.
RwImage *RwImageSetPixels(RwImage *image, RwUInt8 *pixels);
RwImage *RwImageSetPalette(RwImage *image, RwRGBA *palette);
RwImage *RwImageSetStride(RwImage *image, RwInt32 stride);

// Search path, formats, reading by name.
const RwChar *RwImageSetPath(const RwChar *path);
const RwChar *RwImageGetPath(void);
RwBool RwImageRegisterFormat(const RwChar *extension, RwImageCallBackRead readCB, RwImageCallBackWrite writeCB);
RwImage *RwImageRead(const RwChar *imageName);
const RwChar *RwImageFindFileType(const RwChar *imageName);
RwImage *RwImageWrite(RwImage *image, const RwChar *imageName);
// Calls `callback` with each candidate file name for `name` on the path
// (see RwImageRead); a null result stops the search. `extra` is room the
// callback may append. False when the name buffer cannot grow.
typedef RwBool (*RwImageSearchCallBack)(const RwChar *candidate, void *data);
RwBool RwImageSearchPath(const RwChar *name, RwInt32 extra, RwImageSearchCallBack callback, void *data);

// Masks, copies, streams.
RwImage *RwImageReadMaskedImage(const RwChar *imageName, const RwChar *maskname);
RwImage *RwImageMakeMask(RwImage *image);
RwImage *RwImageApplyMask(RwImage *image, const RwImage *mask);
RwImage *RwImageCopy(RwImage *destImage, const RwImage *sourceImage);
RwImage *RwImageStreamRead(RwStream *stream);
RwImage *RwImageStreamWrite(const RwImage *image, RwStream *stream);
RwUInt32 RwImageStreamGetSize(const RwImage *image);

// Gamma.
RwBool RwImageSetGamma(RwReal gammaValue);
RwReal RwImageGetGamma(void);
RwImage *RwImageGammaCorrect(RwImage *image);
const RwUInt8 *RwImageGetGammaTable(void);
const RwUInt8 *RwImageGetInvGammaTable(void);

// Image and raster conversions through the device.
RwRaster *RwRasterSetFromImage(RwRaster *raster, RwImage *image);
RwImage *RwImageSetFromRaster(RwImage *image, RwRaster *raster);
RwImage *RwImageFindRasterFormat(RwImage *ipImage, RwInt32 nRasterType, RwInt32 *npWidth, RwInt32 *npHeight,
                                 RwInt32 *npDepth, RwInt32 *npFormat);

// Box-filter resampling (32-bit images).
RwImage *RwImageResample(RwImage *dstImage, const RwImage *srcImage);
RwImage *RwImageCreateResample(const RwImage *srcImage, RwInt32 width, RwInt32 height);

// Palette quantiser: a colour tree of 5 bits per channel cut into boxes of
// least variance.
struct RwPalQuantNode;

struct RwPalQuantBox {
    RwUInt8 lower[4];  // R, G, B, A cells, inclusive
    RwUInt8 upper[4];  // exclusive
};

struct RwPalQuant {
    RwPalQuantBox *boxes;  // 256
    RwReal *variances;     // 256
    RwPalQuantNode *root;
    RwFreeList *nodeFreeList;
};

RwBool RwPalQuantInit(RwPalQuant *pq);
void RwPalQuantAddImage(RwPalQuant *pq, const RwImage *img, RwReal weight);
RwInt32 RwPalQuantResolvePalette(RwRGBA *palette, RwInt32 maxcols, RwPalQuant *pq);
void RwPalQuantMatchImage(RwUInt8 *dstpixels, RwInt32 dststride, RwInt32 dstdepth, RwBool dstPacked,
                          RwPalQuant *pq, const RwImage *img);
void RwPalQuantTerm(RwPalQuant *pq);
extern RwUInt32 RwImageBitSpreadTable[32];

// Gives `images` (count of them) one shared palette of 1 << depth entries
// in `palette`; a palettised image replaced here is destroyed unless it is
// `keep`. False when a replacement cannot be made.
RwBool RwImagePalettiseLevels(RwRGBA *palette, RwImage *keep, RwImage **images, RwInt32 count, RwInt32 depth);
