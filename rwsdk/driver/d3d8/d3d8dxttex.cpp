// DDS textures: the file header (read field by field, every size checked),
// software decoding of DXT1 to DXT5 blocks and of the plain RGB layouts into
// 32-bit images, and loading a DDS file into a texture raster by name. The
// device-side load (formats the device holds as they are, cube maps, level
// upload) comes through the driver's hook; without it every file is decoded.
#include <cstring>

#include "rwd3d8dds.h"
#include "rwerror.h"
#include "rwimage.h"
#include "rwmemory.h"
#include "rwosintf.h"
#include "rwraster.h"
#include "rwstream.h"
#include "rwtexture.h"

static constexpr RwUInt32 rwDDSMAXSIDE = 32768;
static constexpr RwUInt32 rwDDSREQUIREDFLAGS = 0x1007;
static constexpr RwUInt32 rwDDSCAPSCOMPLEX = 0x8;
static constexpr RwUInt32 rwDDSCAPS2CUBEMAP = 0xFE00;

static RwD3D8DDSDirectLoad directLoad = nullptr;

void RwD3D8DDSSetDirectLoad(RwD3D8DDSDirectLoad hook) { directLoad = hook; }

static RwUInt32 Le16(const RwUInt8 *p) { return static_cast<RwUInt32>(p[0]) | (static_cast<RwUInt32>(p[1]) << 8); }
static RwUInt32 Le32(const RwUInt8 *p) { return Le16(p) | (Le16(p + 2) << 16); }

RwBool RwD3D8DDSReadHeader(RwStream *stream, RwD3D8DDSHeader *header)
{
    RwUInt8 bytes[4 + rwDDSHEADERSIZE];
    if (RwStreamRead(stream, bytes, 4) != 4 || Le32(bytes) != rwDDSMAGIC ||
        RwStreamRead(stream, bytes + 4, rwDDSHEADERSIZE) != rwDDSHEADERSIZE) {
        return FALSE;
    }
    const RwUInt8 *h = bytes + 4;
    header->size = Le32(h + 0);
    header->flags = Le32(h + 4);
    header->height = Le32(h + 8);
    header->width = Le32(h + 12);
    header->pitchOrLinearSize = Le32(h + 16);
    header->depth = Le32(h + 20);
    header->mipMapCount = Le32(h + 24);
    header->pixelFormatFlags = Le32(h + 76);
    // Writers mark compressed data that carries alpha with the alpha-pixels
    // bit beside the FourCC bit; the FourCC says all there is to know.
    if (header->pixelFormatFlags & rwDDPF_FOURCC) {
        header->pixelFormatFlags = rwDDPF_FOURCC;
    }
    header->fourCC = Le32(h + 80);
    header->rgbBitCount = Le32(h + 84);
    header->redMask = Le32(h + 88);
    header->greenMask = Le32(h + 92);
    header->blueMask = Le32(h + 96);
    header->alphaMask = Le32(h + 100);
    header->caps1 = Le32(h + 104);
    header->caps2 = Le32(h + 108);
    const RwUInt32 kind = header->pixelFormatFlags;
    return (header->flags & rwDDSREQUIREDFLAGS) != 0 && header->width >= 1 && header->width <= rwDDSMAXSIDE &&
           header->height >= 1 && header->height <= rwDDSMAXSIDE &&
           (kind == rwDDPF_FOURCC || kind == rwDDPF_RGB || kind == rwDDPF_RGBA);
}

RwInt32 RwD3D8DDSLevelCount(const RwD3D8DDSHeader *header)
{
    if (!(header->flags & rwDDSD_MIPMAPCOUNT) || header->mipMapCount == 0) {
        return 1;
    }
    return header->mipMapCount > 32 ? 32 : static_cast<RwInt32>(header->mipMapCount);
}

RwInt32 RwD3D8DDSFaceCount(const RwD3D8DDSHeader *header)
{
    if (!(header->caps1 & rwDDSCAPSCOMPLEX) || !(header->caps2 & rwDDSCAPS2CUBEMAP)) {
        return 1;
    }
    RwInt32 faces = 0;
    for (RwUInt32 bit = 0x400; bit <= 0x8000; bit <<= 1) {
        faces += (header->caps2 & bit) != 0;
    }
    return faces;
}

