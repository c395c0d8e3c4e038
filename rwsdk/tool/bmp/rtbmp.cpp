// Reads bitmap files into images. Every header field is checked against
// what the file can hold before anything is allocated, run-length data may
// never write past its row, and the pixel data is never sought backwards.
#include <cstring>

#include "rtbmp.h"
#include "rtbmprow.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"

// Beyond these the file is refused rather than allocated for.
static constexpr RwInt32 rtBMPMAXSIDE = 32768;
static constexpr RwInt64 rtBMPMAXPIXELS = RwInt64{1} << 25;
static constexpr RwUInt32 rtBMPLARGESTHEADER = 124;

enum : RwUInt32 { rtBMPRGB = 0, rtBMPRLE8 = 1, rtBMPRLE4 = 2, rtBMPBITFIELDS = 3, rtBMPALPHABITFIELDS = 6 };

struct BmpHeader {
    RwUInt32 pixelOffset;
    RwUInt32 headerSize;
    RwInt32 width;
    RwInt32 height;  // rows; negative in the file for top-down
    bool topDown;
    RwUInt32 bitCount;
    RwUInt32 compression;
    RwUInt32 coloursUsed;
    // Red, green, blue and alpha masks of 16- and 32-bit pixels: from the
    // file for bit-field files, 5-5-5 for plain 16-bit ones; none (zero)
    // for plain 32-bit pixels, which are bytes.
    RwUInt32 masks[4];
    RwUInt32 maskBytes;  // mask words stored after a 40-byte header
};

static RwUInt32 Le16(const RwUInt8 *p) { return static_cast<RwUInt32>(p[0]) | (static_cast<RwUInt32>(p[1]) << 8); }
static RwUInt32 Le32(const RwUInt8 *p) { return Le16(p) | (Le16(p + 2) << 16); }

static void Fail(RwInt32 code) { RwErrorReport(rwID_BMPTOOLKIT, code); }

static RwBool ReadHeader(RwStream *stream, BmpHeader *h)
{
    RwUInt8 head[18];
    if (RwStreamRead(stream, head, sizeof(head)) != sizeof(head) || Le16(head) != 0x4D42) {
        return FALSE;
    }
    h->pixelOffset = Le32(head + 10);
    h->headerSize = Le32(head + 14);
    if (h->headerSize != 12 && (h->headerSize < 40 || h->headerSize > rtBMPLARGESTHEADER)) {
        Fail(E_RW_INVIMAGEFORMAT);
        return FALSE;
    }
    // The fields of the 40-byte header and the colour masks of the longer
    // ones are used; the rest (colour space) is passed over.
    RwUInt8 info[52] = {};
    const RwUInt32 take = h->headerSize == 12 ? 8u : (h->headerSize - 4 < 52u ? h->headerSize - 4 : 52u);
    if (RwStreamRead(stream, info, take) != take ||
        (h->headerSize > 56 && RwStreamSkip(stream, h->headerSize - 56) == nullptr)) {
        return FALSE;
    }
    RwInt64 rawHeight;
    if (h->headerSize == 12) {
        h->width = static_cast<RwInt16>(Le16(info));
        rawHeight = static_cast<RwInt16>(Le16(info + 2));
        h->bitCount = Le16(info + 6);
        h->compression = rtBMPRGB;
        h->coloursUsed = 0;
    } else {
        h->width = static_cast<RwInt32>(Le32(info));
        rawHeight = static_cast<RwInt32>(Le32(info + 4));
        h->bitCount = Le16(info + 10);
        h->compression = Le32(info + 12);
        h->coloursUsed = Le32(info + 28);
    }
    h->masks[0] = h->masks[1] = h->masks[2] = h->masks[3] = 0;
    h->maskBytes = 0;
    if (h->compression == rtBMPBITFIELDS || h->compression == rtBMPALPHABITFIELDS) {
        if (h->headerSize == 40) {
            // Plain headers keep the masks in the words that follow them.
            h->maskBytes = h->compression == rtBMPALPHABITFIELDS ? 16u : 12u;
            if (RwStreamRead(stream, info + 36, h->maskBytes) != h->maskBytes) {
                return FALSE;
            }
        }
        for (RwUInt32 i = 0; i < 4; ++i) {
            h->masks[i] = Le32(info + 36 + 4 * i);
        }
        if (h->compression == rtBMPBITFIELDS && h->headerSize < 56) {
            h->masks[3] = 0;
        }
    } else if (h->bitCount == 16) {
        h->masks[0] = 0x7C00, h->masks[1] = 0x03E0, h->masks[2] = 0x001F;
    }
    h->topDown = rawHeight < 0;
    const RwInt64 rows = h->topDown ? -rawHeight : rawHeight;
    h->height = static_cast<RwInt32>(rows > rtBMPMAXSIDE ? 0 : rows);
    if (h->width <= 0 || h->width > rtBMPMAXSIDE || h->height <= 0 ||
        static_cast<RwInt64>(h->width) * h->height > rtBMPMAXPIXELS || h->bitCount == 0 || h->bitCount > 32) {
        Fail(E_RW_INVIMAGESIZE);
        return FALSE;
    }
    const bool fields = (h->compression == rtBMPBITFIELDS || h->compression == rtBMPALPHABITFIELDS) &&
                        (h->bitCount == 16 || h->bitCount == 32);
    const bool raw = h->compression == rtBMPRGB || h->bitCount == 24 || fields;
    const bool rle = (h->compression == rtBMPRLE8 && h->bitCount == 8) || (h->compression == rtBMPRLE4 && h->bitCount == 4);
    if ((!raw && !rle) || (rle && h->topDown)) {
        Fail(E_RW_INVIMAGEFORMAT);
        return FALSE;
    }
    return TRUE;
}

