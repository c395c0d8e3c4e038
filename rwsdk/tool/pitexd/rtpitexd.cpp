// Reads platform-independent texture dictionaries. Each texture's levels
// are image chunks; the raster is made for the current device and filled
// level by level. Every image chunk is read within its own bounds and the
// stream is moved to the chunk's end whatever happened inside, so one bad
// entry never puts the rest of the dictionary out of step.
#include <cstring>

#include "rtpitexd.h"
#include "rwerror.h"
#include "rwimage.h"
#include "rwmemory.h"
#include "rwraster.h"
#include "rwstream.h"

// More levels than a raster of the largest size can have is refused.
static constexpr RwInt32 rtPITEXDMAXLEVELS = 16;
static constexpr RwInt32 rtPITEXDENTRYHEAD = 72;
static constexpr RwInt32 rwLOCKWRITE = 1;

static RwRaster *pendingRaster = nullptr;

static void DestroyLevels(RwImage **levels, RwInt32 from, RwInt32 to)
{
    for (RwInt32 i = from; i < to; ++i) {
        if (levels[i] != nullptr) {
            RwImageDestroy(levels[i]);
            levels[i] = nullptr;
        }
    }
}

// Reads one image chunk (type 0x18) and leaves the stream at its end.
static RwImage *ReadLevel(RwStream *stream)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, rwID_IMAGE, &length, nullptr)) {
        return nullptr;
    }
    const RwUInt64 end = stream->offset + length;
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwImage *image = RwImageStreamRead(stream);
    RwStreamLeaveChunk(stream, saved);
    if (stream->offset < end && RwStreamSkip(stream, static_cast<RwUInt32>(end - stream->offset)) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    if (image != nullptr && !(image->flags & rwIMAGEGAMMACORRECTED)) {
        RwImageGammaCorrect(image);
    }
    return image;
}

// Reads `count` levels into `levels`; every level chunk is consumed even
// when an earlier one failed. False when any level is missing.
static RwBool ReadLevels(RwStream *stream, RwImage **levels, RwInt32 count)
{
    RwBool ok = TRUE;
    for (RwInt32 i = 0; i < count; ++i) {
        levels[i] = ReadLevel(stream);
        ok = ok && levels[i] != nullptr;
    }
    return ok;
}

static RwRaster *CreateFor(const RwImage *level0, RwInt32 flags, RwInt32 *depth)
{
    RwInt32 width = level0->width, height = level0->height, format = 0;
    *depth = level0->depth;
    if (RwImageFindRasterFormat(const_cast<RwImage *>(level0), flags, &width, &height, depth, &format) == nullptr) {
        return nullptr;
    }
    return RwRasterCreate(width, height, *depth, format | flags);
}

// Makes and fills the raster for `count` level images; the images are
// destroyed whatever happens. Null when the raster cannot be made or filled.
static RwRaster *MakeRaster(RwImage **levels, RwInt32 count)
{
    const RwInt32 flags = count > 1 ? (rwRASTERTYPETEXTURE | rwRASTERFORMATMIPMAP) : rwRASTERTYPETEXTURE;
    RwInt32 depth = 0;
    RwRaster *raster = CreateFor(levels[0], flags, &depth);
    if (raster != nullptr && (raster->width != levels[0]->width || raster->height != levels[0]->height) && depth == 8) {
        // A palettised raster cannot take resampled (32-bit) levels.
        RwRasterDestroy(raster);
        raster = RwRasterCreate(levels[0]->width, levels[0]->height, 32, rwRASTERFORMAT8888 | flags);
        if (raster == nullptr) {
            raster = RwRasterCreate(levels[0]->width, levels[0]->height, 16, rwRASTERFORMAT1555 | flags);
        }
    }
    if (raster == nullptr) {
        DestroyLevels(levels, 0, count);
        return nullptr;
    }
    RwInt32 rasterLevels = RwRasterGetNumLevels(raster);
    const RwInt32 used = rasterLevels < count ? (rasterLevels < 0 ? 0 : rasterLevels) : count;
    RwBool ok = used > 0;
    if (raster->width != levels[0]->width || raster->height != levels[0]->height) {
        for (RwInt32 i = 0; i < used && ok; ++i) {
            const RwInt32 w = (raster->width >> i) > 0 ? raster->width >> i : 1;
            const RwInt32 h = (raster->height >> i) > 0 ? raster->height >> i : 1;
            RwImage *resized = RwImageCreateResample(levels[i], w, h);
            ok = resized != nullptr;
            if (ok) {
                RwImageDestroy(levels[i]);
                levels[i] = resized;
            }
        }
    }
    const RwUInt8 savedFormat = raster->cFormat;
    raster->cFormat = static_cast<RwUInt8>(raster->cFormat & ~(rwRASTERFORMATAUTOMIPMAP >> 8));
    for (RwInt32 i = 0; i < used && ok; ++i) {
        ok = RwRasterLock(raster, static_cast<RwUInt8>(i), rwLOCKWRITE) != nullptr;
        if (ok) {
            ok = RwRasterSetFromImage(raster, levels[i]) != nullptr;
            RwRasterUnlock(raster);
        }
    }
    raster->cFormat = savedFormat;
    DestroyLevels(levels, 0, count);
    if (!ok) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    return raster;
}

