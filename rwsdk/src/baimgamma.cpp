// Gamma tables of the image module and gamma correction of image colours.
#include <cmath>

#include "rwerror.h"
#include "src/baimage.h"

void rwImageBuildGammaTables(rwImageGlobals *globals, RwReal gammaValue)
{
    globals->gammaVal = gammaValue;
    globals->gammaTable[0] = 0;
    globals->invGammaTable[0] = 0;
    const RwReal inverse = 1.0f / gammaValue;
    for (RwInt32 i = 1; i < 256; ++i) {
        const RwReal x = static_cast<RwReal>(i) * rwONEOVER255;
        const RwReal forward = std::pow(x, inverse) * 255.0f + 0.5f;
        const RwReal backward = std::pow(x, gammaValue) * 255.0f + 0.5f;
        // A silly gamma must not turn into an out-of-range conversion.
        globals->gammaTable[i] = static_cast<RwUInt8>(forward >= 255.0f ? 255 : forward > 0.0f ? forward : 0);
        globals->invGammaTable[i] = static_cast<RwUInt8>(backward >= 255.0f ? 255 : backward > 0.0f ? backward : 0);
    }
}

RwBool RwImageSetGamma(RwReal gammaValue)
{
    rwImageBuildGammaTables(rwImageGetGlobals(), gammaValue);
    return TRUE;
}

RwReal RwImageGetGamma(void) { return rwImageGetGlobals()->gammaVal; }
const RwUInt8 *RwImageGetGammaTable(void) { return rwImageGetGlobals()->gammaTable; }
const RwUInt8 *RwImageGetInvGammaTable(void) { return rwImageGetGlobals()->invGammaTable; }

static void CorrectColour(RwRGBA *c, const RwUInt8 *table)
{
    c->red = table[c->red];
    c->green = table[c->green];
    c->blue = table[c->blue];
}

// Whether the table leaves every value as it is (a gamma of one).
static bool Identity(const RwUInt8 *table)
{
    for (RwInt32 i = 0; i < 256; ++i) {
        if (table[i] != i) {
            return false;
        }
    }
    return true;
}

RwImage *RwImageGammaCorrect(RwImage *image)
{
    const RwUInt8 *table = rwImageGetGlobals()->gammaTable;
    const bool identity = Identity(table);
    if (image->depth == 4 || image->depth == 8) {
        if (image->palette == nullptr) {
            RwErrorReportCommon(E_RW_NULLP);
            return nullptr;
        }
        for (RwInt32 i = 0; i < (1 << image->depth); ++i) {
            CorrectColour(&image->palette[i], table);
        }
    } else if (image->depth == 32) {
        if (image->cpPixels == nullptr) {
            RwErrorReportCommon(E_RW_NULLP);
            return nullptr;
        }
        for (RwInt32 y = 0; y < (identity ? 0 : image->height); ++y) {
            auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + static_cast<RwInt64>(y) * image->stride);
            for (RwInt32 x = 0; x < image->width; ++x) {
                CorrectColour(&row[x], table);
            }
        }
    } else {
        RwErrorReportCommon(E_RW_INVIMAGEDEPTH);
        return nullptr;
    }
    image->flags |= rwIMAGEGAMMACORRECTED;
    return image;
}