static RwInt32 DepthFor(RwUInt32 bitCount) { return bitCount <= 4 ? 4 : bitCount == 8 ? 8 : 32; }

static RwBool ReadPalette(RwStream *stream, const BmpHeader &h, RwImage *image, RwUInt32 *bytesRead)
{
    *bytesRead = 0;
    if (image->palette != nullptr) {
        for (RwInt32 i = 0; i < (1 << image->depth); ++i) {
            image->palette[i] = RwRGBA{0, 0, 0, 255};
        }
    }
    if (h.bitCount > 8) {
        return TRUE;
    }
    const RwUInt32 maxEntries = 1u << h.bitCount;
    const RwUInt32 entries = (h.coloursUsed >= 1 && h.coloursUsed <= maxEntries) ? h.coloursUsed : maxEntries;
    const RwUInt32 entrySize = h.headerSize == 12 ? 3u : 4u;
    RwUInt8 bytes[256 * 4];
    if (RwStreamRead(stream, bytes, entries * entrySize) != entries * entrySize) {
        return FALSE;
    }
    // Bit counts with no palettised image (5 to 7) still carry a palette.
    for (RwUInt32 i = 0; i < entries && image->palette != nullptr; ++i) {
        const RwUInt8 *e = bytes + i * entrySize;
        image->palette[i] = RwRGBA{e[2], e[1], e[0], 255};
    }
    *bytesRead = entries * entrySize;
    return TRUE;
}

// One channel of a pixel under its mask, widened to 8 bits by repeating its
// bits (a full 5-bit channel is 255, not 248); a channel wider than 8 bits
// keeps its top 8.
static RwUInt8 MaskedChannel(RwUInt32 pixel, RwUInt32 mask)
{
    if (mask == 0) {
        return 0;
    }
    RwUInt32 shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    RwUInt32 bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) {
        ++bits;
    }
    const RwUInt32 value = (pixel & mask) >> shift;
    if (bits >= 8) {
        return static_cast<RwUInt8>(value >> (bits - 8));
    }
    RwUInt32 wide = 0;
    for (RwInt32 at = 8 - static_cast<RwInt32>(bits); at > -static_cast<RwInt32>(bits); at -= static_cast<RwInt32>(bits)) {
        wide |= at >= 0 ? value << at : value >> -at;
    }
    return static_cast<RwUInt8>(wide);
}

static RwRGBA MaskedColour(RwUInt32 pixel, const RwUInt32 masks[4])
{
    return RwRGBA{MaskedChannel(pixel, masks[0]), MaskedChannel(pixel, masks[1]), MaskedChannel(pixel, masks[2]),
                  masks[3] != 0 ? MaskedChannel(pixel, masks[3]) : static_cast<RwUInt8>(255)};
}

