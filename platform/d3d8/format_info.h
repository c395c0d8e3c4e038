// Storage layout and support of the pixel formats our device knows: bytes per pixel (or per
// 4x4 block for DXT), tight pitches, mip chains, and which formats serve as textures, colour
// targets and depth/stencil buffers.
#pragma once

#include <cstdint>

#include "d3d8/d3d8types.h"

namespace d3d8 {

struct FormatLayout {
    uint32_t bytesPerBlock = 0;  // 0: not a pixel format we can store
    uint32_t blockEdge = 1;      // 4 for DXT formats
};

FormatLayout LayoutOf(D3DFORMAT format);
bool IsCompressed(D3DFORMAT format);
// Bytes of one row of pixels (of 4x4 blocks for DXT), and the number of such rows.
uint32_t RowPitch(D3DFORMAT format, uint32_t width);
uint32_t RowCount(D3DFORMAT format, uint32_t height);
inline uint32_t SurfaceBytes(D3DFORMAT format, uint32_t width, uint32_t height) {
    return RowPitch(format, width) * RowCount(format, height);
}

// Levels of a full mip chain down to 1x1.
uint32_t FullMipCount(uint32_t width, uint32_t height);
inline uint32_t MipExtent(uint32_t extent, uint32_t level) {
    const uint32_t e = extent >> level;
    return e ? e : 1;
}

bool IsTextureFormat(D3DFORMAT format);       // what textures and image surfaces may use
bool IsColorTargetFormat(D3DFORMAT format);   // 32-bit colour the rasteriser draws into
bool IsDepthFormat(D3DFORMAT format);         // depth/stencil the rasteriser tests against
bool IsDisplayFormat(D3DFORMAT format);       // desktop, modes and back buffers

}  // namespace d3d8