static RwUInt32 BlockBytes(RwUInt32 fourCC)
{
    switch (fourCC) {
    case rwFOURCC_DXT1:
        return 8;
    case rwFOURCC_DXT2:
    case rwFOURCC_DXT3:
    case rwFOURCC_DXT4:
    case rwFOURCC_DXT5:
        return 16;
    default:
        return 0;
    }
}

RwUInt32 RwD3D8DDSLevelSize(const RwD3D8DDSHeader *header, RwUInt32 width, RwUInt32 height)
{
    width = width < 1 ? 1 : width;
    height = height < 1 ? 1 : height;
    if (header->pixelFormatFlags == rwDDPF_FOURCC) {
        // A partial block at the end of a row or column is stored whole.
        const RwUInt32 bw = (width + 3) / 4;
        const RwUInt32 bh = (height + 3) / 4;
        return bw * bh * BlockBytes(header->fourCC);  // at most 8192 * 8192 * 16
    }
    const RwUInt32 bits = header->rgbBitCount;
    if (bits != 16 && bits != 24 && bits != 32) {
        return 0;
    }
    return bits / 8 * width * height;  // at most 4 * 32768 * 32768 would wrap: sides are checked smaller
}

// Expands a 5-6-5 colour with zero low bits.
static void Expand565(RwUInt32 c, RwUInt8 *rgb)
{
    rgb[0] = static_cast<RwUInt8>((c >> 8) & 0xF8);
    rgb[1] = static_cast<RwUInt8>((c >> 3) & 0xFC);
    rgb[2] = static_cast<RwUInt8>((c << 3) & 0xF8);
}

// Decodes one colour block into `dst` (rows `stride` apart). `withAlpha`
// picks the DXT3/DXT5 meaning of index 3 of a three-colour block. Returns
// true when a texel took the transparent index.
static bool DecodeColourBlock(const RwUInt8 *block, RwUInt8 *dst, RwInt32 stride, bool withAlpha)
{
    const RwUInt32 c0 = Le16(block);
    const RwUInt32 c1 = Le16(block + 2);
    RwUInt8 colours[4][4];
    Expand565(c0, colours[0]);
    Expand565(c1, colours[1]);
    for (int i = 0; i < 3; ++i) {
        const RwUInt32 a = colours[0][i];
        const RwUInt32 b = colours[1][i];
        if (c0 > c1) {
            colours[2][i] = static_cast<RwUInt8>((2 * a + b) / 3);
            colours[3][i] = static_cast<RwUInt8>((a + 2 * b) / 3);
        } else {
            colours[2][i] = static_cast<RwUInt8>((a + b) / 2);
            colours[3][i] = withAlpha ? (i == 0 ? 0 : 255) : 0;
        }
    }
    colours[0][3] = colours[1][3] = colours[2][3] = colours[3][3] = 255;
    if (!(c0 > c1) && !withAlpha) {
        colours[3][3] = 0;
    }
    bool transparent = false;
    for (int y = 0; y < 4; ++y) {
        const RwUInt32 bits = block[4 + y];
        RwUInt8 *row = dst + static_cast<RwInt64>(y) * stride;
        for (int x = 0; x < 4; ++x) {
            const RwUInt32 index = (bits >> (2 * x)) & 3u;
            std::memcpy(row + 4 * x, colours[index], 4);
            transparent = transparent || (index == 3 && !(c0 > c1));
        }
    }
    return transparent;
}

