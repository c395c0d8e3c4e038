// Storage layout and support of the pixel formats our device knows.
#include "format_info.h"

namespace d3d8 {

FormatLayout LayoutOf(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D32:
        return {4, 1};
    case D3DFMT_R8G8B8:
        return {3, 1};
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8P8:
    case D3DFMT_A8L8:
    case D3DFMT_D16:
        return {2, 1};
    case D3DFMT_P8:
    case D3DFMT_L8:
    case D3DFMT_A8:
        return {1, 1};
    case D3DFMT_DXT1:
        return {8, 4};
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
        return {16, 4};
    default:
        return {0, 1};
    }
}

bool IsCompressed(D3DFORMAT format) { return LayoutOf(format).blockEdge == 4; }

uint32_t RowPitch(D3DFORMAT format, uint32_t width) {
    const FormatLayout layout = LayoutOf(format);
    return (width + layout.blockEdge - 1) / layout.blockEdge * layout.bytesPerBlock;
}

uint32_t RowCount(D3DFORMAT format, uint32_t height) {
    const FormatLayout layout = LayoutOf(format);
    return (height + layout.blockEdge - 1) / layout.blockEdge;
}

uint32_t FullMipCount(uint32_t width, uint32_t height) {
    uint32_t extent = width > height ? width : height;
    uint32_t levels = 1;
    while (extent > 1) {
        extent >>= 1;
        ++levels;
    }
    return levels;
}

bool IsTextureFormat(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_L8:
    case D3DFMT_P8:
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
        return true;
    default:
        return false;
    }
}

bool IsColorTargetFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

bool IsDepthFormat(D3DFORMAT format) {
    return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D32 ||
           format == D3DFMT_D16;
}

bool IsDisplayFormat(D3DFORMAT format) { return format == D3DFMT_X8R8G8B8; }

}  // namespace d3d8