// Reads a level count and its levels, and makes the raster.
static RwRaster *ReadLevelsAndRaster(RwStream *stream, RwInt32 count)
{
    if (count < 1 || count > rtPITEXDMAXLEVELS) {
        RwErrorReport(rwID_PITEXDICTIONARYTOOLKIT, E_RW_INVIMAGEFORMAT);
        return nullptr;
    }
    auto **levels = static_cast<RwImage **>(RwMalloc(sizeof(RwImage *) * static_cast<size_t>(count)));
    if (levels == nullptr) {
        RwErrorReport(rwID_PITEXDICTIONARYTOOLKIT, E_RW_NOMEM);
        return nullptr;
    }
    RwRaster *raster = nullptr;
    if (ReadLevels(stream, levels, count)) {
        raster = MakeRaster(levels, count);
    } else {
        DestroyLevels(levels, 0, count);
    }
    RwFree(levels);
    return raster;
}

static RwUInt32 AddressingWord(RwUInt32 word)
{
    RwUInt32 u = (word >> 8) & 0xF;
    RwUInt32 v = (word >> 12) & 0xF;
    if (u == 0) {
        u = v;
    }
    if (v == 0) {
        v = u;
    }
    if (u == 0) {
        u = v = 1;
    }
    return (word & 0xFF) | (u << 8) | (v << 12);
}

// First layout: a 72-byte head (name, mask, level count, modes), then the
// levels. False only when the stream ends inside the head.
static RwBool ReadFirstLayoutEntry(RwStream *stream, RwTexDictionary *dict)
{
    RwUInt8 head[rtPITEXDENTRYHEAD];
    if (RwStreamRead(stream, head, sizeof(head)) != sizeof(head)) {
        return FALSE;
    }
    RwChar name[rwTEXTUREBASENAMELENGTH];
    RwChar mask[rwTEXTUREBASENAMELENGTH];
    std::memcpy(name, head, sizeof(name));
    std::memcpy(mask, head + 32, sizeof(mask));
    name[sizeof(name) - 1] = '\0';
    mask[sizeof(mask) - 1] = '\0';
    const RwInt32 count = static_cast<RwInt32>(head[64] | (head[65] << 8) | (head[66] << 16) | (static_cast<RwUInt32>(head[67]) << 24));
    const RwUInt32 word = head[68] | (head[69] << 8) | (head[70] << 16) | (static_cast<RwUInt32>(head[71]) << 24);
    RwRaster *raster = ReadLevelsAndRaster(stream, count);
    if (raster == nullptr) {
        return TRUE;  // the entry is skipped; its level chunks were consumed
    }
    RwTexture *texture = RwTextureCreate(raster);
    if (texture == nullptr) {
        RwRasterDestroy(raster);
        return TRUE;
    }
    RwTextureSetName(texture, name);
    RwTextureSetMaskName(texture, mask);
    texture->filterAddressing = AddressingWord(word);
    RwTexDictionaryAddTexture(dict, texture);
    return TRUE;
}

static RwTexture *FindNothing(const RwChar *) { return nullptr; }

static RwTexture *RtPITexDCreatePendingTexture(const RwChar *name, const RwChar *maskName)
{
    if (pendingRaster == nullptr) {
        return nullptr;
    }
    RwTexture *texture = RwTextureCreate(pendingRaster);
    if (texture == nullptr) {
        return nullptr;
    }
    pendingRaster = nullptr;  // the texture owns it now
    RwTextureSetName(texture, name);
    RwTextureSetMaskName(texture, maskName != nullptr ? maskName : "");
    return texture;
}

// Second layout: a level count, the levels, then a texture chunk naming
// the texture, read with callbacks that build it on the pending raster.
static RwBool RtPITexDReadTexture(RwStream *stream)
{
    RwInt32 count = 0;
    if (!RwStreamReadInt32(stream, &count)) {
        return FALSE;
    }
    pendingRaster = ReadLevelsAndRaster(stream, count);
    if (pendingRaster == nullptr) {
        return FALSE;
    }
    RwTextureCallBackRead savedRead = RwTextureGetReadCallBack();
    RwTextureCallBackFind savedFind = RwTextureGetFindCallBack();
    RwTexture *texture = nullptr;
    if (RwStreamFindChunk(stream, rwID_TEXTURE, nullptr, nullptr)) {
        RwTextureSetReadCallBack(RtPITexDCreatePendingTexture);
        RwTextureSetFindCallBack(FindNothing);
        texture = RwTextureStreamRead(stream);
        RwTextureSetReadCallBack(savedRead);
        RwTextureSetFindCallBack(savedFind);
    }
    if (pendingRaster != nullptr) {
        RwRasterDestroy(pendingRaster);
        pendingRaster = nullptr;
    }
    return texture != nullptr;
}

RwTexDictionary *RtPITexDStreamRead(RwStream *stream)
{
    RwUInt8 head[4];
    if (RwStreamRead(stream, head, sizeof(head)) != sizeof(head)) {
        return nullptr;
    }
    const RwInt32 count = head[0] | (head[1] << 8);
    const bool secondLayout = (head[2] | head[3]) != 0;
    RwTexDictionary *dict = RwTexDictionaryCreate();
    if (dict == nullptr) {
        return nullptr;
    }
    if (!secondLayout) {
        for (RwInt32 i = 0; i < count && ReadFirstLayoutEntry(stream, dict); ++i) {
        }
        return dict;
    }
    RwTexDictionary *savedCurrent = RwTexDictionaryGetCurrent();
    RwTexDictionarySetCurrent(dict);
    RwBool ok = TRUE;
    for (RwInt32 i = 0; i < count && ok; ++i) {
        ok = RtPITexDReadTexture(stream);
    }
    RwTexDictionarySetCurrent(savedCurrent);
    if (!ok) {
        RwTexDictionaryDestroy(dict);
        return nullptr;
    }
    return dict;
}