// Blocks run left to right, top to bottom, (width + 3) / 4 to a row: a side
// that is not a multiple of 4 ends in a partial block, whose texels outside
// the image are decoded and dropped.
template <typename DecodeBlock>
static void ForEachBlock(RwInt32 width, RwInt32 height, RwUInt8 *dst, const RwUInt8 *src, RwUInt32 blockBytes,
                         DecodeBlock decode)
{
    const RwInt32 stride = 4 * width;
    for (RwInt32 by = 0; 4 * by < height; ++by) {
        for (RwInt32 bx = 0; 4 * bx < width; ++bx, src += blockBytes) {
            RwUInt8 tile[4 * 16];
            decode(src, tile);
            const RwInt32 w = width - 4 * bx < 4 ? width - 4 * bx : 4;
            const RwInt32 h = height - 4 * by < 4 ? height - 4 * by : 4;
            for (RwInt32 y = 0; y < h; ++y) {
                std::memcpy(dst + static_cast<RwInt64>(4 * by + y) * stride + 16 * bx, tile + 16 * y,
                            static_cast<size_t>(4 * w));
            }
        }
    }
}

RwBool RwD3D8DecompressDXT1(RwInt32 width, RwInt32 height, RwUInt8 *dst, const RwUInt8 *src)
{
    bool transparent = false;
    // Only texels inside the image count towards transparency.
    const RwInt32 stride = 4 * width;
    ForEachBlock(width, height, dst, src, 8, [&](const RwUInt8 *block, RwUInt8 *tile) {
        DecodeColourBlock(block, tile, 16, false);
    });
    for (RwInt64 i = 0; i < static_cast<RwInt64>(height) * stride && !transparent; i += 4) {
        transparent = dst[i + 3] == 0;
    }
    return transparent;
}

void RwD3D8DecompressDXT3(RwInt32 width, RwInt32 height, RwUInt8 *dst, const RwUInt8 *src)
{
    ForEachBlock(width, height, dst, src, 16, [](const RwUInt8 *block, RwUInt8 *tile) {
        DecodeColourBlock(block + 8, tile, 16, true);
        for (int y = 0; y < 4; ++y) {
            const RwUInt32 bits = Le16(block + 2 * y);
            for (int x = 0; x < 4; ++x) {
                tile[16 * y + 4 * x + 3] = static_cast<RwUInt8>(((bits >> (4 * x)) & 0xF) * 17);
            }
        }
    });
}

void RwD3D8DecompressDXT5Alpha(RwUInt8 *dst, const RwUInt8 *alphaBlock, RwInt32 width, RwUInt32 keepMask)
{
    const RwUInt32 a0 = alphaBlock[0];
    const RwUInt32 a1 = alphaBlock[1];
    RwUInt8 table[8] = {static_cast<RwUInt8>(a0), static_cast<RwUInt8>(a1)};
    if (a0 > a1) {
        for (RwUInt32 i = 1; i <= 6; ++i) {
            table[i + 1] = static_cast<RwUInt8>(((7 - i) * a0 + i * a1) / 7);
        }
    } else {
        for (RwUInt32 i = 1; i <= 4; ++i) {
            table[i + 1] = static_cast<RwUInt8>(((5 - i) * a0 + i * a1) / 5);
        }
        table[6] = 0;
        table[7] = 255;
    }
    const RwUInt32 low = alphaBlock[2] | (alphaBlock[3] << 8) | (static_cast<RwUInt32>(alphaBlock[4]) << 16);
    const RwUInt32 high = alphaBlock[5] | (alphaBlock[6] << 8) | (static_cast<RwUInt32>(alphaBlock[7]) << 16);
    for (RwUInt32 t = 0; t < 16; ++t) {
        if (keepMask & (1u << t)) {
            const RwUInt32 index = ((t < 8 ? low >> (3 * t) : high >> (3 * (t - 8)))) & 7u;
            dst[static_cast<RwInt64>(t / 4) * 4 * width + 4 * (t % 4) + 3] = table[index];
        }
    }
}

void RwD3D8DecompressDXT5(RwInt32 width, RwInt32 height, RwUInt8 *dst, const RwUInt8 *src)
{
    ForEachBlock(width, height, dst, src, 16, [](const RwUInt8 *block, RwUInt8 *tile) {
        DecodeColourBlock(block + 8, tile, 16, true);
        RwD3D8DecompressDXT5Alpha(tile, block, 4, 0xFFFFu);
    });
}

// Plain RGB layouts: bytes per pixel and how one pixel becomes RGBA.
enum RgbPixelLayout { rgbNONE, rgbBGR24, rgbX8R8G8B8, rgbR5G6B5, rgbA8R8G8B8, rgbA1R5G5B5, rgbA4R4G4B4 };

