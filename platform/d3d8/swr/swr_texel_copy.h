// A 32-bit copy of one texture level, for formats the span routines cannot read as they
// are (16-bit colour, luminance, alpha, palettised, DXT): each texel is what the
// reference path's texel reader gives, made once on the first draw that samples the
// level and kept until the level's owner drops it because the texels changed. A
// palettised level's copy also remembers the palette it was made with and is made
// again when a draw brings another.
#pragma once

#include <cstdint>
#include <vector>

#include "swr_draw.h"
#include "swr_texel_fetch.h"

namespace swr {

class TexelCopy {
public:
    // The texels of `level` (width words per row), made now when there is no copy or it
    // was made from other memory, another format or another palette. `fault` is a
    // test's deliberate error (kSpanFaultCopy), part of what the copy was made with.
    const uint32_t *Get(const TextureLevel &level, D3DFORMAT format, TexelFetch fetch, const PALETTEENTRY *palette,
                        uint32_t fault);
    // Forgets the copy (and frees its memory): the level's texels have changed.
    void Drop();
    bool Held() const { return held_; }

private:
    std::vector<uint32_t> texels_;
    bool held_ = false;
    const uint8_t *bits_ = nullptr;
    uint32_t width_ = 0, height_ = 0, pitch_ = 0;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    uint32_t fault_ = 0;
    bool paletted_ = false;
    PALETTEENTRY palette_[256] = {};
};

}  // namespace swr
