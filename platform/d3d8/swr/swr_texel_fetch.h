// Reading single texels of a texture level in every format the device samples: 32- and
// 16-bit colour, luminance, alpha, 8-bit palettised through the current palette, and the
// DXT1 to DXT5 block formats, decoded one texel at a time so no decoded copy of a
// texture has to be kept (and so none can go stale when the texture or palette changes).
#pragma once

#include <cstdint>

#include "swr_color.h"
#include "swr_draw.h"

namespace swr {

// Reads texel (x, y), which lies inside the level. `palette` serves P8 only.
using TexelFetch = Rgba8 (*)(const TextureLevel &level, uint32_t x, uint32_t y, const PALETTEENTRY *palette);

// The reader for `format`, or null for formats the sampler does not know.
TexelFetch TexelFetchFor(D3DFORMAT format);

// One texel (index 0..15, row by row) of a DXT block's 8-byte halves. The colour half
// has two 5:6:5 end points and 2-bit selectors; with `oneBitAlphaAllowed` (DXT1) a block
// whose first end point is not above the second has three colours and transparent black.
// The alpha half is 4-bit explicit alpha (DXT2, DXT3) or two end points with 3-bit
// selectors (DXT4, DXT5). Premultiplied variants come back as stored, like their twins.
Rgba8 DecodeDxtColorTexel(const uint8_t block[8], uint32_t index, bool oneBitAlphaAllowed);
uint8_t DecodeDxt3AlphaTexel(const uint8_t block[8], uint32_t index);
uint8_t DecodeDxt5AlphaTexel(const uint8_t block[8], uint32_t index);

}  // namespace swr