static RgbPixelLayout LayoutOf(const RwD3D8DDSHeader *h)
{
    if (h->pixelFormatFlags == rwDDPF_RGB) {
        if (h->rgbBitCount == 24) {
            return rgbBGR24;
        }
        if (h->rgbBitCount == 32 && h->redMask == 0xFF0000) {
            return rgbX8R8G8B8;
        }
        return h->redMask == 0xF800 && h->rgbBitCount == 16 ? rgbR5G6B5 : rgbNONE;
    }
    if (h->pixelFormatFlags == rwDDPF_RGBA) {
        if (h->redMask == 0xFF0000 && h->rgbBitCount == 32) {
            return rgbA8R8G8B8;
        }
        if (h->redMask == 0x7C00 && h->rgbBitCount == 16) {
            return rgbA1R5G5B5;
        }
        return h->redMask == 0xF000 && h->rgbBitCount == 16 ? rgbA4R4G4B4 : rgbNONE;
    }
    return rgbNONE;
}

static RwUInt32 BytesPerPixel(RgbPixelLayout layout)
{
    return layout == rgbBGR24 ? 3 : (layout == rgbX8R8G8B8 || layout == rgbA8R8G8B8) ? 4 : 2;
}

static void DecodeRgbPixel(RgbPixelLayout layout, const RwUInt8 *in, RwUInt8 *out)
{
    const RwUInt32 p = BytesPerPixel(layout) == 2 ? Le16(in) : BytesPerPixel(layout) == 3 ? 0 : Le32(in);
    switch (layout) {
    case rgbBGR24:
        out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = 255;
        break;
    case rgbX8R8G8B8:
    case rgbA8R8G8B8:
        out[0] = static_cast<RwUInt8>(p >> 16), out[1] = static_cast<RwUInt8>(p >> 8), out[2] = static_cast<RwUInt8>(p);
        out[3] = layout == rgbA8R8G8B8 ? static_cast<RwUInt8>(p >> 24) : 255;
        break;
    case rgbR5G6B5:
        Expand565(p, out);
        out[3] = 255;
        break;
    case rgbA1R5G5B5:
        out[0] = static_cast<RwUInt8>((p >> 7) & 0xF8), out[1] = static_cast<RwUInt8>((p >> 2) & 0xF8);
        out[2] = static_cast<RwUInt8>((p << 3) & 0xF8), out[3] = (p & 0x8000) ? 255 : 0;
        break;
    case rgbA4R4G4B4:
        out[3] = static_cast<RwUInt8>((p >> 8) & 0xF0), out[0] = static_cast<RwUInt8>((p >> 4) & 0xF0);
        out[1] = static_cast<RwUInt8>(p & 0xF0), out[2] = static_cast<RwUInt8>((p << 4) & 0xF0);
        break;
    case rgbNONE:
        break;
    }
}

static RwInt32 RgbFormat(RgbPixelLayout layout, RwUInt32 accepted)
{
    switch (layout) {
    case rgbBGR24:
    case rgbX8R8G8B8:
        return (accepted & rwDDSACCEPTS888) ? rwRASTERFORMAT888 : rwRASTERFORMAT565;
    case rgbR5G6B5:
        return rwRASTERFORMAT565;
    case rgbA8R8G8B8:
        return (accepted & rwDDSACCEPTS8888)   ? rwRASTERFORMAT8888
               : (accepted & rwDDSACCEPTS4444) ? rwRASTERFORMAT4444
                                                : rwRASTERFORMAT1555;
    case rgbA4R4G4B4:
        return (accepted & rwDDSACCEPTS4444) ? rwRASTERFORMAT4444 : rwRASTERFORMAT1555;
    default:
        return rwRASTERFORMAT1555;
    }
}

// Row pitch of an RGB file as the software path reads it.
static RwUInt32 RgbPitch(const RwD3D8DDSHeader *h, RgbPixelLayout layout)
{
    if (!(h->flags & rwDDSD_LINEARSIZE) && h->pitchOrLinearSize != 0) {
        return h->pitchOrLinearSize;
    }
    return BytesPerPixel(layout) * h->width;
}

