// How a sampled stage's coordinates travel from the varyings to the sampler: which
// elements it reads (two, or three for cube maps) and, for projected coordinates, the
// element they are divided by at each pixel (the last of the COUNTn the transform
// flags give).
#pragma once

#include <cstdint>

#include "swr_clip_vertex.h"
#include "swr_draw.h"
#include "swr_sampler.h"

namespace swr {

struct StageCoordLayout {
    bool sampled = false;
    uint32_t dims = 2;
    int32_t divisor = -1;  // element that divides the others, -1 when not projected
};

inline uint32_t TexCoordSlot(uint32_t stage) { return kVaryTexCoord + 4 * stage; }

inline StageCoordLayout MakeStageCoordLayout(const DrawState &state, uint32_t stage, bool cube) {
    StageCoordLayout l;
    l.sampled = true;
    l.dims = cube ? 3 : 2;
    const DWORD flags = state.stageStates[stage][D3DTSS_TEXTURETRANSFORMFLAGS];
    const DWORD count = flags & 0xFFu;
    if ((flags & D3DTTFF_PROJECTED) && count >= 2 && count <= 4) l.divisor = static_cast<int32_t>(count - 1);
    return l;
}

// Coordinates from varyings already interpolated (lines and points): no derivatives.
inline void CoordsFromVaryings(const float *var, const StageCoordLayout &l, uint32_t slot, TexCoords &out) {
    const float scale = l.divisor >= 0 ? 1.0f / var[slot + l.divisor] : 1.0f;
    for (uint32_t i = 0; i < l.dims; ++i) {
        out.c[i] = l.divisor >= 0 ? var[slot + i] * scale : var[slot + i];
        out.ddx[i] = out.ddy[i] = 0.0f;
    }
}

}  // namespace swr
