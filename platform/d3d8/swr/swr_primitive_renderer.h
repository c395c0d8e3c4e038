// Takes processed vertices of one primitive through clipping, projection to the screen,
// culling and triangle set-up, and puts what is left into a bin for rasterisation. One
// renderer serves one run of primitives of a draw; copies of a prepared renderer may
// work on other runs at the same time.
#pragma once

#include <cstdint>

#include "swr_clip_vertex.h"
#include "swr_clipper.h"
#include "swr_draw.h"
#include "swr_fast_triangle.h"
#include "swr_pixel_pipeline.h"
#include "swr_primitive_bin.h"
#include "swr_raster_common.h"
#include "swr_triangle_raster.h"
#include "swr_vertex_cache.h"

namespace swr {

class PrimitiveRenderer {
public:
    void Prepare(const DrawState &state, const PixelPipeline &pixels, bool screenSpace, uint32_t varyingCount);

    // Works out a cached vertex's outcode and screen place.
    void Finish(CachedVertex &v) const;
    // Finish of vertices v[0..count) (count at most four), a vertex to a vector lane.
    void FinishFour(CachedVertex *const *v, uint32_t count) const;
    // The same from their positions given as lanes as well (of vertices we transform).
    void FinishFour(CachedVertex *const *v, uint32_t count, const PositionLanes &lanes) const;

    // Whether Triangle may draw anything of the triangle of these finished corners (their
    // varyings not read): not when all three lie outside one plane, nor when, inside all
    // of them and filled, set-up would refuse it for a corner off the grid, no area or
    // the facing the cull mode drops.
    bool MayDraw(const CachedVertex &a, const CachedVertex &b, const CachedVertex &c) const {
        const uint32_t ca = a.outcode, cb = b.outcode, cc = c.outcode;
        if (ca & cb & cc) return false;
        if ((ca | cb | cc) != 0 || !SolidFill()) return true;
        if (!(a.snapped && b.snapped && c.snapped)) return false;
        return KeptByCull(SnappedArea2(a.sx, a.sy, b.sx, b.sy, c.sx, c.sy), cullMode_);
    }
    // The provoking vertex gives the colours under flat shading. The vertices are finished.
    void Triangle(const CachedVertex &a, const CachedVertex &b, const CachedVertex &c, const ClipVertex &provoking);
    void Line(const ClipVertex &a, const ClipVertex &b, const ClipVertex &provoking);
    void Point(const ClipVertex &p);

    // Where primitives go from now on.
    void SetBin(PrimitiveBin *bin) { bin_ = bin; }
    // What rasterising the bins needs (flat colours aside, which each primitive keeps).
    const RasterContext &Context() const { return ctx_; }

private:
    void Project(const ClipVertex &in, ScreenVertex &out) const;
    void SetFlatColors(const ClipVertex &provoking);
    void FillPolygon(const ScreenVertex *v, uint32_t count);
    void FillTriangle(const SetupVertex v[3]);
    // Whether polygons are filled (any fill mode but points and wire frames).
    bool SolidFill() const { return fillMode_ != D3DFILL_POINT && fillMode_ != D3DFILL_WIREFRAME; }

    Clipper clipper_;
    void AddLine(const ScreenVertex &a, const ScreenVertex &b);
    void Point(const ScreenVertex &p);

    RasterContext ctx_;
    FastTriangle fast_;
    TriangleSetup setup_;  // a bin drawing at once has its triangles set up here (a bin keeping them, inside itself)
    uint64_t planes_ = ~uint64_t{0};  // the varyings whose planes the draw reads
    PrimitiveBin *bin_ = nullptr;
    bool screenSpace_ = false;
    DWORD cullMode_ = D3DCULL_CCW;
    DWORD fillMode_ = D3DFILL_SOLID;
    ScreenMapping mapping_;
};

}  // namespace swr
