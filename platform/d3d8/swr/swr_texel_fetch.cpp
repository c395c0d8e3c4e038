// Texel readers. Channels narrower than 8 bits widen by repeating their top bits, so
// full intensity stays 255 and zero stays 0. Interpolated DXT colours and alphas round
// to nearest, from the widened 8-bit end points.
#include "swr_texel_fetch.h"

#include <cstring>

namespace swr {
namespace {

const uint8_t *TexelAddress(const TextureLevel &l, uint32_t x, uint32_t y, uint32_t bytes) {
    return l.bits + static_cast<size_t>(y) * l.pitch + static_cast<size_t>(x) * bytes;
}

uint16_t Read16(const uint8_t *p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

uint8_t Widen5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
uint8_t Widen6(uint32_t v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }
uint8_t Widen4(uint32_t v) { return static_cast<uint8_t>(v * 17u); }

Rgba8 From565(uint32_t p) { return Rgba8{Widen5((p >> 11) & 31u), Widen6((p >> 5) & 63u), Widen5(p & 31u), 255}; }

Rgba8 FetchA8R8G8B8(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    uint32_t v;
    std::memcpy(&v, TexelAddress(l, x, y, 4), 4);
    return UnpackColor(v);
}

Rgba8 FetchX8R8G8B8(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    uint32_t v;
    std::memcpy(&v, TexelAddress(l, x, y, 4), 4);
    return UnpackColor(v | 0xFF000000u);
}

Rgba8 FetchR8G8B8(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint8_t *p = TexelAddress(l, x, y, 3);
    return Rgba8{p[2], p[1], p[0], 255};
}

Rgba8 FetchR5G6B5(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    return From565(Read16(TexelAddress(l, x, y, 2)));
}

Rgba8 FetchX1R5G5B5(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint32_t p = Read16(TexelAddress(l, x, y, 2));
    return Rgba8{Widen5((p >> 10) & 31u), Widen5((p >> 5) & 31u), Widen5(p & 31u), 255};
}

Rgba8 FetchA1R5G5B5(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint32_t p = Read16(TexelAddress(l, x, y, 2));
    return Rgba8{Widen5((p >> 10) & 31u), Widen5((p >> 5) & 31u), Widen5(p & 31u),
                 static_cast<uint8_t>((p & 0x8000u) ? 255 : 0)};
}

Rgba8 FetchA4R4G4B4(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint32_t p = Read16(TexelAddress(l, x, y, 2));
    return Rgba8{Widen4((p >> 8) & 15u), Widen4((p >> 4) & 15u), Widen4(p & 15u), Widen4(p >> 12)};
}

Rgba8 FetchX4R4G4B4(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    Rgba8 c = FetchA4R4G4B4(l, x, y, nullptr);
    c.a = 255;
    return c;
}

Rgba8 FetchL8(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint8_t v = *TexelAddress(l, x, y, 1);
    return Rgba8{v, v, v, 255};
}

Rgba8 FetchA8L8(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint8_t *p = TexelAddress(l, x, y, 2);
    return Rgba8{p[0], p[0], p[0], p[1]};
}

Rgba8 FetchA8(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    return Rgba8{0, 0, 0, *TexelAddress(l, x, y, 1)};
}

// Palette entries keep their alpha in the flags byte. Without a palette every index
// reads opaque white, as an unbound texture does.
Rgba8 FetchP8(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *palette) {
    if (!palette) return Rgba8{255, 255, 255, 255};
    const PALETTEENTRY &e = palette[*TexelAddress(l, x, y, 1)];
    return Rgba8{e.peRed, e.peGreen, e.peBlue, e.peFlags};
}

const uint8_t *BlockAddress(const TextureLevel &l, uint32_t x, uint32_t y, uint32_t blockBytes) {
    return l.bits + static_cast<size_t>(y >> 2) * l.pitch + static_cast<size_t>(x >> 2) * blockBytes;
}

uint32_t IndexInBlock(uint32_t x, uint32_t y) { return (y & 3u) * 4u + (x & 3u); }

Rgba8 FetchDxt1(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    return DecodeDxtColorTexel(BlockAddress(l, x, y, 8), IndexInBlock(x, y), true);
}

Rgba8 FetchDxt3(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint8_t *block = BlockAddress(l, x, y, 16);
    Rgba8 c = DecodeDxtColorTexel(block + 8, IndexInBlock(x, y), false);
    c.a = DecodeDxt3AlphaTexel(block, IndexInBlock(x, y));
    return c;
}

Rgba8 FetchDxt5(const TextureLevel &l, uint32_t x, uint32_t y, const PALETTEENTRY *) {
    const uint8_t *block = BlockAddress(l, x, y, 16);
    Rgba8 c = DecodeDxtColorTexel(block + 8, IndexInBlock(x, y), false);
    c.a = DecodeDxt5AlphaTexel(block, IndexInBlock(x, y));
    return c;
}

uint8_t Mix(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb) {
    const uint32_t total = wa + wb;
    return static_cast<uint8_t>((a * wa + b * wb + total / 2) / total);
}

}  // namespace

Rgba8 DecodeDxtColorTexel(const uint8_t block[8], uint32_t index, bool oneBitAlphaAllowed) {
    const uint32_t e0 = Read16(block), e1 = Read16(block + 2);
    uint32_t selectors;
    std::memcpy(&selectors, block + 4, 4);
    const uint32_t code = (selectors >> (2 * index)) & 3u;
    const Rgba8 c0 = From565(e0), c1 = From565(e1);
    const bool fourColors = !oneBitAlphaAllowed || e0 > e1;
    switch (code) {
        case 0: return c0;
        case 1: return c1;
        case 2:
            if (fourColors) return Rgba8{Mix(c0.r, c1.r, 2, 1), Mix(c0.g, c1.g, 2, 1), Mix(c0.b, c1.b, 2, 1), 255};
            return Rgba8{Mix(c0.r, c1.r, 1, 1), Mix(c0.g, c1.g, 1, 1), Mix(c0.b, c1.b, 1, 1), 255};
        default:
            if (fourColors) return Rgba8{Mix(c0.r, c1.r, 1, 2), Mix(c0.g, c1.g, 1, 2), Mix(c0.b, c1.b, 1, 2), 255};
            return Rgba8{0, 0, 0, 0};
    }
}

uint8_t DecodeDxt3AlphaTexel(const uint8_t block[8], uint32_t index) {
    const uint32_t byte = block[index / 2];
    return Widen4((index & 1u) ? byte >> 4 : byte & 15u);
}

uint8_t DecodeDxt5AlphaTexel(const uint8_t block[8], uint32_t index) {
    const uint32_t a0 = block[0], a1 = block[1];
    uint64_t selectors = 0;
    std::memcpy(&selectors, block + 2, 6);
    const uint32_t code = static_cast<uint32_t>(selectors >> (3 * index)) & 7u;
    if (code == 0) return static_cast<uint8_t>(a0);
    if (code == 1) return static_cast<uint8_t>(a1);
    if (a0 > a1) return Mix(a0, a1, 8 - code, code - 1);  // six steps between the ends
    if (code == 6) return 0;
    if (code == 7) return 255;
    return Mix(a0, a1, 6 - code, code - 1);  // four steps between the ends
}

TexelFetch TexelFetchFor(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8: return FetchA8R8G8B8;
        case D3DFMT_X8R8G8B8: return FetchX8R8G8B8;
        case D3DFMT_R8G8B8: return FetchR8G8B8;
        case D3DFMT_R5G6B5: return FetchR5G6B5;
        case D3DFMT_X1R5G5B5: return FetchX1R5G5B5;
        case D3DFMT_A1R5G5B5: return FetchA1R5G5B5;
        case D3DFMT_A4R4G4B4: return FetchA4R4G4B4;
        case D3DFMT_X4R4G4B4: return FetchX4R4G4B4;
        case D3DFMT_L8: return FetchL8;
        case D3DFMT_A8L8: return FetchA8L8;
        case D3DFMT_A8: return FetchA8;
        case D3DFMT_P8: return FetchP8;
        case D3DFMT_DXT1: return FetchDxt1;
        case D3DFMT_DXT2:
        case D3DFMT_DXT3: return FetchDxt3;
        case D3DFMT_DXT4:
        case D3DFMT_DXT5: return FetchDxt5;
        default: return nullptr;
    }
}

}  // namespace swr
