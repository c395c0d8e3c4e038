// A 32-bit copy of one texture level, for formats the span routines cannot read as they
// are (16-bit colour, luminance, alpha, palettised, DXT), and for small 32-bit levels
// whose sizes are powers of two, which the routines read faster with a spare column and
// row: each texel is what the reference path's texel reader gives, made once on the
// first draw that samples the level and kept until the level's owner drops it because
// the texels changed. A palettised level's copy also remembers the palette it was made
// with and is made again when a draw brings another.
//
// A level whose width and height are powers of two is copied with one spare column on
// the right and one spare row below, holding the first column and the first row again
// (and the first texel in the corner): a filter's second column and row after the last
// ones are then simply the next word and the next row, as wrapping gives them.
#pragma once

#include <cstdint>
#include <vector>

#include "swr_draw.h"
#include "swr_texel_fetch.h"

namespace swr {

class TexelCopy {
public:
    // The texels of `level` (Pitch() words per row), made now when there is no copy or it
    // was made from other memory, another format or another palette. `fault` is a
    // test's deliberate error (kSpanFaultCopy), part of what the copy was made with.
    const uint32_t *Get(const TextureLevel &level, D3DFORMAT format, TexelFetch fetch, const PALETTEENTRY *palette,
                        uint32_t fault);
    // Forgets the copy (and frees its memory): the level's texels have changed.
    void Drop();
    bool Held() const { return held_; }
    // Words from one row of the copy Get gave to the next: the width, plus one where the
    // copy has its spare column and row.
    uint32_t Pitch() const { return width_ + (SpareFor(width_, height_) ? 1u : 0u); }
    // Whether a level of this size is copied with a spare column and row.
    static bool SpareFor(uint32_t width, uint32_t height) {
        return width != 0 && height != 0 && (width & (width - 1)) == 0 && (height & (height - 1)) == 0;
    }
    // Whether a 32-bit level of this size is worth a copy: one with a spare column and
    // row, small enough that the copy costs little memory and time.
    static constexpr uint32_t kMaxCopied32 = 128 * 128;
    static bool Copies32(uint32_t width, uint32_t height) {
        return SpareFor(width, height) && uint64_t{width} * height <= kMaxCopied32;
    }

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
