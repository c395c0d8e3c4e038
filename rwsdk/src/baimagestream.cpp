// The image stream chunk: a struct chunk with width, height, depth and the
// stream's row stride, then the rows top first and, for palettised images,
// the palette. Every field is checked against what the chunk holds.
#include <cstring>

#include "rwerror.h"
#include "rwstream.h"
#include "src/baimage.h"

static constexpr RwUInt32 rwIMAGESTREAMHEADER = 16;

static RwBool ReadRows(RwStream *stream, RwImage *image, RwInt32 streamStride)
{
    if (streamStride == image->stride) {
        const RwUInt32 bytes = static_cast<RwUInt32>(image->stride) * static_cast<RwUInt32>(image->height);
        return RwStreamRead(stream, image->cpPixels, bytes) == bytes;
    }
    for (RwInt32 y = 0; y < image->height; ++y) {
        RwUInt8 *row = image->cpPixels + static_cast<RwInt64>(y) * image->stride;
        if (streamStride > image->stride) {
            if (RwStreamRead(stream, row, static_cast<RwUInt32>(image->stride)) !=
                    static_cast<RwUInt32>(image->stride) ||
                RwStreamSkip(stream, static_cast<RwUInt32>(streamStride - image->stride)) == nullptr) {
                return FALSE;
            }
        } else {
            std::memset(row + streamStride, 0, static_cast<size_t>(image->stride - streamStride));
            if (RwStreamRead(stream, row, static_cast<RwUInt32>(streamStride)) != static_cast<RwUInt32>(streamStride)) {
                return FALSE;
            }
        }
    }
    return TRUE;
}

RwImage *RwImageStreamRead(RwStream *stream)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return nullptr;
    }
    if (length < rwIMAGESTREAMHEADER) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwInt32 width = 0;
    RwInt32 height = 0;
    RwInt32 depth = 0;
    RwInt32 streamStride = 0;
    RwImage *image = nullptr;
    if (RwStreamReadInt32(stream, &width) && RwStreamReadInt32(stream, &height) && RwStreamReadInt32(stream, &depth) &&
        RwStreamReadInt32(stream, &streamStride)) {
        const RwUInt64 paletteBytes = (depth == 4 || depth == 8) ? (4u << depth) : 0u;
        const RwUInt64 bodyBytes = static_cast<RwUInt64>(streamStride) * static_cast<RwUInt64>(height) + paletteBytes;
        // Every pixel must be in the stream: a stride shorter than a row's
        // pixels would make an image far larger than the chunk that holds it.
        // (Rounded up in 64 bits: the depth is not checked yet, and one near
        // the int range would overflow.)
        const RwUInt64 pixelBytes = static_cast<RwUInt64>((static_cast<RwInt64>(depth) + 7) >> 3) *
                                    static_cast<RwUInt64>(width > 0 ? width : 0);
        if (width <= 0 || height <= 0 || (depth != 4 && depth != 8 && depth != 32) || streamStride <= 0 ||
            static_cast<RwUInt64>(streamStride) < pixelBytes || bodyBytes > length - rwIMAGESTREAMHEADER) {
            RwErrorReportCommon(E_RW_INVIMAGEFORMAT);
        } else if ((image = RwImageCreate(width, height, depth)) != nullptr) {
            if (RwImageAllocatePixels(image) == nullptr || !ReadRows(stream, image, streamStride) ||
                (paletteBytes != 0 &&
                 RwStreamRead(stream, image->palette, static_cast<RwUInt32>(paletteBytes)) != paletteBytes)) {
                RwImageDestroy(image);
                image = nullptr;
            }
        }
    }
    // Whatever the chunk holds beyond the image is passed over, so the next
    // chunk is read in step.
    if (image != nullptr && !RwStreamSkipRest(stream)) {
        RwImageDestroy(image);
        image = nullptr;
    }
    RwStreamLeaveChunk(stream, saved);
    return image;
}

RwUInt32 RwImageStreamGetSize(const RwImage *image)
{
    const RwUInt32 paletteBytes = (image->depth == 4 || image->depth == 8) ? (4u << image->depth) : 0u;
    return rwIMAGESTREAMHEADER + static_cast<RwUInt32>(image->stride) * static_cast<RwUInt32>(image->height) +
           paletteBytes;
}

RwImage *RwImageStreamWrite(const RwImage *image, RwStream *stream)
{
    if (image->cpPixels == nullptr || ((image->depth == 4 || image->depth == 8) && image->palette == nullptr)) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    const RwUInt32 rowBytes = static_cast<RwUInt32>(image->stride) * static_cast<RwUInt32>(image->height);
    if (RwStreamWriteChunkHeaderDefault(stream, rwID_STRUCT, RwImageStreamGetSize(image)) == nullptr ||
        RwStreamWriteInt32(stream, image->width) == nullptr || RwStreamWriteInt32(stream, image->height) == nullptr ||
        RwStreamWriteInt32(stream, image->depth) == nullptr || RwStreamWriteInt32(stream, image->stride) == nullptr ||
        RwStreamWrite(stream, image->cpPixels, rowBytes) == nullptr ||
        ((image->depth == 4 || image->depth == 8) && RwStreamWrite(stream, image->palette, 4u << image->depth) == nullptr)) {
        return nullptr;
    }
    return const_cast<RwImage *>(image);
}
