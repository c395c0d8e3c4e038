// A vertex after vertex processing, as clipping and rasterisation see it: a position
// and the values interpolated across the primitive ("varyings").
#pragma once

#include <cstdint>

namespace swr {

// Varying slots. Colours are kept on the 0..255 scale so that a constant colour
// interpolates back to exactly its byte value.
enum : uint32_t {
    kVaryDiffuse = 0,   // r, g, b, a
    kVarySpecular = 4,  // r, g, b, a
    kVaryFog = 8,       // vertex fog factor, 0..255
    kVaryTexCoord = 9,  // four per texture stage, in stage order
    kMaxVaryings = kVaryTexCoord + 4 * 8,
};

// The clip positions of up to four vertices as lanes: x[i], y[i], z[i], w[i] are vertex
// i's (lanes past the vertices given repeat the first).
struct alignas(16) PositionLanes {
    float x[4], y[4], z[4], w[4];
};

struct ClipVertex {
    // Homogeneous clip coordinates (x, y, z, w) for vertices we transform; screen x, y,
    // z and 1/w for vertices that arrive transformed.
    float pos[4] = {0, 0, 0, 1};
    float var[kMaxVaryings] = {};
};

}  // namespace swr