// Converts one file row (or a row of one index per pixel, bitCount 8 for
// run-length rows) into image row `out`.
static void ConvertRow(const RwUInt8 *in, const BmpHeader &h, RwUInt32 bitCount, RwImage *image, RwUInt8 *out)
{
    const RwInt32 width = image->width;
    auto *colours = reinterpret_cast<RwRGBA *>(out);
    // The common layouts row by row (the same colours as the pixel-by-pixel switch below).
    if (bitCount == 24 || (bitCount == 32 && (h.masks[0] | h.masks[1] | h.masks[2]) == 0)) {
        // Read a word a pixel (the buffer holds four bytes a pixel, so the last
        // pixel's word is in it).
        RtBmpBgrRowToColours(in, bitCount / 8, width, colours);
        return;
    }
    if (bitCount == 8) {
        if (image->depth != 32) {
            std::memcpy(out, in, static_cast<size_t>(width));
        } else if (image->palette != nullptr) {
            for (RwInt32 x = 0; x < width; ++x) colours[x] = image->palette[in[x]];
        } else {
            for (RwInt32 x = 0; x < width; ++x) colours[x] = RwRGBA{0, 0, 0, 255};
        }
        return;
    }
    for (RwInt32 x = 0; x < width; ++x) {
        RwUInt32 index = 0;
        switch (bitCount) {
        case 1:
            index = (in[x >> 3] >> (7 - (x & 7))) & 1u;
            break;
        case 4:
            index = (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
            break;
        case 8:
            index = in[x];
            break;
        case 15: {
            const RwUInt32 u = Le16(in + 2 * x);
            colours[x] = RwRGBA{static_cast<RwUInt8>((u >> 7) & 0xF8), static_cast<RwUInt8>((u >> 2) & 0xF8),
                                static_cast<RwUInt8>((u << 3) & 0xFF), 255};
            continue;
        }
        case 16:
            // Plain 16-bit files are 5-5-5; bit-field files say their layout.
            colours[x] = MaskedColour(Le16(in + 2 * x), h.masks);
            continue;
        case 32:
            if (h.masks[0] | h.masks[1] | h.masks[2]) {
                colours[x] = MaskedColour(Le32(in + 4 * x), h.masks);
                continue;
            }
            [[fallthrough]];
        case 24: {
            const RwUInt8 *p = in + x * static_cast<RwInt32>(bitCount / 8);
            colours[x] = RwRGBA{p[2], p[1], p[0], 255};
            continue;
        }
        default:
            RwErrorReport(rwID_BMPTOOLKIT, E_RW_INVIMAGEDEPTH);
            return;
        }
        if (image->depth == 32) {
            colours[x] = image->palette != nullptr ? image->palette[index] : RwRGBA{0, 0, 0, 255};
        } else {
            out[x] = static_cast<RwUInt8>(index);
        }
    }
}

static RwUInt8 *ImageRow(RwImage *image, RwInt32 fileRow, bool topDown)
{
    const RwInt32 y = topDown ? fileRow : image->height - 1 - fileRow;
    return image->cpPixels + static_cast<RwInt64>(y) * image->stride;
}

static RwBool ReadRawRows(RwStream *stream, const BmpHeader &h, RwImage *image, RwUInt8 *buffer, RwUInt32 rowBytes)
{
    // The rows must all be there: a short file is refused before any row is
    // converted (a file stream knows what is left).
    if (static_cast<RwUInt64>(rowBytes) * static_cast<RwUInt64>(h.height) > RwStreamBytesLeft(stream)) {
        Fail(E_RW_READ);
        return FALSE;
    }
    for (RwInt32 row = 0; row < h.height; ++row) {
        if (RwStreamRead(stream, buffer, rowBytes) != rowBytes) {
            return FALSE;
        }
        ConvertRow(buffer, h, h.bitCount, image, ImageRow(image, row, h.topDown));
    }
    return TRUE;
}

// Run-length rows, bottom-up; `buffer` gets one index per pixel. Encoders
// may fill a row's padding too, so runs and literals may reach the end of
// the padded row (`capacity` pixels) but never past it.
static RwBool ReadRunLengthRows(RwStream *stream, const BmpHeader &h, RwImage *image, RwUInt8 *buffer,
                                RwInt32 capacity)
{
    const bool four = h.compression == rtBMPRLE4;
    const RwInt32 width = capacity;
    bool endOfBitmap = false;
    for (RwInt32 row = 0; row < h.height && !endOfBitmap; ++row) {
        std::memset(buffer, 0, static_cast<size_t>(width));
        RwInt32 x = 0;
        for (;;) {
            RwUInt8 pair[2];
            if (RwStreamRead(stream, pair, 2) != 2) {
                return FALSE;
            }
            const RwInt32 n = pair[0];
            const RwUInt8 v = pair[1];
            if (n > 0) {
                if (n > width - x) {
                    Fail(E_RW_INVIMAGEFORMAT);
                    return FALSE;
                }
                for (RwInt32 i = 0; i < n; ++i) {
                    buffer[x++] = four ? static_cast<RwUInt8>((i & 1) ? (v & 0xF) : (v >> 4)) : v;
                }
                continue;
            }
            if (v == 0) {
                break;
            }
            if (v == 1) {
                endOfBitmap = true;
                break;
            }
            if (v == 2) {
                return FALSE;  // position jumps are not supported
            }
            if (v > width - x) {
                Fail(E_RW_INVIMAGEFORMAT);
                return FALSE;
            }
            // Literal data is padded to a 16-bit boundary.
            const RwUInt32 bytes = four ? (v + 1u) / 2u : v;
            const RwUInt32 padded = (bytes + 1u) & ~1u;
            RwUInt8 literal[256];
            if (RwStreamRead(stream, literal, padded) != padded) {
                return FALSE;
            }
            for (RwInt32 i = 0; i < v; ++i) {
                buffer[x++] = four ? static_cast<RwUInt8>((i & 1) ? (literal[i >> 1] & 0xF) : (literal[i >> 1] >> 4))
                                   : literal[i];
            }
        }
        std::memcpy(ImageRow(image, row, false), buffer, static_cast<size_t>(image->width));
    }
    return TRUE;
}

static RwImage *ReadBody(RwStream *stream, const BmpHeader &h, RwImage *image)
{
    RwUInt32 paletteBytes = 0;
    if (!ReadPalette(stream, h, image, &paletteBytes)) {
        return nullptr;
    }
    const RwUInt32 consumed = 14 + h.headerSize + h.maskBytes + paletteBytes;
    if (h.pixelOffset < consumed) {
        Fail(E_RW_INVIMAGEFORMAT);
        return nullptr;
    }
    if (RwStreamSkip(stream, h.pixelOffset - consumed) == nullptr) {
        return nullptr;
    }
    const RwUInt32 rowBytes = static_cast<RwUInt32>(RtBmpRowBytes(rtBMPHEADERWINDOWS, static_cast<RwInt32>(h.bitCount), h.width));
    // Run-length rows hold one index per pixel of the padded file row; the
    // converters read up to four bytes a pixel whatever the bit count says,
    // so the buffer always covers that (the unused tail stays zero).
    const RwUInt32 capacity = rowBytes * 8u / h.bitCount;
    RwUInt32 bufferBytes = rowBytes > capacity ? rowBytes : capacity;
    if (bufferBytes < 4u * static_cast<RwUInt32>(h.width)) {
        bufferBytes = 4u * static_cast<RwUInt32>(h.width);
    }
    auto *buffer = static_cast<RwUInt8 *>(RwMalloc(bufferBytes));
    if (buffer == nullptr) {
        Fail(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(buffer, 0, bufferBytes);
    const bool rle = h.bitCount <= 8 && h.compression != rtBMPRGB;
    const RwBool ok = rle ? ReadRunLengthRows(stream, h, image, buffer, static_cast<RwInt32>(capacity)) : ReadRawRows(stream, h, image, buffer, rowBytes);
    RwFree(buffer);
    return ok ? image : nullptr;
}

RwImage *RtBmpStreamRead(RwStream *stream)
{
    BmpHeader header;
    if (!ReadHeader(stream, &header)) {
        return nullptr;
    }
    RwImage *image = RwImageCreate(header.width, header.height, DepthFor(header.bitCount));
    if (image == nullptr) {
        return nullptr;
    }
    if (RwImageAllocatePixels(image) == nullptr) {
        RwImageDestroy(image);
        return nullptr;
    }
    // Rows the body may leave unwritten (run-length rows after an early end, padding
    // past a row's pixels) are zero. Uncompressed 16-, 24- and 32-bit rows write every
    // pixel of every row, each four bytes filling the stride, or the image is refused.
    const bool everyByteWritten = (header.bitCount == 16 || header.bitCount == 24 || header.bitCount == 32) &&
                                  image->stride == 4 * header.width;
    if (!everyByteWritten) {
        std::memset(image->cpPixels, 0, static_cast<size_t>(image->stride) * static_cast<size_t>(image->height));
    }
    if (ReadBody(stream, header, image) == nullptr) {
        RwImageDestroy(image);
        return nullptr;
    }
    return image;
}

RwImage *RtBmpRead(const RwChar *imageName)
{
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, imageName);
    if (stream == nullptr) {
        return nullptr;
    }
    RwImage *image = RtBmpStreamRead(stream);
    RwStreamClose(stream, nullptr);
    return image;
}
