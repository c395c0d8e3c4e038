// Span routines for the states most drawing uses: one stage at most, sampling at most
// one texture, whose colour and alpha operations select or modulate texture, diffuse
// and texture factor; any depth and stencil test, alpha test, blending, write mask and
// fog. Each routine is the reference per-pixel path with the state's choices made once
// per draw instead of once per pixel, and its arithmetic done four values at a time
// where that gives the same result: it evaluates the same planes with the same IEEE
// operations in the same order, and its integer colour maths equals the reference's
// for every input. So it gives the same pixels bit for bit (the tests compare the two
// on randomised scenes, state by state).
#pragma once

#include <cstdint>

#include <emmintrin.h>

#include "swr_draw.h"
#include "swr_pixel_pipeline.h"
#include "swr_raster_common.h"
#include "swr_triangle_raster.h"

namespace swr {

class FastTriangle {
public:
    // Argument sources of the one stage.
    enum Source : uint8_t { kTexture = 0, kDiffuse = 1, kFactor = 2 };

    // What a routine reads, settled once per draw.
    struct Choices {
        const PixelPipeline *pixels = nullptr;
        const Sampler *sampler = nullptr;  // null: no texture sampled
        DWORD colorOp = D3DTOP_SELECTARG1, alphaOp = D3DTOP_DISABLE;
        Source colorArg1 = kDiffuse, colorArg2 = kDiffuse, alphaArg1 = kDiffuse, alphaArg2 = kDiffuse;
        uint32_t factorWord = 0;
        // 16-bit lanes (blue, green, red, alpha) that take the first argument, the
        // second, or their product; and the fog colour in lanes.
        __m128i pickFirst, pickSecond, pickProduct, fogColor;
    };

    using Routine = void (*)(const Choices &choices, const TriangleSetup &s, const RasterContext &ctx,
                             const PixelRect &region);

    // False when the state needs the general path.
    bool Prepare(const PixelPipeline &pixels, const RasterContext &ctx);

    // Draws the triangle's pixels inside `region`, whose pixels the caller alone draws
    // (a band): the routines may read depth words there and write them back unchanged.
    void Rasterize(const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region) const {
        (s.perspective ? perspective_ : affine_)(choices_, s, ctx, region);
    }

private:
    Choices choices_;
    Routine perspective_ = nullptr;
    Routine affine_ = nullptr;
};

}  // namespace swr
