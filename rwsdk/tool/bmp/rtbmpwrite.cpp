// Writes images as 24-bit Windows bitmaps, and the layout figures of the
// two header kinds.
#include <cstring>

#include "rtbmp.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"

RwInt32 RtBmpFileHeaderSize(RwInt32 kind) { return (kind == rtBMPHEADERWINDOWS || kind == rtBMPHEADEROS2) ? 14 : 0; }

RwInt32 RtBmpInfoHeaderSize(RwInt32 kind) { return kind == rtBMPHEADERWINDOWS ? 40 : kind == rtBMPHEADEROS2 ? 12 : 0; }

RwInt32 RtBmpRowBytes(RwInt32 kind, RwInt32 bitCount, RwInt32 width)
{
    if (kind != rtBMPHEADERWINDOWS && kind != rtBMPHEADEROS2) {
        return 0;
    }
    return static_cast<RwInt32>(((static_cast<RwInt64>(bitCount) * width + 31) / 32) * 4);
}

RwInt32 RtBmpHeaderSize(RwInt32 kind) { return RtBmpFileHeaderSize(kind) + RtBmpInfoHeaderSize(kind); }

static void Put16(RwUInt8 *p, RwUInt32 v)
{
    p[0] = static_cast<RwUInt8>(v);
    p[1] = static_cast<RwUInt8>(v >> 8);
}

static void Put32(RwUInt8 *p, RwUInt32 v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

static RwStream *WriteHeaders(RwStream *stream, const RwImage *image, RwUInt32 rowBytes)
{
    RwUInt8 header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, rowBytes * static_cast<RwUInt32>(image->height) + 54u);
    Put32(header + 10, 54);
    Put32(header + 14, 40);
    Put32(header + 18, static_cast<RwUInt32>(image->width));
    Put32(header + 22, static_cast<RwUInt32>(image->height));
    Put16(header + 26, 1);
    Put16(header + 28, 24);
    return RwStreamWrite(stream, header, sizeof(header));
}

static RwBool WriteRows(RwStream *stream, const RwImage *image, RwUInt32 rowBytes)
{
    const RwUInt32 pixelBytes = 3u * static_cast<RwUInt32>(image->width);
    const RwUInt8 padding[3] = {0, 0, 0};
    auto *buffer = static_cast<RwUInt8 *>(RwMalloc(pixelBytes));
    RwBool ok = TRUE;
    for (RwInt32 y = image->height - 1; y >= 0 && ok; --y) {
        const RwUInt8 *row = image->cpPixels + static_cast<RwInt64>(y) * image->stride;
        for (RwInt32 x = 0; x < image->width && ok; ++x) {
            const RwRGBA &c = RwImagePixelColour(image, row, x);
            const RwUInt8 bgr[3] = {c.blue, c.green, c.red};
            if (buffer != nullptr) {
                std::memcpy(buffer + 3 * x, bgr, 3);
            } else {
                ok = RwStreamWrite(stream, bgr, 3) != nullptr;  // no row buffer: pixel by pixel
            }
        }
        ok = ok && (buffer == nullptr || RwStreamWrite(stream, buffer, pixelBytes) != nullptr) &&
             (rowBytes == pixelBytes || RwStreamWrite(stream, padding, rowBytes - pixelBytes) != nullptr);
    }
    RwFree(buffer);
    return ok;
}

RwImage *RtBmpWrite(RwImage *image, const RwChar *imageName)
{
    if ((image->depth != 4 && image->depth != 8 && image->depth != 32) || image->cpPixels == nullptr ||
        (image->depth != 32 && image->palette == nullptr) || image->width <= 0 || image->height <= 0) {
        RwErrorReport(rwID_BMPTOOLKIT, E_RW_INVIMAGEDEPTH);
        return nullptr;
    }
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, imageName);
    if (stream == nullptr) {
        return nullptr;
    }
    const RwUInt32 rowBytes = static_cast<RwUInt32>(RtBmpRowBytes(rtBMPHEADERWINDOWS, 24, image->width));
    const RwBool ok = WriteHeaders(stream, image, rowBytes) != nullptr && WriteRows(stream, image, rowBytes);
    RwStreamClose(stream, nullptr);
    return ok ? image : nullptr;
}