// Bytes of level 0 that the software path reads from the file.
static RwUInt64 SoftwareByteCount(const RwD3D8DDSHeader *h)
{
    if (h->pixelFormatFlags == rwDDPF_FOURCC) {
        return h->pitchOrLinearSize != 0 ? h->pitchOrLinearSize : RwD3D8DDSLevelSize(h, h->width, h->height);
    }
    if (h->flags & rwDDSD_LINEARSIZE) {
        return h->pitchOrLinearSize;
    }
    return static_cast<RwUInt64>(RgbPitch(h, LayoutOf(h))) * h->height;
}

RwImage *RwD3D8DDSDecodeImage(const RwD3D8DDSHeader *header, const RwUInt8 *data, RwUInt32 size,
                              RwUInt32 acceptedFormats, RwInt32 *rasterFormat)
{
    const RwInt32 width = static_cast<RwInt32>(header->width);
    const RwInt32 height = static_cast<RwInt32>(header->height);
    const RgbPixelLayout layout = LayoutOf(header);
    RwUInt64 needed = 0;
    RwUInt32 pitch = 0;
    if (header->pixelFormatFlags == rwDDPF_FOURCC) {
        const RwUInt32 block = BlockBytes(header->fourCC);
        if (block == 0) {
            return nullptr;
        }
        needed = static_cast<RwUInt64>((width + 3) / 4) * static_cast<RwUInt64>((height + 3) / 4) * block;
    } else {
        if (layout == rgbNONE) {
            return nullptr;
        }
        pitch = RgbPitch(header, layout);
        const RwUInt64 rowBytes = static_cast<RwUInt64>(BytesPerPixel(layout)) * header->width;
        if (pitch < rowBytes) {
            return nullptr;
        }
        needed = static_cast<RwUInt64>(pitch) * (header->height - 1) + rowBytes;
    }
    // The header's sizes must agree with the bytes there are.
    if (needed > size) {
        return nullptr;
    }
    RwImage *image = RwImageCreate(width, height, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    std::memset(image->cpPixels, 0, static_cast<size_t>(image->stride) * static_cast<size_t>(height));
    switch (header->pixelFormatFlags == rwDDPF_FOURCC ? header->fourCC : 0u) {
    case rwFOURCC_DXT1:
        *rasterFormat = RwD3D8DecompressDXT1(width, height, image->cpPixels, data) ? rwRASTERFORMAT1555
                                                                                    : rwRASTERFORMAT565;
        break;
    case rwFOURCC_DXT2:
    case rwFOURCC_DXT3:
        RwD3D8DecompressDXT3(width, height, image->cpPixels, data);
        *rasterFormat = (acceptedFormats & rwDDSACCEPTS4444) ? rwRASTERFORMAT4444 : rwRASTERFORMAT1555;
        break;
    case rwFOURCC_DXT4:
    case rwFOURCC_DXT5:
        RwD3D8DecompressDXT5(width, height, image->cpPixels, data);
        *rasterFormat = (acceptedFormats & rwDDSACCEPTS4444) ? rwRASTERFORMAT4444 : rwRASTERFORMAT1555;
        break;
    default:
        for (RwInt32 y = 0; y < height; ++y) {
            const RwUInt8 *in = data + static_cast<RwUInt64>(pitch) * y;
            RwUInt8 *out = image->cpPixels + static_cast<RwInt64>(y) * image->stride;
            for (RwInt32 x = 0; x < width; ++x) {
                DecodeRgbPixel(layout, in + BytesPerPixel(layout) * x, out + 4 * x);
            }
        }
        *rasterFormat = RgbFormat(layout, acceptedFormats);
        break;
    }
    return image;
}

// Software path: level 0 decoded into an image, a raster made for it with
// the device generating the other levels.
static RwRaster *ReadInSoftware(RwStream *stream, const RwD3D8DDSHeader *header, RwUInt32 accepted)
{
    const RwUInt64 count = SoftwareByteCount(header);
    if (count == 0 || count > RwStreamBytesLeft(stream) || count > 0x7FFFFFFF) {
        return nullptr;
    }
    auto *data = static_cast<RwUInt8 *>(RwMalloc(static_cast<size_t>(count)));
    if (data == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    RwImage *image = nullptr;
    RwInt32 format = 0;
    if (RwStreamRead(stream, data, static_cast<RwUInt32>(count)) == count) {
        image = RwD3D8DDSDecodeImage(header, data, static_cast<RwUInt32>(count), accepted, &format);
    }
    RwFree(data);
    if (image == nullptr) {
        return nullptr;
    }
    const bool mipmapped = (header->flags & rwDDSD_MIPMAPCOUNT) != 0;
    RwRaster *raster = RwRasterCreate(image->width, image->height, 0,
                                      rwRASTERTYPETEXTURE | format |
                                          (mipmapped ? rwRASTERFORMATMIPMAP | rwRASTERFORMATAUTOMIPMAP : 0));
    if (raster != nullptr && (raster->width != image->width || raster->height != image->height)) {
        RwImage *resized = RwImageCreateResample(image, raster->width, raster->height);
        RwImageDestroy(image);
        image = resized;
    }
    if (raster != nullptr && (image == nullptr || RwRasterSetFromImage(raster, image) == nullptr)) {
        RwRasterDestroy(raster);
        raster = nullptr;
    }
    if (image != nullptr) {
        RwImageDestroy(image);
    }
    return raster;
}

RwRaster *RwD3D8RasterReadDDS(RwStream *stream)
{
    RwD3D8DDSHeader header;
    if (!RwD3D8DDSReadHeader(stream, &header)) {
        return nullptr;
    }
    RwUInt32 accepted = rwDDSACCEPTS8888 | rwDDSACCEPTS4444 | rwDDSACCEPTS888;
    if (directLoad != nullptr) {
        RwBool refused = FALSE;
        RwRaster *raster = directLoad(stream, &header, &refused, &accepted);
        if (raster != nullptr || refused) {
            return raster;
        }
    }
    if (RwD3D8DDSFaceCount(&header) != 1 || ((header.caps1 & rwDDSCAPSCOMPLEX) && (header.caps2 & rwDDSCAPS2CUBEMAP))) {
        return nullptr;  // only plain textures have a software path
    }
    return ReadInSoftware(stream, &header, accepted);
}

struct DdsSearch {
    const RwChar *textureName;
    RwTexture *texture;
    bool single;
};

static RwBool TryDds(const RwChar *candidate, void *data)
{
    auto *search = static_cast<DdsSearch *>(data);
    // The search left room behind the candidate for the extension.
    auto *buffer = const_cast<RwChar *>(candidate);
    std::strcat(buffer, ".dds");
    if (!RwFileExists(buffer)) {
        return !search->single;
    }
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, buffer);
    if (stream == nullptr) {
        return !search->single;
    }
    RwRaster *raster = RwD3D8RasterReadDDS(stream);
    RwStreamClose(stream, nullptr);
    if (raster == nullptr) {
        return !search->single;
    }
    search->texture = RwTextureCreate(raster);
    if (search->texture == nullptr) {
        RwRasterDestroy(raster);
        return FALSE;
    }
    RwTextureSetFilterMode(search->texture, (raster->cFormat & (rwRASTERFORMATMIPMAP >> 8)) ? rwFILTERLINEARMIPLINEAR
                                                                                               : rwFILTERLINEAR);
    RwTextureSetName(search->texture, search->textureName);
    return FALSE;
}

RwTexture *RwD3D8TextureReadDDS(const RwChar *name, const RwChar *maskName)
{
    (void)maskName;
    const RwChar *path = RwImageGetPath();
    DdsSearch search{name, nullptr, false};
    if (RwPathIsAbsolute(name) || path == nullptr || path[0] == '\0') {
        const RwChar *slash = std::strrchr(name, '\\');
        search.textureName = slash != nullptr ? slash + 1 : name;
        search.single = true;
    }
    RwImageSearchPath(name, 5, TryDds, &search);
    return search.texture;
}
