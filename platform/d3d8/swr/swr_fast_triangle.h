// The span routines for the states most drawing uses: the fixed-function combiner over
// any number of stages with the common operations and arguments, sampling 2D textures
// of every format (32-bit ones where they lie, the others through a 32-bit copy) with
// any addressing, filtering and mip filter, vertex or table fog, alpha test, any depth
// and stencil test, blending and write mask. Each routine is the reference per-pixel
// path with the state's choices made once per draw instead of once per pixel and the
// arithmetic done four or eight pixels at a time (swr_span_kernel.h) where that gives
// the same result, so it gives the same pixels bit for bit (the tests compare the two
// on randomised scenes, state by state, at every width).
#pragma once

#include <cstdint>

#include "swr_draw.h"
#include "swr_pixel_pipeline.h"
#include "swr_raster_common.h"
#include "swr_span_plan.h"
#include "swr_triangle_raster.h"

namespace swr {

class FastTriangle {
public:
    // False when the state needs the general path.
    bool Prepare(const PixelPipeline &pixels, const RasterContext &ctx);

    // The varyings whose planes the routines read (bit k for varying k).
    uint64_t Planes() const { return planes_; }

    // Draws the triangle's pixels inside `region`, whose pixels the caller alone draws
    // (a band): the routines may read words there and write them back unchanged.
    void Rasterize(const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region) const {
        (s.perspective ? perspective_ : affine_)(plan_, s, ctx, region);
    }

private:
    SpanPlan plan_;
    uint64_t planes_ = 0;
    SpanRoutine perspective_ = nullptr;
    SpanRoutine affine_ = nullptr;
};

// A deliberate one-value error in one routine (kSpanFault*, swr_span_plan.h), for the
// tests that prove the comparison with the reference catches it; 0 for none. An error
// of sampling may be held to the samplers of one shape (an index of kSamplerShapes).
void SetSpanFault(uint32_t fault, uint32_t shape = kSamplerShapeCount);
// The sampler shapes the draws prepared since the last call sampled with (bit i for
// kSamplerShapes[i]), for the tests that prove each shape's routine right.
uint32_t TakeSamplerShapesUsed();
// The deliberate error set (kSpanFaultNone when none).
uint32_t SpanFault();
// The triangles drawn as pictures square to the screen since the last call, filtered
// linearly or by point.
uint64_t TakePictureTriangles(bool filtered);
// The blended triangles since the last call drawn without blending, their source alpha
// opaque at every pixel.
uint64_t TakeOpaqueSourceTriangles();
// The triangles drawn as filtered rows without perspective since the last call.
uint64_t TakeFilteredRowTriangles();
// The triangles drawn as textured rows under perspective since the last call.
uint64_t TakeTexturedRowTriangles();
// The pictures since the last call that left out pixels of clear texels, which their
// alpha test would have failed.
uint64_t TakeClearTexelPictures();

}  // namespace swr
