// Fog: the factor curves (linear, exp, exp2) shared by per-vertex and per-pixel (table)
// fog, and the final mix of a pixel towards the fog colour. A factor of 255 means no
// fog, 0 means the fog colour alone.
#pragma once

#include <bit>
#include <cstdint>

#include "swr_color.h"
#include "swr_draw.h"

namespace swr {

// Fog as one draw uses it.
struct FogSetup {
    enum class Where : uint8_t { None, Vertex, Table };
    Where where = Where::None;
    D3DFOGMODE mode = D3DFOG_NONE;  // the curve of the vertex or table mode in use
    float start = 0, end = 1, density = 1;
    bool rangeBased = false;  // vertex fog by distance instead of depth
    Rgba8 color;
};

inline float StateFloat(const DrawState &state, D3DRENDERSTATETYPE rs) {
    return std::bit_cast<float>(state.renderStates[rs]);
}

// Table fog wins over vertex fog when both are set. Vertex mode NONE with fog on still
// counts as vertex fog: the vertices then bring their own factor.
FogSetup PrepareFog(const DrawState &state);

// The factor for one distance, rounded to 8 bits; `mode` NONE gives 255.
uint8_t FogFactor(const FogSetup &fog, float distance);

// result = colour * f + fog colour * (1 - f), per channel, alpha untouched.
inline Rgba8 ApplyFog(Rgba8 c, uint8_t factor, Rgba8 fogColor) {
    const uint32_t f = factor, g = 255u - factor;
    return Rgba8{static_cast<uint8_t>(Div255Round(c.r * f + fogColor.r * g)),
                 static_cast<uint8_t>(Div255Round(c.g * f + fogColor.g * g)),
                 static_cast<uint8_t>(Div255Round(c.b * f + fogColor.b * g)), c.a};
}

}  // namespace swr
