// DDS files and DXT blocks: the file header read field by field with every
// size checked, the level sizes of a mip chain, and software decoders of
// DXT1 to DXT5 blocks into 32-bit images, for devices that cannot hold a
// file's format as it is.
#pragma once

#include "rwtypes.h"

struct RwImage;
struct RwRaster;
struct RwStream;
struct RwTexture;

static constexpr RwUInt32 rwDDSMAGIC = 0x20534444;  // "DDS "
static constexpr RwUInt32 rwDDSHEADERSIZE = 124;
static constexpr RwUInt32 rwFOURCC_DXT1 = 0x31545844;
static constexpr RwUInt32 rwFOURCC_DXT2 = 0x32545844;
static constexpr RwUInt32 rwFOURCC_DXT3 = 0x33545844;
static constexpr RwUInt32 rwFOURCC_DXT4 = 0x34545844;
static constexpr RwUInt32 rwFOURCC_DXT5 = 0x35545844;

static constexpr RwUInt32 rwDDSD_MIPMAPCOUNT = 0x20000;
static constexpr RwUInt32 rwDDSD_LINEARSIZE = 0x80000;
static constexpr RwUInt32 rwDDPF_FOURCC = 0x4;
static constexpr RwUInt32 rwDDPF_RGB = 0x40;
static constexpr RwUInt32 rwDDPF_RGBA = 0x41;

struct RwD3D8DDSHeader {
    RwUInt32 size;
    RwUInt32 flags;
    RwUInt32 height;
    RwUInt32 width;
    RwUInt32 pitchOrLinearSize;
    RwUInt32 depth;
    RwUInt32 mipMapCount;
    RwUInt32 pixelFormatFlags;
    RwUInt32 fourCC;
    RwUInt32 rgbBitCount;
    RwUInt32 redMask;
    RwUInt32 greenMask;
    RwUInt32 blueMask;
    RwUInt32 alphaMask;
    RwUInt32 caps1;
    RwUInt32 caps2;
};

// Reads the magic and the 124-byte header; refuses a wrong magic, a header
// without any of the caps, height, width and pixel-format flags, an unknown
// pixel-format kind and sizes of 0 or above 32768.
RwBool RwD3D8DDSReadHeader(RwStream *stream, RwD3D8DDSHeader *header);
// Levels stored per face (1 without the mip-map count flag), faces stored.
RwInt32 RwD3D8DDSLevelCount(const RwD3D8DDSHeader *header);
RwInt32 RwD3D8DDSFaceCount(const RwD3D8DDSHeader *header);
// Bytes of a level of the given size, tightly packed; 0 when unknown.
RwUInt32 RwD3D8DDSLevelSize(const RwD3D8DDSHeader *header, RwUInt32 width, RwUInt32 height);

// Raster formats the device accepts for the software path's choices.
static constexpr RwUInt32 rwDDSACCEPTS8888 = 0x1;
static constexpr RwUInt32 rwDDSACCEPTS4444 = 0x2;
static constexpr RwUInt32 rwDDSACCEPTS888 = 0x4;

// The software path: decodes `size` bytes of level 0 (`data`) into a new
// 32-bit image of the header's size and gives the raster format to make
// for it. Null when the bytes do not cover the level or nothing is known
// of the layout.
RwImage *RwD3D8DDSDecodeImage(const RwD3D8DDSHeader *header, const RwUInt8 *data, RwUInt32 size,
                              RwUInt32 acceptedFormats, RwInt32 *rasterFormat);

// Block decoders: width / 4 blocks per row, height / 4 block rows, output
// rows 4 * width bytes. The source must hold every one of those blocks.
RwBool RwD3D8DecompressDXT1(RwInt32 width, RwInt32 height, RwUInt8 *dst, const RwUInt8 *src);
void RwD3D8DecompressDXT3(RwInt32 width, RwInt32 height, RwUInt8 *dst, const RwUInt8 *src);
void RwD3D8DecompressDXT5(RwInt32 width, RwInt32 height, RwUInt8 *dst, const RwUInt8 *src);
// Writes the alpha of one 4x4 block into `dst` (its top-left texel, rows
// 4 * width bytes apart): texel t only when bit t of `keepMask` is set.
void RwD3D8DecompressDXT5Alpha(RwUInt8 *dst, const RwUInt8 *alphaBlock, RwInt32 width, RwUInt32 keepMask);

// Reads a DDS file from a stream positioned at its magic into a texture
// raster, and by name on the image search path into a texture.
RwRaster *RwD3D8RasterReadDDS(RwStream *stream);
RwTexture *RwD3D8TextureReadDDS(const RwChar *name, const RwChar *maskName);

// Device side of DDS loading, installed by the Direct3D 8 driver. Returns
// the raster when the device took the file as it is, sets *refused when the
// file must fail (cube maps it cannot hold), and otherwise returns null to
// send the file down the software path; `acceptedFormats` gets the formats
// the software path may use. Without a hook every file is decoded in software.
typedef RwRaster *(*RwD3D8DDSDirectLoad)(RwStream *stream, const RwD3D8DDSHeader *header, RwBool *refused,
                                          RwUInt32 *acceptedFormats);
void RwD3D8DDSSetDirectLoad(RwD3D8DDSDirectLoad hook);
