// What triangle, line and point rasterisation share: the screen-space vertex, the
// per-primitive context, and turning interpolated varyings into a fragment.
#pragma once

#include <cmath>
#include <cstdint>

#include "swr_clip_vertex.h"
#include "swr_color.h"
#include "swr_pixel_pipeline.h"
#include "swr_texcoord.h"

namespace swr {

class FastTriangle;

// A vertex on screen: pixel coordinates with pixel centres at integers, depth in
// [0, 1], 1/w, and the varyings as the vertex holds them (not divided by w).
struct ScreenVertex {
    float x = 0, y = 0, z = 0, rhw = 1;
    float var[kMaxVaryings] = {};
};

// The viewport's mapping of clipped positions to the screen.
struct ScreenMapping {
    float x0 = 0, y0 = 0, halfWidth = 0, halfHeight = 0, minZ = 0, depthRange = 1;

    void Set(const D3DVIEWPORT8 &vp) {
        x0 = static_cast<float>(vp.X);
        y0 = static_cast<float>(vp.Y);
        halfWidth = static_cast<float>(vp.Width) * 0.5f;
        halfHeight = static_cast<float>(vp.Height) * 0.5f;
        minZ = vp.MinZ;
        depthRange = vp.MaxZ - vp.MinZ;
    }

    // Pixel position, depth and 1/w of `pos`. Screen-space positions pass through (a
    // vertex without a usable 1/w is drawn as if it had 1); the others are divided by
    // their w and mapped onto the viewport.
    void Map(const float *pos, bool screenSpace, float &x, float &y, float &z, float &rhw) const {
        if (screenSpace) {
            x = pos[0];
            y = pos[1];
            z = pos[2];
            rhw = (pos[3] > 0.0f && std::isfinite(pos[3])) ? pos[3] : 1.0f;
        } else {
            rhw = 1.0f / pos[3];
            x = x0 + (1.0f + pos[0] * rhw) * halfWidth;
            y = y0 + (1.0f - pos[1] * rhw) * halfHeight;
            z = minZ + pos[2] * rhw * depthRange;
        }
    }
};

struct RasterContext {
    const PixelPipeline *pixels = nullptr;
    uint32_t varyingCount = kVaryTexCoord;
    bool tableFogUsesW = false;  // table fog measures eye depth (w) rather than z
    bool lastPixel = true;       // lines include their end pixel
    bool flat = false;           // colours from the provoking vertex
    Rgba8 flatDiffuse;
    Rgba8 flatSpecular;
    // Sampled stages and where their coordinates come from; stages at and past
    // `coordStages` sample nothing.
    StageCoordLayout coords[D3D8_MAX_TEXTURE_STAGES];
    uint32_t coordStages = 0;
    // The span routine for this draw's triangles, or null for the reference path.
    const FastTriangle *fast = nullptr;
};

// Interpolated colour on the 0..255 scale to a byte, rounding to nearest (NaN gives 0).
// Branch-free, so span routines can convert many pixels at once.
inline uint8_t VaryingToByte(float v) {
    float c = v > 0.0f ? v : 0.0f;
    c = c < 255.0f ? c : 255.0f;
    return static_cast<uint8_t>(static_cast<int32_t>(c + 0.5f));
}

inline Rgba8 VaryingColor(const float *v) {
    return Rgba8{VaryingToByte(v[0]), VaryingToByte(v[1]), VaryingToByte(v[2]), VaryingToByte(v[3])};
}

// `w` is the eye-space depth at the pixel (1 / interpolated 1/w).
inline Fragment MakeFragment(const RasterContext &ctx, int32_t x, int32_t y, float z, float w, const float *var) {
    Fragment f;
    f.x = x;
    f.y = y;
    f.z = z;
    f.fogDistance = ctx.tableFogUsesW ? w : z;
    if (ctx.flat) {
        f.diffuse = ctx.flatDiffuse;
        f.specular = ctx.flatSpecular;
    } else {
        f.diffuse = VaryingColor(var + kVaryDiffuse);
        f.specular = VaryingColor(var + kVarySpecular);
    }
    f.fog = VaryingToByte(var[kVaryFog]);
    return f;
}

// Coordinates of the sampled stages from already interpolated varyings (lines, points).
inline void SetCoordsFromVaryings(const RasterContext &ctx, const float *var, Fragment &f) {
    for (uint32_t s = 0; s < ctx.coordStages; ++s) {
        if (ctx.coords[s].sampled) CoordsFromVaryings(var, ctx.coords[s], TexCoordSlot(s), f.tex[s]);
    }
}

}  // namespace swr
