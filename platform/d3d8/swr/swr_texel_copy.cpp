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
    texels_.resize(size_t(level.width) * level.height);
    for (uint32_t y = 0; y < level.height; ++y) {
        for (uint32_t x = 0; x < level.width; ++x) texels_[size_t(y) * level.width + x] = PackColor(fetch(level, x, y, palette));
    }
    if (fault == kSpanFaultCopy && level.width > 1) {
        uint32_t &t = texels_[1];
        t = (t & ~0xFFu) | ((t + 1) & 0xFFu);
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
