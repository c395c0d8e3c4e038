// Making and keeping the 32-bit copies of texture levels.
#include "swr_texel_copy.h"

#include <cstring>

#include "swr_color.h"
#include "swr_span_plan.h"

namespace swr {

const uint32_t *TexelCopy::Get(const TextureLevel &level, D3DFORMAT format, TexelFetch fetch,
                               const PALETTEENTRY *palette, uint32_t fault) {
    const bool paletted = format == D3DFMT_P8 && palette != nullptr;
    const bool same = held_ && bits_ == level.bits && width_ == level.width && height_ == level.height &&
                      pitch_ == level.pitch && format_ == format && fault_ == fault &&
                      paletted_ == paletted && (!paletted || std::memcmp(palette_, palette, sizeof(palette_)) == 0);
    if (same) return texels_.data();
    const bool spare = SpareFor(level.width, level.height);
    const uint32_t pitch = level.width + (spare ? 1u : 0u), rows = level.height + (spare ? 1u : 0u);
    texels_.resize(size_t(pitch) * rows);
    const bool native = format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
    const uint32_t opaque = format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
    for (uint32_t y = 0; y < level.height; ++y) {
        uint32_t *row = texels_.data() + size_t(y) * pitch;
        if (native) {
            // What the texel reader gives, row by row: the words, X8R8G8B8 ones opaque.
            std::memcpy(row, level.bits + size_t(y) * level.pitch, size_t(level.width) * 4u);
            for (uint32_t x = 0; x < level.width; ++x) row[x] |= opaque;
        } else {
            for (uint32_t x = 0; x < level.width; ++x) row[x] = PackColor(fetch(level, x, y, palette));
        }
    }
    if (fault == kSpanFaultCopy && level.width > 1) {
        uint32_t &t = texels_[1];
        t = (t & ~0xFFu) | ((t + 1) & 0xFFu);
    }
    if (spare) {
        for (uint32_t y = 0; y < level.height; ++y) texels_[size_t(y) * pitch + level.width] = texels_[size_t(y) * pitch];
        std::memcpy(texels_.data() + size_t(level.height) * pitch, texels_.data(), size_t(pitch) * 4u);
    }
    held_ = true;
    bits_ = level.bits;
    width_ = level.width;
    height_ = level.height;
    pitch_ = level.pitch;
    format_ = format;
    fault_ = fault;
    paletted_ = paletted;
    if (paletted) std::memcpy(palette_, palette, sizeof(palette_));
    return texels_.data();
}

void TexelCopy::Drop() {
    held_ = false;
    std::vector<uint32_t>().swap(texels_);
}

}  // namespace swr
