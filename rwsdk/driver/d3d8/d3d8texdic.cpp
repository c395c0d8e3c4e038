// The driver's own form of a texture inside texture-dictionary streams: its
// size, writer and reader. Level data goes straight between the stream and
// the locked levels; every byte count read from a file is checked against
// the level it fills and the chunk it comes from.
#include <cstring>

#include "driver/d3d8/d3d8raster.h"

namespace {

constexpr RwUInt32 kPlatformD3D8 = 8;
constexpr RwUInt32 kHeadBytes = 72;   // platform, filtering, name, mask
constexpr RwUInt32 kRasterBytes = 16;  // format ... compression
constexpr RwUInt32 kNameBytes = 32;
constexpr RwUInt32 kWriteChunkBytes = 1024;

RwUInt32 PaletteBytes(RwInt32 formatFlags)
{
    if (formatFlags & rwRASTERFORMATPAL4) {
        return 128;
    }
    return (formatFlags & rwRASTERFORMATPAL8) ? 1024 : 0;
}

RwUInt32 LoadU32(const RwUInt8 *p)
{
    return static_cast<RwUInt32>(p[0]) | (static_cast<RwUInt32>(p[1]) << 8) | (static_cast<RwUInt32>(p[2]) << 16) |
           (static_cast<RwUInt32>(p[3]) << 24);
}
RwUInt16 LoadU16(const RwUInt8 *p) { return static_cast<RwUInt16>(p[0] | (p[1] << 8)); }
void StoreU32(RwUInt8 *p, RwUInt32 v)
{
    p[0] = static_cast<RwUInt8>(v);
    p[1] = static_cast<RwUInt8>(v >> 8);
    p[2] = static_cast<RwUInt8>(v >> 16);
    p[3] = static_cast<RwUInt8>(v >> 24);
}
void StoreU16(RwUInt8 *p, RwUInt16 v)
{
    p[0] = static_cast<RwUInt8>(v);
    p[1] = static_cast<RwUInt8>(v >> 8);
}

// Direct3D's byte size of level `level` of a texture raster (0 without one).
RwUInt32 LevelBytes(const RwRaster *raster, RwUInt32 level)
{
    const RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    D3DSURFACE_DESC desc;
    if (ext->texture == nullptr || ext->cube) {
        return 0;
    }
    return SUCCEEDED(RwD3D8RasterExtTexture(ext)->GetLevelDesc(level, &desc)) ? desc.Size : 0;
}

RwUInt32 LevelCount(const RwRaster *raster)
{
    const RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    return ext->texture != nullptr && !ext->cube ? RwD3D8RasterExtTexture(ext)->GetLevelCount() : 0;
}

RwUInt8 CompressionOf(RwUInt32 fourCC)
{
    for (RwUInt8 i = 1; i <= 5; ++i) {
        if (fourCC == static_cast<RwUInt32>(MAKEFOURCC('D', 'X', 'T', '0' + i))) {
            return i;
        }
    }
    return 0;
}

// What the 72 + 16 bytes of the struct chunk say.
struct NativeHead {
    RwUInt32 platform;
    RwUInt32 filterAddressing;
    RwChar name[kNameBytes + 1];
    RwChar mask[kNameBytes + 1];
    RwInt32 format;
    RwUInt32 alpha;
    RwInt32 width;
    RwInt32 height;
    RwInt32 depth;
    RwUInt32 levels;
    RwInt32 type;
    RwUInt32 compression;
};

RwBool ReadHead(RwStream *stream, NativeHead *head)
{
    RwUInt8 bytes[kHeadBytes + kRasterBytes];
    if (RwStreamRead(stream, bytes, sizeof bytes) != sizeof bytes) {
        return FALSE;
    }
    head->platform = LoadU32(bytes);
    head->filterAddressing = LoadU32(bytes + 4);
    std::memcpy(head->name, bytes + 8, kNameBytes);
    head->name[kNameBytes] = '\0';
    std::memcpy(head->mask, bytes + 40, kNameBytes);
    head->mask[kNameBytes] = '\0';
    const RwUInt8 *r = bytes + kHeadBytes;
    head->format = static_cast<RwInt32>(LoadU32(r) & rwRASTERFORMATMASK);
    head->alpha = LoadU32(r + 4);
    head->width = LoadU16(r + 8);
    head->height = LoadU16(r + 10);
    head->depth = r[12];
    head->levels = r[13];
    head->type = r[14] & rwRASTERTYPEMASK;
    head->compression = r[15];
    return head->platform == kPlatformD3D8;
}

// A raster holding a DXT texture the device accepts, or null.
RwRaster *CreateCompressedRaster(const NativeHead &head, D3DFORMAT fourCC)
{
    if (!RwD3D8CheckTextureFormat(fourCC) || rwD3D8Device.device == nullptr) {
        return nullptr;
    }
    RwRaster *raster =
        RwRasterCreate(head.width, head.height, head.depth, head.type | rwRASTERDONTALLOCATE | head.format);
    if (raster == nullptr) {
        return nullptr;
    }
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    const UINT levels = (head.format & rwRASTERFORMATMIPMAP) ? head.levels : 1;
    IDirect3DTexture8 *texture = nullptr;
    if (FAILED(rwD3D8Device.device->CreateTexture(static_cast<UINT>(head.width), static_cast<UINT>(head.height), levels,
                                                  0, fourCC, D3DPOOL_MANAGED, &texture))) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    raster->cFlags &= static_cast<RwUInt8>(~rwRASTERDONTALLOCATE);
    ext->texture = texture;
    ext->alpha = static_cast<RwUInt8>(head.alpha != 0);
    ext->dxtFormat = static_cast<RwUInt32>(fourCC);
    return raster;
}

RwBool ReadPalette(RwStream *stream, RwRaster *raster, RwUInt32 bytes)
{
    RwUInt8 *palette = nullptr;
    if (!RwD3D8RasterLockPalette(&palette, raster, rwRASTERLOCKWRITE)) {
        return FALSE;
    }
    const RwBool ok = RwStreamRead(stream, palette, bytes) == bytes;
    RwD3D8RasterUnlockPalette(nullptr, raster, 0);
    return ok;
}

// One stored level: its byte count must be exactly the level's size, and
// the bytes must lie inside the chunk.
RwBool ReadLevel(RwStream *stream, RwRaster *raster, RwUInt32 level)
{
    RwUInt32 size = 0;
    if (!RwStreamReadUInt32(stream, &size)) {
        return FALSE;
    }
    if (size != LevelBytes(raster, level) || size > RwStreamBytesLeft(stream)) {
        return FALSE;
    }
    RwUInt8 *pixels = nullptr;
    if (!RwD3D8RasterLock(&pixels, raster, rwRASTERLOCKWRITE | (static_cast<RwInt32>(level) << 8))) {
        return FALSE;
    }
    const RwBool ok = RwStreamRead(stream, pixels, size) == size;
    RwD3D8RasterUnlock(nullptr, raster, 0);
    return ok;
}

RwBool FillRaster(RwStream *stream, RwRaster *raster, const NativeHead &head)
{
    const RwUInt32 paletteBytes = PaletteBytes(head.format);
    if (paletteBytes != 0 && !ReadPalette(stream, raster, paletteBytes)) {
        return FALSE;
    }
    if (head.levels > LevelCount(raster)) {
        return FALSE;
    }
    // Levels arrive one by one: nothing is to be regenerated while loading.
    const RwUInt8 autoMip = raster->cFormat & (rwRASTERFORMATAUTOMIPMAP >> 8);
    raster->cFormat &= static_cast<RwUInt8>(~autoMip);
    RwBool ok = TRUE;
    for (RwUInt32 level = 0; level < head.levels && ok; ++level) {
        ok = ReadLevel(stream, raster, level);
    }
    raster->cFormat |= autoMip;
    return ok;
}

RwTexture *ReadNative(RwStream *stream)
{
    NativeHead head;
    if (!ReadHead(stream, &head)) {
        return nullptr;
    }
    RwRaster *raster = nullptr;
    if (head.compression == 0) {
        const RwInt32 flags = head.type | RwD3D8RasterResolveFormat(head.type, head.format) |
                              (head.format & (rwRASTERFORMATMIPMAP | rwRASTERFORMATAUTOMIPMAP));
        raster = RwRasterCreate(head.width, head.height, head.depth, flags);
    } else if (head.compression <= 5) {
        raster = CreateCompressedRaster(head, static_cast<D3DFORMAT>(MAKEFOURCC('D', 'X', 'T', '0' + head.compression)));
    }
    if (raster == nullptr) {
        return nullptr;
    }
    // Only an exact match is filled: stored data is never converted.
    if ((static_cast<RwInt32>(raster->cFormat) << 8) != head.format || raster->width != head.width ||
        raster->height != head.height || !FillRaster(stream, raster, head)) {
        if (raster->cpPixels != nullptr) {
            RwD3D8RasterUnlock(nullptr, raster, 0);
        }
        RwRasterDestroy(raster);
        return nullptr;
    }
    RwTexture *texture = RwTextureCreate(raster);
    if (texture == nullptr) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    RwTextureSetFilterMode(texture, static_cast<RwInt32>(head.filterAddressing & 0xFF));
    RwTextureSetAddressingU(texture, static_cast<RwInt32>((head.filterAddressing >> 8) & 0xF));
    RwTextureSetAddressingV(texture, static_cast<RwInt32>((head.filterAddressing >> 12) & 0xF));
    RwTextureSetName(texture, head.name);
    RwTextureSetMaskName(texture, head.mask);
    return texture;
}

RwBool WriteLevels(RwStream *stream, RwRaster *raster)
{
    const RwUInt32 levels = LevelCount(raster);
    for (RwUInt32 level = 0; level < levels; ++level) {
        const RwUInt32 size = LevelBytes(raster, level);
        if (RwStreamWriteUInt32(stream, size) == nullptr) {
            return FALSE;
        }
        RwUInt8 *pixels = nullptr;
        if (!RwD3D8RasterLock(&pixels, raster, rwRASTERLOCKREAD | (static_cast<RwInt32>(level) << 8))) {
            return FALSE;
        }
        RwBool ok = TRUE;
        for (RwUInt32 done = 0; done < size && ok; done += kWriteChunkBytes) {
            const RwUInt32 part = size - done < kWriteChunkBytes ? size - done : kWriteChunkBytes;
            ok = RwStreamWrite(stream, pixels + done, part) != nullptr;
        }
        RwD3D8RasterUnlock(nullptr, raster, 0);
        if (!ok) {
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

RwBool RwD3D8NativeTextureGetSize(void *out, void *in, RwInt32)
{
    const auto *texture = static_cast<const RwTexture *>(in);
    RwUInt32 size = rwCHUNKHEADERSIZE + kHeadBytes;
    if (RwRaster *raster = texture->raster) {
        size += kRasterBytes + PaletteBytes(static_cast<RwInt32>(raster->cFormat) << 8);
        const RwUInt32 levels = LevelCount(raster);
        for (RwUInt32 level = 0; level < levels; ++level) {
            size += 4 + LevelBytes(raster, level);
        }
    }
    *static_cast<RwInt32 *>(out) = static_cast<RwInt32>(size);
    return TRUE;
}

RwBool RwD3D8NativeTextureWrite(void *out, void *in, RwInt32)
{
    auto *stream = static_cast<RwStream *>(out);
    const auto *texture = static_cast<const RwTexture *>(in);
    RwInt32 size = 0;
    RwD3D8NativeTextureGetSize(&size, const_cast<RwTexture *>(texture), 0);
    if (RwStreamWriteChunkHeader(stream, rwID_STRUCT, static_cast<RwUInt32>(size) - rwCHUNKHEADERSIZE,
                                 rwLIBRARYVERSION, rwLIBRARYBUILD) == nullptr) {
        return FALSE;
    }
    RwUInt8 head[kHeadBytes] = {};
    StoreU32(head, kPlatformD3D8);
    StoreU32(head + 4, texture->filterAddressing & 0xFFFF);
    std::strncpy(reinterpret_cast<char *>(head + 8), texture->name, kNameBytes);
    std::strncpy(reinterpret_cast<char *>(head + 40), texture->mask, kNameBytes);
    if (RwStreamWrite(stream, head, sizeof head) == nullptr) {
        return FALSE;
    }
    RwRaster *raster = texture->raster;
    if (raster == nullptr) {
        return TRUE;
    }
    const RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    const RwInt32 format = static_cast<RwInt32>(raster->cFormat) << 8;
    RwUInt8 info[kRasterBytes] = {};
    StoreU32(info, static_cast<RwUInt32>(format));
    StoreU32(info + 4, ext->alpha ? 1 : 0);
    StoreU16(info + 8, static_cast<RwUInt16>(raster->width));
    StoreU16(info + 10, static_cast<RwUInt16>(raster->height));
    info[12] = static_cast<RwUInt8>(raster->depth);
    info[13] = static_cast<RwUInt8>(RwRasterGetNumLevels(raster));
    info[14] = raster->cType;
    info[15] = CompressionOf(ext->dxtFormat);
    if (RwStreamWrite(stream, info, sizeof info) == nullptr) {
        return FALSE;
    }
    if (const RwUInt32 paletteBytes = PaletteBytes(format)) {
        RwUInt8 *palette = nullptr;
        if (!RwD3D8RasterLockPalette(&palette, raster, rwRASTERLOCKREAD)) {
            return FALSE;
        }
        const RwBool ok = RwStreamWrite(stream, palette, paletteBytes) != nullptr;
        RwD3D8RasterUnlockPalette(nullptr, raster, 0);
        if (!ok) {
            return FALSE;
        }
    }
    return WriteLevels(stream, raster);
}

RwBool RwD3D8NativeTextureRead(void *out, void *in, RwInt32)
{
    auto *stream = static_cast<RwStream *>(in);
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return FALSE;
    }
    const RwUInt64 start = stream->offset;
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwTexture *texture = ReadNative(stream);
    RwStreamLeaveChunk(stream, saved);
    const RwUInt64 consumed = stream->offset - start;
    if (texture != nullptr && consumed < length && RwStreamSkip(stream, static_cast<RwUInt32>(length - consumed)) == nullptr) {
        RwTextureDestroy(texture);
        texture = nullptr;
    }
    if (texture == nullptr) {
        return FALSE;
    }
    *static_cast<RwTexture **>(out) = texture;
    return TRUE;
}
